// The mail watch on an IMAP mailbox: one session per check (kept in IDLE
// afterwards where the server offers it, MailImapIdle.cpp), whose single UID
// FETCH brings the headers of the messages above the last UID seen (peeked:
// nothing is marked \Seen); the messages seen before come from what the last
// check kept. The spam cycle (MailImapSpam.cpp) moves the spam to the
// server's spam folder instead of deleting it.
#include <algorithm>
#include <memory>

#include "../framework/Application.h"
#include "../framework/CodePage.h"
#include "../imap/ImapSession.h"
#include "../mime/Pop3Header.h"
#include "../model/unitProcessSpam.h"
#include "../net/Pop3ProtPump.h"
#include "../settings/Settings.h"
#include "../text/FormatText.h"
#include "MailImapSteps.h"
#include "MailNotice.h"
#include "MailWatch.h"

const char ImapUidValidityChangedText[] = "the folder's UIDVALIDITY changed since the check";

namespace {
const char NoUidPlusText[] =
    "the server cannot remove one message alone (no UIDPLUS), and EXPUNGE would remove what others marked";

TImapSecurity ImapSecurity(int security)
{
    return security == MailboxSecurityStartTls   ? TImapSecurity::StartTls
           : security == MailboxSecurityImplicit ? TImapSecurity::Implicit
                                                 : TImapSecurity::None;
}

// The email of one fetched header: From, To and Subject read as the POP3
// check reads them, the header kept for the detail view.
TEmail EmailOfFetch(const TImapFetch& fetch, std::uint32_t uidValidity)
{
    TEmail email;
    email.ImapUid = fetch.Uid;
    email.Uidl = std::to_string(uidValidity) + "." + std::to_string(fetch.Uid);
    email.Octets = fetch.HasSize && fetch.Size <= 0x7fffffffu ? static_cast<int>(fetch.Size) : -1;
    TPop3Header header;
    header.Start();
    std::size_t start = 0;
    while (start < fetch.Header.size()) {
        std::size_t end = fetch.Header.find('\n', start);
        if (end == std::string::npos)
            end = fetch.Header.size();
        std::string line = fetch.Header.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        email.Header += line + "\r\n";
        header.ProcessLine(line);
        start = end + 1;
    }
    email.From = header.MsgFrom;
    email.To = header.MsgTo;
    email.Subject = header.MsgSubject;
    email.Digest = HeaderDigest(email.Header);
    return email;
}

// A message another program (or the spam cycle, on a server without
// UIDPLUS) marked \Deleted is on its way out: the grid leaves it out.
bool MarkedDeleted(const TImapFetch& fetch)
{
    static const char deleted[] = "\\deleted";
    const auto same = [](char a, char b) { return a == b || (b >= 'a' && b <= 'z' && (a | 0x20) == b); };
    for (const std::string& flag : fetch.Flags)
        if (flag.size() == sizeof deleted - 1 && std::equal(flag.begin(), flag.end(), deleted, same))
            return true;
    return false;
}

// What is kept never outgrows what one fetch may bring.
void KeepWithinFetch(std::map<std::uint32_t, TEmail>& byUid)
{
    while (byUid.size() > TImapConversation::MaxNewMessages)
        byUid.erase(byUid.begin());
}
}  // namespace

const char* ImapStepName(TImapStep step)
{
    switch (step) {
    case TImapStep::Closed:
    case TImapStep::Greeting:
        return "connect";
    case TImapStep::Capability:
        return "CAPABILITY";
    case TImapStep::StartTls:
    case TImapStep::TlsHandshake:
        return "STARTTLS";
    case TImapStep::Login:
        return "LOGIN";
    case TImapStep::Select:
        return "SELECT";
    case TImapStep::Fetch:
    case TImapStep::FetchingSpam:
        return "UID FETCH";
    case TImapStep::Listing:
        return "LIST";
    case TImapStep::Moving:
        return "UID MOVE";
    case TImapStep::Copying:
    case TImapStep::Marking:
    case TImapStep::Expunging:
        return "UID COPY";
    default:
        return "LOGOUT";
    }
}

std::string TMailWatch::ImapErrorText(const std::string& english) const
{
    for (const TImapErrorText& row : texts_.ImapErrors) {
        const std::size_t size = std::char_traits<char>::length(row.English);
        if (english.compare(0, size, row.English) == 0)
            return *row.Shown + english.substr(size);
    }
    return english;
}

