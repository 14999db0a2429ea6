#include <gtest/gtest.h>

#include "mail/QuarantineRecord.h"

namespace {
TQuarantineRecord Sample()
{
    TQuarantineRecord record;
    record.Deleted = "2024-03-05 14:07:09";
    record.Date = "Tue, 5 Mar 2024 13:59:00 +0100";
    record.Mailbox = "Work";
    record.Sender = "promo@shop.example";
    record.Subject = "Wholesale contract";
    record.Reason = {TSpamListKind::Subjects, "sale"};
    record.Copy = "20240305-140709_Work_1a2b.eml";
    record.Size = 51234;
    record.Confirmed = false;
    record.Message = "pop3://alice@mail.example:110/u%2F7";
    return record;
}

void ExpectSame(const TQuarantineRecord& a, const TQuarantineRecord& b)
{
    EXPECT_EQ(a.Deleted, b.Deleted);
    EXPECT_EQ(a.Date, b.Date);
    EXPECT_EQ(a.Mailbox, b.Mailbox);
    EXPECT_EQ(a.Sender, b.Sender);
    EXPECT_EQ(a.Subject, b.Subject);
    EXPECT_EQ(a.Reason.List, b.Reason.List);
    EXPECT_EQ(a.Reason.Entry, b.Reason.Entry);
    EXPECT_EQ(a.Copy, b.Copy);
    EXPECT_EQ(a.Size, b.Size);
    EXPECT_EQ(a.Confirmed, b.Confirmed);
    EXPECT_EQ(a.Message, b.Message);
}

TQuarantineRecord Read(const std::string& text)
{
    TQuarantineRecord record;
    EXPECT_TRUE(ParseQuarantineRecord(text, record));
    return record;
}
}  // namespace

TEST(QuarantineRecord, WrittenThenRead_GivesTheSameRecord)
{
    ExpectSame(Read(FormatQuarantineRecord(Sample())), Sample());
}

TEST(QuarantineRecord, AnyTextInTheFields_LineBreaksBackslashesControlsAndUnicode_SurvivesAsOneLineEach)
{
    TQuarantineRecord record = Sample();
    record.Subject = "two\r\nlines\nSize: 1\\x41 \\\\ \x01\x7F end";
    record.Sender = "\"\xC3\x89lise\" <\xC3\xA9@caf\xC3\xA9.fr>";
    record.Reason = {TSpamListKind::Addresses, " "};
    record.Mailbox = "";
    const std::string text = FormatQuarantineRecord(record);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 12);
    ExpectSame(Read(text), record);
}

TEST(QuarantineRecord, WrittenForm_IsReadableText)
{
    const std::string text = FormatQuarantineRecord(Sample());
    EXPECT_EQ(text.rfind("SkarnVale deleted SPAM 1\r\n", 0), 0u);
    EXPECT_NE(text.find("\r\nSubject: Wholesale contract\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nList: subjects\r\nEntry: sale\r\n"), std::string::npos);
}

TEST(QuarantineRecord, Confirmation_WrittenAsYesOrNo_AndAnOlderRecordWithoutItReadsAsConfirmed)
{
    TQuarantineRecord record = Sample();
    EXPECT_NE(FormatQuarantineRecord(record).find("\r\nConfirmed: no\r\n"), std::string::npos);
    record.Confirmed = true;
    const std::string text = FormatQuarantineRecord(record);
    EXPECT_NE(text.find("\r\nConfirmed: yes\r\n"), std::string::npos);
    EXPECT_TRUE(Read(text).Confirmed);
    // What the versions before the line wrote: taken as deleted, as they showed it.
    const TQuarantineRecord older = Read("SkarnVale deleted SPAM 1\r\nDeleted: 2024-03-05 14:07:09\r\nSize: 3\r\n");
    EXPECT_TRUE(older.Confirmed);
    EXPECT_EQ(older.Message, "");
    // A value damaged into anything but "yes" claims no deletion.
    EXPECT_FALSE(Read("SkarnVale deleted SPAM 1\r\nConfirmed: Yes!\r\n").Confirmed);
}

TEST(QuarantineRecord, NotARecord_Refused)
{
    TQuarantineRecord record = Sample();
    EXPECT_FALSE(ParseQuarantineRecord("", record));
    EXPECT_FALSE(ParseQuarantineRecord("Subject: x\r\n", record));
    EXPECT_FALSE(ParseQuarantineRecord(std::string("\0\0\0", 3), record));
    EXPECT_EQ(record.Subject, "");
}

TEST(QuarantineRecord, CutFile_KeepsTheFieldsBeforeTheCut)
{
    const std::string text = FormatQuarantineRecord(Sample());
    const TQuarantineRecord record = Read(text.substr(0, text.find("Sender:") + 10));
    EXPECT_EQ(record.Mailbox, "Work");
    EXPECT_EQ(record.Sender, "pr");
    EXPECT_EQ(record.Subject, "");
    EXPECT_EQ(record.Size, 0);
}

TEST(QuarantineRecord, DamagedLines_SkippedOrKeptAsWritten)
{
    const TQuarantineRecord record = Read(
        "\xEF\xBB\xBFSkarnVale deleted SPAM 1\n"
        "garbage without separator\n"
        "Subject: first\n"
        "Subject: second\n"
        "Unknown: field\n"
        "Entry: bad \\x4 escape \\q \xFF\n"
        "List: both\n"
        "Size: 12ab\n");
    EXPECT_EQ(record.Subject, "first");
    EXPECT_EQ(record.Reason.Entry, "bad \\x4 escape \\q \xEF\xBF\xBD");
    EXPECT_EQ(record.Reason.List, TSpamListKind::None);
    EXPECT_EQ(record.Size, 0);
}

TEST(QuarantineRecord, CopyNameThatCouldLeaveTheFolder_Dropped)
{
    for (const char* name : {"..\\..\\evil.eml", "C:\\x.eml", "/etc/x.eml", "run.exe", ".eml", "a b.eml"}) {
        TQuarantineRecord record = Sample();
        record.Copy = name;
        EXPECT_EQ(Read(FormatQuarantineRecord(record)).Copy, "") << name;
    }
}

TEST(QuarantineRecord, NewestFirst)
{
    std::vector<TQuarantineRecord> records(3, Sample());
    records[0].Deleted = "2024-01-02 00:00:00";
    records[1].Deleted = "2024-03-01 00:00:00";
    records[2].Deleted = "2023-12-31 23:59:59";
    SortNewestFirst(records);
    EXPECT_EQ(records[0].Deleted, "2024-03-01 00:00:00");
    EXPECT_EQ(records[2].Deleted, "2023-12-31 23:59:59");
}
