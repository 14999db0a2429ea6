// The spam cycle: every message that the user's lists mark is deleted from
// its server, counted and announced, then the mailboxes are read again.
#include "../app/Divers.h"
#include "../app/ihmMain.h"
#include "../app/unitGlobal.h"
#include "../framework/CaseFold.h"
#include "../framework/Files.h"
#include "../model/unitProcessSpam.h"
#include "../settings/ihmOptions.h"

TSpamLists TihmMain::SpamLists() const
{
    return ihmOptions ? ParseSpamLists(ihmOptions->zdsEmail.Text(), ihmOptions->zdsSubject.Text(), FoldCase) : TSpamLists();
}

bool TihmMain::IsSpamEmail(const TEmail& email) const { return SpamLists().Marks(email); }

void TihmMain::DeleteSpamEmails()
{
    ClearMailLog();
    Busy = true;
    AddMailLog(MsgSpamStart);
    utlIcon.SetEnabled(true);
    const TSpamLists lists = SpamLists();
    std::vector<TEmail*> spam;
    for (int i = Emails.Count() - 1; i >= 0; --i) {
        TEmail* email = Emails.ItemAs<TEmail>(i);
        if (lists.Marks(*email))
            spam.push_back(email);
    }
    // The sort key puts message 1000 before 999: the numbers are ordered
    // again so that each mailbox loses its highest numbers first, all in one
    // session (which servers that limit logins prefer).
    const std::vector<TEmail*> order = SpamDeletionOrder(spam);
    for (std::size_t first = 0; first < order.size() && !QuitRequested;) {
        std::size_t end = first;
        while (end < order.size() && order[end]->MailBox == order[first]->MailBox)
            ++end;
        DeleteSpamOf(*order[first]->MailBox, std::vector<TEmail*>(order.begin() + first, order.begin() + end));
        first = end;
    }
    UpdateMailStatus(false);
    UpdateTrayIcon();
    Busy = false;
    AddMailLog(MsgSpamEnd);
    if (!spam.empty() && !QuitRequested)
        CheckAllMailboxes(true);
}

void TihmMain::DeleteSpamOf(TMailBox& mailBox, const std::vector<TEmail*>& spam)
{
    utlIcon.SetEnabled(true);
    ConnectMailbox(mailBox);
    if (!ConnectFailed) {
        // Numbers do not change within a session: each message is checked,
        // then marked, and the server removes them all at QUIT.
        int marked = 0;
        for (TEmail* email : spam) {
            if (QuitRequested)
                break;
            if (MarkForDeletion(*email))
                ++marked;
        }
        // Only messages the server took are counted and announced.
        if (EndDeletionSession(mailBox, marked > 0))
            for (int i = 0; i < marked; ++i) {
                AddMailLog(MsgMessageDeleted);
                ihmOptions->SetCounterSpam(ihmOptions->CounterSpam() + 1);
                if (ihmOptions->SoundOnKillSpam() && HasWaveDevice() && FileExists(ihmOptions->SoundFileSpam()))
                    PlaySoundFile(ihmOptions->SoundFileSpam());
            }
    }
    UpdateTrayIcon();
    UpdateMailStatus(false);
}
