#include "Timer.h"

#include "Window.h"

TTimer::TTimer(TWindowBase& owner, UINT interval, bool enabled)
    : owner_(owner), id_(owner.AttachTimer([this] { Tick(); })), interval_(interval), enabled_(enabled)
{
    Update();
}

TTimer::~TTimer() { owner_.DetachTimer(id_); }

void TTimer::SetEnabled(bool value)
{
    if (value == enabled_)
        return;
    enabled_ = value;
    Update();
}

void TTimer::SetInterval(UINT value)
{
    if (value == interval_)
        return;
    interval_ = value;
    Update();
}

void TTimer::Tick()
{
    if (enabled_ && OnTimer)
        OnTimer();
}

void TTimer::Update()
{
    HWND hwnd = owner_.Handle();
    if (!hwnd)
        return;
    KillTimer(hwnd, id_);
    if (enabled_ && interval_ > 0)
        SetTimer(hwnd, id_, interval_, nullptr);
}
