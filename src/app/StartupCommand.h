// The rules of Windows' per-user start-up entry, apart from the registry: the
// command the Run value holds for the program, whether a stored command still
// starts this copy, and Task Manager's switch for the entry (a binary value
// under Explorer\StartupApproved\Run that Windows does not document; seen
// written as 12 bytes, the first 02 for on and 03 for off, the rest the time
// it was turned off).
#pragma once

#include <functional>
#include <string>

// The Run value's command: the program's full path in double quotes, so that
// a path with spaces is not cut at the first one.
std::string StartupCommandFor(const std::string& exePath);

// True when `command` starts the program at `exePath`: the path it names,
// quoted or not, compared after `fold` (Windows' paths ignore letter case).
bool StartupCommandStarts(const std::string& command, const std::string& exePath,
                          const std::function<std::string(const std::string&)>& fold);

// True when Task Manager's switch says off: an odd first byte. No bytes (no
// value) is on, as Windows takes it.
bool StartupApprovalDisabled(const std::string& bytes);
// The bytes Task Manager writes when it turns an entry on.
std::string StartupApprovalEnabled();
