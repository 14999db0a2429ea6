// The mail watch's check: every mailbox is read in a POP3 session of its own,
// each message's size, header and first body lines becoming one email. The
// timer's check then decides whether the user is told about new mail.
#include "MailWatch.h"

#include <algorithm>

#include "../framework/Dialogs.h"
#include "../framework/Locale.h"
#include "../imap/ImapSession.h"
#include "../text/FormatText.h"
#include "../model/unitProcessReuse.h"
#include "../model/unitProcessSpam.h"
#include "../settings/Settings.h"

namespace {
// A mailbox's Security value as the client's protection of the session.
TPop3Security SessionSecurity(int security)
{
    return security == MailboxSecurityStartTls   ? pop3SecStartTls
           : security == MailboxSecurityImplicit ? pop3SecImplicit
                                                 : pop3SecNone;
}
}  // namespace

TMailWatch::TMailWatch(TSettings& settings, const TMailTexts& texts)
    : Emails(LocaleCompareText), OAuth(settings.Mailboxes), settings_(settings), texts_(texts)
{
    Emails.SetDuplicates(TDuplicates::Accept);
    Emails.SetSorted(true);
    WireMailClient();
    OAuth.TokenStored = [this](int id) { Tell([id](IMailScreen& s) { s.MailboxChanged(id); }); };
    ConfirmSpamDeletion = [](const std::string& question) { return MessageDlgYesNo(question); };
}

TMailWatch::~TMailWatch() { Emails.Clear(); }

void TMailWatch::AddScreen(IMailScreen& screen) { screens_.push_back(&screen); }

void TMailWatch::RemoveScreen(IMailScreen& screen)
{
    screens_.erase(std::remove(screens_.begin(), screens_.end(), &screen), screens_.end());
}

void TMailWatch::RequestQuit()
{
    QuitRequested = true;
    Pop.CancelRequests();
    // The IMAP session's wait ends at its next look.
    if (imap_)
        imap_->Close();
    // The sessions in IDLE say goodbye: DONE and LOGOUT, within 2 s.
    LogoutIdleSessions(1500);
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
}

void TMailWatch::WireMailClient()
{
    Pop.Timeout = 15;
    Pop.LocalAddr = "0.0.0.0";
    Pop.OnListLine = [this](TCustomPop3Cli*) { PopListLine(); };
    Pop.OnMessageLine = [this](TCustomPop3Cli*) { PopMessageLine(); };
    Pop.OnMessageEnd = [this](TCustomPop3Cli*) {
        if (copy_)
            copy_->End();
    };
    Pop.OnHeaderEnd = [this](TCustomPop3Cli*) { PopHeaderEnd(); };
    Pop.OnUidlLine = [this](TCustomPop3Cli*) { PopUidlLine(); };
}

void TMailWatch::TimerCheck()
{
    if (Busy)
        return;
    const int before = Emails.Count();
    const std::set<TMessageIdentity> seen = MessageIdentities(EmailsOf(Emails));
    CheckAllMailboxes(false);
    const int after = Emails.Count();
    if (QuitRequested)
        return;
    // New mail: another count, or the same count with a message not seen before.
    const bool changed = after != before || HasNewMessage(seen, EmailsOf(Emails));
    if (changed && after > 0) {
        // The spam among the new messages goes at once: it is not announced.
        std::vector<const TEmail*> fresh;
        const TSpamRules rules = SpamRules();
        for (const TEmail* email : NewEmails(seen, before, EmailsOf(Emails)))
            if (!settings_.SpamKillerActive || !rules.Marks(*email))
                fresh.push_back(email);
        const std::vector<TMailSummary> summaries = SummariesOf(fresh);
        bool goOn = true;
        Tell([&goOn, &summaries](IMailScreen& s) { goOn = s.NewMailArrived(summaries) && goOn; });
        if (!goOn)
            return;  // a clip that cannot play ends this tick
    }
    if (after > 0 && settings_.SpamKillerActive) {
        // What the servers confirmed: a message another client removed
        // meanwhile is no deletion of ours.
        const int deleted = DeleteSpamEmails(TSpamCycleStart::Timer);
        if (deleted > 0) {
            AddMailLog(FormatText(texts_.SpamDeleted, {deleted}));
            const std::vector<TMailSummary> removed = SpamRemoved;
            Tell([&removed](IMailScreen& s) { s.SpamCycleDeleted(removed); });
        }
    }
}

