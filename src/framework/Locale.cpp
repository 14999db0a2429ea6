#include "Locale.h"

#include <windows.h>

#include "WideText.h"

int LocaleCompareText(const std::string& a, const std::string& b)
{
    const std::wstring wa = Widen(a);
    const std::wstring wb = Widen(b);
    const int size_a = static_cast<int>(wa.size());
    const int size_b = static_cast<int>(wb.size());
    const int linguistic = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wa.data(), size_a, wb.data(), size_b);
    if (linguistic == 0)
        return a.compare(b);
    if (linguistic != CSTR_EQUAL)
        return linguistic - CSTR_EQUAL;
    // The linguistic order gives no weight to some characters (many symbols,
    // unassigned code points), so "Angebot ✓" and "Angebot ✗" would be one
    // title. Equal texts must also be equal code unit by code unit once
    // upper-cased over all of Unicode.
    std::wstring ua = wa, ub = wb;
    CharUpperBuffW(&ua[0], static_cast<DWORD>(ua.size()));
    CharUpperBuffW(&ub[0], static_cast<DWORD>(ub.size()));
    return ua.compare(ub);
}

std::string LocaleTimeSeparator()
{
    wchar_t separator[8] = L":";
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, separator, 8) == 0)
        return ":";
    return Narrow(std::wstring(separator));
}

std::string LocaleUpperText(const std::string& text)
{
    bool ascii = true;
    for (char c : text)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) {
        std::string upper = text;
        for (char& c : upper)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        return upper;
    }
    std::wstring wide = Widen(text);
    if (!wide.empty())
        CharUpperBuffW(&wide[0], static_cast<DWORD>(wide.size()));
    return Narrow(wide);
}
