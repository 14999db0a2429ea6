// Host texts as a user types them: the dotted-address test must accept
// exactly blanks, four decimal parts of at most 255 joined by dots, blanks.
// The Winsock error text is checked for any code on the way.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "net/WSockErrors.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// An independent statement of the same rule: strip the blanks, then split
// at the dots and judge each part.
bool LooksLikeDottedAddress(const std::string& text)
{
    std::size_t begin = text.find_first_not_of(' ');
    if (begin == std::string::npos)
        return false;
    std::size_t end = text.find_last_not_of(' ') + 1;
    const std::string core = text.substr(begin, end - begin);
    int parts = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = core.find('.', start);
        const std::string part = core.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        if (part.empty())
            return false;
        for (char c : part) {
            if (!IsDigit(c))
                return false;
        }
        const std::size_t significant = part.find_first_not_of('0');
        if (significant != std::string::npos &&
            (part.size() - significant > 3 || std::stoi(part.substr(significant)) > 255))
            return false;
        ++parts;
        if (dot == std::string::npos)
            break;
        start = dot + 1;
    }
    return parts == 4;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    Check(WSocketIsDottedAddress(text) == LooksLikeDottedAddress(text));

    if (size >= 4) {
        int code;
        std::memcpy(&code, data, sizeof code);
        const std::string message = WSocketErrorText(code);
        Check(!message.empty());
        if (code != 0 && (code < 10004 || code > 11004))
            Check(message == "Not a WinSock error");
    }
    return 0;
}