void TMailWatch::CheckAllMailboxes(bool keepLog)
{
    if (Busy)
        return;
    UpdateMailStatus(true);
    if (!keepLog)
        ClearMailLog();
    Busy = true;
    AddMailLog(texts_.CheckStart);
    Working();
    Emails.Clear();
    Tell([](IMailScreen& s) { s.EmailsCleared(); });
    MailboxesInError.clear();
    // The options dialog stays usable meanwhile: the list may shrink under the
    // walk. A Quit chosen meanwhile ends the check after the mailbox in hand.
    for (int i = 0; i < settings_.Mailboxes.Count() && !QuitRequested; ++i) {
        const TMailBox mailBox = *settings_.Mailboxes.ItemAs<TMailBox>(i);
        CheckMailbox(mailBox);
    }
    ForgetRemovedMailboxes();
    CloseStaleIdle();
    Tell([](IMailScreen& s) { s.EmailsChanged(); });
    LastCheck = std::time(nullptr);
    UpdateMailStatus(false);
    Idle();
    Busy = false;
    AddMailLog(texts_.CheckEnd);
}

void TMailWatch::ForgetRemovedMailboxes()
{
    std::set<int> configured;
    for (int i = 0; i < settings_.Mailboxes.Count(); ++i)
        configured.insert(settings_.Mailboxes.ItemAs<TMailBox>(i)->Id);
    for (auto memory = memories_.begin(); memory != memories_.end();)
        memory = configured.count(memory->first) ? std::next(memory) : memories_.erase(memory);
    for (auto memory = imapMemories_.begin(); memory != imapMemories_.end();)
        memory = configured.count(memory->first) ? std::next(memory) : imapMemories_.erase(memory);
    OAuth.KeepOnly(configured);
}

void TMailWatch::ConnectMailbox(const TMailBox& mailBox)
{
    // A Security value the program does not know could mean anything: the
    // mailbox waits for the user's choice rather than going out in clear.
    if (mailBox.Security == MailboxSecurityUnknown) {
        ReportMailError(texts_.ConnectError, mailBox.MailboxName,
                        FormatText(texts_.SecurityUnknown, {mailBox.UnknownSecurity}), "Security");
        return;
    }
    const bool oauth = mailBox.Auth == MailboxAuthOAuth;
    // A stored password that does not open here is no password to send, and
    // an empty one would only be refused: the log says what to do.
    if (!oauth && mailBox.Password.empty() && !mailBox.UnreadablePassword.empty()) {
        ReportMailError(texts_.ConnectError, mailBox.MailboxName, texts_.PasswordUnreadable, "PASS");
        return;
    }
    Pop.Login = oauth ? pop3LoginOAuth : pop3LoginPassword;
    Pop.AccessToken.clear();
    if (oauth && !PrepareOAuth(mailBox))
        return;
    try {
        Pop.Host = mailBox.Server;
        Pop.UserName = mailBox.User;
        // An OAuth mailbox never sends the password, whatever is stored.
        Pop.PassWord = oauth ? std::string() : mailBox.Password;
        Pop.Port = mailBox.Port;
        Pop.Security = SessionSecurity(mailBox.Security);
        Pop.Fingerprint = mailBox.Fingerprint;
        ConnectFailed = false;
        // A mailbox that cannot be read says so: an unreachable server, a
        // refused certificate or STLS, or a refused login is not an empty
        // mailbox. The step is named, never the password.
        const bool startTls = Pop.Security == pop3SecStartTls;
        const char* failedStep = !Pop.ConnectSync()                ? "connect"
                                 : startTls && !Pop.StlsSync()    ? "STLS"
                                 : oauth                          ? (!Pop.AuthSync() ? "AUTH" : nullptr)
                                 : !Pop.UserSync()                ? "USER"
                                 : !Pop.PassSync()                ? "PASS"
                                                                  : nullptr;
        // A token the server refused is no good for the next check either:
        // that one gets a new token first.
        if (oauth && failedStep && std::string(failedStep) == "AUTH")
            OAuth.Forget(mailBox.Id);
        if (failedStep) {
            // The first error since the connection began: the server's reply,
            // Winsock's text or the time-out.
            ReportMailError(texts_.ConnectError, mailBox.MailboxName, Pop.ErrorMessage(), failedStep);
            if (Pop.Connected())
                Pop.QuitSync();
        }
    } catch (const std::exception& error) {
        ReportMailError(texts_.ConnectError, mailBox.MailboxName, error.what(), Pop.LastResponse());
    }
}

