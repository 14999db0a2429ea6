#include "CaseFold.h"

#include <windows.h>

#include "../text/CaseFold.h"
#include "../text/Utf8Text.h"
#include "WideText.h"

std::string FoldCase(const std::string& utf8)
{
    // Most addresses and many subjects are ASCII: no conversion for them.
    if (!HasNonAscii(utf8))
        return FoldAsciiCase(utf8);
    const std::wstring wide = Widen(utf8);
    const int size = static_cast<int>(wide.size());
    const int lowerSize = LCMapStringW(LOCALE_INVARIANT, LCMAP_LOWERCASE, wide.c_str(), size, nullptr, 0);
    // The tables cannot fail on text Widen made; were they to, the text is
    // compared as it is rather than not at all.
    if (lowerSize <= 0)
        return Narrow(wide);
    std::wstring lower(static_cast<std::size_t>(lowerSize), L'\0');
    LCMapStringW(LOCALE_INVARIANT, LCMAP_LOWERCASE, wide.c_str(), size, &lower[0], lowerSize);
    return Narrow(lower);
}
