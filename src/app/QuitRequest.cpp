#include "QuitRequest.h"

TQuitRequestWindow::TQuitRequestWindow(std::function<void()> quit) : quit_(std::move(quit))
{
    RegisterClassOnce(ClassName);
    // Never shown and untitled: neither the windows list nor the popup killer sees it.
    CreateHandle(ClassName, "", WS_POPUP, 0, 0, 0, 0, 0, nullptr);
}

bool TQuitRequestWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == WM_CLOSE) {
        quit_();
        result = 0;
        return true;
    }
    return TWindowBase::HandleMessage(message, wParam, lParam, result);
}
