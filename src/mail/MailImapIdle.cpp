// The mail watch's IMAP sessions in IDLE: after a check, a mailbox whose
// server offers IDLE keeps its session open on its folder, driven by the
// socket's events alone (nothing waits for it on the GUI thread). When the
// server announces new messages, their headers come in and the watch checks
// at once, so that they reach the grid, the notice, the sound and the spam
// rules by the timer check's own path. A dropped connection is opened again
// at a delay that doubles up to the check interval, its loss logged once and
// its return once.
#include <algorithm>

#include "../framework/Application.h"
#include "../imap/ImapSession.h"
#include "../net/Pop3ProtPump.h"
#include "../settings/Settings.h"
#include "../text/FormatText.h"
#include "MailWatch.h"

namespace {
constexpr unsigned FirstRetrySeconds = 5;

// What the session was opened with: another value calls for another session.
bool SameConnection(const TMailBox& a, const TMailBox& b)
{
    return a.Protocol == b.Protocol && a.Server == b.Server && a.Port == b.Port && a.Security == b.Security &&
           a.User == b.User && a.Password == b.Password && a.Auth == b.Auth && a.Folder == b.Folder &&
           a.Fingerprint == b.Fingerprint;
}

bool Ended(const TImapSession& session)
{
    const TImapStep step = session.Conversation.Step();
    return step == TImapStep::Done || step == TImapStep::Failed || step == TImapStep::Closed ||
           !session.Connected();
}
}  // namespace

void TMailWatch::SetIdleWatch(bool on)
{
    idleWatch_ = on;
    if (on)
        return;
    checkSoon_.Stop();
    for (auto& [id, idle] : idles_)
        EndIdle(std::move(idle->Session));
    idles_.clear();
}

void TMailWatch::CloseStaleIdle()
{
    for (auto it = idles_.begin(); it != idles_.end();) {
        const TMailBox* now = nullptr;
        for (int i = 0; i < settings_.Mailboxes.Count() && !now; ++i)
            if (settings_.Mailboxes.ItemAs<TMailBox>(i)->Id == it->first)
                now = settings_.Mailboxes.ItemAs<TMailBox>(i);
        if (now && SameConnection(*now, it->second->MailBox)) {
            ++it;
            continue;
        }
        EndIdle(std::move(it->second->Session));
        it = idles_.erase(it);
    }
}

void TMailWatch::EndIdle(std::unique_ptr<TImapSession> session)
{
    // The sessions ended before are over by now, or past waiting for.
    endingIdle_.erase(std::remove_if(endingIdle_.begin(), endingIdle_.end(),
                                     [](const std::unique_ptr<TImapSession>& s) { return Ended(*s); }),
                      endingIdle_.end());
    if (!session)
        return;
    session->OnFinished = nullptr;
    session->Logout();
    if (!Ended(*session))
        endingIdle_.push_back(std::move(session));
}

bool TMailWatch::KeepIdle(const TMailBox& mailBox, std::unique_ptr<TImapSession>& session)
{
    if (!idleWatch_ || QuitRequested || session->Conversation.Step() != TImapStep::Ready ||
        !session->Conversation.Capabilities().Idle())
        return false;
    const auto found = idles_.find(mailBox.Id);
    // A live session of the same mailbox goes on waiting; this one ends.
    if (found != idles_.end() && SameConnection(found->second->MailBox, mailBox) &&
        !found->second->Retry.Running() && found->second->Session && !Ended(*found->second->Session))
        return false;
    std::unique_ptr<TImapIdle>& idle = idles_[mailBox.Id];
    if (idle)
        EndIdle(std::move(idle->Session));
    else
        idle = std::make_unique<TImapIdle>();
    idle->Retry.Stop();
    idle->MailBox = mailBox;
    // The check reached the server: a loss logged before is over.
    if (idle->ReportedDown)
        AddMailLog(FormatText(texts_.IdleBack, {mailBox.MailboxName}));
    idle->ReportedDown = false;
    idle->DelaySeconds = 0;
    idle->Session = std::move(session);
    const int id = mailBox.Id;
    idle->Session->OnFinished = [this, id](TImapSession&) { IdleFinished(id); };
    if (!idle->Session->Idle()) {
        session = std::move(idle->Session);
        session->OnFinished = nullptr;
        idles_.erase(mailBox.Id);
        return false;
    }
    return true;
}

