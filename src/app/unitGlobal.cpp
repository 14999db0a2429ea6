#include "unitGlobal.h"

std::string MsgReadError = "Read error on file '%s'";
std::string MsgWriteError = "Write error on file '%s'";
std::string MsgAlreadyRunning = "Skarnvale is already running.";

std::string FormatText(const std::string& format, const std::string& argument)
{
    const size_t at = format.find("%s");
    if (at == std::string::npos)
        return format;
    return format.substr(0, at) + argument + format.substr(at + 2);
}
