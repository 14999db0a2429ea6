// Text from another Windows code page brought into code page 1252.
#pragma once

#include <string>

// `bytes` in `codePage` as code page 1252, through the platform's conversion;
// characters 1252 lacks become '?', never a look-alike. False when the
// platform cannot convert from that code page.
bool ConvertCodePageToAnsi(unsigned codePage, const std::string& bytes, std::string& ansi);
