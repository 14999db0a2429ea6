#include "Base64.h"

#include "Base64Digits.h"

namespace {
const char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Encode(const std::string& bytes, bool url)
{
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 | static_cast<unsigned char>(bytes[i + 1]) << 8 |
                           static_cast<unsigned char>(bytes[i + 2]);
        for (int shift = 18; shift >= 0; shift -= 6)
            out += Alphabet[(v >> shift) & 63];
    }
    const std::size_t rest = bytes.size() - i;
    if (rest > 0) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (rest == 2)
            v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += Alphabet[(v >> 18) & 63];
        out += Alphabet[(v >> 12) & 63];
        if (rest == 2)
            out += Alphabet[(v >> 6) & 63];
        if (!url)
            out.append(rest == 1 ? "==" : "=");
    }
    if (url) {
        for (char& c : out)
            c = c == '+' ? '-' : c == '/' ? '_' : c;
    }
    return out;
}
}  // namespace

std::string Base64Encode(const std::string& bytes) { return Encode(bytes, false); }

std::string Base64UrlEncode(const std::string& bytes) { return Encode(bytes, true); }

bool Base64Decode(const std::string& text, std::string& bytes)
{
    bytes.clear();
    if (text.size() % 4 != 0)
        return false;
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        const int pads = last ? (text[i + 3] == '=') + (text[i + 2] == '=' && text[i + 3] == '=') : 0;
        unsigned v = 0;
        for (int k = 0; k < 4; ++k) {
            const int s = k >= 4 - pads ? 0 : Base64Value(text[i + k]);
            if (s < 0)
                return false;
            v = v << 6 | static_cast<unsigned>(s);
        }
        bytes += static_cast<char>(v >> 16);
        if (pads < 2)
            bytes += static_cast<char>(v >> 8 & 0xFF);
        if (pads < 1)
            bytes += static_cast<char>(v & 0xFF);
    }
    return true;
}
