#include "CodePage.h"

#include <windows.h>

#include "WideText.h"

namespace {
constexpr wchar_t kReplacement = 0xFFFD;

// The conversion of the whole text that refuses any undefined sequence.
bool ConvertStrictly(unsigned codePage, DWORD flags, const char* bytes, int size, std::wstring& wide)
{
    const int wideSize = MultiByteToWideChar(codePage, flags, bytes, size, nullptr, 0);
    if (wideSize <= 0)
        return false;
    const std::size_t start = wide.size();
    wide.resize(start + static_cast<std::size_t>(wideSize));
    MultiByteToWideChar(codePage, flags, bytes, size, &wide[start], wideSize);
    return true;
}

// Character by character: the longest sequence (up to the code page's
// longest character) that converts strictly at each place, or U+FFFD for
// one byte that starts none.
std::wstring ConvertByCharacter(unsigned codePage, const std::string& bytes)
{
    CPINFO info = {};
    const int longest = GetCPInfo(codePage, &info) && info.MaxCharSize > 0 ? static_cast<int>(info.MaxCharSize) : 1;
    std::wstring wide;
    const int size = static_cast<int>(bytes.size());
    for (int at = 0; at < size;) {
        int length = 1;
        while (length <= longest && at + length <= size &&
               !ConvertStrictly(codePage, MB_ERR_INVALID_CHARS, bytes.data() + at, length, wide))
            ++length;
        if (length > longest || at + length > size) {
            wide += kReplacement;
            length = 1;
        }
        at += length;
    }
    return wide;
}
}  // namespace

bool ConvertCodePageToUtf8(unsigned codePage, const std::string& bytes, std::string& utf8)
{
    utf8.clear();
    if (!IsValidCodePage(codePage))
        return false;
    if (bytes.empty())
        return true;
    const int size = static_cast<int>(bytes.size());
    std::wstring wide;
    if (!ConvertStrictly(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, wide)) {
        // Some code pages (UTF-7, the ISO-2022 ones) take no flags: their
        // conversion is the only one there is.
        if (GetLastError() == ERROR_INVALID_FLAGS) {
            if (!ConvertStrictly(codePage, 0, bytes.data(), size, wide))
                return false;
        } else {
            wide = ConvertByCharacter(codePage, bytes);
        }
    }
    utf8 = Narrow(wide);
    return true;
}
