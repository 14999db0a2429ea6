// The spam cycle on an IMAP mailbox: the spam moved to the server's spam
// folder, or, where the server has none, each message fetched whole, kept in
// the quarantine as a POP3 deletion keeps it (the same files, records and
// reasons), and only then removed from the server; with the copies turned
// off, removed as POP3 deletes. A server without UIDPLUS only has the
// messages marked \Deleted, hidden from the grid: a plain EXPUNGE would
// remove what other programs marked too.
#include <algorithm>
#include <map>

#include "../framework/FolderFiles.h"
#include "../imap/ImapSession.h"
#include "../model/unitProcessSpam.h"
#include "../settings/Settings.h"
#include "../text/FormatText.h"
#include "MailImapSteps.h"
#include "MailNotice.h"
#include "MailWatch.h"
#include "QuarantineIdentity.h"

namespace {
// The line that says where one message went.
std::string SpamLine(const TSpamSafetyTexts& t, const TImapSpamResult& result, const TMailSummary& named,
                     const TSpamReason& reason)
{
    const std::string& list = reason.List == TSpamListKind::Subjects ? t.SubjectList : t.SenderList;
    switch (result.How) {
    case TImapSpamMove::CopiedHereAndExpunged:
        return FormatText(t.SpamCopiedWhy, {named.Sender, named.Subject, list, reason.Entry});
    case TImapSpamMove::CopiedHereAndMarked:
        return FormatText(t.SpamCopiedMarkedWhy, {named.Sender, named.Subject, list, reason.Entry});
    case TImapSpamMove::Deleted:
        return FormatText(t.SpamDeletedWhy, {named.Sender, named.Subject, list, reason.Entry});
    case TImapSpamMove::Marked:
        return FormatText(t.SpamMarkedWhy, {named.Sender, named.Subject, list, reason.Entry});
    default:
        return FormatText(t.SpamMovedWhy, {result.Folder, named.Sender, named.Subject, list, reason.Entry});
    }
}

bool Contains(const std::vector<std::uint32_t>& sorted, std::uint32_t uid)
{
    return std::binary_search(sorted.begin(), sorted.end(), uid);
}
}  // namespace

