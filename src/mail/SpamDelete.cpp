// The spam cycle: every message that the user's lists mark is deleted from
// its server, counted and announced, then the mailboxes are read again.
#include "../app/Divers.h"
#include "../app/ihmMain.h"
#include "../app/unitGlobal.h"
#include "../framework/Files.h"
#include "../model/unitProcessSpam.h"
#include "../settings/ihmOptions.h"

bool TihmMain::IsSpamEmail(const TEmail& email) const
{
    if (!ihmOptions)
        return false;
    return IsSpamEmailFor(email, SpamEntries(ihmOptions->zdsEmail.Text()), SpamEntries(ihmOptions->zdsSubject.Text()));
}

void TihmMain::DeleteSpamEmails()
{
    ClearMailLog();
    Busy = true;
    AddMailLog(MsgSpamStart);
    utlIcon.SetEnabled(true);
    std::vector<TEmail*> spam;
    for (int i = Emails.Count() - 1; i >= 0; --i) {
        TEmail* email = Emails.ItemAs<TEmail>(i);
        if (IsSpamEmail(*email))
            spam.push_back(email);
    }
    // The sort key puts message 1000 before 999: the numbers are ordered
    // again so that each mailbox loses its highest numbers first.
    for (TEmail* email : SpamDeletionOrder(spam)) {
        if (QuitRequested)
            break;
        // Only a message the server took is counted and announced.
        if (!DeleteEmail(*email, true))
            continue;
        ihmOptions->SetCounterSpam(ihmOptions->CounterSpam() + 1);
        if (ihmOptions->SoundOnKillSpam() && HasWaveDevice() && FileExists(ihmOptions->SoundFileSpam()))
            PlaySoundFile(ihmOptions->SoundFileSpam());
    }
    UpdateMailStatus(false);
    UpdateTrayIcon();
    Busy = false;
    AddMailLog(MsgSpamEnd);
    if (!spam.empty() && !QuitRequested)
        CheckAllMailboxes(true);
}
