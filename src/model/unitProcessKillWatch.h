// The killer's quick eye: while it is on, every top-level window that another
// program creates, shows or renames is looked at at once with the kill tick's
// rules, and a new one again a few times shortly after, so that a listed
// popup is asked to close before the user sees it. The kill tick goes on as
// the safety net for windows whose events the platform does not report.
#pragma once

#include <windows.h>

#include <functional>

#include "../framework/Timer.h"
#include "../framework/WinEventHook.h"
#include "unitProcessKillList.h"
#include "unitProcessKillRecords.h"

class TWindowBase;

class TKillWatch {
public:
    // `timerOwner` carries the timer of the second looks; `onKill` counts one kill.
    TKillWatch(TWindowBase& timerOwner, const TWindowList& killList, std::function<void()> onKill);

    bool Active() const { return hook_.Active(); }
    // Installs the window event hook, or removes it and forgets what was
    // waiting. False when the platform refused the events: the tick alone sweeps.
    bool SetActive(bool value);
    // The kill tick over all windows, aware of what the events asked already.
    void Sweep();

private:
    void WindowEvent(DWORD event, HWND window);
    // The tick's rules for one window; a match not yet asked in this
    // appearance is asked and counted. Answers whether the window matched.
    bool Look(HWND window);
    void LookAgain();
    void ArmTimer();

    const TWindowList& killList_;
    std::function<void()> onKill_;
    TWinEventHook hook_;
    TTimer relookTimer_;
    TKillAppearances asked_;
    TRelookSchedule relooks_;
};
