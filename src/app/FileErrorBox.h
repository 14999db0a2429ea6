// The error boxes of the system's own files (the kill list, the spam lists):
// "Read error on file '%s'" or "Write error on file '%s'" in the current
// language, with an OK button.
#pragma once

#include <string>

void ShowReadErrorBox(const std::string& path);
void ShowWriteErrorBox(const std::string& path);
// After a failed write of the program's file `name` (DataFolder.h): the write
// error box with the path written; when no folder at all can be written, the
// box with the user's folder's path, once a run rather than at every save.
void ShowWriteErrorFor(const std::string& name);
// The settings could not all be written under the registry key `key`.
void ShowSettingsWriteErrorBox(const std::string& key);
