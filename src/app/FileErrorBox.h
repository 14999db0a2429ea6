// The error boxes of the system's own files (the kill list, the spam lists):
// "Read error on file '%s'" or "Write error on file '%s'" in the current
// language, with an OK button.
#pragma once

#include <string>

void ShowReadErrorBox(const std::string& path);
void ShowWriteErrorBox(const std::string& path);
// The settings could not all be written under the registry key `key`.
void ShowSettingsWriteErrorBox(const std::string& key);
