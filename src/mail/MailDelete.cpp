// Deleting one message: a POP3 session of its own that first makes sure the
// message under that number is still the one the last check saw, since mail
// may have been removed or fetched elsewhere in between.
#include "../text/FormatText.h"
#include "../model/unitProcessSpam.h"
#include "../settings/Settings.h"
#include "MailWatch.h"

bool TMailWatch::IsStillTheMessageSeen(const TEmail& email)
{
    // A request that failed because the session did is no answer: it raises,
    // and the deletion reports the error instead of a changed message.
    const auto answered = [this](bool done) {
        if (!done && (!Pop.Connected() || Pop.StatusCode() == 426))
            throw std::runtime_error(FailureReason());
        return done;
    };
    Pop.MsgNum = email.Number;
    if (!email.Uidl.empty())
        return answered(Pop.UidlSync()) && Pop.MsgUidl() == email.Uidl;
    Pop.MsgNum = email.Number;
    if (!answered(Pop.ListSync()) || Pop.MsgSize() != email.Octets)
        return false;
    Pop.MsgNum = email.Number;
    Pop.MsgLines = 0;
    MessageText.clear();
    const bool read = answered(Pop.TopSync());
    const std::string digest = HeaderDigest(MessageText);
    MessageText.clear();
    return read && digest == email.Digest;
}

bool TMailWatch::MarkForDeletion(const TMailBox& box, TEmail& email, const TSpamReason& reason)
{
    const std::string dele = "DELE " + std::to_string(email.Number);
    try {
        if (!IsStillTheMessageSeen(email)) {
            AddMailLog(FormatText(texts_.MessageChanged, {email.Number, box.MailboxName}));
            return false;
        }
        // No DELE without a whole copy on the disk: it would be the message's only trace.
        if (QuarantineCopiesOn(QuarantineLimits()) && !SaveQuarantineCopy(box, email, reason))
            return false;
        Pop.MsgNum = email.Number;
        if (Pop.DeleSync())
            return true;
        // A refused DELE is no deletion: say so with the server's reply.
        ReportMailError(texts_.DeleteError, box.MailboxName, FailureReason(), dele);
    } catch (const std::exception& error) {
        ReportMailError(texts_.DeleteError, box.MailboxName, error.what(), dele);
    }
    return false;
}

bool TMailWatch::EndDeletionSession(const TMailBox& mailBox, bool marked)
{
    // The server removes the marked messages only when QUIT succeeds.
    const bool quit = Pop.QuitSync();
    if (marked && !quit)
        ReportMailError(texts_.DeleteError, mailBox.MailboxName, FailureReason(), "QUIT");
    return marked && quit;
}

void TMailWatch::ReportMailboxRemoved(const TEmail& email)
{
    ReportMailError(texts_.DeleteError, email.MailboxName, texts_.MailboxRemoved,
                    "DELE " + std::to_string(email.Number));
}

bool TMailWatch::DeleteEmail(TEmail& email, bool inBatch)
{
    const TMailBox* configured = MailboxById(settings_.Mailboxes, email.MailboxId);
    if (!configured) {
        ReportMailboxRemoved(email);
        return false;
    }
    bool deleted = false;
    Working();
    // A copy: the settings' mailboxes may be replaced while the session waits.
    const TMailBox box = *configured;
    ConnectMailbox(box);
    if (!ConnectFailed) {
        deleted = EndDeletionSession(box, MarkForDeletion(box, email));
        if (deleted)
            AddMailLog(texts_.MessageDeleted);
    }
    if (deleted && !inBatch) {
        for (int i = 0; i < Emails.Count();) {
            if (Emails.ItemAs<TEmail>(i)->MailboxId == box.Id)
                Emails.Delete(i);
            else
                ++i;
        }
        CheckMailbox(box);
        Tell([](IMailScreen& s) { s.EmailsChanged(); });
    }
    Idle();
    UpdateMailStatus(false);
    return deleted;
}

void TMailWatch::DeleteSelectedEmail(TEmail& email)
{
    if (Busy)
        return;
    ClearMailLog();
    Busy = true;
    DeleteEmail(email, false);
    Busy = false;
}
