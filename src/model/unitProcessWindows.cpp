#include "unitProcessWindows.h"

#include <memory>

std::string GetWindowTitle(HWND hwnd)
{
    char buffer[256];
    const int length = GetWindowTextA(hwnd, buffer, sizeof buffer);
    return length > 0 ? std::string(buffer, static_cast<size_t>(length)) : std::string();
}

BOOL CALLBACK CollectWindowProc(HWND hwnd, LPARAM collection)
{
    if (!IsWindowVisible(hwnd))
        return TRUE;
    const HWND owner = reinterpret_cast<HWND>(GetWindowLongPtrA(hwnd, GWLP_HWNDPARENT));
    if (owner && owner != GetDesktopWindow())
        return TRUE;
    if (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)
        return TRUE;
    const std::string title = GetWindowTitle(hwnd);
    if (title.empty())
        return TRUE;
    reinterpret_cast<TMyCollection*>(collection)->Add(std::make_unique<TWindow>(hwnd, title));
    return TRUE;
}

void EnumerateWindows(TMyCollection& windows)
{
    windows.Clear();
    EnumWindows(CollectWindowProc, reinterpret_cast<LPARAM>(&windows));
}

void KillPopups(const TWindowList& killList, const std::function<void()>& onKill)
{
    TMyCollection windows;
    EnumerateWindows(windows);
    for (int i = 0; i < windows.Count(); ++i) {
        const TWindow* window = windows.ItemAs<TWindow>(i);
        if (!IsInKillList(killList, window->Title))
            continue;
        PostMessageA(window->Handle, WM_CLOSE, 0, 0);
        if (onKill)
            onKill();
    }
}
