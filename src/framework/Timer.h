// A window timer owned by a window of the system: enabled state, interval in
// milliseconds and one tick handler, as the forms use them.
#pragma once

#include <windows.h>

#include <functional>

class TWindowBase;

class TTimer {
public:
    explicit TTimer(TWindowBase& owner, UINT interval = 1000, bool enabled = true);
    ~TTimer();
    TTimer(const TTimer&) = delete;
    TTimer& operator=(const TTimer&) = delete;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    UINT Interval() const { return interval_; }
    // An interval of 0 stops the timer, as a zero interval never ticks.
    void SetInterval(UINT value);

    std::function<void()> OnTimer;
    void Tick();

private:
    void Update();

    TWindowBase& owner_;
    UINT_PTR id_;
    UINT interval_;
    bool enabled_;
};
