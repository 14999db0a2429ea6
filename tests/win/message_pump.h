// The one wait of the Windows tests: the thread's messages run until a
// condition holds or a deadline passes, never a fixed sleep.
#pragma once

#include <windows.h>

#include <functional>

// Runs the thread's messages until `done` holds or `timeoutMs` pass. Sleeps in
// the system's wait between messages, waking at least every 10 ms to see
// conditions that another thread changes. `dispatch`, when given, runs the
// waiting messages instead of the plain loop (the application's own loop,
// with its key preview).
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000,
                      const std::function<void()>& dispatch = nullptr)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        if (dispatch)
            dispatch();
        else
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        if (done())
            return true;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return false;
        const DWORD slice = timeoutMs - elapsed < 10 ? timeoutMs - elapsed : 10;
        MsgWaitForMultipleObjectsEx(0, nullptr, slice, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}
