// The Win32 boundary of text: the program holds UTF-8, the W functions of
// Win32 take and give UTF-16. Every wrapper converts here, right at the call.
#pragma once

#include <string>

// UTF-8 as UTF-16; a malformed sequence becomes U+FFFD.
std::wstring Widen(const std::string& utf8);
// UTF-16 as UTF-8; a lone surrogate becomes U+FFFD.
std::string Narrow(const std::wstring& wide);
std::string Narrow(const wchar_t* wide, std::size_t length);