bool TMailWatch::PrepareOAuth(const TMailBox& mailBox)
{
    // A bearer token in clear would be anyone's: refused before connecting.
    if (mailBox.Security == MailboxSecurityNone) {
        ReportMailError(texts_.ConnectError, mailBox.MailboxName, Pop3OAuthNeedsTls, "AUTH");
        return false;
    }
    std::string errorLine;
    if (!OAuth.AccessToken(mailBox, Pop.AccessToken, errorLine)) {
        ReportMailError(texts_.ConnectError, mailBox.MailboxName,
                        errorLine == OAuthSignInExpiredLine ? texts_.OAuthSignInExpired : errorLine, "OAuth");
        return false;
    }
    return true;
}

std::string TMailWatch::FailureReason() const
{
    // A time-out or a cancel is the wait's own text, a lost session says so;
    // otherwise the server's refusal.
    if (Pop.StatusCode() == 426)
        return Pop.ErrorMessage();
    if (Pop.Connected())
        return Pop.LastResponse();
    // A TLS failure (a record that could not be decrypted) says what it was.
    const std::string& tls = Pop.Socket()->TlsErrorText();
    return tls.empty() ? texts_.ConnectionLost : "-ERR " + tls;
}

void TMailWatch::CheckMailbox(const TMailBox& mailBox)
{
    ReadMailbox(mailBox);
    // Counted once per mailbox, also when a deletion reads it again.
    if (ConnectFailed)
        MailboxesInError.insert(mailBox.Id);
    else
        MailboxesInError.erase(mailBox.Id);
}

void TMailWatch::ReadMailbox(const TMailBox& mailBox)
{
    if (mailBox.Protocol == MailboxProtocolImap) {
        ReadImapMailbox(mailBox);
        return;
    }
    ConnectMailbox(mailBox);
    if (ConnectFailed)
        return;
    // Accepted although its CRL or OCSP server gave no answer: said once per check.
    if (Pop.Socket()->TlsRevocationUnknown())
        AddMailLog(FormatText(texts_.RevocationUnknown, {mailBox.MailboxName}));
    std::string step = "CAPA";  // the request in hand, named in an error line
    try {
        const bool pipelining = AskPipelining();
        step = "LIST";
        const TMailboxListing listing = ListMailbox(pipelining);
        std::shared_ptr<TMailboxMemory>& kept = memories_[mailBox.Id];
        if (!kept)
            kept = std::make_shared<TMailboxMemory>();
        // The plan points into the memory: it is held until the read is done.
        const std::shared_ptr<TMailboxMemory> memory = kept;
        const std::vector<TMessagePlan> plan =
            PlanMailboxRead(listing, *memory, mailBox.Server, mailBox.User, settings_.EmailLines);
        ReadMessages(mailBox, *memory, plan, pipelining, step);
        if (ListCount == 0)
            AddMailLog(FormatText(texts_.NoMessageOn, {mailBox.MailboxName}));
        else
            AddMailLog(FormatText(texts_.MessagesOn, {ListCount, mailBox.MailboxName}));
        Pop.QuitSync();
    } catch (const std::exception& error) {
        CountingList = false;
        CollectingUidls = false;
        Pop.OnPipelinedReply = nullptr;
        ReportMailError(texts_.LoadError, mailBox.MailboxName, error.what(), step);
        Pop.QuitSync();
    }
}

