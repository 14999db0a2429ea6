#include "ThreadTimer.h"

#include <map>

namespace {
// The timers running, by the id Windows gave them: a thread timer's
// callback is told its id alone.
std::map<UINT_PTR, TThreadTimer*>& RunningTimers()
{
    static std::map<UINT_PTR, TThreadTimer*> timers;
    return timers;
}
}  // namespace

TThreadTimer::~TThreadTimer() { Stop(); }

void TThreadTimer::Start(unsigned milliseconds, std::function<void()> handler)
{
    Stop();
    handler_ = std::move(handler);
    id_ = SetTimer(nullptr, 0, milliseconds, &TThreadTimer::Ticked);
    if (id_ != 0)
        RunningTimers()[id_] = this;
}

void TThreadTimer::Stop()
{
    if (id_ == 0)
        return;
    KillTimer(nullptr, id_);
    RunningTimers().erase(id_);
    id_ = 0;
}

void CALLBACK TThreadTimer::Ticked(HWND, UINT, UINT_PTR id, DWORD)
{
    const auto found = RunningTimers().find(id);
    if (found == RunningTimers().end()) {
        KillTimer(nullptr, id);
        return;
    }
    TThreadTimer& timer = *found->second;
    // One shot: stopped before the handler, which may start it again.
    timer.Stop();
    const std::function<void()> handler = timer.handler_;
    if (handler)
        handler();
}
