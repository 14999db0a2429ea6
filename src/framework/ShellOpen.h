// Opens a document or URL with the user's program for it (the browser for
// an http URL), as the shell's "open" does.
#pragma once

#include <string>

// False when the shell could not start anything.
bool ShellOpenUrl(const std::string& url);
// Opens a file with the program the user chose for its kind (a ".eml" in
// the mail program); false when the shell could not start anything.
bool ShellOpenFile(const std::string& path);
