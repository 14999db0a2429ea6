// What a session in IDLE brings: the new messages of its mailbox join the
// grid beside the others, without a check of every mailbox, and the notice
// names those the spam rules keep; the spam among them leaves by the same
// session, as the timer's cycle would move it, guard and allowed senders
// included. The log keeps its lines and says which mailbox got mail.
#include <algorithm>
#include <set>

#include "../imap/ImapSession.h"
#include "../model/unitProcessSpam.h"
#include "../settings/Settings.h"
#include "../text/FormatText.h"
#include "MailNotice.h"
#include "MailWatch.h"

void TMailWatch::ReadIdleNews(int id, TImapIdle& idle)
{
    const TMailBox mailBox = *MailboxById(settings_.Mailboxes, id);
    const TImapConversation& conversation = idle.Session->Conversation;
    TImapMemory& memory = imapMemories_[id];
    if (conversation.UidValidity() != memory.UidValidity) {
        // The folder's UIDs were renumbered and the session fetched it
        // afresh: its messages replace those shown. Otherwise the session
        // holds only part of another numbering: the timer's check reads it.
        if (!conversation.UidValidityChanged())
            return;
        memory.ByUid.clear();
        memory.Gone.clear();
        memory.LastUid = 0;
        memory.UidValidity = conversation.UidValidity();
        for (int i = Emails.Count() - 1; i >= 0; --i)
            if (Emails.ItemAs<TEmail>(i)->MailboxId == id)
                Emails.Delete(i);
    }
    const std::vector<TEmail*> added = AddImapNews(mailBox, memory, conversation);
    if (added.empty())
        return;
    AddMailLog(FormatText(texts_.IdleNewMail, {static_cast<int>(added.size()), mailBox.MailboxName}));
    Tell([](IMailScreen& s) { s.EmailsChanged(); });
    UpdateMailStatus(false);

    // The spam among them goes at once: it is not announced.
    const TSpamRules rules = SpamRules();
    std::vector<const TEmail*> fresh;
    // By UID: the screens told of the news may let the loop run, a check
    // included, which replaces the emails.
    std::set<unsigned long> newSpam;
    for (const TEmail* email : added) {
        if (settings_.SpamKillerActive && rules.Marks(*email))
            newSpam.insert(email->ImapUid);
        else
            fresh.push_back(email);
    }
    // Spam alone rings nothing.
    if (!fresh.empty()) {
        const std::vector<TMailSummary> summaries = SummariesOf(fresh);
        bool goOn = true;
        Tell([&goOn, &summaries](IMailScreen& s) { goOn = s.NewMailArrived(summaries) && goOn; });
        if (!goOn)
            return;  // a clip that cannot play ends this news, as it ends a tick
    }
    // The screens may have let the loop run: the session may be gone, a
    // check may have replaced the emails or be running.
    if (newSpam.empty() || Busy || !settings_.SpamKillerActive || ReadyIdle(id) != &idle)
        return;
    // The guard weighs everything the lists mark in the mailbox, as the
    // timer's cycle would; of what it lets go, the new spam is moved.
    std::vector<TEmail*> marked;
    for (int i = Emails.Count() - 1; i >= 0; --i) {
        TEmail* email = Emails.ItemAs<TEmail>(i);
        if (email->MailboxId == id && rules.Marks(*email))
            marked.push_back(email);
    }
    ApplySpamGuard(marked, TSpamCycleStart::Timer);
    std::vector<std::uint32_t> uids;
    idle.Moving.clear();
    for (const TEmail* email : marked) {
        if (!newSpam.count(email->ImapUid) || email->ImapUid == 0)
            continue;
        TIdleSpam spam;
        spam.Uid = static_cast<std::uint32_t>(email->ImapUid);
        spam.Reason = rules.ReasonFor(*email);
        spam.Summary = SummaryOf(*email);
        spam.Summary.Why = spam.Reason.Entry;
        idle.Moving.push_back(spam);
        uids.push_back(spam.Uid);
    }
    std::sort(uids.begin(), uids.end());
    if (uids.empty() || !idle.Session->MoveToSpam(uids))
        idle.Moving.clear();
}

void TMailWatch::EndIdleSpamMove(int id, TImapIdle& idle)
{
    const std::vector<TIdleSpam> moving = std::move(idle.Moving);
    idle.Moving.clear();
    const TMailBox mailBox = *MailboxById(settings_.Mailboxes, id);
    const TImapConversation& conversation = idle.Session->Conversation;
    const TImapSpamResult& result = conversation.SpamResult();
    // Where the server has no spam folder, the timer's cycle keeps a copy
    // before it removes the spam: until then it waits in the list, unannounced.
    if (result.How == TImapSpamMove::None && result.NoFolder)
        return;
    if (result.How == TImapSpamMove::None) {
        ReportMailError(texts_.DeleteError, mailBox.MailboxName,
                        ImapErrorText(result.Error.empty() ? conversation.ErrorText() : result.Error), "UID MOVE");
        return;
    }
    TImapMemory& memory = imapMemories_[id];
    const TSpamSafetyTexts& t = texts_.Safety;
    std::vector<TMailSummary> removed;
    for (const TIdleSpam& spam : moving) {
        AddMailLog(FormatText(t.SpamMovedWhy, {result.Folder, spam.Summary.Sender, spam.Summary.Subject,
                                               spam.Reason.List == TSpamListKind::Subjects ? t.SubjectList
                                                                                           : t.SenderList,
                                               spam.Reason.Entry}));
        memory.ByUid.erase(spam.Uid);
        if (result.How == TImapSpamMove::CopiedAndMarked)
            memory.Gone.insert(spam.Uid);
        for (int i = Emails.Count() - 1; i >= 0; --i) {
            const TEmail* email = Emails.ItemAs<TEmail>(i);
            if (email->MailboxId == id && email->ImapUid == spam.Uid)
                Emails.Delete(i);
        }
        ++settings_.CounterSpam;
        removed.push_back(spam.Summary);
        Tell([](IMailScreen& s) { s.SpamDeleted(); });
    }
    Tell([](IMailScreen& s) { s.EmailsChanged(); });
    UpdateMailStatus(false);
    AddMailLog(FormatText(texts_.SpamDeleted, {static_cast<int>(removed.size())}));
    Tell([&removed](IMailScreen& s) { s.SpamCycleDeleted(removed); });
}
