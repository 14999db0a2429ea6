#include "SpamAllowList.h"

const char AllowListFileName[] = "skarnvale.allow";

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Trimmed(const std::string& text)
{
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

// A domain written with a final dot ("example.com.") is the same domain.
std::string WithoutFinalDot(std::string domain)
{
    while (!domain.empty() && domain.back() == '.')
        domain.pop_back();
    return domain;
}

bool IsDomainOrSubdomain(const std::string& domain, const std::string& allowed)
{
    if (allowed.empty() || domain.size() < allowed.size())
        return false;
    if (domain.compare(domain.size() - allowed.size(), allowed.size(), allowed) != 0)
        return false;
    return domain.size() == allowed.size() || domain[domain.size() - allowed.size() - 1] == '.';
}
}  // namespace

TAllowList ParseAllowList(const std::string& fieldText, const TCaseFold& fold)
{
    TAllowList list;
    list.Fold = fold;
    for (const std::string& line : SplitLines(fieldText)) {
        const std::string entry = fold(Trimmed(line));
        const std::size_t at = entry.find('@');
        if (at != std::string::npos && at > 0) {
            list.Addresses.push_back(entry);
        } else {
            const std::string domain = WithoutFinalDot(at == 0 ? entry.substr(1) : entry);
            if (!domain.empty())
                list.Domains.push_back(domain);
        }
    }
    return list;
}

std::string AllowListAddressOf(const TEmail& email)
{
    const std::string shown = Trimmed(GetDecodedEmailAddress(email));
    if (shown.find_first_of(" \t") == std::string::npos)
        return shown;
    std::size_t start = 0;
    while (start < shown.size()) {
        std::size_t end = start;
        while (end < shown.size() && !IsBlank(shown[end]))
            ++end;
        const std::string word = shown.substr(start, end - start);
        if (word.find('@') != std::string::npos)
            return word;
        start = end + 1;
    }
    return shown;
}

bool TAllowList::AllowsAddress(const std::string& address) const
{
    const std::string folded = Fold(Trimmed(address));
    if (folded.empty())
        return false;
    for (const std::string& allowed : Addresses)
        if (folded == allowed)
            return true;
    const std::size_t at = folded.rfind('@');
    if (at == std::string::npos)
        return false;
    const std::string domain = WithoutFinalDot(folded.substr(at + 1));
    for (const std::string& allowed : Domains)
        if (IsDomainOrSubdomain(domain, allowed))
            return true;
    return false;
}

bool TAllowList::Allows(const TEmail& email) const
{
    if (Addresses.empty() && Domains.empty())
        return false;
    return AllowsAddress(AllowListAddressOf(email));
}

std::string AllowListFromFile(const std::string& bytes, const IAnsiCodePage& ansi, const TTextCompare& compare)
{
    return JoinLines(ParseSpamListFile(ListFileToUtf8(bytes, ansi), compare));
}

std::string AllowListToFile(const std::string& fieldText, const IAnsiCodePage& ansi)
{
    return Utf8ToListFile(FormatSpamListFile(fieldText), ansi);
}
