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
#include "../model/unitProcessSpam.h"
#include "../settings/ihmOptions.h"

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
    CheckAllMailboxes(false);
    const int after = Emails.Count();
    if (QuitRequested)
        return;
    if (after != before && after > 0 && ihmMailbox && !ihmMailbox->Visible()) {
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
    try {
        utlPop.Host = mailBox.Server;
        utlPop.UserName = mailBox.User;
        utlPop.PassWord = mailBox.Password;
        utlPop.Port = "110";
        ConnectFailed = false;
        // A mailbox that cannot be read says so: an unreachable server or a
        // refused login is not an empty mailbox. The step is named, never
        // the password.
        const char* failedStep = !utlPop.ConnectSync() ? "connect"
                                 : !utlPop.UserSync()  ? "USER"
                                 : !utlPop.PassSync()  ? "PASS"
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
    return utlPop.Connected() ? utlPop.LastResponse() : MsgConnectionLost;
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
    std::unique_ptr<TEmail> email;
    std::string step = "LIST";  // the request in hand, named in an error line
    try {
        ListCount = 0;
        utlPop.MsgNum = 0;
        CountingList = true;
        const bool listed = utlPop.ListSync();
        CountingList = false;
        // A refused or cut list is no count: the mailbox is in error, not empty.
        if (!listed)
            throw std::runtime_error(FailureReason());
        const int bodyLines = ihmOptions->EmailLines();
        std::vector<TEmail*> read;
        // A refused request leaves that message's fields empty, unless the server
        // went away: then the rest cannot be read, rather than listed as empty.
        const auto stillThere = [this](bool done) {
            if (!done && !utlPop.Connected())
                throw std::runtime_error(FailureReason());
            return done;
        };
        for (int n = 1; n <= ListCount && !QuitRequested; ++n) {
            utlPop.MsgNum = n;
            utlPop.MsgLines = 0;
            email = std::make_unique<TEmail>();
            email->Number = n;
            email->MailBox = &mailBox;
            step = "LIST " + std::to_string(n);
            // A size the server refused is unknown, not the one of the message before.
            if (stillThere(utlPop.ListSync())) {
                email->Octets = utlPop.MsgSize();
                email->Size = std::to_string(utlPop.MsgSize()) + " " + MsgBytes;
            }
            step = "TOP " + std::to_string(n) + " 0";
            MessageText.clear();
            HeaderFrom.clear();
            HeaderTo.clear();
            HeaderSubject.clear();
            stillThere(utlPop.TopSync());
            email->From = HeaderFrom;
            email->To = HeaderTo;
            email->Subject = HeaderSubject;
            email->Header = MessageText;
            email->Digest = HeaderDigest(MessageText);
            utlPop.MsgLines = bodyLines;
            step = "TOP " + std::to_string(n) + " " + std::to_string(bodyLines);
            MessageText.clear();
            stillThere(utlPop.TopSync());
            email->Body = MessageText;
            MessageText.clear();
            StripEmailHeader(*email);
            email->Name = MakeEmailKey(mailBox.MailboxName, n);
            read.push_back(email.get());
            Emails.Add(std::move(email));
        }
        if (ListCount == 0)
            AddMailLog(FormatText(MsgNoMessageOn, {mailBox.MailboxName}));
        else
            AddMailLog(FormatText(MsgMessagesOn, {ListCount, mailBox.MailboxName}));
        step = "UIDL";
        ReadUidls(read);
        utlPop.QuitSync();
    } catch (const std::exception& error) {
        CountingList = false;
        CollectingUidls = false;
        email.reset();
        ReportMailError(MsgLoadError, mailBox, error.what(), step);
        utlPop.QuitSync();
    }
}

void TihmMain::ReadUidls(const std::vector<TEmail*>& emails)
{
    if (emails.empty() || !utlPop.Connected())
        return;
    UidlByNumber.clear();
    utlPop.MsgNum = 0;
    CollectingUidls = true;
    const bool listed = utlPop.UidlSync();
    CollectingUidls = false;
    if (listed)
        for (TEmail* email : emails) {
            auto found = UidlByNumber.find(email->Number);
            if (found != UidlByNumber.end())
                email->Uidl = found->second;
        }
    UidlByNumber.clear();
}

void TihmMain::utlPopListLine()
{
    if (CountingList)
        ++ListCount;
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
    if (CollectingUidls && !utlPop.MsgUidl().empty() && utlPop.MsgNum >= 1 && utlPop.MsgNum <= ListCount)
        UidlByNumber[utlPop.MsgNum] = utlPop.MsgUidl();
}

void TihmMain::ReportMailError(const std::string& format, const TMailBox& mailBox, const std::string& error,
                               const std::string& detail)
{
    LastError = FormatText(format, {mailBox.MailboxName, error, detail});
    ConnectFailed = true;
    AddMailLog("");
}
