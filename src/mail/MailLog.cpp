// The mail log: its lines go to the screens, which show them.
#include "MailWatch.h"

void TMailWatch::AddMailLog(const std::string& text)
{
    const std::string& line = text.empty() ? LastError : text;
    Tell([&line](IMailScreen& s) { s.MailLogLine(line); });
}

void TMailWatch::ClearMailLog()
{
    Tell([](IMailScreen& s) { s.MailLogCleared(); });
}
