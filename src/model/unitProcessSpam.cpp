#include "unitProcessSpam.h"

#include <algorithm>
#include <cstdio>

#include "../net/MD5.h"


std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        if (c == '\n' || c == '\r') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i)
            text += "\r\n";
        text += lines[i];
    }
    return text;
}

std::vector<std::string> ParseSpamListFile(const std::string& bytes, const TTextCompare& compare)
{
    std::vector<std::string> sorted;
    auto keep = [&](const std::string& line) {
        if (line.empty())
            return;
        auto at = std::lower_bound(sorted.begin(), sorted.end(), line,
                                   [&](const std::string& a, const std::string& b) { return compare(a, b) < 0; });
        if (at != sorted.end() && compare(*at, line) == 0)
            return;  // the first of equal lines stays
        sorted.insert(at, line);
    };
    std::string line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\x1A')
            break;
        if (c == '\r') {
            keep(line);
            line.clear();
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            line += c;
        }
    }
    keep(line);
    return sorted;
}

std::string FormatSpamListFile(const std::string& fieldText) { return fieldText + "\r\n"; }

std::vector<TEmail*> SpamDeletionOrder(const std::vector<TEmail*>& spam)
{
    std::vector<TEmail*> ordered;
    std::vector<bool> taken(spam.size(), false);
    for (std::size_t i = 0; i < spam.size(); ++i) {
        if (taken[i])
            continue;
        const std::size_t first = ordered.size();
        for (std::size_t j = i; j < spam.size(); ++j) {
            if (!taken[j] && spam[j]->MailboxId == spam[i]->MailboxId) {
                taken[j] = true;
                ordered.push_back(spam[j]);
            }
        }
        std::stable_sort(ordered.begin() + static_cast<std::ptrdiff_t>(first), ordered.end(),
                         [](const TEmail* a, const TEmail* b) { return a->Number > b->Number; });
    }
    return ordered;
}

std::string HeaderDigest(const std::string& header)
{
    TMD5 md5;
    md5.Update(header);
    std::string hex;
    char pair[3];
    for (std::uint8_t byte : md5.Final()) {
        std::snprintf(pair, sizeof pair, "%02x", byte);
        hex += pair;
    }
    return hex;
}
