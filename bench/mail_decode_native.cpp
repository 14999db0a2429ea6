#include "mail_decode.h"

#include "text/Utf8Text.h"

// Stand-ins: every code page read as Windows-1252, A to Z lowered. What is
// measured is the portable decoder and matcher alone.
TCodePageConverter MailDecodeConverter()
{
    return [](unsigned, const std::string& bytes, std::string& utf8) {
        utf8 = Windows1252ToUtf8(bytes);
        return true;
    };
}
TCaseFold MailDecodeFold() { return FoldAsciiCase; }
const char* MailDecodePlatformName() { return "portable stand-ins (native)"; }
