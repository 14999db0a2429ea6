#include "Window.h"

#include <set>

#include "WideText.h"
#include <utility>

TWindowBase::~TWindowBase() { DestroyHandle(); }

void TWindowBase::DestroyHandle()
{
    if (!handle_)
        return;
    HWND hwnd = handle_;
    handle_ = nullptr;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
}

void TWindowBase::RegisterClassOnce(const char* className, UINT classStyle, HICON icon)
{
    static std::set<std::string> registered;
    if (!registered.insert(className).second)
        return;
    const std::wstring name = Widen(className);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = classStyle;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hIcon = icon;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name.c_str();
    RegisterClassExW(&wc);
}

void TWindowBase::CreateHandle(const char* className, const std::string& title, DWORD style, DWORD exStyle,
                               int x, int y, int width, int height, HWND parent)
{
    CreateWindowExW(exStyle, Widen(className).c_str(), Widen(title).c_str(), style, x, y, width, height, parent, nullptr,
                    GetModuleHandleW(nullptr), this);
}

UINT_PTR TWindowBase::AttachTimer(std::function<void()> tick)
{
    const UINT_PTR id = nextTimerId_++;
    timers_[id] = std::move(tick);
    return id;
}

void TWindowBase::DetachTimer(UINT_PTR id)
{
    if (handle_)
        KillTimer(handle_, id);
    timers_.erase(id);
}

bool TWindowBase::HandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (message == WM_TIMER) {
        auto it = timers_.find(wParam);
        if (it != timers_.end()) {
            it->second();
            result = 0;
            return true;
        }
    }
    return false;
}

LRESULT CALLBACK TWindowBase::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<TWindowBase*>(create->lpCreateParams);
        if (self) {
            self->handle_ = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    }
    auto* self = reinterpret_cast<TWindowBase*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self) {
        LRESULT result = 0;
        if (self->HandleMessage(message, wParam, lParam, result))
            return result;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

std::string GetWindowTextString(HWND hwnd)
{
    const int length = GetWindowTextLengthW(hwnd);
    if (length <= 0)
        return std::string();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(hwnd, &text[0], length + 1);
    return Narrow(text.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

void SetWindowTextString(HWND hwnd, const std::string& text) { SetWindowTextW(hwnd, Widen(text).c_str()); }
