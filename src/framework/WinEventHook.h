// The platform's window events about other processes' top-level windows,
// delivered on the thread that installs the hook: out of context, so no DLL
// is loaded anywhere and nothing is injected. Events of the program's own
// windows are not reported.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

class TWinEventHook {
public:
    TWinEventHook() = default;
    ~TWinEventHook() { SetActive(false); }
    TWinEventHook(const TWinEventHook&) = delete;
    TWinEventHook& operator=(const TWinEventHook&) = delete;

    bool Active() const { return !hooks_.empty(); }
    // Installs or removes the hooks; the thread must pump messages to receive
    // events. False when the platform refused one of the hooks.
    bool SetActive(bool value);

    // A window was created, shown, hidden, destroyed or renamed: `event` is the
    // EVENT_OBJECT_* code, `window` a top-level window (never a child or a
    // part of a window).
    std::function<void(DWORD event, HWND window)> OnWindowEvent;

private:
    static void CALLBACK Deliver(HWINEVENTHOOK hook, DWORD event, HWND hwnd, LONG idObject, LONG idChild,
                                 DWORD thread, DWORD time);

    std::vector<HWINEVENTHOOK> hooks_;
};
