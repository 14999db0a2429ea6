// The status of the mail watch as the user sees it: the mailboxes window's
// caption and the tray tip, with the local addresses when asked.
#include <winsock.h>

#include <cstdio>
#include <cstring>

#include "../forms/ihmMailbox.h"
#include "../framework/Locale.h"
#include "../settings/ihmOptions.h"
#include "AddressText.h"
#include "ihmMain.h"
#include "unitGlobal.h"

namespace {
// "hh:nn" with the time separator of the user's locale.
std::string ShortTime(std::time_t when)
{
    std::tm local = *std::localtime(&when);
    const std::string separator = LocaleTimeSeparator();
    char text[32];
    std::snprintf(text, sizeof text, "%02d%s%02d", local.tm_hour, separator.c_str(), local.tm_min);
    return text;
}
}  // namespace

void TihmMain::UpdateMailStatus(bool inProgress)
{
    std::string status;
    if (inProgress) {
        status = MsgCheckInProgress;
    } else {
        if (LastCheck == 0)
            LastCheck = std::time(nullptr);
        const std::string time = ShortTime(LastCheck);
        const int count = Emails.Count();
        if (count > 1)
            status = FormatText(MsgMessagesFound, {count, time});
        else if (count == 1)
            status = FormatText(MsgOneMessageFound, {time});
        else
            status = FormatText(MsgNoMessageFound, {time});
        // Said where the user looks, not only in the log.
        if (!MailboxesInError.empty())
            status += FormatText(MsgMailboxesInError, {static_cast<int>(MailboxesInError.size())});
    }
    if (ihmMailbox)
        ihmMailbox->SetCaption(MsgMailboxes + " - " + status);
    if (ihmOptions && ihmOptions->AddressIp()) {
        const std::string addresses = GetAddressText();
        if (!addresses.empty())
            status += "\r\n" + addresses;
    }
    utlTB.SetTip(status);
}

std::vector<std::string> GetLocalAddresses()
{
    std::vector<std::string> addresses;
    WSADATA data;
    if (WSAStartup(0x0102, &data) != 0)
        return addresses;
    char name[256] = {};
    if (gethostname(name, sizeof name) == 0) {
        const hostent* host = gethostbyname(name);
        if (host && host->h_addrtype == AF_INET && host->h_addr_list) {
            for (char** entry = host->h_addr_list; *entry; ++entry) {
                in_addr address;
                std::memcpy(&address, *entry, sizeof address);
                addresses.push_back(inet_ntoa(address));
            }
        }
    }
    WSACleanup();
    return addresses;
}

std::string GetAddressText() { return JoinAddressText(GetLocalAddresses()); }
