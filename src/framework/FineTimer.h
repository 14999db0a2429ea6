// A timer of a few milliseconds, finer than the window timers, which the
// platform rounds up to 10 ms: a thread-pool timer posts WM_TIMER to the
// owner window, and the tick runs on the owner's thread as a TTimer's does.
// At most one tick waits in the queue, however busy the thread is.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>

class TWindowBase;

class TFineTimer {
public:
    TFineTimer(TWindowBase& owner, UINT interval);
    ~TFineTimer();
    TFineTimer(const TFineTimer&) = delete;
    TFineTimer& operator=(const TFineTimer&) = delete;

    bool Enabled() const { return timer_ != nullptr; }
    void SetEnabled(bool value);
    // Takes effect at once when enabled, else at the next start.
    void SetInterval(UINT interval);

    std::function<void()> OnTimer;

private:
    static void CALLBACK Fire(void* self, BOOLEAN);
    void Tick();

    TWindowBase& owner_;
    UINT_PTR id_;
    UINT interval_;
    HANDLE timer_ = nullptr;
    std::atomic<bool> posted_{false};
};
