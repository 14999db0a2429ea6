// The copies kept before deletions: each message fetched whole (RETR) is
// written, with its record, to the quarantine folder, and is on the disk
// before its DELE; and the removal of the copies the settings no longer keep.
#include <map>

#include "../framework/DataFolder.h"
#include "../framework/Files.h"
#include "../framework/FolderFiles.h"
#include "../model/unitProcessEmail.h"
#include "../settings/Settings.h"
#include "../text/FormatText.h"
#include "MailNotice.h"
#include "MailWatch.h"
#include "QuarantineIdentity.h"
#include "QuarantineName.h"
#include "QuarantineRecord.h"

namespace {
// The files are always ended by a separator-free base name; the folder gets one.
std::string Slashed(std::string folder)
{
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/')
        folder += '\\';
    return folder;
}

std::string BaseOf(const std::string& name)
{
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}
}  // namespace

TQuarantineLimits TMailWatch::QuarantineLimits() const
{
    TQuarantineLimits limits;
    limits.Days = settings_.SpamKeepDays < 0 ? 0 : settings_.SpamKeepDays;
    limits.CapBytes = static_cast<long long>(settings_.SpamCopiesCapMB) * 1024 * 1024;
    return limits;
}

std::string TMailWatch::QuarantinePath() const
{
    if (!QuarantineFolder.empty())
        return Slashed(QuarantineFolder);
    const std::string folder = DataFilePath(QuarantineFolderName, TFileUse::Write);
    return folder.empty() ? folder : Slashed(folder);
}

std::string TMailWatch::WriteQuarantineCopy(const TMailBox& box, const TEmail& email, const TSpamReason& reason,
                                            const std::string& messageId, const std::string& message,
                                            TFlushedFiles& copies, TUnflushedCopy& written)
{
    const TSpamSafetyTexts& t = texts_.Safety;
    const std::string folder = QuarantinePath();
    if (folder.empty() || !MakeFolder(folder.substr(0, folder.size() - 1)))
        return FormatText(t.CopyNotWritten, {folder.empty() ? std::string(QuarantineFolderName) : folder});
    const TLocalClock now = LocalClockNow();
    const TQuarantineTime time{now.Year, now.Month, now.Day, now.Hour, now.Minute, now.Second};
    // Two copies of one second differ by a counter; one left by an earlier run is never replaced.
    const std::string unique = QuarantineMessageUnique(messageId);
    std::string base, emlPath;
    bool done = false;
    for (int attempt = 0; attempt < 100 && !done; ++attempt) {
        ++copyCounter_;
        base = QuarantineBaseName(time, box.MailboxName,
                                  unique.empty()  ? std::to_string(email.Number) + "n" + std::to_string(copyCounter_)
                                  : attempt == 0 ? unique
                                                 : QuarantineMessageUnique(messageId, copyCounter_));
        emlPath = folder + QuarantineCopyName(base);
        done = copies.Write(emlPath, message);
        if (!done && !FileExists(emlPath))
            break;
    }
    if (!done)
        return FormatText(t.CopyNotWritten, {emlPath});
    const TMailSummary named = SummaryOf(email);
    TQuarantineRecord record;
    record.Deleted = FormatQuarantineTime(time);
    record.Date = GetEmailDate(email);
    record.Mailbox = box.MailboxName;
    record.Sender = named.Sender;
    record.Subject = named.Subject;
    record.Reason = reason;
    record.Copy = QuarantineCopyName(base);
    record.Size = static_cast<long long>(message.size());
    record.Confirmed = false;  // until the server says so
    record.Message = messageId;
    const std::string recordPath = folder + QuarantineRecordName(base);
    if (!WriteNewFile(recordPath, FormatQuarantineRecord(record))) {
        copies.DropLast();
        return FormatText(t.CopyNotWritten, {recordPath});
    }
    written.CopyPath = emlPath;
    written.RecordPath = recordPath;
    written.Unique = unique;
    return std::string();
}

void TMailWatch::SettleQuarantineCopies(const std::vector<TUnflushedCopy>& copies)
{
    const std::string folder = QuarantinePath();
    if (copies.empty() || folder.empty())
        return;
    std::vector<std::string> names;
    for (const char* suffix : {".eml", ".txt"})
        for (const TFolderFile& file : ListFolderFiles(folder, suffix))
            names.push_back(file.Name);
    for (const TUnflushedCopy& copy : copies) {
        std::string text;
        TQuarantineRecord record;
        if (copy.Confirmed && ReadFileBytes(copy.RecordPath, text) && ParseQuarantineRecord(text, record)) {
            record.Confirmed = true;
            WriteFileReplacing(copy.RecordPath, FormatQuarantineRecord(record));
        }
        const std::string name = copy.CopyPath.substr(copy.CopyPath.find_last_of("\\/") + 1);
        for (const std::string& older : QuarantineOtherCopies(names, copy.Unique, BaseOf(name))) {
            RemoveFile(folder + QuarantineCopyName(older));
            RemoveFile(folder + QuarantineRecordName(older));
        }
    }
}

void TMailWatch::PruneQuarantine()
{
    const std::string folder = QuarantinePath();
    if (folder.empty())
        return;
    // One entry per base name: both files' bytes, the later write time.
    std::map<std::string, TQuarantineEntry> byBase;
    for (const char* suffix : {".eml", ".txt"})
        for (const TFolderFile& file : ListFolderFiles(folder, suffix)) {
            TQuarantineEntry& entry = byBase[BaseOf(file.Name)];
            entry.Name = BaseOf(file.Name);
            entry.Size += file.Size;
            entry.Time = std::max(entry.Time, file.Written);
        }
    std::vector<TQuarantineEntry> entries;
    for (const auto& [base, entry] : byBase)
        entries.push_back(entry);
    for (const TQuarantineEntry& gone : QuarantineToRemove(entries, FileClockNow(), QuarantineLimits())) {
        RemoveFile(folder + QuarantineCopyName(gone.Name));
        RemoveFile(folder + QuarantineRecordName(gone.Name));
    }
}
