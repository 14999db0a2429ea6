#include "WSockErrors.h"

#include <cstddef>

namespace {

struct TErrorText {
    int Code;
    const char* Text;
};

const TErrorText ErrorTexts[] = {
    {0, "No Error"},
    {10004, "Interrupted system call"},
    {10009, "Bad file number"},
    {10013, "Permission denied"},
    {10014, "Bad address"},
    {10022, "Invalid argument"},
    {10024, "Too many open files"},
    {10035, "Operation would block"},
    {10036, "Operation now in progress"},
    {10037, "Operation already in progress"},
    {10038, "Socket operation on non-socket"},
    {10039, "Destination address required"},
    {10040, "Message too long"},
    {10041, "Protocol wrong type for socket"},
    {10042, "Protocol not available"},
    {10043, "Protocol not supported"},
    {10044, "Socket type not supported"},
    {10045, "Operation not supported on socket"},
    {10046, "Protocol family not supported"},
    {10047, "Address family not supported by protocol family"},
    {10048, "Address already in use"},
    {10049, "Address not available"},
    {10050, "Network is down"},
    {10051, "Network is unreachable"},
    {10052, "Network dropped connection on reset"},
    {10053, "Connection aborted"},
    {10054, "Connection reset by peer"},
    {10055, "No buffer space available"},
    {10056, "Socket is already connected"},
    {10057, "Socket is not connected"},
    {10058, "Can't send after socket shutdown"},
    {10059, "Too many references: can't splice"},
    {10060, "Connection timed out"},
    {10061, "Connection refused"},
    {10062, "Too many levels of symbolic links"},
    {10063, "File name too long"},
    {10064, "Host is down"},
    {10065, "No route to host"},
    {10066, "Directory not empty"},
    {10067, "Too many processes"},
    {10068, "Too many users"},
    {10069, "Disc quota exceeded"},
    {10070, "Stale NFS file handle"},
    {10071, "Too many levels of remote in path"},
    {10091, "Network sub-system is unusable"},
    {10092, "WinSock DLL cannot support this application"},
    {10093, "WinSock not initialized"},
    {11001, "Host not found"},
    {11002, "Non-authoritative host not found"},
    {11003, "Non-recoverable error"},
    {11004, "No Data"},
};

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

}  // namespace

std::string WSocketErrorText(int code)
{
    for (const TErrorText& entry : ErrorTexts) {
        if (entry.Code == code)
            return entry.Text;
    }
    return "Not a WinSock error";
}

bool WSocketIsDottedAddress(const std::string& text)
{
    const std::size_t length = text.size();
    std::size_t i = 0;
    while (i < length && text[i] == ' ')
        ++i;
    if (i == length || text[i] == '.')
        return false;

    int dots = 0;
    // A part stops growing once it is known to be too large, so a long run of
    // digits can never wrap around to a small value.
    int part = 0;
    while (i < length) {
        const char c = text[i];
        if (c == '.') {
            ++dots;
            if (dots > 3 || part > 255)
                return false;
            ++i;
            if (i == length || !IsDigit(text[i]))
                return false;
            part = 0;
        } else if (IsDigit(c)) {
            if (part <= 255)
                part = part * 10 + (c - '0');
            ++i;
        } else {
            break;
        }
    }
    while (i < length) {
        if (text[i] != ' ')
            return false;
        ++i;
    }
    return dots == 3 && part <= 255;
}
