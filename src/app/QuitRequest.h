// What lets another program ask SkarnVale to quit: the installer and the
// uninstaller must not replace or remove the program while it runs. A hidden
// top-level window of a class of its own, which they find by that class and
// send WM_CLOSE; the program then quits as its tray menu's Quit does, saving
// the settings and lists on the way out. The application window keeps
// ignoring WM_CLOSE, as it always has.
#pragma once

#include <functional>

#include "../framework/Window.h"

class TQuitRequestWindow : public TWindowBase {
public:
    static constexpr const char* ClassName = "TSkarnValeQuitRequest";

    explicit TQuitRequestWindow(std::function<void()> quit);

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    std::function<void()> quit_;
};
