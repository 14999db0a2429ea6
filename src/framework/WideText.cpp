#include "WideText.h"

#include <windows.h>

std::wstring Widen(const std::string& utf8)
{
    if (utf8.empty())
        return std::wstring();
    const int size = static_cast<int>(utf8.size());
    const int wideSize = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideSize > 0 ? wideSize : 0), L'\0');
    if (wideSize > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, &wide[0], wideSize);
    return wide;
}

std::string Narrow(const wchar_t* wide, std::size_t length)
{
    if (length == 0)
        return std::string();
    const int size = static_cast<int>(length);
    const int utf8Size = WideCharToMultiByte(CP_UTF8, 0, wide, size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(utf8Size > 0 ? utf8Size : 0), '\0');
    if (utf8Size > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide, size, &utf8[0], utf8Size, nullptr, nullptr);
    return utf8;
}

std::string Narrow(const std::wstring& wide) { return Narrow(wide.data(), wide.size()); }
