#include "FineTimer.h"

#include "Window.h"

TFineTimer::TFineTimer(TWindowBase& owner, UINT interval)
    : owner_(owner), id_(owner.AttachTimer([this] { Tick(); })), interval_(interval)
{
}

TFineTimer::~TFineTimer()
{
    SetEnabled(false);
    owner_.DetachTimer(id_);
}

void TFineTimer::SetEnabled(bool value)
{
    if (value == Enabled())
        return;
    if (value) {
        if (!CreateTimerQueueTimer(&timer_, nullptr, Fire, this, interval_, interval_, WT_EXECUTEINTIMERTHREAD))
            timer_ = nullptr;
        return;
    }
    // Waits for a callback that runs now: none touches this object afterwards.
    DeleteTimerQueueTimer(nullptr, timer_, INVALID_HANDLE_VALUE);
    timer_ = nullptr;
}

void TFineTimer::SetInterval(UINT interval)
{
    if (interval == interval_)
        return;
    interval_ = interval;
    if (Enabled())
        ChangeTimerQueueTimer(nullptr, timer_, interval_, interval_);
}

void CALLBACK TFineTimer::Fire(void* self, BOOLEAN)
{
    auto* timer = static_cast<TFineTimer*>(self);
    if (!timer->posted_.exchange(true))
        PostMessageW(timer->owner_.Handle(), WM_TIMER, timer->id_, 0);
}

void TFineTimer::Tick()
{
    posted_ = false;
    if (Enabled() && OnTimer)
        OnTimer();
}