void TMailWatch::IdleFinished(int id)
{
    const auto found = idles_.find(id);
    if (found == idles_.end() || !found->second->Session)
        return;
    TImapIdle& idle = *found->second;
    TImapSession& session = *idle.Session;
    const TImapConversation& conversation = session.Conversation;
    if (conversation.Step() == TImapStep::Ready) {
        if (idle.ReportedDown)
            AddMailLog(FormatText(texts_.IdleBack, {idle.MailBox.MailboxName}));
        idle.ReportedDown = false;
        idle.DelaySeconds = 0;
        // New UIDs, announced in IDLE or arrived while the connection was
        // down: the watch checks now.
        TImapMemory& memory = imapMemories_[id];
        const bool fresh = std::any_of(conversation.NewMessages().begin(), conversation.NewMessages().end(),
                                       [&memory](const TImapFetch& f) { return f.Uid > memory.LastUid; });
        // Kept at once, the check that follows reads them from there; not
        // where the settings moved the mailbox to another folder meanwhile.
        if (memory.UidValidity != 0 && memory.Server == idle.MailBox.Server && memory.User == idle.MailBox.User &&
            memory.Folder == DecodeMailboxFolder(idle.MailBox.Folder))
            KeepImapFetches(memory, conversation);
        if (fresh)
            ScheduleIdleCheck(0);
        if (session.Idle())
            return;
        // Ready but IDLE refused to start: the timer's checks go on alone.
        session.Logout();
        return;
    }
    if (QuitRequested || !idleWatch_ || conversation.Step() == TImapStep::Done)
        return;
    // Dropped, refused or a BYE: logged once, then tried again and again.
    if (!idle.ReportedDown)
        AddMailLog(FormatText(texts_.IdleLost, {idle.MailBox.MailboxName, ImapErrorText(conversation.ErrorText())}));
    idle.ReportedDown = true;
    const unsigned cap = std::max(FirstRetrySeconds, unsigned(std::max(1, settings_.IntervalEmail)) * 60u);
    idle.DelaySeconds = idle.DelaySeconds == 0 ? FirstRetrySeconds : std::min(cap, idle.DelaySeconds * 2);
    idle.Retry.Start(idle.DelaySeconds * 1000u, [this, id] { RetryIdle(id); });
}

void TMailWatch::RetryIdle(int id)
{
    const auto found = idles_.find(id);
    if (found == idles_.end() || !found->second->Session || QuitRequested || !idleWatch_)
        return;
    TImapSession& session = *found->second->Session;
    // The account as the check set it; the UIDs from where the watch stands.
    const TImapMemory& memory = imapMemories_[id];
    session.Conversation.KnownUidValidity = memory.UidValidity;
    session.Conversation.KnownLastUid = memory.LastUid;
    session.Open();
}

void TMailWatch::ScheduleIdleCheck(unsigned milliseconds)
{
    checkSoon_.Start(milliseconds, [this] {
        if (QuitRequested || !idleWatch_)
            return;
        // A check in hand already reads the mailbox, or holds the thread in
        // its wait: this one comes after it.
        if (Busy) {
            ScheduleIdleCheck(500);
            return;
        }
        idleNews_ = true;
        TimerCheck();
        idleNews_ = false;
    });
}

bool TMailWatch::IdleKeepsUpWith(const TMailBox& mailBox, const TImapMemory& memory) const
{
    const auto found = idles_.find(mailBox.Id);
    if (found == idles_.end() || !found->second->Session || found->second->Retry.Running() ||
        !SameConnection(found->second->MailBox, mailBox))
        return false;
    const TImapSession& session = *found->second->Session;
    const TImapConversation& conversation = session.Conversation;
    // A count that differs means messages came or went unseen: only the
    // server can say which.
    return session.Connected() && conversation.Step() == TImapStep::Idling && memory.UidValidity != 0 &&
           conversation.UidValidity() == memory.UidValidity &&
           memory.ByUid.size() + memory.Gone.size() == conversation.Exists();
}

void TMailWatch::LogoutIdleSessions(unsigned ms)
{
    checkSoon_.Stop();
    for (auto& [id, idle] : idles_) {
        idle->Retry.Stop();
        EndIdle(std::move(idle->Session));
    }
    idles_.clear();
    const DWORD start = GetTickCount();
    int exitCode = 0;
    bool quitSeen = false;
    while (!endingIdle_.empty() && GetTickCount() - start < ms) {
        quitSeen = Pop3PumpMessages(false, exitCode) || quitSeen;
        EndIdle(nullptr);
        if (!endingIdle_.empty())
            TApplication::WaitForMessage(50);
    }
    for (auto& session : endingIdle_)
        session->Close();
    endingIdle_.clear();
    if (quitSeen)
        PostQuitMessage(exitCode);
}
