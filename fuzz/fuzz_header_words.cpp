// Header values with encoded words. The first byte chooses whether the
// stand-in for the platform's conversion refuses ISO-8859-2 and where a round
// trip splits its text between a B and a Q word; the rest is the header value.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "text/Utf8Text.h"
#include "mime/Pop3HeaderWords.h"

namespace {
void Check(bool condition)
{
    if (!condition)
        std::abort();
}

std::string Base64(const std::string& bytes)
{
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        unsigned group = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size())
            group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size())
            group |= static_cast<unsigned char>(bytes[i + 2]);
        const std::size_t used = bytes.size() - i < 3 ? bytes.size() - i : 3;
        for (std::size_t k = 0; k < 4; ++k)
            text += k <= used ? alphabet[(group >> (18 - 6 * k)) & 63] : '=';
    }
    return text;
}

std::string QuotedPrintable(const std::string& bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string text;
    for (char c : bytes) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte == ' ')
            text += '_';
        else if (byte > ' ' && byte < 127 && c != '=' && c != '?' && c != '_')
            text += c;
        else
            text += std::string("=") + hex[byte >> 4] + hex[byte & 15];
    }
    return text;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::string value(reinterpret_cast<const char*>(data + 1), size - 1);
    const bool refuse = data[0] & 1;
    // One byte in, one character out, as single-byte code pages convert.
    const TCodePageConverter convert = [&](unsigned codePage, const std::string& bytes, std::string& utf8) {
        if (refuse && codePage == 28592)
            return false;
        utf8 = Windows1252ToUtf8(bytes);
        return true;
    };

    // Whatever the charsets, ISO-2022-JP and GB18030 included, the result is
    // UTF-8 without control characters.
    const std::string shown = Pop3DecodeHeaderText(value, convert);
    Check(IsValidUtf8(shown));
    for (char c : shown)
        Check(static_cast<unsigned char>(c) >= ' ' && c != 127);
    if (value.find("=?") == std::string::npos && !HasNonAscii(value))
        Check(shown.size() == value.size());

    // Any text without control characters comes back from a B word and a Q
    // word of one charset, split anywhere, with white space between them.
    std::string text;
    for (char c : value)
        if (static_cast<unsigned char>(c) >= ' ' && c != 127)
            text += c;
    const std::size_t split = text.empty() ? 0 : (data[0] >> 1) % (text.size() + 1);
    const auto words = [&](const std::string& space) {
        return "=?iso-8859-2?B?" + Base64(text.substr(0, split)) + "?=" + space + "=?ISO-8859-2?q?" +
               QuotedPrintable(text.substr(split)) + "?=";
    };
    // Refused, the words stay as written, their TAB shown as a space.
    const std::string decoded = Pop3DecodeHeaderText(words(" \t "), convert);
    Check(decoded == (refuse ? words("   ") : Windows1252ToUtf8(text)));
    return 0;
}
