#include "WSocketResolve.h"

#include <cstring>

#include "WSocketException.h"
#include "WSocketLoader.h"
#include "WSockErrors.h"

namespace {
bool StartsWithDigit(const std::string& text) { return !text.empty() && text[0] >= '0' && text[0] <= '9'; }

// Decimal value of the leading digits, after leading blanks; answers false
// when it exceeds `limit`, so an absurd number is never truncated silently.
bool ReadNumber(const std::string& text, long limit, long& value)
{
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > limit)
            return false;
    }
    return true;
}
}  // namespace

std::string WSocketTrim(const std::string& text)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ')
        ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ')
        --last;
    return text.substr(first, last - first);
}

std::uint32_t WSocketResolveHost(const std::string& host)
{
    if (host.empty() || host.size() >= 257)
        throw ESocketException("WSocketResolveHost: '" + host + "' Invalid Hostname.");
    const std::string name = WSocketTrim(host);
    if (WSocketIsDottedAddress(name)) {
        const unsigned long address = Winsock::inet_addr(name.c_str());
        if (address == INADDR_NONE && name != "255.255.255.255")
            throw ESocketException("WSocketResolveHost: '" + host + "' Invalid IP address.");
        return static_cast<std::uint32_t>(address);
    }
    const hostent* entry = Winsock::gethostbyname(name.c_str());
    if (!entry || !entry->h_addr_list || !entry->h_addr_list[0] || entry->h_length != 4) {
        throw ESocketException(SocketFormat("WSocketResolveHost: Cannot convert host address '%s', Error #%d",
                                            host.c_str(), Winsock::WSAGetLastError()));
    }
    std::uint32_t address;
    memcpy(&address, entry->h_addr_list[0], sizeof address);
    return address;
}

int WSocketResolvePort(const std::string& port, const std::string& proto)
{
    if (port.empty() || port.size() >= 32)
        throw ESocketException("WSocketResolvePort: Invalid Port.");
    if (proto.empty() || proto.size() >= 32)
        throw ESocketException("WSocketResolvePort: Invalid Proto.");
    if (StartsWithDigit(port)) {
        long value;
        if (!ReadNumber(port, 65535, value))
            throw ESocketException("WSocketResolvePort: Invalid Port.");
        return static_cast<int>(value);
    }
    const std::string name = WSocketTrim(port);
    const std::string protocol = WSocketTrim(proto);
    const servent* entry = Winsock::getservbyname(name.c_str(), protocol.empty() ? nullptr : protocol.c_str());
    if (!entry) {
        throw ESocketException(SocketFormat("WSocketResolvePort: Cannot convert port '%s', Error #%d",
                                            port.c_str(), Winsock::WSAGetLastError()));
    }
    return Winsock::ntohs(static_cast<u_short>(entry->s_port));
}

int WSocketResolveProto(const std::string& proto)
{
    if (proto.empty() || proto.size() >= 32)
        throw ESocketException("WSocketResolveProto: Invalid Protocol.");
    if (StartsWithDigit(proto)) {
        long value;
        if (!ReadNumber(proto, 255, value))
            throw ESocketException("WSocketResolveProto: Invalid Protocol.");
        return static_cast<int>(value);
    }
    const std::string name = WSocketTrim(proto);
    const protoent* entry = Winsock::getprotobyname(name.c_str());
    if (!entry) {
        throw ESocketException(SocketFormat("WSocketResolveProto: Cannot convert protocol '%s', Error #%d",
                                            proto.c_str(), Winsock::WSAGetLastError()));
    }
    return entry->p_proto;
}
