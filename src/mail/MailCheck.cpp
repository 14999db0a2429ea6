// The mail watch's check: every mailbox is read in a POP3 session of its own,
// each message's size, header and first body lines becoming one email. The
// timer's check then decides whether the user is told about new mail.
#include "../app/Divers.h"
#include "../app/ihmMain.h"
#include "../app/unitGlobal.h"
#include "../forms/ihmMailbox.h"
#include "../forms/ihmVideo.h"
#include "../framework/Dialogs.h"
#include "../framework/Files.h"
#include "../model/unitProcessReuse.h"
#include "../model/unitProcessSpam.h"
#include "../settings/SettingsValues.h"
#include "../settings/ihmOptions.h"

namespace {
// A mailbox's Security value as the client's protection of the session.
TPop3Security SessionSecurity(int security)
{
    return security == MailboxSecurityStartTls   ? pop3SecStartTls
           : security == MailboxSecurityImplicit ? pop3SecImplicit
                                                 : pop3SecNone;
}
}  // namespace

void TihmMain::WireMailClient()
{
    utlPop.Timeout = 15;
    utlPop.LocalAddr = "0.0.0.0";
    utlPop.OnListLine = [this](TCustomPop3Cli*) { utlPopListLine(); };
    utlPop.OnMessageLine = [this](TCustomPop3Cli*) { utlPopMessageLine(); };
    utlPop.OnHeaderEnd = [this](TCustomPop3Cli*) { utlPopHeaderEnd(); };
    utlPop.OnUidlLine = [this](TCustomPop3Cli*) { utlPopUidlLine(); };
    utlTimerEmail.OnTimer = [this] { utlTimerEmailTimer(); };
}

void TihmMain::utlTimerEmailTimer()
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
    if (changed && after > 0 && ihmMailbox && !ihmMailbox->Visible()) {
        ShowForm(ihmMailbox);
        // The user may have switched the watch off while the check ran.
        if (ihmOptions->MailNotification()) {
            if (HasWaveDevice() && FileExists(ihmOptions->SoundFileEmail()))
                PlaySoundFile(ihmOptions->SoundFileEmail());
            if (ihmVideo && FileExists(ihmOptions->VideoFileEmail())) {
                try {
                    ihmVideo->ShowEmailVideo(ihmOptions->VideoFileEmail(), ihmOptions->NoBorderVideo());
                } catch (const std::exception& error) {
                    MessageDlg(error.what(), TMsgDlgType::Error);
                    return;  // a clip that cannot play ends this tick
                }
            }
        }
    }
    if (after > 0 && ihmOptions->SpamKillerActive()) {
        const int beforeSpam = Emails.Count();
        DeleteSpamEmails();
        const int afterSpam = Emails.Count();
        if (beforeSpam > afterSpam)
            AddMailLog(FormatText(MsgSpamDeleted, {beforeSpam - afterSpam}));
    }
}

void TihmMain::CheckNow()
{
    CountBeforeCheck = Emails.Count();
    CheckAllMailboxes(false);
    if (Emails.Count() != CountBeforeCheck)
        ShowForm(ihmMailbox);
}

void TihmMain::CheckAllMailboxes(bool keepLog)
{
    if (Busy)
        return;
    UpdateMailStatus(true);
    if (!keepLog)
        ClearMailLog();
    Busy = true;
    AddMailLog(MsgCheckStart);
    utlIcon.SetEnabled(true);
    Emails.Clear();
    if (ihmMailbox)
        ihmMailbox->EmailsCleared();
    MailboxesInError.clear();
    // The options dialog stays usable meanwhile: the list may shrink under the
    // walk. A Quit chosen meanwhile ends the check after the mailbox in hand.
    for (int i = 0; ihmOptions && i < ihmOptions->Mailboxes.Count() && !QuitRequested; ++i)
        CheckMailbox(*ihmOptions->Mailboxes.ItemAs<TMailBox>(i));
    if (ihmMailbox)
        ihmMailbox->FillMailGrid();
    LastCheck = std::time(nullptr);
    UpdateMailStatus(false);
    UpdateTrayIcon();
    Busy = false;
    AddMailLog(MsgCheckEnd);
}

void TihmMain::ConnectMailbox(TMailBox& mailBox)
{
    // A Security value the program does not know could mean anything: the
    // mailbox waits for the user's choice rather than going out in clear.
    if (mailBox.Security == MailboxSecurityUnknown) {
        ReportMailError(MsgConnectError, mailBox, FormatText(MsgSecurityUnknown, {mailBox.UnknownSecurity}),
                        "Security");
        return;
    }
    try {
        utlPop.Host = mailBox.Server;
        utlPop.UserName = mailBox.User;
        utlPop.PassWord = mailBox.Password;
        utlPop.Port = mailBox.Port;
        utlPop.Security = SessionSecurity(mailBox.Security);
        utlPop.Fingerprint = mailBox.Fingerprint;
        ConnectFailed = false;
        // A mailbox that cannot be read says so: an unreachable server, a
        // refused certificate or STLS, or a refused login is not an empty
        // mailbox. The step is named, never the password.
        const bool startTls = utlPop.Security == pop3SecStartTls;
        const char* failedStep = !utlPop.ConnectSync()             ? "connect"
                                 : startTls && !utlPop.StlsSync() ? "STLS"
                                 : !utlPop.UserSync()             ? "USER"
                                 : !utlPop.PassSync()             ? "PASS"
                                                                  : nullptr;
        if (failedStep) {
            // The first error since the connection began: the server's reply,
            // Winsock's text or the time-out.
            ReportMailError(MsgConnectError, mailBox, utlPop.ErrorMessage(), failedStep);
            if (utlPop.Connected())
                utlPop.QuitSync();
        }
    } catch (const std::exception& error) {
        ReportMailError(MsgConnectError, mailBox, error.what(), utlPop.LastResponse());
    }
}

