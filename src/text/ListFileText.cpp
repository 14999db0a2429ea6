#include "ListFileText.h"

#include "Utf8Text.h"

namespace {
const char kByteOrderMark[] = "\xEF\xBB\xBF";
}

std::string ListFileToUtf8(const std::string& bytes, const IAnsiCodePage& ansi)
{
    if (bytes.compare(0, 3, kByteOrderMark) == 0)
        return SanitizeUtf8(bytes.substr(3));
    if (!HasNonAscii(bytes))
        return bytes;
    if (IsValidUtf8(bytes))
        return bytes;
    return ansi.ToUtf8(bytes);
}

std::string Utf8ToListFile(const std::string& text, const IAnsiCodePage& ansi)
{
    if (!HasNonAscii(text))
        return text;
    std::string bytes;
    if (ansi.FromUtf8Exactly(text, bytes))
        return bytes;
    return kByteOrderMark + text;
}
