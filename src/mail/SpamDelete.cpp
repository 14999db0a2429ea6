// The spam cycle: every message that the user's lists mark is deleted from
// its server, counted and announced, then the mailboxes are read again.
#include <map>

#include "../framework/CaseFold.h"
#include "../model/unitProcessSpam.h"
#include "../settings/Settings.h"
#include "../settings/SettingsValues.h"
#include "../text/FormatText.h"
#include "MailNotice.h"
#include "MailWatch.h"

TSpamRules TMailWatch::SpamRules() const
{
    return ParseSpamRules(settings_.SpamAddresses, settings_.SpamSubjects, settings_.SpamAllowed, FoldCase);
}

TSpamLists TMailWatch::SpamLists() const
{
    TSpamLists lists = ParseSpamLists(settings_.SpamAddresses, settings_.SpamSubjects, FoldCase);
    const TAllowList allowed = ParseAllowList(settings_.SpamAllowed, FoldCase);
    lists.Spared = [allowed](const TEmail& email) { return allowed.Allows(email); };
    return lists;
}

bool TMailWatch::IsSpamEmail(const TEmail& email) const { return SpamRules().Marks(email); }

std::string TMailWatch::DeletedWhyLine(const TEmail& email, const TSpamReason& reason) const
{
    const TSpamSafetyTexts& t = texts_.Safety;
    const TMailSummary named = SummaryOf(email);
    return FormatText(t.SpamDeletedWhy, {named.Sender, named.Subject,
                                         reason.List == TSpamListKind::Subjects ? t.SubjectList : t.SenderList,
                                         reason.Entry});
}

void TMailWatch::ApplySpamGuard(std::vector<TEmail*>& order, TSpamCycleStart start)
{
    std::map<int, int> marked, held;
    for (const TEmail* email : order)
        ++marked[email->MailboxId];
    for (int i = 0; i < Emails.Count(); ++i)
        ++held[Emails.ItemAs<TEmail>(i)->MailboxId];
    std::map<int, bool> keep;
    std::string askLines;
    const TSpamSafetyTexts& t = texts_.Safety;
    for (const auto& [id, count] : marked) {
        const TMailBox* box = MailboxById(settings_.Mailboxes, id);
        const std::string name = box ? box->MailboxName : std::string();
        switch (DecideSpamGuard(count, held[id], start)) {
        case TSpamGuardVerdict::Delete:
            break;
        case TSpamGuardVerdict::KeepAll: {
            keep[id] = true;
            const std::string line = FormatText(t.SpamGuardKept, {count, held[id], name});
            AddMailLog(line);
            Tell([&line](IMailScreen& s) { s.SpamGuardKept(line); });
            break;
        }
        case TSpamGuardVerdict::AskFirst:
            keep[id] = true;
            askLines += (askLines.empty() ? "" : "\r\n") + FormatText(t.SpamGuardLine, {count, held[id], name});
            break;
        }
    }
    // One question for every mailbox the guard stopped: a yes deletes them all.
    if (!askLines.empty() && ConfirmSpamDeletion && ConfirmSpamDeletion(FormatText(t.SpamGuardAsk, {askLines})))
        for (auto& [id, kept] : keep)
            if (DecideSpamGuard(marked[id], held[id], start) == TSpamGuardVerdict::AskFirst)
                kept = false;
    std::vector<TEmail*> left;
    for (TEmail* email : order)
        if (!keep[email->MailboxId])
            left.push_back(email);
    order.swap(left);
}

int TMailWatch::DeleteSpamEmails(TSpamCycleStart start)
{
    ClearMailLog();
    Busy = true;
    SpamRemoved.clear();
    AddMailLog(texts_.SpamStart);
    Working();
    const TSpamRules rules = SpamRules();
    std::vector<TEmail*> spam;
    for (int i = Emails.Count() - 1; i >= 0; --i) {
        TEmail* email = Emails.ItemAs<TEmail>(i);
        if (rules.Marks(*email))
            spam.push_back(email);
    }
    // The sort key puts message 1000 before 999: the numbers are ordered
    // again so that each mailbox loses its highest numbers first, all in one
    // session (which servers that limit logins prefer).
    std::vector<TEmail*> order = SpamDeletionOrder(spam);
    ApplySpamGuard(order, start);
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
        deleted += mailBox.Protocol == MailboxProtocolImap ? MoveImapSpamOf(mailBox, spamOf, rules)
                                                           : DeleteSpamOf(mailBox, spamOf, rules);
    }
    UpdateMailStatus(false);
    Idle();
    Busy = false;
    AddMailLog(texts_.SpamEnd);
    PruneQuarantine();
    if (!order.empty() && !QuitRequested)
        CheckAllMailboxes(true);
    return deleted;
}

int TMailWatch::DeleteSpamOf(const TMailBox& mailBox, const std::vector<TEmail*>& spam, const TSpamRules& rules)
{
    int deleted = 0;
    Working();
    ConnectMailbox(mailBox);
    if (!ConnectFailed) {
        // Numbers do not change within a session: the messages are checked,
        // then marked, and the server removes them all at QUIT.
        std::vector<TDeletion> deletions;
        for (TEmail* email : spam)
            deletions.push_back({email, rules.ReasonFor(*email)});
        MarkForDeletion(mailBox, deletions);
        std::vector<TMailSummary> marked;
        std::vector<std::string> lines;
        for (const TDeletion& deletion : deletions)
            if (deletion.Marked) {
                marked.push_back(SummaryOf(*deletion.Email));
                marked.back().Why = deletion.Reason.Entry;
                lines.push_back(DeletedWhyLine(*deletion.Email, deletion.Reason));
            }
        // Only messages the server took are counted and announced.
        if (EndDeletionSession(mailBox, deletions))
            for (; deleted < static_cast<int>(marked.size()); ++deleted) {
                AddMailLog(lines[static_cast<std::size_t>(deleted)]);
                ++settings_.CounterSpam;
                SpamRemoved.push_back(marked[static_cast<std::size_t>(deleted)]);
                Tell([](IMailScreen& s) { s.SpamDeleted(); });
            }
    }
    Idle();
    UpdateMailStatus(false);
    return deleted;
}
