#include "RegistryValues.h"

#include <cstdint>
#include <limits>

std::string EncodeInteger(int value) { return std::to_string(value); }

std::string EncodeBoolean(bool value) { return value ? "1" : "0"; }

int DecodeInteger(const std::string& text, int defaultValue)
{
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size())
        return defaultValue;
    // Accumulated as a magnitude so that the most negative value fits too.
    const int64_t limit = negative ? -static_cast<int64_t>(std::numeric_limits<int32_t>::min())
                                   : std::numeric_limits<int32_t>::max();
    int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return defaultValue;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > limit)
            return defaultValue;
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

bool DecodeBoolean(const std::string& text, bool defaultValue)
{
    return DecodeInteger(text, defaultValue ? 1 : 0) != 0;
}
