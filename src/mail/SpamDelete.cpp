// The spam cycle: every message that the user's lists mark is deleted from
// its server, counted and announced, then the mailboxes are read again.
#include "../framework/CaseFold.h"
#include "../model/unitProcessSpam.h"
#include "../settings/Settings.h"
#include "MailWatch.h"

TSpamLists TMailWatch::SpamLists() const
{
    return ParseSpamLists(settings_.SpamAddresses, settings_.SpamSubjects, FoldCase);
}

bool TMailWatch::IsSpamEmail(const TEmail& email) const { return SpamLists().Marks(email); }

int TMailWatch::DeleteSpamEmails()
{
    ClearMailLog();
    Busy = true;
    SpamRemoved.clear();
    AddMailLog(texts_.SpamStart);
    Working();
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
    int deleted = 0;
    for (std::size_t first = 0; first < order.size() && !QuitRequested;) {
        std::size_t end = first;
        while (end < order.size() && order[end]->MailboxId == order[first]->MailboxId)
            ++end;
        const std::vector<TEmail*> spamOf(order.begin() + first, order.begin() + end);
        first = end;
        const TMailBox* configured = MailboxById(settings_.Mailboxes, spamOf.front()->MailboxId);
        if (!configured) {
            for (const TEmail* email : spamOf)
                ReportMailboxRemoved(*email);
            continue;
        }
        // A copy: the settings' mailboxes may be replaced while the session waits.
        const TMailBox mailBox = *configured;
        deleted += DeleteSpamOf(mailBox, spamOf);
    }
    UpdateMailStatus(false);
    Idle();
    Busy = false;
    AddMailLog(texts_.SpamEnd);
    if (!spam.empty() && !QuitRequested)
        CheckAllMailboxes(true);
    return deleted;
}

int TMailWatch::DeleteSpamOf(const TMailBox& mailBox, const std::vector<TEmail*>& spam)
{
    int deleted = 0;
    Working();
    ConnectMailbox(mailBox);
    if (!ConnectFailed) {
        // Numbers do not change within a session: each message is checked,
        // then marked, and the server removes them all at QUIT.
        std::vector<TMailSummary> marked;
        for (TEmail* email : spam) {
            if (QuitRequested)
                break;
            if (MarkForDeletion(mailBox, *email))
                marked.push_back(SummaryOf(*email));
        }
        // Only messages the server took are counted and announced.
        if (EndDeletionSession(mailBox, !marked.empty()))
            for (; deleted < static_cast<int>(marked.size()); ++deleted) {
                AddMailLog(texts_.MessageDeleted);
                ++settings_.CounterSpam;
                SpamRemoved.push_back(marked[static_cast<std::size_t>(deleted)]);
                Tell([](IMailScreen& s) { s.SpamDeleted(); });
            }
    }
    Idle();
    UpdateMailStatus(false);
    return deleted;
}
