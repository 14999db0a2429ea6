// Whole-file access in the executable's directory.
#pragma once

#include <string>

std::string ExecutablePath();
// The directory of the executable, ending with a backslash.
std::string ExecutableDirectory();
bool FileExists(const std::string& path);
// Reads every byte of the file; answers false when it cannot be opened or read,
// with the bytes read before the failure in `bytes`.
bool ReadFileBytes(const std::string& path, std::string& bytes);
// Writes the bytes to a new file beside `path` and then puts it in place of
// `path`, so the previous file stays whole until the new one is complete.
bool WriteFileReplacing(const std::string& path, const std::string& bytes);
// Makes `path` the process's current folder (where a file dialog opens).
bool SetCurrentFolder(const std::string& path);
// Starts the program at `path` through the shell.
void RunProgram(const std::string& path);
