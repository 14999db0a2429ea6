// Where the program keeps its own files (the kill list, the spam lists):
// beside the executable, as a portable install has them, when that folder can
// be written; otherwise, as Windows asks of a program installed under Program
// Files, in the user's %APPDATA%\SkarnVale\.
#pragma once

#include <string>

enum class TFileUse { Read, Write };

// The user's folder of the program, %APPDATA%\SkarnVale\ (the environment's
// APPDATA, else the shell's application-data folder), ending with a backslash.
std::string UserDataFolder();
// The path of the program's file `name`. For writing: beside the executable
// when that folder can be written, else in the user's folder (made when
// needed); empty when neither can be written. For reading: beside the
// executable when that folder can be written, else the user's copy when there
// is one, else the one beside the executable.
std::string DataFilePath(const std::string& name, TFileUse use);
