#include <gtest/gtest.h>

#include "mail/QuarantineList.h"

namespace {
std::string RecordText(const std::string& deleted, const std::string& sender, const std::string& copy)
{
    TQuarantineRecord record;
    record.Deleted = deleted;
    record.Mailbox = "Work";
    record.Sender = sender;
    record.Subject = "Offer";
    record.Reason = {TSpamListKind::Subjects, "offer"};
    record.Copy = copy;
    return FormatQuarantineRecord(record);
}
}  // namespace

TEST(QuarantineList, Records_NewestFirst_ACopyWithoutItsRecordListedAsUnreadable)
{
    const TQuarantineList list = MakeQuarantineList({
        {"20240301-100000_Work_a.txt", RecordText("2024-03-01 10:00:00", "a@x.example", "20240301-100000_Work_a.eml")},
        {"20240305-100000_Work_b.TXT", RecordText("2024-03-05 10:00:00", "b@x.example", "20240305-100000_Work_b.eml")},
        {"20240305-100000_Work_b.eml", ""},
        {"20240309-100000_Work_c.EML", ""},
        {"20240310-100000_Work_d.msg", ""},
    });
    ASSERT_EQ(list.Records.size(), 3u);
    EXPECT_EQ(list.Records[0].Deleted, "2024-03-09 10:00:00");
    EXPECT_EQ(list.Records[0].Copy, "20240309-100000_Work_c.eml");
    EXPECT_EQ(list.Records[0].Sender, "");
    EXPECT_EQ(list.Records[1].Sender, "b@x.example");
    EXPECT_EQ(list.Records[2].Sender, "a@x.example");
    EXPECT_EQ(list.Unreadable, (std::set<std::string>{"20240309-100000_Work_c.eml"}));
}

TEST(QuarantineList, CopyName_ComesFromTheRecordFilesNameNotFromTheRecord)
{
    const TQuarantineList list =
        MakeQuarantineList({{"20240301-100000_Work_a.txt", RecordText("2024-03-01 10:00:00", "a@x.example", "other.eml")}});
    ASSERT_EQ(list.Records.size(), 1u);
    EXPECT_EQ(list.Records[0].Copy, "20240301-100000_Work_a.eml");
}

TEST(QuarantineList, DamagedRecord_ListedWithItsNamesTimeAndFirstLine)
{
    const TQuarantineList list = MakeQuarantineList({{"20240301-100000_Work_a.txt", "not\ta record\r\nSender: z"}});
    ASSERT_EQ(list.Records.size(), 1u);
    EXPECT_EQ(list.Records[0].Deleted, "2024-03-01 10:00:00");
    EXPECT_EQ(list.Records[0].Subject, "not a record");
    EXPECT_EQ(list.Records[0].Sender, "");
    EXPECT_EQ(list.Unreadable.count("20240301-100000_Work_a.eml"), 1u);
}

TEST(QuarantineList, EmptyOrForeignFiles_NoCrashAndNoTimeFromAnOddName)
{
    const TQuarantineList list = MakeQuarantineList({{".txt", ""}, {"odd.txt", ""}, {"x.txt", std::string(1, '\0')}});
    ASSERT_EQ(list.Records.size(), 2u);
    for (const TQuarantineRecord& record : list.Records)
        EXPECT_EQ(record.Deleted, "");
    EXPECT_EQ(QuarantineTimeOfName("20240301x100000"), "");
    EXPECT_EQ(QuarantineTimeOfName("2024030-1100000"), "");
}

TEST(QuarantineList, ReasonText_NamesTheListThenTheEntry)
{
    EXPECT_EQ(QuarantineReasonText({TSpamListKind::Addresses, "deals"}, "Senders", "Subjects"), "Senders: deals");
    EXPECT_EQ(QuarantineReasonText({TSpamListKind::Subjects, "sale"}, "Senders", "Subjects"), "Subjects: sale");
    EXPECT_EQ(QuarantineReasonText({}, "Senders", "Subjects"), "");
}

TEST(QuarantineList, SenderAddress_TakesTheAddressOutOfADisplayName)
{
    TQuarantineRecord record;
    EXPECT_EQ(QuarantineSenderAddress(record), "");
    record.Sender = "Deals <deals@spam.example>";
    EXPECT_EQ(QuarantineSenderAddress(record), "deals@spam.example");
    record.Sender = "news@letters.example";
    EXPECT_EQ(QuarantineSenderAddress(record), "news@letters.example");
}