bool TMailWatch::AskPipelining()
{
    if (!Pop.CapaKnown())
        Pop.CapaSync();
    return Pop.HasCapability("PIPELINING");
}

TMailboxListing TMailWatch::ListMailbox(bool pipelining)
{
    ListCount = 0;
    ListCut = false;
    ListedSizes.clear();
    UidlByNumber.clear();
    Pop.MsgNum = 0;
    CountingList = true;
    CollectingUidls = true;
    bool listed = false;
    bool uidlsListed = false;
    Pop.OnPipelinedReply = [&](TCustomPop3Cli*, std::size_t index, bool done) {
        CountingList = false;
        (index == 0 ? listed : uidlsListed) = done;
    };
    // One at a time, the unique ids are asked only of a mailbox that has messages.
    Pop.PipelineSync({{pop3ReqList}, {pop3ReqUidl}}, pipelining ? 2 : 1,
                        [&](std::size_t index) { return index == 0 || pipelining || ListCount > 0; });
    Pop.OnPipelinedReply = nullptr;
    CountingList = false;
    CollectingUidls = false;
    // A refused or cut list is no count: the mailbox is in error, not empty.
    if (ListCut)
        throw std::runtime_error("426 " + ListTooLong());
    if (!listed)
        throw std::runtime_error(FailureReason());
    TMailboxListing listing;
    listing.Count = ListCount;
    listing.Sizes.swap(ListedSizes);
    if (uidlsListed)
        listing.Uidls.swap(UidlByNumber);
    UidlByNumber.clear();
    return listing;
}

std::string TMailWatch::ListTooLong() const
{
    return "more than " + std::to_string(MaxListedMessages) + " messages listed";
}

void TMailWatch::PopListLine()
{
    if (!CountingList)
        return;
    if (ListCount >= MaxListedMessages) {
        CountingList = false;
        ListCut = true;
        Pop.StopRequest(ListTooLong());
        return;
    }
    ++ListCount;
    ListedSizes[Pop.MsgNum] = Pop.MsgSize();
}

void TMailWatch::PopMessageLine()
{
    // What is kept of a message is for reading in the window: a server that
    // sends megabytes of header or an endless reply does not fill the memory.
    constexpr std::size_t MaxMessageText = 1 << 20;
    // A copy before a deletion keeps every byte: it is the message's last trace.
    if (copy_) {
        copy_->AddLine(Pop.LastResponse(), Pop.LastLineContinuation());
        return;
    }
    if (MessageText.size() < MaxMessageText)
        MessageText += Pop.LastResponse() + "\r\n";
}

void TMailWatch::PopHeaderEnd()
{
    HeaderFrom = Pop.MsgFrom();
    HeaderTo = Pop.MsgTo();
    HeaderSubject = Pop.MsgSubject();
}

void TMailWatch::PopUidlLine()
{
    // One id per message the list counted, whatever else the server sends.
    if (CollectingUidls && Pop.MsgNum >= 1 && Pop.MsgNum <= ListCount)
        UidlByNumber[Pop.MsgNum] = Pop.MsgUidl();
}

void TMailWatch::ReportMailError(const std::string& format, const std::string& mailboxName,
                                 const std::string& error, const std::string& detail)
{
    LastError = FormatText(format, {mailboxName, error, detail});
    ConnectFailed = true;
    AddMailLog("");
}
