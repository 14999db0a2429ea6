#include "TlsFingerprint.h"

namespace {
int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
}  // namespace

std::string FormatFingerprint(const TSHA256Digest& digest)
{
    static const char Digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::uint8_t byte : digest) {
        if (!text.empty())
            text += ':';
        text += Digits[byte >> 4];
        text += Digits[byte & 15];
    }
    return text;
}

bool FingerprintMatches(const std::string& pinned, const TSHA256Digest& digest)
{
    std::size_t nibbles = 0;
    for (char c : pinned) {
        if (c == ':' || c == ' ' || c == '-')
            continue;
        const int value = HexValue(c);
        if (value < 0 || nibbles >= 64)
            return false;
        const std::uint8_t byte = digest[nibbles / 2];
        if (value != (nibbles % 2 == 0 ? byte >> 4 : byte & 15))
            return false;
        ++nibbles;
    }
    return nibbles == 64;
}