bool TMailWatch::WaitImap(TImapSession& session)
{
    const TImapConversation& conversation = session.Conversation;
    int exitCode = 0;
    bool quitSeen = false;
    while (!conversation.Finished()) {
        if (quitSeen || QuitRequested || TApplication::Terminating()) {
            session.Close();
            break;
        }
        quitSeen = Pop3PumpMessages(false, exitCode);
        if (conversation.Finished() || quitSeen || QuitRequested)
            continue;
        // The session's own timer ends a silent server: no deadline here.
        TApplication::WaitForMessage(INFINITE);
    }
    // The quit message belongs to the program's loop.
    if (quitSeen)
        PostQuitMessage(exitCode);
    return conversation.Step() == TImapStep::Ready || conversation.Step() == TImapStep::Done;
}

void TMailWatch::CloseImap(TImapSession& session)
{
    if (!QuitRequested && session.Conversation.Step() == TImapStep::Ready) {
        session.Logout();
        WaitImap(session);
    }
    session.Close();
}

bool TMailWatch::OpenImap(const TMailBox& mailBox, TImapSession& session, const TImapMemory& memory)
{
    ConnectFailed = false;
    if (mailBox.Security == MailboxSecurityUnknown) {
        ReportMailError(texts_.ConnectError, mailBox.MailboxName,
                        FormatText(texts_.SecurityUnknown, {mailBox.UnknownSecurity}), "Security");
        return false;
    }
    const bool oauth = mailBox.Auth == MailboxAuthOAuth;
    if (!oauth && mailBox.Password.empty() && !mailBox.UnreadablePassword.empty()) {
        ReportMailError(texts_.ConnectError, mailBox.MailboxName, texts_.PasswordUnreadable, "LOGIN");
        return false;
    }
    Pop.AccessToken.clear();
    if (oauth && !PrepareOAuth(mailBox))
        return false;
    TImapAccount& account = session.Conversation.Account;
    account.Security = ImapSecurity(mailBox.Security);
    account.Host = mailBox.Server;
    account.Port = std::stoi(DecodeMailboxPort(mailBox.Port));
    account.User = mailBox.User;
    account.OAuth = oauth;
    // An OAuth mailbox never sends the password, whatever is stored.
    account.Secret = oauth ? Pop.AccessToken : mailBox.Password;
    account.Mailbox = DecodeMailboxFolder(mailBox.Folder);
    session.Fingerprint = mailBox.Fingerprint;
    session.Conversation.KnownUidValidity = memory.UidValidity;
    session.Conversation.KnownLastUid = memory.LastUid;
    imap_ = &session;
    session.Open();
    const bool ready = WaitImap(session);
    imap_ = nullptr;
    if (ready || QuitRequested) {
        ConnectFailed = !ready;
        return ready;
    }
    const TImapConversation& conversation = session.Conversation;
    // A token the server refused is no good for the next check either.
    if (oauth && conversation.FailedStep() == TImapStep::Login)
        OAuth.Forget(mailBox.Id);
    ReportMailError(texts_.ConnectError, mailBox.MailboxName, ImapErrorText(conversation.ErrorText()),
                    ImapStepName(conversation.FailedStep()));
    session.Close();
    return false;
}

void TMailWatch::ReadImapMailbox(const TMailBox& mailBox)
{
    TImapMemory& memory = imapMemories_[mailBox.Id];
    const std::string folder = DecodeMailboxFolder(mailBox.Folder);
    // Kept for another server, user or folder: nothing of it holds.
    if (memory.Server != mailBox.Server || memory.User != mailBox.User || memory.Folder != folder)
        memory = TImapMemory{mailBox.Server, mailBox.User, folder, 0, 0, {}, {}};
    auto owned = std::make_unique<TImapSession>();
    TImapSession& session = *owned;
    // Twice at most: a message seen before that is gone shows only as a
    // count lower than what was kept, and the folder is then read afresh.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!OpenImap(mailBox, session, memory))
            return;
        const TImapConversation& conversation = session.Conversation;
        if (conversation.UidValidityChanged() || memory.UidValidity != conversation.UidValidity()) {
            memory.ByUid.clear();
            memory.Gone.clear();
        }
        memory.UidValidity = conversation.UidValidity();
        for (const TImapFetch& fetch : conversation.NewMessages())
            if (MarkedDeleted(fetch))
                memory.Gone.insert(fetch.Uid);
            else
                memory.ByUid[fetch.Uid] = EmailOfFetch(fetch, memory.UidValidity);
        memory.LastUid = std::max(memory.LastUid, conversation.LastUid());
        KeepWithinFetch(memory.ByUid);
        if (memory.ByUid.size() + memory.Gone.size() <= conversation.Exists() || attempt == 1)
            break;
        session.Logout();
        WaitImap(session);
        session.Close();
        memory = TImapMemory{mailBox.Server, mailBox.User, folder, 0, 0, {}, {}};
    }
    int number = 0;
    for (const auto& [uid, kept] : memory.ByUid)
        Emails.Add(ImapGridEmail(mailBox, kept, ++number));
    if (number == 0)
        AddMailLog(FormatText(texts_.NoMessageOn, {mailBox.MailboxName}));
    else
        AddMailLog(FormatText(texts_.MessagesOn, {number, mailBox.MailboxName}));
    if (!KeepIdle(mailBox, owned))
        CloseImap(*owned);
}

