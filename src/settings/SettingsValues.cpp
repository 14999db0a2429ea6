#include "SettingsValues.h"

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
    if (text.size() == 1 && text[0] >= '0' + MailboxSecurityNone && text[0] <= '0' + MailboxSecurityImplicit)
        return text[0] - '0';
    return MailboxSecurityUnknown;
}

std::string UsualMailboxPort(int security, int protocol)
{
    if (protocol == MailboxProtocolImap)
        return security == MailboxSecurityImplicit ? "993" : "143";
    return security == MailboxSecurityImplicit ? "995" : "110";
}

std::string PortAfterSecurityChange(const std::string& port, int before, int after, int protocol)
{
    if (port.empty() || port == UsualMailboxPort(before, protocol))
        return UsualMailboxPort(after, protocol);
    return port;
}

std::string PortAfterProtocolChange(const std::string& port, int security, int before, int after)
{
    if (port.empty() || port == UsualMailboxPort(security, before))
        return UsualMailboxPort(security, after);
    return port;
}

int DecodeMailboxProtocol(const std::string& text)
{
    return text == "1" ? MailboxProtocolImap : MailboxProtocolPop3;
}

std::string DecodeMailboxFolder(const std::string& text) { return text.empty() ? "INBOX" : text; }

int DecodeMailboxAuth(const std::string& text) { return text == "1" ? MailboxAuthOAuth : MailboxAuthPassword; }
