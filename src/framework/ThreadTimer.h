// A one-shot timer of the thread, with no window: its handler runs from the
// message loop (any loop that dispatches the thread's messages), never from
// inside the code that started it.
#pragma once

#include <windows.h>

#include <functional>

class TThreadTimer {
public:
    TThreadTimer() = default;
    ~TThreadTimer();
    TThreadTimer(const TThreadTimer&) = delete;
    TThreadTimer& operator=(const TThreadTimer&) = delete;

    // Runs `handler` once, `milliseconds` from now; a start while running
    // replaces the wait in hand.
    void Start(unsigned milliseconds, std::function<void()> handler);
    void Stop();
    bool Running() const { return id_ != 0; }

private:
    static void CALLBACK Ticked(HWND, UINT, UINT_PTR id, DWORD);
    UINT_PTR id_ = 0;
    std::function<void()> handler_;
};
