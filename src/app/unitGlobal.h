// Message texts of the system. They hold the English texts until a language
// table replaces them.
#pragma once

#include <string>

extern std::string MsgReadError;
extern std::string MsgWriteError;
extern std::string MsgAlreadyRunning;

// Puts `argument` in place of the first "%s" of `format`. User data always goes
// in as the argument, never as the format.
std::string FormatText(const std::string& format, const std::string& argument);
