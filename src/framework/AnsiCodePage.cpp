#include "AnsiCodePage.h"

#include <windows.h>

#include "WideText.h"
#include "text/Utf8Text.h"

TSystemAnsiCodePage::TSystemAnsiCodePage(unsigned codePage) : codePage_(codePage ? codePage : GetACP()) {}

std::string TSystemAnsiCodePage::ToUtf8(const std::string& ansi) const
{
    if (ansi.empty())
        return std::string();
    const int size = static_cast<int>(ansi.size());
    const int wideSize = MultiByteToWideChar(codePage_, 0, ansi.data(), size, nullptr, 0);
    if (wideSize <= 0)  // a code page the platform cannot convert: the old default
        return Windows1252ToUtf8(ansi);
    std::wstring wide(static_cast<size_t>(wideSize), L'\0');
    MultiByteToWideChar(codePage_, 0, ansi.data(), size, &wide[0], wideSize);
    return Narrow(wide);
}

bool TSystemAnsiCodePage::FromUtf8Exactly(const std::string& utf8, std::string& ansi) const
{
    const std::wstring wide = Widen(utf8);
    ansi.clear();
    if (wide.empty())
        return true;
    // UTF-7 and UTF-8 as the ANSI page take no default-character flags.
    if (codePage_ == CP_UTF8 || codePage_ == CP_UTF7)
        return false;
    const int size = static_cast<int>(wide.size());
    BOOL usedDefault = FALSE;
    const int bytes =
        WideCharToMultiByte(codePage_, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0, nullptr, &usedDefault);
    if (bytes <= 0 || usedDefault)
        return false;
    ansi.assign(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(codePage_, WC_NO_BEST_FIT_CHARS, wide.data(), size, &ansi[0], bytes, nullptr, &usedDefault);
    if (usedDefault)
        return false;
    // A round trip proves no character took another's place.
    return ToUtf8(ansi) == utf8;
}

const IAnsiCodePage& SystemAnsiCodePage()
{
    static const TSystemAnsiCodePage page;
    return page;
}
