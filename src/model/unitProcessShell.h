// The shell's own windows: the taskbar, the desktop, the notification area.
// Closing one of them takes the user's desktop away, so the windows list never
// offers them and the killer never asks them to close, whatever their title.
#pragma once

#include <windows.h>

#include <string>

// True for a window of the shell: by its class (the taskbar, the desktop and
// the notification area of Windows) or by its process (the shell window's and
// the taskbar's; under Wine the desktop process that also holds the "Wine
// System Tray" window).
bool IsShellWindow(HWND hwnd);
// The shell's processes, looked up once for a whole sweep of the windows.
struct TShellProcesses {
    DWORD shell = 0;
    DWORD taskbar = 0;
};
TShellProcesses ShellProcesses();
bool IsShellWindow(HWND hwnd, const TShellProcesses& shell);
// The same for a window whose class and process are known already.
bool IsShellWindow(const std::string& windowClass, DWORD process, const TShellProcesses& shell);
// True when a window of the shell now bears `title`: adding such a title to
// the kill list is refused like the program's own.
bool IsShellWindowTitle(const std::string& title);
