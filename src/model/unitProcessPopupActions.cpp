#include "unitProcessPopupActions.h"

#include <cstdio>

#include "../framework/Locale.h"
#include "unitProcessWindowFacts.h"
#include "unitProcessWindows.h"

namespace {
struct TButtonSearch {
    const std::string* text;
    HWND found;
};

// "&Later" reads "Later"; "&&" is a written "&".
std::string WithoutAccelerator(const std::string& caption)
{
    std::string text;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;
        else if (caption[i] == '&')
            continue;
        text += caption[i];
    }
    return text;
}

BOOL CALLBACK FindButtonProc(HWND child, LPARAM search)
{
    auto* wanted = reinterpret_cast<TButtonSearch*>(search);
    if (LocaleCompareText(WindowClassOf(child), "Button") != 0 || !IsWindowVisible(child) || !IsWindowEnabled(child))
        return TRUE;
    if (LocaleCompareText(WithoutAccelerator(GetWindowTitle(child)), *wanted->text) != 0)
        return TRUE;
    wanted->found = child;
    return FALSE;
}
}  // namespace

HWND FindChildButton(HWND dialog, const std::string& text)
{
    TButtonSearch search{&text, nullptr};
    EnumChildWindows(dialog, FindButtonProc, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool DoPopupAction(HWND hwnd, TPopupAction action, const std::string& button)
{
    switch (action) {
    case TPopupAction::Close:
        AskToClose(hwnd);
        return true;
    case TPopupAction::Minimise:
        // The asynchronous form: a window whose program hangs holds nobody up.
        ShowWindowAsync(hwnd, SW_MINIMIZE);
        return true;
    case TPopupAction::Hide:
        ShowWindowAsync(hwnd, SW_HIDE);
        return true;
    case TPopupAction::PressButton: {
        HWND found = FindChildButton(hwnd, button);
        if (!found)
            return false;
        PostMessageW(found, BM_CLICK, 0, 0);
        return true;
    }
    }
    return false;
}

std::string PopupActionTime()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);
    return text;
}
