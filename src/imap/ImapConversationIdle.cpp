// IDLE (RFC 2177): waiting for the server to announce new messages, and
// renewing the wait before the server's 30 minutes run out.
#include "ImapConversation.h"

bool TImapConversation::Idle()
{
    if (step_ != TImapStep::Ready || !capabilities_.Idle())
        return false;
    idleAccepted_ = renewing_ = announced_ = doneOwed_ = false;
    // Whoever waits for IDLE's news gets this news the same way.
    if (newsOwed_ && lastUid_ != UINT32_MAX) {
        FetchNew(lastUid_ + 1);
        return step_ == TImapStep::Fetch;
    }
    if (Request(TImapRequest::Idle))
        SetStep(TImapStep::Idling);
    return step_ == TImapStep::Idling;
}

void TImapConversation::RenewIdle()
{
    if (step_ != TImapStep::Idling)
        return;
    renewing_ = true;
    EndIdle();
    SetStep(TImapStep::IdleDone);
}

void TImapConversation::EndIdle()
{
    // Before the server's "+", DONE would be read as a command of its own.
    if (!idleAccepted_) {
        doneOwed_ = true;
        return;
    }
    if (Send)
        Send(ImapIdleDone);
}

void TImapConversation::IdleAcceptedNow()
{
    idleAccepted_ = true;
    if (doneOwed_) {
        doneOwed_ = false;
        if (Send)
            Send(ImapIdleDone);
    }
    if (logoutOwed_) {
        logoutOwed_ = false;
        pending_ = TImapCommand();
        Request(TImapRequest::Logout);
    }
}

void TImapConversation::IdleEnded(bool ok, const std::string& said)
{
    doneOwed_ = false;
    if (!ok) {
        Fail("the server refused IDLE: " + said);
        return;
    }
    // The server may end IDLE on its own; what it announced is fetched, and
    // a renewal with nothing announced goes straight back to IDLE.
    if (announced_ || !renewing_) {
        if (lastUid_ == UINT32_MAX)
            SetStep(TImapStep::Ready);
        else
            FetchNew(lastUid_ + 1);
        return;
    }
    idleAccepted_ = renewing_ = false;
    if (Request(TImapRequest::Idle))
        SetStep(TImapStep::Idling);
}
