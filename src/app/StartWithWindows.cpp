#include "StartWithWindows.h"

#include <string>

#include "../framework/CaseFold.h"
#include "../framework/Files.h"
#include "../framework/StartupEntry.h"
#include "StartupCommand.h"

bool StartsWithWindows()
{
    const TStartupEntry entry(StartupEntryName);
    std::string command;
    return entry.ReadCommand(command) && !StartupApprovalDisabled(entry.ReadApproval());
}

bool SetStartWithWindows(bool on)
{
    const TStartupEntry entry(StartupEntryName);
    if (!on)
        return entry.Remove();
    if (!entry.WriteCommand(StartupCommandFor(ExecutablePath())))
        return false;
    return !StartupApprovalDisabled(entry.ReadApproval()) || entry.WriteApproval(StartupApprovalEnabled());
}

void CorrectStartupEntry()
{
    const TStartupEntry entry(StartupEntryName);
    std::string command;
    const std::string exe = ExecutablePath();
    if (entry.ReadCommand(command) && !StartupCommandStarts(command, exe, FoldCase))
        entry.WriteCommand(StartupCommandFor(exe));
}
