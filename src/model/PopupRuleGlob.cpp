#include "PopupRuleGlob.h"

#include <cstddef>
#include <vector>

#include "../text/Utf8Text.h"

namespace {
struct TToken {
    enum { Star, One, Run } kind;
    std::string text;        // a run's characters
    std::size_t points = 0;  // a run's code points
};

std::vector<TToken> Tokens(const std::string& pattern)
{
    std::vector<TToken> tokens;
    for (std::size_t pos = 0; pos < pattern.size();) {
        const std::size_t start = pos;
        const char32_t c = NextCodePoint(pattern, pos);
        if (c == U'*') {
            // Runs of stars are one star: the backtracking below stays linear in them.
            if (tokens.empty() || tokens.back().kind != TToken::Star)
                tokens.push_back({TToken::Star, std::string(), 0});
        } else if (c == U'?') {
            tokens.push_back({TToken::One, std::string(), 0});
        } else {
            if (tokens.empty() || tokens.back().kind != TToken::Run)
                tokens.push_back({TToken::Run, std::string(), 0});
            tokens.back().text.append(pattern, start, pos - start);
            ++tokens.back().points;
        }
    }
    return tokens;
}

// The byte offset of each code point of `text`, and its size at the end.
std::vector<std::size_t> CodePointStarts(const std::string& text)
{
    std::vector<std::size_t> starts;
    for (std::size_t pos = 0; pos < text.size();) {
        starts.push_back(pos);
        NextCodePoint(text, pos);
    }
    starts.push_back(text.size());
    return starts;
}
}  // namespace

bool GlobMatches(const std::string& pattern, const std::string& text,
                 const std::function<bool(const std::string&, const std::string&)>& sameRun)
{
    const std::vector<TToken> tokens = Tokens(pattern);
    const std::vector<std::size_t> at = CodePointStarts(text);
    const std::size_t length = at.size() - 1;
    // Between two stars the tokens have a fixed length, so trying the text's
    // positions one by one from the last star finds a match if there is one.
    std::size_t t = 0, p = 0, star = tokens.size(), resume = 0;
    while (t < length || (p < tokens.size() && tokens[p].kind != TToken::Star)) {
        if (p < tokens.size()) {
            const TToken& token = tokens[p];
            if (token.kind == TToken::Star) {
                star = p++;
                resume = t;
                continue;
            }
            if (token.kind == TToken::One && t < length) {
                ++t;
                ++p;
                continue;
            }
            if (token.kind == TToken::Run && t + token.points <= length &&
                sameRun(token.text, text.substr(at[t], at[t + token.points] - at[t]))) {
                t += token.points;
                ++p;
                continue;
            }
        }
        if (star == tokens.size() || resume >= length)
            return false;
        p = star + 1;
        t = ++resume;
    }
    while (p < tokens.size() && tokens[p].kind == TToken::Star)
        ++p;
    return p == tokens.size();
}
