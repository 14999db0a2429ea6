#include "StartupCommand.h"

namespace {
std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The program a command names: the text between its first pair of quotes,
// else the whole command (arguments cannot be told from spaces in a path).
std::string ProgramOf(const std::string& command)
{
    const std::string text = Trimmed(command);
    if (text.empty() || text[0] != '"')
        return text;
    const size_t closing = text.find('"', 1);
    return text.substr(1, closing == std::string::npos ? std::string::npos : closing - 1);
}
}  // namespace

std::string StartupCommandFor(const std::string& exePath) { return "\"" + exePath + "\""; }

bool StartupCommandStarts(const std::string& command, const std::string& exePath,
                          const std::function<std::string(const std::string&)>& fold)
{
    const std::string program = ProgramOf(command);
    return !program.empty() && fold(program) == fold(exePath);
}

bool StartupApprovalDisabled(const std::string& bytes)
{
    return !bytes.empty() && (static_cast<unsigned char>(bytes[0]) & 1) != 0;
}

std::string StartupApprovalEnabled() { return std::string("\x02", 1) + std::string(11, '\0'); }