std::string TihmMain::FailureReason() const
{
    // A time-out or a cancel is the wait's own text, a lost session says so;
    // otherwise the server's refusal.
    if (utlPop.StatusCode() == 426)
        return utlPop.ErrorMessage();
    if (utlPop.Connected())
        return utlPop.LastResponse();
    // A TLS failure (a record that could not be decrypted) says what it was.
    const std::string& tls = utlPop.Socket()->TlsErrorText();
    return tls.empty() ? MsgConnectionLost : "-ERR " + tls;
}

void TihmMain::CheckMailbox(TMailBox& mailBox)
{
    ReadMailbox(mailBox);
    // Counted once per mailbox, also when a deletion reads it again.
    if (ConnectFailed)
        MailboxesInError.insert(&mailBox);
    else
        MailboxesInError.erase(&mailBox);
}

void TihmMain::ReadMailbox(TMailBox& mailBox)
{
    ConnectMailbox(mailBox);
    if (ConnectFailed)
        return;
    // Accepted although its CRL or OCSP server gave no answer: said once per check.
    if (utlPop.Socket()->TlsRevocationUnknown())
        AddMailLog(FormatText(MsgRevocationUnknown, {mailBox.MailboxName}));
    std::string step = "CAPA";  // the request in hand, named in an error line
    try {
        const bool pipelining = AskPipelining();
        step = "LIST";
        const TMailboxListing listing = ListMailbox(pipelining);
        if (!mailBox.Memory)
            mailBox.Memory = std::make_shared<TMailboxMemory>();
        const std::vector<TMessagePlan> plan =
            PlanMailboxRead(listing, *mailBox.Memory, mailBox.Server, mailBox.User, ihmOptions->EmailLines());
        ReadMessages(mailBox, plan, pipelining, step);
        if (ListCount == 0)
            AddMailLog(FormatText(MsgNoMessageOn, {mailBox.MailboxName}));
        else
            AddMailLog(FormatText(MsgMessagesOn, {ListCount, mailBox.MailboxName}));
        utlPop.QuitSync();
    } catch (const std::exception& error) {
        CountingList = false;
        CollectingUidls = false;
        utlPop.OnPipelinedReply = nullptr;
        ReportMailError(MsgLoadError, mailBox, error.what(), step);
        utlPop.QuitSync();
    }
}

bool TihmMain::AskPipelining()
{
    if (!utlPop.CapaKnown())
        utlPop.CapaSync();
    return utlPop.HasCapability("PIPELINING");
}

TMailboxListing TihmMain::ListMailbox(bool pipelining)
{
    ListCount = 0;
    ListCut = false;
    ListedSizes.clear();
    UidlByNumber.clear();
    utlPop.MsgNum = 0;
    CountingList = true;
    CollectingUidls = true;
    bool listed = false;
    bool uidlsListed = false;
    utlPop.OnPipelinedReply = [&](TCustomPop3Cli*, std::size_t index, bool done) {
        CountingList = false;
        (index == 0 ? listed : uidlsListed) = done;
    };
    // One at a time, the unique ids are asked only of a mailbox that has messages.
    utlPop.PipelineSync({{pop3ReqList}, {pop3ReqUidl}}, pipelining ? 2 : 1,
                        [&](std::size_t index) { return index == 0 || pipelining || ListCount > 0; });
    utlPop.OnPipelinedReply = nullptr;
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

std::string TihmMain::ListTooLong() const
{
    return "more than " + std::to_string(MaxListedMessages) + " messages listed";
}

void TihmMain::utlPopListLine()
{
    if (!CountingList)
        return;
    if (ListCount >= MaxListedMessages) {
        CountingList = false;
        ListCut = true;
        utlPop.StopRequest(ListTooLong());
        return;
    }
    ++ListCount;
    ListedSizes[utlPop.MsgNum] = utlPop.MsgSize();
}

void TihmMain::utlPopMessageLine()
{
    // What is kept of a message is for reading in the window: a server that
    // sends megabytes of header or an endless reply does not fill the memory.
    constexpr std::size_t MaxMessageText = 1 << 20;
    if (MessageText.size() < MaxMessageText)
        MessageText += utlPop.LastResponse() + "\r\n";
}

void TihmMain::utlPopHeaderEnd()
{
    HeaderFrom = utlPop.MsgFrom();
    HeaderTo = utlPop.MsgTo();
    HeaderSubject = utlPop.MsgSubject();
}

void TihmMain::utlPopUidlLine()
{
    // One id per message the list counted, whatever else the server sends.
    if (CollectingUidls && utlPop.MsgNum >= 1 && utlPop.MsgNum <= ListCount)
        UidlByNumber[utlPop.MsgNum] = utlPop.MsgUidl();
}

void TihmMain::ReportMailError(const std::string& format, const TMailBox& mailBox, const std::string& error,
                               const std::string& detail)
{
    LastError = FormatText(format, {mailBox.MailboxName, error, detail});
    ConnectFailed = true;
    AddMailLog("");
}
