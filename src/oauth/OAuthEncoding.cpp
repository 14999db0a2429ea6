#include "OAuthEncoding.h"

#include "../text/HexDigits.h"

namespace {
bool IsUnreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}
}  // namespace

std::string PercentEncode(const std::string& text)
{
    static const char Hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (IsUnreserved(c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += Hex[c >> 4];
            out += Hex[c & 15];
        }
    }
    return out;
}

std::string PercentDecode(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && i + 2 < text.size() && HexDigitValue(text[i + 1]) >= 0 &&
                   HexDigitValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

std::string ComposeQuery(const TQueryFields& fields)
{
    std::string out;
    for (const auto& field : fields) {
        if (!out.empty())
            out += '&';
        out += PercentEncode(field.first) + '=' + PercentEncode(field.second);
    }
    return out;
}

TQueryFields ParseQuery(const std::string& query)
{
    TQueryFields fields;
    std::size_t start = 0;
    while (start <= query.size()) {
        std::size_t end = query.find('&', start);
        if (end == std::string::npos)
            end = query.size();
        const std::string part = query.substr(start, end - start);
        if (!part.empty()) {
            const std::size_t eq = part.find('=');
            fields.emplace_back(PercentDecode(part.substr(0, eq)),
                                eq == std::string::npos ? std::string() : PercentDecode(part.substr(eq + 1)));
        }
        start = end + 1;
    }
    return fields;
}

bool QueryValue(const TQueryFields& fields, const std::string& name, std::string& value)
{
    for (const auto& field : fields) {
        if (field.first == name) {
            value = field.second;
            return true;
        }
    }
    return false;
}
