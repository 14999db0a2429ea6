#include "Utf8Text.h"

namespace {
bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The length of the well-formed sequence at `pos` and its code point, or 0.
std::size_t SequenceAt(const std::string& text, std::size_t pos, char32_t& codePoint)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    std::size_t length;
    char32_t min;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, min = 0x80, codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, min = 0x800, codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, min = 0x10000, codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() - pos < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if (!IsContinuation(byte(i)))
            return 0;
        codePoint = (codePoint << 6) | (byte(i) & 0x3F);
    }
    if (codePoint < min || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    return length;
}

// Code points of 0x80-0x9F in Windows-1252; 0 where 1252 defines none.
const char16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};
}  // namespace

bool IsValidUtf8(const std::string& text)
{
    char32_t codePoint;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = SequenceAt(text, pos, codePoint);
        if (length == 0)
            return false;
        pos += length;
    }
    return true;
}

bool HasNonAscii(const std::string& text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

void AppendUtf8(std::string& text, char32_t codePoint)
{
    if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        codePoint = ReplacementCharacter;
    if (codePoint < 0x80) {
        text += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        text += static_cast<char>(0xC0 | (codePoint >> 6));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        text += static_cast<char>(0xE0 | (codePoint >> 12));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (codePoint >> 18));
        text += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

char32_t NextCodePoint(const std::string& text, std::size_t& pos)
{
    char32_t codePoint;
    const std::size_t length = SequenceAt(text, pos, codePoint);
    pos += length ? length : 1;
    return length ? codePoint : ReplacementCharacter;
}

std::string SanitizeUtf8(const std::string& text)
{
    if (IsValidUtf8(text))
        return text;
    std::string clean;
    for (std::size_t pos = 0; pos < text.size();)
        AppendUtf8(clean, NextCodePoint(text, pos));
    return clean;
}

std::string Windows1252ToUtf8(const std::string& bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        const char16_t high = byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : 0;
        AppendUtf8(text, high ? high : byte);
    }
    return text;
}
