// What a popup rule does to a window: close it as the kill list does,
// minimise it, hide it, or press one of its buttons, as a user's click would.
#pragma once

#include <windows.h>

#include <string>

#include "PopupRule.h"

// Does `action` to `hwnd`; false when it could not be done (no visible,
// enabled button with that text, yet: a dialog may make its buttons after
// its title). Asynchronous: nothing waits for the window to answer.
bool DoPopupAction(HWND hwnd, TPopupAction action, const std::string& button);
// The child button of `dialog` whose text, without its "&" accelerator mark,
// is `text` under the kill list's comparison; null when there is none.
HWND FindChildButton(HWND dialog, const std::string& text);
// The local time now, "YYYY-MM-DD HH:MM:SS", as the log and the rules' last hit keep it.
std::string PopupActionTime();
