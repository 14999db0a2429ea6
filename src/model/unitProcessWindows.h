// Window enumeration and the kill tick: which top-level windows are candidates
// and how a listed one is asked to close.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ClassesPerso.h"
#include "unitProcessKillList.h"
#include "unitProcessKillRecords.h"
#include "unitProcessShell.h"

class TWindow : public TMyItem {
public:
    TWindow(HWND handle, const std::string& title) : TMyItem(title), Handle(handle), Title(title) {}
    HWND Handle;
    std::string Title;
};

// The title through the wide window-text call with a 256-unit buffer, so at
// most 255 UTF-16 units, as UTF-8; empty for an untitled window.
std::string GetWindowTitle(HWND hwnd);
// The kill tick's rules for one window: visible, no owner but the desktop, no
// tool-window style, not the shell's. Answers its title, empty when the window
// is not a candidate (or has no title).
std::string CandidateTitle(HWND hwnd);
// The same with the shell's processes looked up already (ShellProcesses).
std::string CandidateTitle(HWND hwnd, const TShellProcesses& shell);
// The same with the shell's test given: asked last, of a titled window only.
std::string CandidateTitle(HWND hwnd, const std::function<bool()>& isShell);
// The same rules but the title, for a window whose title is known and
// matters: the calls the many windows whose title matters to nothing are spared.
bool IsCandidateWindow(HWND hwnd, const std::function<bool()>& isShell);
// The top-level windows of the desktop in Z order, asked in one call (Wine's
// EnumWindows asks each handle again whether it is still a window).
std::vector<HWND> TopLevelWindows();
// For a window not visible yet, the title it would be a candidate with once
// shown; empty for a visible window or one that would not be a candidate.
std::string CandidateTitleOnceShown(HWND hwnd, const TShellProcesses& shell);
// Clears the collection, then fills it with the selected top-level windows in
// Z order.
void EnumerateWindows(TMyCollection& windows);
// The kill tick: posts WM_CLOSE to every selected window whose title is on the
// kill list and calls `onKill` once per post. With `asked`, a window that the
// window events asked since the previous tick is not asked again (see
// TKillAppearances).
void KillPopups(const TWindowList& killList, const std::function<void()>& onKill,
                TKillAppearances* asked = nullptr);
// Posts WM_CLOSE to `hwnd`, a window whose title is on the kill list.
inline void AskToClose(HWND hwnd) { PostMessageW(hwnd, WM_CLOSE, 0, 0); }
