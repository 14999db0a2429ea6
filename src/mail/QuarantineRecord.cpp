#include "QuarantineRecord.h"

#include <algorithm>
#include <cstdio>

#include "../text/HexDigits.h"
#include "../text/Utf8Text.h"

namespace {
const char kSignature[] = "SkarnVale deleted SPAM 1";

const char* ListName(TSpamListKind list)
{
    switch (list) {
    case TSpamListKind::Addresses:
        return "senders";
    case TSpamListKind::Subjects:
        return "subjects";
    default:
        return "";
    }
}

TSpamListKind ListOfName(const std::string& name)
{
    if (name == "senders")
        return TSpamListKind::Addresses;
    if (name == "subjects")
        return TSpamListKind::Subjects;
    return TSpamListKind::None;
}

std::string Escaped(const std::string& value)
{
    std::string text;
    for (char c : value) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            text += "\\\\";
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            text += escape;
        } else {
            text += c;
        }
    }
    return text;
}

// The view opens the copy a record names: only a name of the quarantine's
// own form is taken, never a path that could lead out of the folder or to a
// program.
bool IsCopyName(const std::string& name)
{
    const std::string suffix = ".eml";
    if (name.size() <= suffix.size() || name[0] == '.' ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    for (char c : name)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' || c == '_' ||
              c == '.'))
            return false;
    return true;
}

std::string Unescaped(const std::string& text)
{
    std::string value;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') {
            value += '\\';
            ++i;
        } else if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' && HexDigitValue(text[i + 2]) >= 0 &&
                   HexDigitValue(text[i + 3]) >= 0) {
            value += static_cast<char>(HexDigitValue(text[i + 2]) * 16 + HexDigitValue(text[i + 3]));
            i += 3;
        } else {
            value += text[i];
        }
    }
    return SanitizeUtf8(value);
}

long long SizeOf(const std::string& text)
{
    if (text.empty() || text.size() > 18)
        return 0;
    long long size = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return 0;
        size = size * 10 + (c - '0');
    }
    return size;
}

std::vector<std::string> LinesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::size_t stop = end;
        if (stop > start && text[stop - 1] == '\r')
            --stop;
        lines.push_back(text.substr(start, stop - start));
        start = end + 1;
    }
    return lines;
}
}  // namespace

std::string FormatQuarantineRecord(const TQuarantineRecord& record)
{
    std::string text = std::string(kSignature) + "\r\n";
    const auto field = [&](const char* name, const std::string& value) {
        text += name;
        text += ": ";
        text += Escaped(value);
        text += "\r\n";
    };
    field("Deleted", record.Deleted);
    // Right after the time: a record cut short keeps it more likely.
    field("Confirmed", record.Confirmed ? "yes" : "no");
    field("Date", record.Date);
    field("Mailbox", record.Mailbox);
    field("Sender", record.Sender);
    field("Subject", record.Subject);
    field("List", ListName(record.Reason.List));
    field("Entry", record.Reason.Entry);
    field("Copy", record.Copy);
    field("Size", std::to_string(record.Size < 0 ? 0 : record.Size));
    field("Message", record.Message);
    return text;
}

bool ParseQuarantineRecord(const std::string& text, TQuarantineRecord& record)
{
    record = TQuarantineRecord();
    const std::vector<std::string> lines = LinesOf(text);
    // A byte-order mark, which an editor may add, does not make it another file.
    const std::string bom = "\xEF\xBB\xBF";
    if (lines.empty() || (lines[0] != kSignature && lines[0] != bom + kSignature))
        return false;
    std::vector<std::string> seen;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::size_t colon = lines[i].find(": ");
        if (colon == std::string::npos)
            continue;
        const std::string name = lines[i].substr(0, colon);
        if (std::find(seen.begin(), seen.end(), name) != seen.end())
            continue;
        seen.push_back(name);
        const std::string value = Unescaped(lines[i].substr(colon + 2));
        if (name == "Deleted")
            record.Deleted = value;
        else if (name == "Confirmed")
            record.Confirmed = value == "yes";
        else if (name == "Date")
            record.Date = value;
        else if (name == "Mailbox")
            record.Mailbox = value;
        else if (name == "Sender")
            record.Sender = value;
        else if (name == "Subject")
            record.Subject = value;
        else if (name == "List")
            record.Reason.List = ListOfName(value);
        else if (name == "Entry")
            record.Reason.Entry = value;
        else if (name == "Copy")
            record.Copy = IsCopyName(value) ? value : std::string();
        else if (name == "Size")
            record.Size = SizeOf(value);
        else if (name == "Message")
            record.Message = value;
    }
    return true;
}

void SortNewestFirst(std::vector<TQuarantineRecord>& records)
{
    std::stable_sort(records.begin(), records.end(), [](const TQuarantineRecord& a, const TQuarantineRecord& b) {
        if (a.Deleted != b.Deleted)
            return a.Deleted > b.Deleted;
        return a.Copy > b.Copy;
    });
}
