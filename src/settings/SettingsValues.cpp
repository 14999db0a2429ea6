#include "SettingsValues.h"

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

std::string MailboxSectionName(int number) { return "Mailbox" + std::to_string(number); }

std::string DecodeMailboxPort(const std::string& text)
{
    const int port = DecodeInteger(text, 0);
    if (port < 1 || port > 65535 || text[0] == '-' || text[0] == '+')
        return "110";
    return EncodeInteger(port);
}

int DecodeMailboxSecurity(const std::string& text)
{
    const int security = DecodeInteger(text, MailboxSecurityNone);
    return security >= MailboxSecurityNone && security <= MailboxSecurityImplicit ? security : MailboxSecurityNone;
}

std::string UsualMailboxPort(int security) { return security == MailboxSecurityImplicit ? "995" : "110"; }

std::string PortAfterSecurityChange(const std::string& port, int before, int after)
{
    if (port.empty() || port == UsualMailboxPort(before))
        return UsualMailboxPort(after);
    return port;
}