std::unique_ptr<TEmail> TMailWatch::ImapGridEmail(const TMailBox& mailBox, const TEmail& kept, int number) const
{
    auto email = std::make_unique<TEmail>(kept);
    email->Number = number;
    email->MailboxId = mailBox.Id;
    email->MailboxName = mailBox.MailboxName;
    DecodeEmailFields(*email, ConvertCodePageToUtf8);
    if (email->Octets >= 0)
        email->Size = std::to_string(email->Octets) + " " + texts_.Bytes;
    email->Name = MakeEmailKey(mailBox.MailboxName, number);
    return email;
}

std::vector<TEmail*> TMailWatch::AddImapNews(const TMailBox& mailBox, TImapMemory& memory,
                                             const TImapConversation& conversation)
{
    // Numbered after the mailbox's messages in the grid, as a check would.
    int number = 0;
    for (int i = 0; i < Emails.Count(); ++i)
        if (Emails.ItemAs<TEmail>(i)->MailboxId == mailBox.Id)
            number = std::max(number, Emails.ItemAs<TEmail>(i)->Number);
    std::vector<TEmail*> added;
    // A check since the fetch may have read some already: they are shown.
    for (const TImapFetch& fetch : conversation.NewMessages()) {
        if (fetch.Uid <= memory.LastUid)
            continue;
        if (MarkedDeleted(fetch)) {
            memory.Gone.insert(fetch.Uid);
            continue;
        }
        const TEmail& kept = memory.ByUid[fetch.Uid] = EmailOfFetch(fetch, memory.UidValidity);
        auto email = ImapGridEmail(mailBox, kept, ++number);
        added.push_back(email.get());
        Emails.Add(std::move(email));
    }
    memory.LastUid = std::max(memory.LastUid, conversation.LastUid());
    KeepWithinFetch(memory.ByUid);
    return added;
}

bool TMailWatch::DeleteImapEmail(const TMailBox& mailBox, const TEmail& email)
{
    TImapMemory& memory = imapMemories_[mailBox.Id];
    TImapSession session;
    if (!OpenImap(mailBox, session, memory))
        return false;
    bool deleted = false;
    const std::uint32_t uid = static_cast<std::uint32_t>(email.ImapUid);
    const std::string step = "UID EXPUNGE " + std::to_string(uid);
    if (uid == 0 || session.Conversation.UidValidity() != memory.UidValidity) {
        ReportMailError(texts_.DeleteError, mailBox.MailboxName, ImapErrorText(ImapUidValidityChangedText), step);
    } else if (!session.Conversation.Capabilities().UidPlus()) {
        ReportMailError(texts_.DeleteError, mailBox.MailboxName, ImapErrorText(NoUidPlusText), step);
    } else if (session.DeleteUids({uid})) {
        imap_ = &session;
        WaitImap(session);
        imap_ = nullptr;
        const TImapConversation& conversation = session.Conversation;
        deleted = conversation.Step() == TImapStep::Ready && conversation.SpamResult().How == TImapSpamMove::Deleted;
        if (deleted)
            memory.ByUid.erase(uid);
        else if (!QuitRequested)
            ReportMailError(texts_.DeleteError, mailBox.MailboxName,
                            ImapErrorText(conversation.SpamResult().Error.empty() ? conversation.ErrorText()
                                                                                  : conversation.SpamResult().Error),
                            step);
    }
    CloseImap(session);
    return deleted;
}
