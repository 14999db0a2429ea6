// Whether SkarnVale starts when the user signs in to Windows. The state is
// Windows' own entry (the Run value the setup also writes, and Task
// Manager's switch for it), not a setting of ours: what the user or the setup
// did elsewhere shows as it is.
#pragma once

// The Run value's name, as the setup writes it.
constexpr const char* StartupEntryName = "SkarnVale";

// On when the Run value exists and Task Manager has not turned it off.
bool StartsWithWindows();
// On: the Run value starts this copy, and an entry Task Manager turned off
// is turned on again there. Off: both values are removed. False when the
// registry refused.
bool SetStartWithWindows(bool on);
// An existing Run value that starts another path (the program was moved, or
// another copy wrote it) is made to start this copy; Task Manager's switch
// is left as the user set it. Done once at start-up.
void CorrectStartupEntry();
