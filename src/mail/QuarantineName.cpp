#include "QuarantineName.h"

#include <cstdio>

const char QuarantineFolderName[] = "Quarantine";

namespace {
bool IsAsciiAlnum(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

// Out-of-range fields are clamped so that every name has the same shape.
int Clamped(int value, int low, int high) { return value < low ? low : (value > high ? high : value); }
}  // namespace

std::string FormatQuarantineTime(const TQuarantineTime& t)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", Clamped(t.Year, 0, 9999),
                  Clamped(t.Month, 0, 99), Clamped(t.Day, 0, 99), Clamped(t.Hour, 0, 99), Clamped(t.Minute, 0, 99),
                  Clamped(t.Second, 0, 99));
    return text;
}

std::string QuarantineBaseName(const TQuarantineTime& t, const std::string& mailboxName, const std::string& unique)
{
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", Clamped(t.Year, 0, 9999), Clamped(t.Month, 0, 99),
                  Clamped(t.Day, 0, 99), Clamped(t.Hour, 0, 99), Clamped(t.Minute, 0, 99), Clamped(t.Second, 0, 99));
    std::string mailbox;
    for (std::size_t i = 0; i < mailboxName.size() && mailbox.size() < QuarantineMailboxPartMax; ++i) {
        const char c = mailboxName[i];
        if (IsAsciiAlnum(c) || c == '-' || c == '.') {
            mailbox += c;
        } else {
            mailbox += '_';
            // One "_" for a whole UTF-8 character, not one per byte.
            while (i + 1 < mailboxName.size() && (static_cast<unsigned char>(mailboxName[i + 1]) & 0xC0) == 0x80)
                ++i;
        }
    }
    if (mailbox.empty())
        mailbox = "_";
    std::string uniquePart;
    for (char c : unique)
        if (IsAsciiAlnum(c) && uniquePart.size() < QuarantineUniquePartMax)
            uniquePart += c;
    if (uniquePart.empty())
        uniquePart = "0";
    return std::string(stamp) + "_" + mailbox + "_" + uniquePart;
}

std::string QuarantineCopyName(const std::string& baseName) { return baseName + ".eml"; }

std::string QuarantineRecordName(const std::string& baseName) { return baseName + ".txt"; }
