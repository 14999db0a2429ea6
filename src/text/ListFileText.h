// The text of the list files (the kill list, the spam lists): how their bytes
// become the program's UTF-8 and back. Files written before the program knew
// Unicode are in the machine's ANSI code page and must read as they did.
#pragma once

#include <string>

// The machine's ANSI code page, given by the platform.
class IAnsiCodePage {
public:
    virtual ~IAnsiCodePage() = default;
    // The bytes of the code page as UTF-8.
    virtual std::string ToUtf8(const std::string& ansi) const = 0;
    // The UTF-8 text in the code page; false when a character has no exact
    // place there (no best fit, no default character).
    virtual bool FromUtf8Exactly(const std::string& utf8, std::string& ansi) const = 0;
};

// A byte-order mark means UTF-8 (a malformed sequence becomes U+FFFD); valid
// UTF-8 with non-ASCII bytes is UTF-8; anything else is the ANSI code page.
std::string ListFileToUtf8(const std::string& bytes, const IAnsiCodePage& ansi);
// The ANSI bytes when every character fits exactly, else UTF-8 after a
// byte-order mark.
std::string Utf8ToListFile(const std::string& text, const IAnsiCodePage& ansi);