int TMailWatch::MoveImapSpamOf(const TMailBox& mailBox, const std::vector<TEmail*>& spam, const TSpamRules& rules)
{
    int moved = 0;
    Working();
    TImapMemory& memory = imapMemories_[mailBox.Id];
    TImapSession session;
    const TSpamSafetyTexts& t = texts_.Safety;
    // The copies of a server without a spam folder: written as their
    // messages arrive, flushed together, and only those on the disk let
    // their message go.
    TFlushedFiles files;
    std::vector<TUnflushedCopy> unflushed;  // Place: the UID
    std::vector<std::uint32_t> saved;
    std::vector<TUnflushedCopy> kept;               // the copies of `saved`, settled at the end
    std::map<std::uint32_t, std::string> notSaved;  // why, by UID
    const auto flush = [&] {
        const std::vector<std::string> failed = files.Flush();
        for (const TUnflushedCopy& written : unflushed) {
            const auto uid = static_cast<std::uint32_t>(written.Place);
            if (std::find(failed.begin(), failed.end(), written.CopyPath) == failed.end()) {
                saved.push_back(uid);
                kept.push_back(written);
            } else {
                RemoveFile(written.RecordPath);
                notSaved[uid] = FormatText(t.CopyNotWritten, {written.CopyPath});
            }
        }
        unflushed.clear();
    };
    std::map<std::uint32_t, const TEmail*> byUid;
    std::vector<std::uint32_t> uids;
    std::vector<std::uint64_t> sizes;
    // What the mailbox's session in IDLE is moving already is its own to report.
    std::vector<std::uint32_t> movingInIdle;
    if (const auto idle = idles_.find(mailBox.Id); idle != idles_.end())
        for (const TIdleSpam& moving : idle->second->Moving)
            movingInIdle.push_back(moving.Uid);
    std::sort(movingInIdle.begin(), movingInIdle.end());
    for (const TEmail* email : spam)
        if (email->ImapUid != 0 && !Contains(movingInIdle, static_cast<std::uint32_t>(email->ImapUid))) {
            const auto uid = static_cast<std::uint32_t>(email->ImapUid);
            byUid[uid] = email;
            uids.push_back(uid);
            sizes.push_back(email->Octets > 0 ? static_cast<std::uint64_t>(email->Octets) : 0);
        }
    TImapConversation& conversation = session.Conversation;
    conversation.NoSpamFolder =
        QuarantineCopiesOn(QuarantineLimits()) ? TImapNoSpamFolder::CopyHere : TImapNoSpamFolder::Delete;
    conversation.OnSpamMessage = [&](const TImapFetch& whole) {
        const auto found = byUid.find(whole.Uid);
        if (found == byUid.end())
            return;
        const TEmail& email = *found->second;
        // The size the server gives with the message, else the check's.
        const long long announced = whole.HasSize ? static_cast<long long>(whole.Size) : email.Octets;
        std::string why;
        TUnflushedCopy written;
        written.Place = whole.Uid;
        if (announced >= 0 && static_cast<long long>(whole.Body.size()) != announced)
            why = FormatText(t.CopySize, {static_cast<int>(whole.Body.size()), static_cast<int>(announced)});
        else
            why = WriteQuarantineCopy(mailBox, email, rules.ReasonFor(email),
                                      QuarantineImapMessageId(mailBox, memory.UidValidity, whole.Uid), whole.Body,
                                      files, written);
        if (why.empty())
            unflushed.push_back(written);
        else
            notSaved[whole.Uid] = why;
        if (files.Pending() >= QuarantineMaxUnflushed)
            flush();
    };
    conversation.OnSpamCopiesKept = [&] {
        flush();
        return saved;
    };
    if (OpenImap(mailBox, session, memory)) {
        // UIDs of another UIDVALIDITY name other messages: none is moved.
        if (conversation.UidValidity() != memory.UidValidity) {
            ReportMailError(texts_.DeleteError, mailBox.MailboxName, ImapErrorText(ImapUidValidityChangedText),
                            "UIDVALIDITY");
        } else if (!uids.empty() && session.MoveToSpam(uids, sizes)) {
            imap_ = &session;
            WaitImap(session);
            imap_ = nullptr;
            const TImapSpamResult& result = conversation.SpamResult();
            if (conversation.Step() != TImapStep::Ready || result.How == TImapSpamMove::None) {
                const bool refused = conversation.Step() == TImapStep::Ready;
                ReportMailError(texts_.DeleteError, mailBox.MailboxName,
                                ImapErrorText(refused ? result.Error : conversation.ErrorText()),
                                ImapStepName(refused ? result.Step : conversation.FailedStep()));
            } else {
                const bool hidden = result.How == TImapSpamMove::CopiedAndMarked ||
                                    result.How == TImapSpamMove::CopiedHereAndMarked ||
                                    result.How == TImapSpamMove::Marked;
                for (const TEmail* email : spam) {
                    if (email->ImapUid == 0)
                        continue;
                    const auto uid = static_cast<std::uint32_t>(email->ImapUid);
                    if (Contains(movingInIdle, uid))
                        continue;
                    if (!Contains(result.Uids, uid)) {
                        // Not copied, so still on the server: why, as for POP3.
                        const auto reason = notSaved.find(uid);
                        const std::string why = Contains(result.TooLarge, uid) ? t.CopyTooLarge
                                                : reason != notSaved.end()     ? reason->second
                                                                               : t.CopyCut;
                        AddMailLog(FormatText(t.CopyNotSaved, {email->Number, mailBox.MailboxName, why}));
                        continue;
                    }
                    const TSpamReason reason = rules.ReasonFor(*email);
                    TMailSummary summary = SummaryOf(*email);
                    summary.Why = reason.Entry;
                    AddMailLog(SpamLine(t, result, summary, reason));
                    memory.ByUid.erase(uid);
                    if (hidden)
                        memory.Gone.insert(uid);
                    ++settings_.CounterSpam;
                    SpamRemoved.push_back(summary);
                    Tell([](IMailScreen& s) { s.SpamDeleted(); });
                    ++moved;
                }
            }
        }
        // Expunged is deleted; marked \Deleted alone, the message is still in the folder.
        const TImapSpamResult& result = conversation.SpamResult();
        for (TUnflushedCopy& copy : kept)
            copy.Confirmed = result.How == TImapSpamMove::CopiedHereAndExpunged &&
                             Contains(result.Uids, static_cast<std::uint32_t>(copy.Place));
        SettleQuarantineCopies(kept);
        CloseImap(session);
    }
    Idle();
    UpdateMailStatus(false);
    return moved;
}
