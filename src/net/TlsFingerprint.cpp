#include "TlsFingerprint.h"

#include "../text/HexDigits.h"

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
        if (c == ':' || c == ' ' || c == '-' || c == '\t')
            continue;
        const int value = HexDigitValue(c);
        if (value < 0 || nibbles >= 64)
            return false;
        const std::uint8_t byte = digest[nibbles / 2];
        if (value != (nibbles % 2 == 0 ? byte >> 4 : byte & 15))
            return false;
        ++nibbles;
    }
    return nibbles == 64;
}

bool FingerprintPinned(const std::string& pinned)
{
    return pinned.find_first_not_of(": -\t") != std::string::npos;
}
