// The status of the mail watch as the user reads it: how many messages the
// last check found and when, and how many mailboxes could not be read.
#include <windows.h>

#include <cstdio>

#include "../framework/Locale.h"
#include "../text/FormatText.h"
#include "MailWatch.h"

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

std::string TMailWatch::StatusText(bool inProgress)
{
    if (inProgress)
        return texts_.CheckInProgress;
    if (LastCheck == 0)
        LastCheck = std::time(nullptr);
    const std::string time = ShortTime(LastCheck);
    const int count = Emails.Count();
    std::string status;
    if (count > 1)
        status = FormatText(texts_.MessagesFound, {count, time});
    else if (count == 1)
        status = FormatText(texts_.OneMessageFound, {time});
    else
        status = FormatText(texts_.NoMessageFound, {time});
    // Said where the user looks, not only in the log.
    if (!MailboxesInError.empty())
        status += FormatText(texts_.MailboxesInError, {static_cast<int>(MailboxesInError.size())});
    return status;
}

void TMailWatch::UpdateMailStatus(bool inProgress)
{
    const std::string status = StatusText(inProgress);
    Tell([&status](IMailScreen& s) { s.MailStatusChanged(status); });
}
