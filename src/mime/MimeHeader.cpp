#include "MimeHeader.h"

#include <cstdlib>
#include <vector>

#include "../text/HexDigits.h"
#include "Pop3Header.h"

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Splits at ';' outside quoted strings, quotes and backslash escapes removed.
std::vector<std::string> Parameters(const std::string& value)
{
    std::vector<std::string> items(1);
    bool quoted = false;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (quoted && c == '\\' && i + 1 < value.size())
            items.back() += value[++i];
        else if (c == '"')
            quoted = !quoted;
        else if (c == ';' && !quoted)
            items.emplace_back();
        else
            items.back() += c;
    }
    return items;
}

// An RFC 2231 extended value: charset'language'percent-encoded bytes.
std::string DecodeExtendedValue(const std::string& value, const TCodePageConverter& convert)
{
    const std::size_t first = value.find('\'');
    const std::size_t second = first == std::string::npos ? first : value.find('\'', first + 1);
    if (second == std::string::npos)
        return RawTextToUtf8(value);
    std::string bytes;
    for (std::size_t i = second + 1; i < value.size(); ++i) {
        const int high = value[i] == '%' && i + 2 < value.size() ? HexDigitValue(value[i + 1]) : -1;
        const int low = high >= 0 ? HexDigitValue(value[i + 2]) : -1;
        if (low >= 0) {
            bytes += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            bytes += value[i];
        }
    }
    std::string utf8;
    const unsigned codePage = Pop3CharsetCodePage(value.substr(0, first));
    return codePage && DecodeCodePage(codePage, bytes, convert, utf8) ? utf8 : RawTextToUtf8(bytes);
}
}  // namespace

std::string MimeHeaderField(const std::string& header, const std::string& name)
{
    const std::string wanted = Pop3LowerCase(name);
    std::string value;
    bool inField = false;
    std::size_t start = 0;
    while (start < header.size()) {
        std::size_t end = header.find("\r\n", start);
        if (end == std::string::npos)
            end = header.size();
        const std::string line = header.substr(start, end - start);
        start = end + 2;
        if (inField && !line.empty() && IsBlank(line[0])) {
            value += line;
            continue;
        }
        if (inField)
            break;
        const std::size_t colon = line.find(':');
        if (colon != std::string::npos && Pop3LowerCase(Pop3Trim(line.substr(0, colon))) == wanted) {
            inField = true;
            value = line.substr(colon + 1);
        }
    }
    return Pop3Trim(value);
}

std::string TMimeContent::Param(const std::string& name) const
{
    const auto found = Params.find(name);
    return found == Params.end() ? std::string() : found->second;
}

TMimeContent ParseMimeContent(const std::string& value, const TCodePageConverter& convert)
{
    TMimeContent content;
    const std::vector<std::string> items = Parameters(value);
    content.Type = Pop3LowerCase(Pop3Trim(items[0]));
    // Sections of one parameter ("name*0*", "name*1") by their number.
    std::map<std::string, std::map<int, std::pair<std::string, bool>>> sections;
    for (std::size_t i = 1; i < items.size(); ++i) {
        const std::size_t equals = items[i].find('=');
        if (equals == std::string::npos)
            continue;
        std::string key = Pop3LowerCase(Pop3Trim(items[i].substr(0, equals)));
        const std::string text = Pop3Trim(items[i].substr(equals + 1));
        const bool extended = !key.empty() && key.back() == '*';
        if (extended)
            key.pop_back();
        int section = 0;
        const std::size_t star = key.find('*');
        if (star != std::string::npos) {
            section = std::atoi(key.c_str() + star + 1);
            key.erase(star);
        }
        if (!key.empty() && section >= 0 && section < 100)
            sections[key].emplace(section, std::make_pair(text, extended));
    }
    for (const auto& [key, parts] : sections) {
        std::string joined;
        const bool extended = parts.begin()->second.second;
        for (const auto& part : parts)
            joined += part.second.first;
        content.Params[key] = extended ? DecodeExtendedValue(joined, convert) : joined;
    }
    return content;
}
