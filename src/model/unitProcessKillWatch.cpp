#include "unitProcessKillWatch.h"

#include "unitProcessWindows.h"

namespace {
TWindowKey KeyOf(HWND window) { return reinterpret_cast<TWindowKey>(window); }
}  // namespace

TKillWatch::TKillWatch(TWindowBase& timerOwner, const TWindowList& killList, std::function<void()> onKill)
    : killList_(killList), onKill_(std::move(onKill)), relookTimer_(timerOwner, 10, false)
{
    hook_.OnWindowEvent = [this](DWORD event, HWND window) { WindowEvent(event, window); };
    relookTimer_.OnTimer = [this] { LookAgain(); };
}

bool TKillWatch::SetActive(bool value)
{
    const bool done = hook_.SetActive(value);
    if (value)
        return done;
    relooks_ = TRelookSchedule();
    relookTimer_.SetEnabled(false);
    return done;
}

void TKillWatch::Sweep() { KillPopups(killList_, onKill_, &asked_); }

void TKillWatch::WindowEvent(DWORD event, HWND window)
{
    switch (event) {
    case EVENT_OBJECT_CREATE:
        asked_.Forget(KeyOf(window));
        if (!Look(window)) {
            relooks_.Add(KeyOf(window), GetTickCount());
            ArmTimer();
        }
        break;
    case EVENT_OBJECT_SHOW:
    case EVENT_OBJECT_NAMECHANGE:
        Look(window);
        break;
    case EVENT_OBJECT_HIDE:
    case EVENT_OBJECT_DESTROY:
        asked_.Forget(KeyOf(window));
        relooks_.Remove(KeyOf(window));
        break;
    }
}

bool TKillWatch::Look(HWND window)
{
    const std::string title = CandidateTitle(window);
    if (title.empty() || !IsInKillList(killList_, title)) {
        asked_.Forget(KeyOf(window));
        return false;
    }
    relooks_.Remove(KeyOf(window));
    if (asked_.AskFromEvent(KeyOf(window))) {
        AskToClose(window);
        if (onKill_)
            onKill_();
    }
    return true;
}

void TKillWatch::LookAgain()
{
    for (TWindowKey key : relooks_.TakeDue(GetTickCount())) {
        HWND window = reinterpret_cast<HWND>(key);
        if (!IsWindow(window))
            relooks_.Remove(key);
        else
            Look(window);
    }
    ArmTimer();
}

void TKillWatch::ArmTimer()
{
    const long wait = relooks_.WaitFrom(GetTickCount());
    if (wait < 0) {
        relookTimer_.SetEnabled(false);
        return;
    }
    relookTimer_.SetInterval(static_cast<UINT>(wait > 0 ? wait : 1));
    relookTimer_.SetEnabled(true);
}
