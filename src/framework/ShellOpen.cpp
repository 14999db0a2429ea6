#include "ShellOpen.h"

#include <windows.h>
#include <shellapi.h>

#include "WideText.h"

bool ShellOpenUrl(const std::string& url)
{
    const HINSTANCE result = ShellExecuteW(nullptr, L"open", Widen(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    // ShellExecute's answer above 32 is success.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool ShellOpenFile(const std::string& path) { return ShellOpenUrl(path); }
