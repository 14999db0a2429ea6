#include "PopupRuleFile.h"

#include <algorithm>
#include <cstddef>

#include "../text/Utf8Text.h"

namespace {
const char kBom[] = "\xEF\xBB\xBF";
const char kHeader[] = "On\tAction\tTitle\tProgram\tClass\tButton\tHits\tLastHit";
const std::size_t kColumns = 8;
// The columns a hand-written line may leave out at its end: the counters.
const std::size_t kFewestColumns = 6;

struct TActionWord {
    TPopupAction action;
    const char* word;
};
const TActionWord kActionWords[] = {
    {TPopupAction::Close, "close"},
    {TPopupAction::Minimise, "minimise"},
    {TPopupAction::Hide, "hide"},
    {TPopupAction::PressButton, "press"},
};

// A column's text: tab, line breaks and the backslash written as \t \n \r \\.
std::string Escape(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\\': out += "\\\\"; break;
        default: out += c;
        }
    }
    return out;
}

bool Unescape(const std::string& column, std::string& text)
{
    text.clear();
    for (std::size_t i = 0; i < column.size(); ++i) {
        if (column[i] != '\\') {
            text += column[i];
            continue;
        }
        if (++i == column.size())
            return false;
        switch (column[i]) {
        case 't': text += '\t'; break;
        case 'n': text += '\n'; break;
        case 'r': text += '\r'; break;
        case '\\': text += '\\'; break;
        default: return false;
        }
    }
    return true;
}

std::vector<std::string> Columns(const std::string& line)
{
    std::vector<std::string> columns;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        columns.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            return columns;
        start = tab + 1;
    }
}

bool ReadAction(const std::string& word, TPopupAction& action)
{
    for (const TActionWord& known : kActionWords)
        if (word == known.word) {
            action = known.action;
            return true;
        }
    return false;
}

bool ReadCount(const std::string& text, int& count)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    count = std::stoi(text);
    return true;
}

// One rule from its line; false when any column is not as written here, or
// when the rule would be about every window.
bool ReadRule(const std::string& line, TPopupRule& rule)
{
    if (!IsValidUtf8(line))
        return false;
    const std::vector<std::string> columns = Columns(line);
    if (columns.size() < kFewestColumns || columns.size() > kColumns)
        return false;
    if (columns[0] != "on" && columns[0] != "off")
        return false;
    rule.Enabled = columns[0] == "on";
    if (!ReadAction(columns[1], rule.Action) || !Unescape(columns[2], rule.TitlePattern) ||
        !Unescape(columns[3], rule.Program) || !Unescape(columns[4], rule.WindowClass) ||
        !Unescape(columns[5], rule.Button))
        return false;
    if (columns.size() > 6 && !columns[6].empty() && !ReadCount(columns[6], rule.Hits))
        return false;
    if (columns.size() > 7 && !Unescape(columns[7], rule.LastHit))
        return false;
    if (rule.Action == TPopupAction::PressButton && rule.Button.empty())
        return false;
    return IsSpecificEnough(rule);
}

std::string ActionWord(TPopupAction action)
{
    for (const TActionWord& known : kActionWords)
        if (known.action == action)
            return known.word;
    return kActionWords[0].word;
}

std::string RuleLine(const TPopupRule& rule)
{
    return std::string(rule.Enabled ? "on" : "off") + '\t' + ActionWord(rule.Action) + '\t' +
           Escape(rule.TitlePattern) + '\t' + Escape(rule.Program) + '\t' + Escape(rule.WindowClass) + '\t' +
           Escape(rule.Button) + '\t' + std::to_string(rule.Hits) + '\t' + Escape(rule.LastHit);
}
}  // namespace

void ParsePopupRuleFile(const std::string& bytes, TPopupRuleFile& file)
{
    std::size_t start = bytes.compare(0, 3, kBom) == 0 ? 3 : 0;
    for (int number = 1; start < bytes.size(); ++number) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line.compare(0, 9, "On\tAction") == 0)
            continue;
        TPopupRule rule;
        if (ReadRule(line, rule))
            file.Rules.Add(std::move(rule));
        else
            file.Unreadable.emplace_back(number, line);
    }
}

std::string FormatPopupRuleFile(const TPopupRuleFile& file) { return FormatPopupRuleFile(file.Rules, file.Unreadable); }

std::string FormatPopupRuleFile(const TPopupRules& rules, const std::vector<std::pair<int, std::string>>& kept)
{
    std::vector<std::string> lines{kHeader};
    for (const TPopupRule& rule : rules.Items())
        lines.push_back(RuleLine(rule));
    // Each line that could not be read goes back to the line it stood on, as
    // far as the file now reaches, and always after the header.
    auto unreadable = kept;
    std::stable_sort(unreadable.begin(), unreadable.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& line : unreadable) {
        const std::size_t at = std::min(static_cast<std::size_t>(std::max(line.first, 2) - 1), lines.size());
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), line.second);
    }
    std::string bytes = kBom;
    for (const std::string& line : lines)
        bytes += line + "\r\n";
    return bytes;
}
