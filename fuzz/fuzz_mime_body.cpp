// A message's header and body as the detail view decodes them: the input is
// split at its first "\n\n" into header and body, LF made CR LF. A stand-in
// for the platform's converter reads every code page as Windows-1252.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "text/Utf8Text.h"
#include "mime/MimeBody.h"
#include "mime/MimeHeader.h"

namespace {
void Check(bool condition)
{
    if (!condition)
        std::abort();
}

std::string WithCrLf(const std::string& text)
{
    std::string lines;
    for (char c : text)
        lines += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return lines;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find("\n\n");
    const std::string header = WithCrLf(input.substr(0, split));
    const std::string body = split == std::string::npos ? std::string() : WithCrLf(input.substr(split + 2));
    const TCodePageConverter convert = [](unsigned, const std::string& bytes, std::string& utf8) {
        utf8 = Windows1252ToUtf8(bytes);
        return true;
    };
    const TMimeBodyText text = DecodeMimeBody(header, body, convert);
    // What the text area is given is UTF-8 whose line ends are all CR LF.
    Check(IsValidUtf8(text.Text));
    for (std::size_t i = 0; i < text.Text.size(); ++i) {
        if (text.Text[i] == '\r')
            Check(i + 1 < text.Text.size() && text.Text[i + 1] == '\n');
        if (text.Text[i] == '\n')
            Check(i > 0 && text.Text[i - 1] == '\r');
        Check(text.Text[i] != '\0');
    }
    for (const std::string& name : text.OtherParts)
        Check(IsValidUtf8(name) && !name.empty());
    // Decoding never grows the body beyond what its bytes can give.
    Check(text.Text.size() <= 3 * (body.size() + header.size()) + 3);
    ParseMimeContent(header, convert);
    return 0;
}
