#include "QuarantineList.h"

#include <cctype>

#include "../model/SpamAllowList.h"
#include "../model/unitProcessEmail.h"
#include "QuarantineName.h"

namespace {
const char kRecordExtension[] = ".txt";
const char kCopyExtension[] = ".eml";
// A damaged record's first line is shown, not read through: a screen's worth.
const std::size_t kShownLineMax = 200;

// The name less its extension (any case), or empty when it has another.
std::string BaseWithExtension(const std::string& name, const std::string& extension)
{
    const std::size_t length = extension.size();
    if (name.size() <= length)
        return std::string();
    for (std::size_t i = 0; i < length; ++i)
        if (std::tolower(static_cast<unsigned char>(name[name.size() - length + i])) != extension[i])
            return std::string();
    return name.substr(0, name.size() - length);
}

// The first line, with every control character as a space, so that no byte
// of a damaged file can pass for a line break or a tab in the grid.
std::string FirstLineShown(const std::string& text)
{
    std::string line = text.substr(0, text.find_first_of("\r\n"));
    if (line.size() > kShownLineMax)
        line.resize(kShownLineMax);
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    return line;
}
}  // namespace

std::string QuarantineTimeOfName(const std::string& baseName)
{
    // "YYYYMMDD-HHMMSS"
    if (baseName.size() < 15 || baseName[8] != '-')
        return std::string();
    for (std::size_t i = 0; i < 15; ++i)
        if (i != 8 && !std::isdigit(static_cast<unsigned char>(baseName[i])))
            return std::string();
    const std::string& n = baseName;
    return n.substr(0, 4) + "-" + n.substr(4, 2) + "-" + n.substr(6, 2) + " " + n.substr(9, 2) + ":" +
           n.substr(11, 2) + ":" + n.substr(13, 2);
}

TQuarantineList MakeQuarantineList(const std::vector<TQuarantineFile>& files)
{
    TQuarantineList list;
    std::set<std::string> recorded;
    for (const TQuarantineFile& file : files) {
        const std::string base = BaseWithExtension(file.Name, kRecordExtension);
        if (base.empty())
            continue;
        recorded.insert(QuarantineCopyName(base));
        TQuarantineRecord record;
        const bool readable = ParseQuarantineRecord(file.Text, record);
        if (!readable) {
            record = TQuarantineRecord();
            record.Subject = FirstLineShown(file.Text);
        }
        if (record.Deleted.empty())
            record.Deleted = QuarantineTimeOfName(base);
        record.Copy = QuarantineCopyName(base);
        if (!readable)
            list.Unreadable.insert(record.Copy);
        list.Records.push_back(std::move(record));
    }
    // A copy is flushed before its message is deleted, its record is not: a
    // crash between the two may lose the record, never the copy's place here.
    for (const TQuarantineFile& file : files) {
        const std::string base = BaseWithExtension(file.Name, kCopyExtension);
        if (base.empty() || recorded.count(QuarantineCopyName(base)))
            continue;
        TQuarantineRecord record;
        record.Deleted = QuarantineTimeOfName(base);
        record.Copy = QuarantineCopyName(base);
        list.Unreadable.insert(record.Copy);
        list.Records.push_back(std::move(record));
    }
    SortNewestFirst(list.Records);
    return list;
}

std::string QuarantineReasonText(const TSpamReason& reason, const std::string& senderList,
                                 const std::string& subjectList)
{
    switch (reason.List) {
    case TSpamListKind::Addresses:
        return senderList + ": " + reason.Entry;
    case TSpamListKind::Subjects:
        return subjectList + ": " + reason.Entry;
    case TSpamListKind::None:
        break;
    }
    return std::string();
}

std::string QuarantineSenderAddress(const TQuarantineRecord& record)
{
    if (record.Sender.empty())
        return std::string();
    // The record holds the sender as the grid showed it, already decoded.
    TEmail email;
    email.From = record.Sender;
    email.DecodedFrom = record.Sender;
    return AllowListAddressOf(email);
}
