// A window that holds standard controls: it gives them their font and routes
// their WM_COMMAND notifications back to the control objects.
#pragma once

#include "Window.h"

#include <map>

class TControl;

class TContainer : public TWindowBase {
public:
    virtual HFONT Font() const = 0;
    // The DPI its controls' 96-DPI bounds are scaled to: its form's.
    virtual UINT Dpi() const;
    // A 96-DPI length at the container's DPI, and a length there in 96-DPI pixels.
    int Scale(int value) const;
    int Unscale(int pixels) const;
    void RegisterControl(TControl* control, int id) { controls_[id] = control; }
    void UnregisterControl(int id) { controls_.erase(id); }
    // The control of this container that `child` is, if any.
    TControl* ControlOf(HWND child) const;

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    std::map<int, TControl*> controls_;
};
