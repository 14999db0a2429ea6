#include "ImapMailboxName.h"

#include <cstdint>
#include <vector>

#include "../text/Base64.h"
#include "../text/Base64Digits.h"
#include "../text/Utf8Text.h"

namespace {

bool Printable(char32_t c)
{
    return c >= 0x20 && c <= 0x7e;
}

// One shifted run (between "&" and "-") as UTF-8 appended to `utf8`.
bool DecodeRun(const std::string& run, std::string& utf8)
{
    std::vector<char16_t> units;
    std::uint32_t bits = 0;
    int count = 0;
    for (char c : run) {
        const int value = c == ',' ? 63 : c == '/' ? -1 : Base64Value(c);
        if (value < 0)
            return false;
        bits = (bits << 6) | std::uint32_t(value);
        count += 6;
        if (count >= 16) {
            count -= 16;
            units.push_back(char16_t((bits >> count) & 0xffff));
        }
    }
    // What is left must be padding: fewer than six bits, all zero.
    if (count >= 6 || (bits & ((1u << count) - 1)) != 0 || units.empty())
        return false;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        if (unit >= 0xd800 && unit <= 0xdbff) {
            if (i + 1 == units.size() || units[i + 1] < 0xdc00 || units[i + 1] > 0xdfff)
                return false;
            AppendUtf8(utf8, 0x10000 + ((char32_t(unit) - 0xd800) << 10) + (char32_t(units[++i]) - 0xdc00));
        } else if (unit >= 0xdc00 && unit <= 0xdfff) {
            return false;
        } else {
            AppendUtf8(utf8, unit);
        }
    }
    return true;
}

void EncodeRun(const std::u32string& run, std::string& wire)
{
    std::string bytes;
    auto unit = [&](char32_t u) {
        bytes += char(u >> 8);
        bytes += char(u & 0xff);
    };
    for (char32_t c : run) {
        if (c >= 0x10000) {
            unit(0xd800 + ((c - 0x10000) >> 10));
            unit(0xdc00 + ((c - 0x10000) & 0x3ff));
        } else {
            unit(c);
        }
    }
    std::string base64 = Base64Encode(bytes);
    while (!base64.empty() && base64.back() == '=')
        base64.pop_back();
    for (char& c : base64)
        if (c == '/')
            c = ',';
    wire += "&" + base64 + "-";
}

}  // namespace

bool ImapDecodeMailboxName(const std::string& wire, std::string& utf8)
{
    utf8.clear();
    if (HasNonAscii(wire)) {
        if (!IsValidUtf8(wire))
            return false;
        utf8 = wire;
        return true;
    }
    for (std::size_t i = 0; i < wire.size(); ++i) {
        const char c = wire[i];
        if (!Printable(char32_t(c)))
            return false;
        if (c != '&') {
            utf8 += c;
            continue;
        }
        const std::size_t end = wire.find('-', i + 1);
        if (end == std::string::npos)
            return false;
        if (end == i + 1)
            utf8 += '&';
        else if (!DecodeRun(wire.substr(i + 1, end - i - 1), utf8))
            return false;
        i = end;
    }
    return true;
}

std::string ImapEncodeMailboxName(const std::string& utf8)
{
    std::string wire;
    std::u32string run;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t c = NextCodePoint(utf8, pos);
        if (!Printable(c)) {
            run += c;
            continue;
        }
        if (!run.empty()) {
            EncodeRun(run, wire);
            run.clear();
        }
        wire += c == '&' ? std::string("&-") : std::string(1, char(c));
    }
    if (!run.empty())
        EncodeRun(run, wire);
    return wire;
}
