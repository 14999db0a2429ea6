#include "unitProcessWindows.h"

#include <memory>

#include "../framework/WideText.h"
#include "unitProcessShell.h"

std::string GetWindowTitle(HWND hwnd)
{
    wchar_t buffer[256];
    const int length = GetWindowTextW(hwnd, buffer, 256);
    return length > 0 ? Narrow(buffer, static_cast<size_t>(length)) : std::string();
}

namespace {
struct TCollect {
    TMyCollection* windows;
    TShellProcesses shell;
};

bool PassesCandidateStyle(HWND hwnd, bool visibleNow)
{
    if (visibleNow && !IsWindowVisible(hwnd))
        return false;
    const HWND owner = reinterpret_cast<HWND>(GetWindowLongPtrW(hwnd, GWLP_HWNDPARENT));
    if (owner && owner != GetDesktopWindow())
        return false;
    return !(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
}

// The shell's test comes last: it is the costly one, and most windows are
// turned away before it.
template <class TIsShell>
std::string CandidateTitleIf(HWND hwnd, bool visibleNow, const TIsShell& isShell)
{
    if (!PassesCandidateStyle(hwnd, visibleNow))
        return std::string();
    std::string title = GetWindowTitle(hwnd);
    if (!title.empty() && isShell())
        return std::string();
    return title;
}

BOOL CALLBACK CollectHandle(HWND hwnd, LPARAM handles)
{
    reinterpret_cast<std::vector<HWND>*>(handles)->push_back(hwnd);
    return TRUE;
}

std::string CandidateTitle(HWND hwnd, const TShellProcesses* shell, bool visibleNow = true)
{
    return CandidateTitleIf(hwnd, visibleNow, [hwnd, shell] { return shell ? IsShellWindow(hwnd, *shell) : IsShellWindow(hwnd); });
}
}  // namespace

std::string CandidateTitle(HWND hwnd) { return CandidateTitle(hwnd, nullptr); }

std::string CandidateTitle(HWND hwnd, const TShellProcesses& shell) { return CandidateTitle(hwnd, &shell); }

std::string CandidateTitle(HWND hwnd, const std::function<bool()>& isShell)
{
    return CandidateTitleIf(hwnd, true, isShell);
}

bool IsCandidateWindow(HWND hwnd, const std::function<bool()>& isShell)
{
    return PassesCandidateStyle(hwnd, true) && !isShell();
}

std::vector<HWND> TopLevelWindows()
{
    std::vector<HWND> handles;
    handles.reserve(512);
    // The current desktop's: those EnumWindows walks.
    EnumDesktopWindows(nullptr, CollectHandle, reinterpret_cast<LPARAM>(&handles));
    return handles;
}

std::string CandidateTitleOnceShown(HWND hwnd, const TShellProcesses& shell)
{
    return IsWindowVisible(hwnd) ? std::string() : CandidateTitle(hwnd, &shell, false);
}

// Keeps the candidates with their titles; always goes on enumerating.
static BOOL CALLBACK CollectWindowProc(HWND hwnd, LPARAM collect)
{
    auto* into = reinterpret_cast<TCollect*>(collect);
    const std::string title = CandidateTitle(hwnd, &into->shell);
    if (title.empty())
        return TRUE;
    into->windows->Add(std::make_unique<TWindow>(hwnd, title));
    return TRUE;
}

void EnumerateWindows(TMyCollection& windows)
{
    windows.Clear();
    // The shell's processes once per sweep, not once per window: each lookup
    // walks every top-level window itself.
    TCollect collect{&windows, ShellProcesses()};
    EnumWindows(CollectWindowProc, reinterpret_cast<LPARAM>(&collect));
}

void KillPopups(const TWindowList& killList, const std::function<void()>& onKill, TKillAppearances* asked)
{
    TMyCollection windows;
    EnumerateWindows(windows);
    if (asked)
        asked->BeginSweep();
    for (int i = 0; i < windows.Count(); ++i) {
        const TWindow* window = windows.ItemAs<TWindow>(i);
        if (!IsInKillList(killList, window->Title))
            continue;
        if (asked && !asked->AskFromSweep(reinterpret_cast<TWindowKey>(window->Handle)))
            continue;
        AskToClose(window->Handle);
        if (onKill)
            onKill();
    }
    if (asked)
        asked->EndSweep();
}
