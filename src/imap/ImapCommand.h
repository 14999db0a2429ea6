// The commands the IMAP client sends: their tags, their arguments written
// the way the server can read them, the login exchanges, and the table of
// requests.
#pragma once

#include <string>
#include <vector>

#include "ImapResponse.h"

// Tags "A0001", "A0002", ...: one counter per connection, so that every
// tagged answer names the command it ends.
class TImapTagger {
public:
    std::string Next();
    void Reset() { Count = 0; }

private:
    unsigned Count = 0;
};

// How a string the server cannot take as an atom or a quoted string is
// sent: a synchronising literal ({n}, the command waits for the server's
// "+" before its bytes), LITERAL+ ({n+}, never waits), or LITERAL- ({n+} up
// to 4096 bytes, larger ones synchronising).
enum class TImapLiterals { Synchronizing, Plus, Minus };
TImapLiterals ImapLiteralsOffered(const TImapCapabilities& capabilities);

// A command ready for the wire. Parts.size() > 1 when it must pause: every
// part but the last ends with the announcement of a synchronising literal
// ("{5}\r\n") or, in a SASL exchange, with the end of a line the server
// answers with a "+" challenge; the client sends one part, waits for the
// server's continuation request, then the next. The last part ends with
// CR LF. A tagged response instead of the "+" ends the command.
struct TImapCommand {
    std::string Tag;
    std::vector<std::string> Parts;
    std::string Trace;  // the command as a log shows it, its secrets as "****"
};

// The requests of the session. A mailbox is named as on the wire: the
// WireName a LIST gave, or ImapEncodeMailboxName of a name the user typed. The table behind them holds each one's
// text, with these places for its arguments:
//   %a  a string: an atom, a quoted string or a literal as it needs
//   %p  the same, shown in the trace as "****" (a password)
//   %w  a word written as it is (a SASL mechanism, a UID set)
//   %x  the same, shown in the trace as "****" (a SASL initial response)
enum class TImapRequest {
    Capability,
    StartTls,
    Login,                   // user, password
    Authenticate,            // mechanism; the response follows the server's "+"
    AuthenticateInitial,     // mechanism, initial response (SASL-IR)
    List,                    // every mailbox
    ListSpecialUse,          // every mailbox, asking for its special use (RFC 6154)
    Select,                  // mailbox
    Examine,                 // mailbox
    FetchHeaders,            // UID set: UID, size and the header fields the mail watch
                             // reads, with BODY.PEEK so that nothing is marked \Seen
    FetchFlags,              // UID set: UID and flags, to learn which messages remain
    FetchWhole,              // UID set: UID, size and the whole message, peeked too, for
                             // the copy kept where the server has no folder for spam
    UidSearch,               // UID set
    Idle,
    UidMove,                 // UID set, mailbox
    UidCopy,                 // UID set, mailbox
    UidStoreDeleted,         // UID set
    UidExpunge,              // UID set (UIDPLUS): never a plain EXPUNGE, which would
                             // remove what another client marked \Deleted too
    Noop,
    Logout,
};

// The command for `request` with its arguments in order. False, leaving
// `command` empty, when the arguments do not fit the request or a string
// cannot be sent at all (a zero byte).
bool ImapBuildCommand(TImapTagger& tagger, TImapRequest request, const std::vector<std::string>& arguments,
                      TImapLiterals literals, TImapCommand& command);

// The line that ends IDLE (RFC 2177); it has no tag.
extern const char* const ImapIdleDone;

// ---- login

enum class TImapAuth { None, Plain, Login, XOAuth2, OAuthBearer };

// For a password: AUTHENTICATE PLAIN where the server offers it, else LOGIN
// unless the server says LOGINDISABLED (as it does before STARTTLS); None
// when neither may be used.
TImapAuth ImapChoosePasswordAuth(const TImapCapabilities& capabilities);
// For an OAuth 2.0 token: OAUTHBEARER (RFC 7628) where offered, else
// XOAUTH2; None when the server offers neither.
TImapAuth ImapChooseTokenAuth(const TImapCapabilities& capabilities);

// The login command for the way chosen: LOGIN with user and password, or
// AUTHENTICATE with the initial response in the command when the server
// offers SASL-IR (an empty one as "="), else sent as the second part after
// the server's "+". `secret` is the password or the token; `host` and
// `port` go into OAUTHBEARER's response.
bool ImapLoginCommand(TImapTagger& tagger, TImapAuth auth, const TImapCapabilities& capabilities,
                      const std::string& user, const std::string& secret, const std::string& host, int port,
                      TImapCommand& command);

// The answer to the challenge a server sends when an OAuth login fails
// (RFC 7628), with its CR LF, after which the server ends the
// command with its NO.
std::string ImapSaslFailureAnswer(TImapAuth auth);
