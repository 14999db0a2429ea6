#include "OAuthJson.h"

#include <cstdint>

#include "../text/HexDigits.h"
#include "text/Utf8Text.h"

namespace {
class TJsonReader {
public:
    explicit TJsonReader(const std::string& text) : s_(text) {}

    bool Object(std::map<std::string, std::string>& members)
    {
        Space();
        if (!Take('{'))
            return false;
        Space();
        if (Take('}'))
            return End();
        for (;;) {
            std::string name, value;
            Space();
            if (!String(name))
                return false;
            Space();
            if (!Take(':'))
                return false;
            Space();
            bool scalar = false;
            if (!Value(value, scalar, 1))
                return false;
            if (scalar && members.find(name) == members.end())
                members[name] = value;
            Space();
            if (Take('}'))
                return End();
            if (!Take(','))
                return false;
        }
    }

private:
    bool End()
    {
        Space();
        return i_ == s_.size();
    }
    void Space()
    {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\r' || s_[i_] == '\n'))
            ++i_;
    }
    bool Take(char c)
    {
        if (i_ < s_.size() && s_[i_] == c) {
            ++i_;
            return true;
        }
        return false;
    }
    bool Hex4(unsigned& v)
    {
        if (s_.size() - i_ < 4)
            return false;
        v = 0;
        for (int k = 0; k < 4; ++k) {
            const int d = HexDigitValue(s_[i_++]);
            if (d < 0)
                return false;
            v = v * 16 + static_cast<unsigned>(d);
        }
        return true;
    }
    bool String(std::string& out)
    {
        if (!Take('"'))
            return false;
        while (i_ < s_.size()) {
            const unsigned char c = static_cast<unsigned char>(s_[i_++]);
            if (c == '"')
                return IsValidUtf8(out);
            if (c < 0x20)
                return false;
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            if (i_ >= s_.size())
                return false;
            const char e = s_[i_++];
            switch (e) {
            case '"': case '\\': case '/': out += e; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                unsigned v = 0;
                if (!Hex4(v))
                    return false;
                if (v >= 0xD800 && v < 0xDC00) {
                    unsigned low = 0;
                    if (!Take('\\') || !Take('u') || !Hex4(low) || low < 0xDC00 || low > 0xDFFF)
                        return false;
                    v = 0x10000 + ((v - 0xD800) << 10) + (low - 0xDC00);
                } else if (v >= 0xDC00 && v <= 0xDFFF) {
                    return false;
                }
                AppendUtf8(out, static_cast<char32_t>(v));
                break;
            }
            default:
                return false;
            }
        }
        return false;
    }
    bool Digits()
    {
        const std::size_t start = i_;
        while (i_ < s_.size() && s_[i_] >= '0' && s_[i_] <= '9')
            ++i_;
        return i_ > start;
    }
    bool Number(std::string& out)
    {
        const std::size_t start = i_;
        Take('-');
        if (Take('0')) {
        } else if (!Digits()) {
            return false;
        }
        if (Take('.') && !Digits())
            return false;
        if (Take('e') || Take('E')) {
            if (!Take('+'))
                Take('-');
            if (!Digits())
                return false;
        }
        out = s_.substr(start, i_ - start);
        return true;
    }
    bool Literal(const char* word, std::string& out)
    {
        const std::string w(word);
        if (s_.compare(i_, w.size(), w) != 0)
            return false;
        i_ += w.size();
        out = w;
        return true;
    }
    bool Value(std::string& out, bool& scalar, int depth)
    {
        if (depth > JsonMaxDepth || i_ >= s_.size())
            return false;
        scalar = true;
        const char c = s_[i_];
        if (c == '"')
            return String(out);
        if (c == 't')
            return Literal("true", out);
        if (c == 'f')
            return Literal("false", out);
        if (c == 'n')
            return Literal("null", out);
        if (c == '-' || (c >= '0' && c <= '9'))
            return Number(out);
        scalar = false;
        if (c != '{' && c != '[')
            return false;
        const char close = c == '{' ? '}' : ']';
        ++i_;
        Space();
        if (Take(close))
            return true;
        for (;;) {
            std::string skipped;
            bool inner = false;
            Space();
            if (close == '}') {
                if (!String(skipped))
                    return false;
                Space();
                if (!Take(':'))
                    return false;
                Space();
            }
            skipped.clear();
            if (!Value(skipped, inner, depth + 1))
                return false;
            Space();
            if (Take(close))
                return true;
            if (!Take(','))
                return false;
        }
    }

    const std::string& s_;
    std::size_t i_ = 0;
};

bool CaseInsensitiveEquals(const std::string& a, const char* b)
{
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        const char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
        if (x != b[i])
            return false;
    }
    return i == a.size() && !b[i];
}

// A token goes on a command line and in an HTTP body: visible ASCII only,
// so that no answer can smuggle a line end into the session.
bool IsTokenText(const std::string& token)
{
    for (char c : token) {
        if (c < 0x21 || c > 0x7E)
            return false;
    }
    return true;
}
}  // namespace

bool JsonReadObject(const std::string& text, std::map<std::string, std::string>& members)
{
    members.clear();
    if (text.size() > JsonMaxInput)
        return false;
    TJsonReader reader(text);
    if (reader.Object(members))
        return true;
    members.clear();
    return false;
}

TOAuthTokenReply OAuthReadTokenReply(const std::string& body)
{
    TOAuthTokenReply reply;
    std::map<std::string, std::string> m;
    if (!JsonReadObject(body, m)) {
        reply.Error = "the token endpoint's answer is not JSON";
        return reply;
    }
    if (m.count("error")) {
        reply.Error = m["error"];
        reply.ErrorDescription = m["error_description"];
        return reply;
    }
    reply.AccessToken = m["access_token"];
    reply.RefreshToken = m["refresh_token"];
    const std::string& expires = m["expires_in"];
    // A number of seconds, as a JSON number or, from some servers, a string of digits.
    long seconds = 0;
    for (char c : expires) {
        if (c < '0' || c > '9' || seconds > 100000000L) {
            seconds = 0;
            break;
        }
        seconds = seconds * 10 + (c - '0');
    }
    reply.ExpiresIn = seconds;
    if (reply.AccessToken.empty()) {
        reply.Error = "the token endpoint sent no access token";
    } else if (!IsTokenText(reply.AccessToken) || !IsTokenText(reply.RefreshToken)) {
        reply.Error = "the token endpoint sent a token with characters a token cannot hold";
    } else if (!CaseInsensitiveEquals(m["token_type"], "bearer")) {
        reply.Error = "the token endpoint sent a token that is not a Bearer token";
    } else {
        reply.Ok = true;
    }
    if (!reply.Ok) {
        reply.AccessToken.clear();
        reply.RefreshToken.clear();
    }
    return reply;
}
