// The names of the files of the quarantine: each deleted message's copy
// (.eml) and its record (.txt, QuarantineRecord.h) share one base name, made
// of when it was deleted, its mailbox and a part that tells apart the copies
// of one second.
#pragma once

#include <string>

// The folder of the copies, in the data folder.
extern const char QuarantineFolderName[];

// A local date and time, as the platform's clock gives it.
struct TQuarantineTime {
    int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
};
// "2024-03-05 14:07:09": what the record keeps, sortable as text.
std::string FormatQuarantineTime(const TQuarantineTime& time);

// The longest mailbox part and unique part of a name.
constexpr std::size_t QuarantineMailboxPartMax = 32;
constexpr std::size_t QuarantineUniquePartMax = 24;

// "20240305-140709_Work_1a2b3c4d": the time, then the mailbox name with every
// character other than an ASCII letter, digit, "-" or "." as "_" (no
// character Windows forbids or that a code page might lack), then the
// unique part with only its ASCII letters and digits (a digest of the
// message's identity, QuarantineIdentity.h, or a number and a counter where
// it has none). Both parts are cut to their bound, so the
// name stays far below the path limit of any data folder.
std::string QuarantineBaseName(const TQuarantineTime& time, const std::string& mailboxName,
                               const std::string& unique);
std::string QuarantineCopyName(const std::string& baseName);    // base + ".eml"
std::string QuarantineRecordName(const std::string& baseName);  // base + ".txt"
