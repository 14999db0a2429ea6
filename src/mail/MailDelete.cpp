// Deleting one message: on an IMAP mailbox, its UID marked and expunged
// alone (MailImap.cpp); on POP3, a session of its own, whose DELE waits until
// the message under that number is known to be still the one the last check
// saw and, with copies on, is saved whole (MailDeleteSteps.cpp).
#include <algorithm>

#include "../settings/Settings.h"
#include "MailWatch.h"

bool TMailWatch::EndDeletionSession(const TMailBox& mailBox, std::vector<TDeletion>& deletions)
{
    const bool marked = std::any_of(deletions.begin(), deletions.end(), [](const TDeletion& d) { return d.Marked; });
    // The server removes the marked messages only when QUIT succeeds.
    const bool quit = Pop.QuitSync();
    if (marked && !quit)
        ReportMailError(texts_.DeleteError, mailBox.MailboxName, FailureReason(), "QUIT");
    std::vector<TUnflushedCopy> copies;
    for (TDeletion& deletion : deletions)
        if (!deletion.Copy.CopyPath.empty()) {
            deletion.Copy.Confirmed = deletion.Marked && quit;
            copies.push_back(deletion.Copy);
        }
    SettleQuarantineCopies(copies);
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
    if (box.Protocol == MailboxProtocolImap) {
        deleted = DeleteImapEmail(box, email);
        if (deleted)
            AddMailLog(texts_.MessageDeleted);
    } else {
        ConnectMailbox(box);
        if (!ConnectFailed) {
            std::vector<TDeletion> deletion{{&email, TSpamReason()}};
            MarkForDeletion(box, deletion);
            deleted = EndDeletionSession(box, deletion);
            if (deleted)
                AddMailLog(texts_.MessageDeleted);
        }
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
