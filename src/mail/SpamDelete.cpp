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
        while (end < order.size() && order[end]->MailBox == order[first]->MailBox)
            ++end;
        deleted += DeleteSpamOf(*order[first]->MailBox, std::vector<TEmail*>(order.begin() + first, order.begin() + end));
        first = end;
    }
    UpdateMailStatus(false);
    Idle();
    Busy = false;
    AddMailLog(texts_.SpamEnd);
    if (!spam.empty() && !QuitRequested)
        CheckAllMailboxes(true);
    return deleted;
}

int TMailWatch::DeleteSpamOf(TMailBox& mailBox, const std::vector<TEmail*>& spam)
{
    int deleted = 0;
    Working();
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
            for (; deleted < marked; ++deleted) {
                AddMailLog(texts_.MessageDeleted);
                ++settings_.CounterSpam;
                Tell([](IMailScreen& s) { s.SpamDeleted(); });
            }
    }
    Idle();
    UpdateMailStatus(false);
    return deleted;
}
