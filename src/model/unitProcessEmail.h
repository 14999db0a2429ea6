// The mail records: one configured mailbox (POP3 or IMAP) and one message seen on it,
// and the functions that derive displayable values from a message.
#pragma once

#include <string>

#include "../mime/Pop3HeaderWords.h"
#include "ClassesPerso.h"

// A mailbox as the user configured it, and nothing of what the program does
// with it (its session and the memory of its last check are the mail
// watch's, mail/MailWatch.h, kept under its Id).
class TMailBox : public TMyItem {
public:
    // A new mailbox has an Id no other has had while the program runs, so
    // that what was kept under the Id of a mailbox removed meanwhile never
    // passes for another's; copies keep it. It is never stored.
    TMailBox();
    int Id;
    std::string MailboxName;
    std::string Server;
    std::string User;
    // In clear while the program runs; stored protected (settings/SettingsSecret.h).
    std::string Password;
    // The stored password when it could not be opened (another Windows
    // user's, damaged): kept to be written back unchanged, never sent.
    std::string UnreadablePassword;
    // Where and how the server is reached: its POP3 port, the protection of
    // the session (MailboxSecurity* in settings/SettingsValues.h) and a
    // certificate accepted although it fails the check (net/TlsFingerprint.h).
    std::string Port = "110";
    int Security = 0;
    std::string UnknownSecurity;  // the stored value, when Security is unknown
    std::string Fingerprint;
    // How the mailbox logs in (MailboxAuth* in settings/SettingsValues.h) and,
    // for OAuth 2.0, its provider and client. The client secret and the
    // refresh token are held as stored: protected for the user (DPAPI,
    // framework/Dpapi.h), never in clear.
    int Auth = 0;
    std::string AuthorizationUrl;
    std::string TokenUrl;
    std::string Scope;
    std::string ClientId;
    std::string ProtectedClientSecret;
    std::string ProtectedRefreshToken;
    // What the server speaks (MailboxProtocol* in settings/SettingsValues.h)
    // and, for IMAP, the folder watched, in UTF-8.
    int Protocol = 0;
    std::string Folder = "INBOX";
};

class TEmail : public TMyItem {
public:
    std::string From;
    std::string To;
    std::string Subject;
    // From, To and Subject as people read them: encoded words decoded, in
    // UTF-8. The three above stay as the header wrote them.
    std::string DecodedFrom;
    std::string DecodedTo;
    std::string DecodedSubject;
    std::string Size;
    std::string Header;
    std::string Body;
    std::string Attachments;
    int Number = 0;
    // The mailbox it was read from (its TMailBox::Id, to be found again in
    // the settings, where it may be gone) and its name at that check.
    int MailboxId = 0;
    std::string MailboxName;
    // What identifies the message on its server before a deletion: its
    // unique id when the server gives one, its size and header digest always.
    std::string Uidl;
    int Octets = -1;
    std::string Digest;
    // On an IMAP mailbox, its UID in the folder (0 on POP3).
    unsigned long ImapUid = 0;
};

// The mailbox of Id `id` in a collection of TMailBox, or null when it is gone.
TMailBox* MailboxById(const TMyCollection& mailboxes, int id);
// Makes `to` hold copies of the mailboxes of `from`, in their order, Ids and all.
void CopyMailboxes(const TMyCollection& from, TMyCollection& to);

// Sort key of an email: mailbox name, then the number with at least three digits.
std::string MakeEmailKey(const std::string& mailboxName, int number);

// Text after the first "Date: " of the header up to its line end, or "Unknown".
std::string GetEmailDate(const TEmail& email);
// Text between the first "<" and the first ">" of From, or From unchanged.
std::string GetEmailAddress(const TEmail& email);
// The sender a reader is shown: the address between the angle brackets of
// From as written (an encoded display name cannot pass for one), or the whole
// decoded From when it has no such address; UTF-8 either way (raw bytes
// as raw header bytes are read).
std::string GetDecodedEmailAddress(const TEmail& email);
// Fills DecodedFrom, DecodedTo and DecodedSubject from the header values.
void DecodeEmailFields(TEmail& email, const TCodePageConverter& convert);
// Removes from Body the longest prefix it shares with Header.
void StripEmailHeader(TEmail& email);
