#include "TlsNames.h"

#include <algorithm>
#include <cctype>

namespace {
std::string Trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Dotted IPv4: four decimal parts 0..255 of at most three digits each.
bool ParseIpv4(const std::string& text, TIpAddress& out)
{
    TIpAddress bytes;
    std::size_t start = 0;
    for (int part = 0; part < 4; ++part) {
        const std::size_t end = part < 3 ? text.find('.', start) : text.size();
        if (end == std::string::npos || end == start || end - start > 3)
            return false;
        int value = 0;
        for (std::size_t i = start; i < end; ++i) {
            if (!std::isdigit(static_cast<unsigned char>(text[i])))
                return false;
            value = value * 10 + (text[i] - '0');
        }
        if (value > 255)
            return false;
        bytes.push_back(static_cast<std::uint8_t>(value));
        start = end + 1;
    }
    out = bytes;
    return true;
}

// The 16-bit groups of one side of an IPv6 "::" (a dotted tail allowed on the last).
bool ParseIpv6Groups(const std::string& text, bool tailAllowed, TIpAddress& out)
{
    if (text.empty())
        return true;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = std::min(text.find(':', start), text.size());
        const std::string group = text.substr(start, end - start);
        if (end == text.size() && tailAllowed && group.find('.') != std::string::npos) {
            TIpAddress v4;
            if (!ParseIpv4(group, v4))
                return false;
            out.insert(out.end(), v4.begin(), v4.end());
            return true;
        }
        if (group.empty() || group.size() > 4)
            return false;
        unsigned value = 0;
        for (char c : group) {
            if (!std::isxdigit(static_cast<unsigned char>(c)))
                return false;
            value = value * 16 + static_cast<unsigned>(std::isdigit(static_cast<unsigned char>(c))
                                                           ? c - '0'
                                                           : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10);
        }
        out.push_back(static_cast<std::uint8_t>(value >> 8));
        out.push_back(static_cast<std::uint8_t>(value & 0xFF));
        if (end == text.size())
            return true;
        start = end + 1;
    }
}

bool ParseIpv6(const std::string& text, TIpAddress& out)
{
    const std::size_t gap = text.find("::");
    TIpAddress head, tail;
    if (gap == std::string::npos) {
        if (!ParseIpv6Groups(text, true, head) || head.size() != 16)
            return false;
        out = head;
        return true;
    }
    if (text.find("::", gap + 1) != std::string::npos)
        return false;
    if (!ParseIpv6Groups(text.substr(0, gap), false, head) || !ParseIpv6Groups(text.substr(gap + 2), true, tail) ||
        head.size() + tail.size() > 14)
        return false;
    out = head;
    out.resize(16 - tail.size(), 0);
    out.insert(out.end(), tail.begin(), tail.end());
    return true;
}

std::string LowerWithoutFinalDot(std::string text)
{
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}
}  // namespace

TIpAddress ParseIpAddress(const std::string& text)
{
    std::string address = Trimmed(text);
    if (address.size() > 2 && address.front() == '[' && address.back() == ']')
        address = address.substr(1, address.size() - 2);
    TIpAddress bytes;
    if (address.find(':') != std::string::npos ? ParseIpv6(address, bytes) : ParseIpv4(address, bytes))
        return bytes;
    return TIpAddress();
}

bool DnsNameMatches(const std::string& entry, const std::string& name)
{
    const std::string pattern = LowerWithoutFinalDot(entry);
    const std::string host = LowerWithoutFinalDot(Trimmed(name));
    if (pattern.empty() || host.empty())
        return false;
    if (pattern.compare(0, 2, "*.") != 0)
        return pattern == host;
    // The wildcard's own part must hold two labels: "*.org" names no one.
    const std::string rest = pattern.substr(1);  // ".example.org"
    if (rest.find('.', 1) == std::string::npos || rest.find('*') != std::string::npos)
        return false;
    const std::size_t firstDot = host.find('.');
    return firstDot != std::string::npos && firstDot > 0 && host.compare(firstDot, std::string::npos, rest) == 0;
}

bool CertificateNamesServer(const TCertificateNames& names, const std::string& server)
{
    const TIpAddress address = ParseIpAddress(server);
    if (!address.empty())
        return std::find(names.Ip.begin(), names.Ip.end(), address) != names.Ip.end();
    return std::any_of(names.Dns.begin(), names.Dns.end(),
                       [&](const std::string& entry) { return DnsNameMatches(entry, server); });
}
