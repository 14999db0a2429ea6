#include "unitProcessShell.h"

#include <cwchar>

#include "../framework/WideText.h"
#include "unitProcessWindows.h"

namespace {
// Window classes of the shell: taskbars, desktop, notification area and its
// overflow, the tray of Wine's desktop process.
const wchar_t* const kShellClasses[] = {
    L"Shell_TrayWnd", L"Shell_SecondaryTrayWnd", L"Progman", L"WorkerW", L"NotifyIconOverflowWindow", L"TrayNotifyWnd",
};

DWORD ProcessOf(HWND hwnd)
{
    DWORD process = 0;
    if (hwnd)
        GetWindowThreadProcessId(hwnd, &process);
    return process;
}

bool HasShellClass(HWND hwnd)
{
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, static_cast<int>(sizeof name / sizeof name[0]));
    for (const wchar_t* shellClass : kShellClasses)
        if (std::wcscmp(name, shellClass) == 0)
            return true;
    return false;
}

// The processes that run the shell: the shell window's (the desktop of
// Windows' explorer) and the taskbar's (under Wine the desktop process, which
// draws the "Wine System Tray" window). Not the desktop window's own process:
// on Windows that is the system's (csrss), whose other windows are error boxes
// a user may well want closed.
bool IsShellProcess(DWORD process, const TShellProcesses& shell)
{
    if (!process || process == GetCurrentProcessId())
        return false;
    return process == shell.shell || process == shell.taskbar;
}

struct TTitleSearch {
    const std::string* title;
    TShellProcesses shell;
    bool found;
};

BOOL CALLBACK FindShellTitleProc(HWND hwnd, LPARAM search)
{
    auto* wanted = reinterpret_cast<TTitleSearch*>(search);
    if (IsShellWindow(hwnd, wanted->shell) && GetWindowTitle(hwnd) == *wanted->title) {
        wanted->found = true;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

TShellProcesses ShellProcesses()
{
    return {ProcessOf(GetShellWindow()), ProcessOf(FindWindowW(L"Shell_TrayWnd", nullptr))};
}

bool IsShellWindow(HWND hwnd, const TShellProcesses& shell)
{
    return hwnd && (HasShellClass(hwnd) || IsShellProcess(ProcessOf(hwnd), shell));
}

bool IsShellWindow(const std::string& windowClass, DWORD process, const TShellProcesses& shell)
{
    const std::wstring name = Widen(windowClass);
    for (const wchar_t* shellClass : kShellClasses)
        if (name == shellClass)
            return true;
    return IsShellProcess(process, shell);
}

bool IsShellWindow(HWND hwnd) { return hwnd && IsShellWindow(hwnd, ShellProcesses()); }

bool IsShellWindowTitle(const std::string& title)
{
    if (title.empty())
        return false;
    TTitleSearch search{&title, ShellProcesses(), false};
    EnumWindows(FindShellTitleProc, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
