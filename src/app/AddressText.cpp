#include "AddressText.h"

std::string JoinAddressText(const std::vector<std::string>& addresses)
{
    std::string text;
    for (const std::string& address : addresses) {
        if (address == "10.0.0.10")
            continue;
        if (!text.empty())
            text += " - ";
        text += address;
    }
    return text;
}
