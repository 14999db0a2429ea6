// The one window procedure of the system: it binds each HWND to its C++ object
// at WM_NCCREATE and hands every message to that object's HandleMessage.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>

class TWindowBase {
public:
    TWindowBase() = default;
    virtual ~TWindowBase();
    TWindowBase(const TWindowBase&) = delete;
    TWindowBase& operator=(const TWindowBase&) = delete;

    HWND Handle() const { return handle_; }
    void DestroyHandle();

    // Timers post WM_TIMER to their owner window, which runs the tick
    // attached under that id.
    UINT_PTR AttachTimer(std::function<void()> tick);
    void DetachTimer(UINT_PTR id);

protected:
    // Registers `className` once per process with the shared window procedure.
    static void RegisterClassOnce(const char* className, UINT classStyle = 0, HICON icon = nullptr);
    void CreateHandle(const char* className, const std::string& title, DWORD style, DWORD exStyle, int x,
                      int y, int width, int height, HWND parent);

    // Answers true when the message was handled, with its result in `result`.
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND handle_ = nullptr;
    std::map<UINT_PTR, std::function<void()>> timers_;
    UINT_PTR nextTimerId_ = 1;
};

// Window text of any window, read at its real length.
std::string GetWindowTextString(HWND hwnd);
// Sets the window text of any window.
void SetWindowTextString(HWND hwnd, const std::string& text);
