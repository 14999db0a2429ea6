#include "ImapCommand.h"

#include <cstdio>
#include <cstring>

#include "../net/SaslOAuth.h"
#include "../text/Base64.h"

namespace {

const struct {
    TImapRequest request;
    const char* text;
} Requests[] = {
    {TImapRequest::Capability, "CAPABILITY"},
    {TImapRequest::StartTls, "STARTTLS"},
    {TImapRequest::Login, "LOGIN %a %p"},
    {TImapRequest::Authenticate, "AUTHENTICATE %w"},
    {TImapRequest::AuthenticateInitial, "AUTHENTICATE %w %x"},
    {TImapRequest::List, "LIST \"\" \"*\""},
    {TImapRequest::ListSpecialUse, "LIST \"\" \"*\" RETURN (SPECIAL-USE)"},
    {TImapRequest::Select, "SELECT %a"},
    {TImapRequest::Examine, "EXAMINE %a"},
    {TImapRequest::FetchHeaders,
     "UID FETCH %w (UID FLAGS RFC822.SIZE BODY.PEEK[HEADER.FIELDS (FROM TO CC SUBJECT DATE MESSAGE-ID REPLY-TO "
     "RETURN-PATH SENDER CONTENT-TYPE CONTENT-TRANSFER-ENCODING)])"},
    {TImapRequest::FetchFlags, "UID FETCH %w (UID FLAGS)"},
    {TImapRequest::FetchWhole, "UID FETCH %w (UID RFC822.SIZE BODY.PEEK[])"},
    {TImapRequest::UidSearch, "UID SEARCH UID %w"},
    {TImapRequest::Idle, "IDLE"},
    {TImapRequest::UidMove, "UID MOVE %w %a"},
    {TImapRequest::UidCopy, "UID COPY %w %a"},
    {TImapRequest::UidStoreDeleted, "UID STORE %w +FLAGS.SILENT (\\Deleted)"},
    {TImapRequest::UidExpunge, "UID EXPUNGE %w"},
    {TImapRequest::Noop, "NOOP"},
    {TImapRequest::Logout, "LOGOUT"},
};

// LITERAL- lets a client skip the wait for literals up to this size.
constexpr std::size_t LiteralMinusLimit = 4096;

enum class TForm { Atom, Quoted, Literal, Impossible };

TForm FormOf(const std::string& text)
{
    if (text.find('\0') != std::string::npos)
        return TForm::Impossible;
    bool atom = !text.empty();
    for (unsigned char c : text) {
        // 8-bit text goes as a literal: a quoted string may carry it only
        // where the server has accepted UTF-8.
        if (c >= 0x80 || c == '\r' || c == '\n')
            return TForm::Literal;
        if (c <= 0x20 || c == 0x7f || std::strchr("(){%*\"\\]", c))
            atom = false;
    }
    // NIL as an atom would read as no string at all.
    if (text.size() == 3 && (text[0] | 0x20) == 'n' && (text[1] | 0x20) == 'i' && (text[2] | 0x20) == 'l')
        atom = false;
    return atom ? TForm::Atom : TForm::Quoted;
}

std::string Quoted(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

// Appends a string argument to the command, starting a new part after the
// announcement of a literal that must wait for the server.
bool AppendString(const std::string& text, bool secret, TImapLiterals literals, TImapCommand& command,
                  std::string& part)
{
    const char* hidden = "****";
    switch (FormOf(text)) {
    case TForm::Impossible:
        return false;
    case TForm::Atom:
        part += text;
        command.Trace += secret ? hidden : text;
        return true;
    case TForm::Quoted:
        part += Quoted(text);
        command.Trace += secret ? hidden : Quoted(text);
        return true;
    case TForm::Literal:
        break;
    }
    const bool wait = literals == TImapLiterals::Synchronizing ||
                      (literals == TImapLiterals::Minus && text.size() > LiteralMinusLimit);
    const std::string announcement = "{" + std::to_string(text.size()) + (wait ? "}" : "+}");
    part += announcement + "\r\n";
    command.Trace += announcement + " " + (secret ? hidden : text);
    if (wait) {
        command.Parts.push_back(part);
        part.clear();
    }
    part += text;
    return true;
}

const char* AuthName(TImapAuth auth)
{
    switch (auth) {
    case TImapAuth::Plain:
        return "PLAIN";
    case TImapAuth::XOAuth2:
        return "XOAUTH2";
    case TImapAuth::OAuthBearer:
        return "OAUTHBEARER";
    default:
        return "";
    }
}

}  // namespace

std::string TImapTagger::Next()
{
    char tag[16];
    std::snprintf(tag, sizeof tag, "A%04u", ++Count);
    return tag;
}

TImapLiterals ImapLiteralsOffered(const TImapCapabilities& capabilities)
{
    if (capabilities.LiteralPlus())
        return TImapLiterals::Plus;
    return capabilities.LiteralMinus() ? TImapLiterals::Minus : TImapLiterals::Synchronizing;
}

const char* const ImapIdleDone = "DONE\r\n";

bool ImapBuildCommand(TImapTagger& tagger, TImapRequest request, const std::vector<std::string>& arguments,
                      TImapLiterals literals, TImapCommand& command)
{
    command = TImapCommand();
    const char* text = nullptr;
    for (const auto& entry : Requests)
        if (entry.request == request)
            text = entry.text;
    if (!text)
        return false;
    TImapCommand built;
    built.Tag = tagger.Next();
    std::string part = built.Tag + " ";
    built.Trace = part;
    std::size_t next = 0;
    for (const char* c = text; *c; ++c) {
        if (*c != '%') {
            part += *c;
            built.Trace += *c;
            continue;
        }
        const char kind = *++c;
        if (next == arguments.size())
            return false;
        const std::string& argument = arguments[next++];
        if (kind == 'w' || kind == 'x') {
            // A word must not end the line or start another.
            if (argument.empty() || argument.find_first_of("\r\n") != std::string::npos)
                return false;
            part += argument;
            built.Trace += kind == 'x' ? "****" : argument;
        } else if (!AppendString(argument, kind == 'p', literals, built, part)) {
            return false;
        }
    }
    if (next != arguments.size())
        return false;
    built.Parts.push_back(part + "\r\n");
    command = built;
    return true;
}

TImapAuth ImapChoosePasswordAuth(const TImapCapabilities& capabilities)
{
    if (capabilities.HasAuth("PLAIN"))
        return TImapAuth::Plain;
    return capabilities.LoginDisabled() ? TImapAuth::None : TImapAuth::Login;
}

TImapAuth ImapChooseTokenAuth(const TImapCapabilities& capabilities)
{
    if (capabilities.HasAuth("OAUTHBEARER"))
        return TImapAuth::OAuthBearer;
    return capabilities.HasAuth("XOAUTH2") ? TImapAuth::XOAuth2 : TImapAuth::None;
}

bool ImapLoginCommand(TImapTagger& tagger, TImapAuth auth, const TImapCapabilities& capabilities,
                      const std::string& user, const std::string& secret, const std::string& host, int port,
                      TImapCommand& command)
{
    command = TImapCommand();
    if (auth == TImapAuth::Login)
        return !capabilities.LoginDisabled() &&
               ImapBuildCommand(tagger, TImapRequest::Login, {user, secret}, ImapLiteralsOffered(capabilities),
                                command);
    std::string response;
    if (auth == TImapAuth::Plain) {
        if (user.find('\0') != std::string::npos || secret.find('\0') != std::string::npos)
            return false;
        response = std::string(1, '\0') + user + '\0' + secret;
    } else if (auth == TImapAuth::XOAuth2 || auth == TImapAuth::OAuthBearer) {
        response = SaslInitialResponse(auth == TImapAuth::XOAuth2 ? saslXOAuth2 : saslOAuthBearer, user, secret,
                                       host, port);
    } else {
        return false;
    }
    const std::string encoded = response.empty() ? "=" : Base64Encode(response);
    if (capabilities.SaslIr())
        return ImapBuildCommand(tagger, TImapRequest::AuthenticateInitial, {AuthName(auth), encoded},
                                TImapLiterals::Synchronizing, command);
    if (!ImapBuildCommand(tagger, TImapRequest::Authenticate, {AuthName(auth)}, TImapLiterals::Synchronizing,
                          command))
        return false;
    command.Parts.push_back(encoded + "\r\n");
    command.Trace += " ****";
    return true;
}

std::string ImapSaslFailureAnswer(TImapAuth auth)
{
    if (auth == TImapAuth::OAuthBearer)
        return SaslFailureAnswer(saslOAuthBearer) + "\r\n";
    if (auth == TImapAuth::XOAuth2)
        return "\r\n";
    return "*\r\n";
}
