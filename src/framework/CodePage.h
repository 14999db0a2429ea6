// Text from a Windows code page brought into UTF-8, through the platform's
// conversion: the converter the mail decoder is given.
#pragma once

#include <string>

// `bytes` in `codePage` as UTF-8. A byte sequence the code page does not
// define becomes U+FFFD, never a look-alike or the code page's default
// character. False when the platform cannot convert from that code page.
bool ConvertCodePageToUtf8(unsigned codePage, const std::string& bytes, std::string& utf8);
