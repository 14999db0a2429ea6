#include "CodePage.h"

#include <windows.h>

bool ConvertCodePageToAnsi(unsigned codePage, const std::string& bytes, std::string& ansi)
{
    ansi.clear();
    if (!IsValidCodePage(codePage))
        return false;
    if (bytes.empty())
        return true;
    const int size = static_cast<int>(bytes.size());
    const int wideSize = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    if (wideSize <= 0)
        return false;
    std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), size, &wide[0], wideSize);
    // Best-fit mapping would show a Cyrillic or Greek letter as a Latin one
    // that merely looks alike: a replacement the reader sees is honest.
    const int ansiSize = WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, wide.data(), wideSize, nullptr, 0, "?", nullptr);
    if (ansiSize <= 0)
        return false;
    ansi.resize(static_cast<std::size_t>(ansiSize));
    WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, wide.data(), wideSize, &ansi[0], ansiSize, "?", nullptr);
    return true;
}
