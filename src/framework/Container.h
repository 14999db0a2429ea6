// A window that holds standard controls: it gives them their font and routes
// their WM_COMMAND notifications back to the control objects.
#pragma once

#include "Window.h"

#include <map>

class TControl;

class TContainer : public TWindowBase {
public:
    virtual HFONT Font() const = 0;
    // The DPI its controls' 96-DPI bounds are scaled to.
    UINT Dpi() const;
    // A 96-DPI length at the container's DPI.
    int Scale(int value) const;
    void RegisterControl(TControl* control, int id) { controls_[id] = control; }
    void UnregisterControl(int id) { controls_.erase(id); }

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    std::map<int, TControl*> controls_;
};
