#pragma once

#include <string>

// The title of the application window: the executable's file name without
// folder and extension, first character kept, every following one lower-cased
// ("C:\x\SkarnVale.exe" gives "Skarnvale").
std::string ApplicationTitleOf(const std::string& exePath);
