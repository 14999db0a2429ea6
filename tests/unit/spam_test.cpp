#include <gtest/gtest.h>

#include "model/ClassesPerso.h"
#include "text/Utf8Text.h"
#include "model/unitProcessSpam.h"

namespace {
// A stand-in for the platform's case folding: A to Z, the Latin-1 capitals,
// the Greek and the basic Cyrillic ones.
std::string FoldForTest(const std::string& text)
{
    std::string folded;
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t c = NextCodePoint(text, pos);
        if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3A9) ||
            (c >= 0x410 && c <= 0x42F))
            c += 0x20;
        AppendUtf8(folded, c);
    }
    return folded;
}

std::vector<std::string> Entries(const std::string& field) { return SpamEntries(field, FoldForTest); }

TEmail Mail(const std::string& from, const std::string& subject)
{
    TEmail email;
    email.From = from;
    email.Subject = subject;
    DecodeEmailFields(email, nullptr);
    return email;
}

bool IsSpam(const TEmail& email, const std::string& addresses, const std::string& subjects)
{
    return FindSpamEntry(email, Entries(addresses), Entries(subjects), FoldForTest) != nullptr;
}

std::vector<std::string> Parse(const std::string& bytes) { return ParseSpamListFile(bytes, AsciiCompareText); }
}  // namespace

TEST(IsSpamEmail, AddressWordMatchesAnyCaseAnywhereInFromIncludingDisplayName)
{
    EXPECT_TRUE(IsSpam(Mail(" \"CASINO Royal\" <win@example.com>", "hello"), "casino", ""));
    EXPECT_TRUE(IsSpam(Mail(" Bob <bob@Spam-Domain.COM>", "hello"), "SPAM-domain.com", ""));
    EXPECT_FALSE(IsSpam(Mail(" Bob <bob@example.com>", "casino"), "casino", ""));
}

TEST(IsSpamEmail, SubjectEntriesMatchSubstringsAndEmptyLinesMatchNothing)
{
    EXPECT_FALSE(IsSpam(Mail("a@b", "Meeting tomorrow"), "", "\r\n\r\n"));
    EXPECT_TRUE(IsSpam(Mail("a@b", "Meeting tomorrow"), "", "\r\n \r\n"));
    EXPECT_FALSE(IsSpam(Mail("a@b", "Meeting"), "", " "));
    EXPECT_TRUE(IsSpam(Mail("a@b", " Cheap PILLS now"), "", "viagra\r\ncheap pills"));
}

TEST(IsSpamEmail, LettersOfEveryScriptMatchInAnyCase_RawBytesReadAsWindows1252)
{
    EXPECT_TRUE(IsSpam(Mail("a@b", "\xC9T\xC9"), "", "\xC3\xA9t\xC3\xA9"));  // raw 1252 "ÉTÉ"
    EXPECT_TRUE(IsSpam(Mail("a@b", " =?utf-8?B?0J3QvtCy0LDRjyDQoNCV0JrQm9CQ0JzQkA==?="), "", "Реклама"));
    EXPECT_TRUE(IsSpam(Mail("a@b", " Большая реклама"), "", "РЕКЛАМА"));
    EXPECT_FALSE(IsSpam(Mail("a@b", " Новости недели"), "", "Реклама"));
    EXPECT_FALSE(IsSpam(Mail("a@b", " ΣΟΦΙΑ"), "", "Реклама"));
    EXPECT_TRUE(IsSpam(Mail("a@b", " ΣΟΦΙΑ"), "", "σοφία\r\nσοφια"));
}

TEST(IsSpamEmail, WhatAConversionLostMatchesNoEntry)
{
    // Invalid UTF-8 in an encoded word decodes to U+FFFD, which no entry may match.
    const TEmail mail = Mail("a@b", " =?utf-8?Q?x=FF=FEy?=");
    EXPECT_EQ(mail.DecodedSubject, " x\xEF\xBF\xBD\xEF\xBF\xBDy");
    EXPECT_FALSE(IsSpam(mail, "", "\xEF\xBF\xBD"));
    EXPECT_FALSE(IsSpam(mail, "", "x\xEF\xBF\xBD\xEF\xBF\xBDy"));
    EXPECT_TRUE(IsSpam(mail, "", "Y"));
}

TEST(IsSpamEmail, EntriesMatchTheTextAsDecodedOrAsWritten_TheFirstEntryListedIsReported)
{
    const TEmail mail = Mail(" =?ISO-8859-1?Q?Casino_Royal?= <win@example.com>", " =?ISO-8859-1?Q?Cr=E9dit_gratuit?=");
    EXPECT_TRUE(IsSpam(mail, "CASINO royal", ""));
    EXPECT_TRUE(IsSpam(mail, "q?casino_", ""));
    EXPECT_TRUE(IsSpam(mail, "", "CR\xC3\x89" "DIT"));
    EXPECT_FALSE(IsSpam(mail, "casino_royal <", "cr\xC3\xA9" "dit payant"));
    const std::vector<std::string> subjects = Entries("payant\r\nGRATUIT\r\ncr\xC3\xA9" "dit");
    EXPECT_EQ(FindSpamEntry(mail, Entries("nobody"), subjects, FoldForTest), &subjects[1]);
    EXPECT_EQ(*FindSpamEntry(mail, Entries("win@"), subjects, FoldForTest), "win@");
}

TEST(SpamListFile, SortedCaseInsensitiveDuplicatesDroppedFirstWinsEmptySkipped)
{
    EXPECT_EQ(Parse("Viagra\r\n\r\nviagra\r\ncasino\r\n"), (std::vector<std::string>{"casino", "Viagra"}));
}

TEST(SpamListFile, CrEndsLineLfAloneStaysAndCtrlZEndsTheFile)
{
    EXPECT_EQ(Parse("b\rA\r\nc\nd\r\n"), (std::vector<std::string>{"A", "b", "c\nd"}));
    EXPECT_EQ(Parse("one\r\ntwo\x1Athree\r\n"), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(Parse("last line without end"), (std::vector<std::string>{"last line without end"}));
    EXPECT_TRUE(Parse("").empty());
}

TEST(SpamListFile, LongLinesStayWhole)
{
    const std::string line(100000, 'x');
    EXPECT_EQ(Parse(line + "\r\n"), (std::vector<std::string>{line}));
}

TEST(SpamListFile, SavedFieldIsItsTextThenCrLfAndReloadsTheSame)
{
    EXPECT_EQ(FormatSpamListFile("Viagra"), "Viagra\r\n");
    const std::vector<std::string> entries = {"casino", "Viagra"};
    EXPECT_EQ(FormatSpamListFile(JoinLines(entries)), "casino\r\nViagra\r\n");
    EXPECT_EQ(Parse(FormatSpamListFile(JoinLines(entries))), entries);
}

TEST(SplitLines, FieldLinesSplitAtCrLfAndKeepInnerEmptyLines)
{
    EXPECT_EQ(SplitLines("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitLines("a\nb"), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(SplitLines("").empty());
}

TEST(SpamDeletionOrder, EachMailboxHighestNumberFirstEvenAbove999)
{
    TMailBox home, work;
    std::vector<TEmail> emails(5);
    const int numbers[] = {999, 1000, 3, 1200, 5};
    const int boxes[] = {home.Id, home.Id, work.Id, home.Id, work.Id};
    std::vector<TEmail*> walk;  // the order of a descending walk over the sorted keys
    for (int i = 0; i < 5; ++i) {
        emails[i].Number = numbers[i];
        emails[i].MailboxId = boxes[i];
        walk.push_back(&emails[i]);
    }
    std::vector<std::pair<int, int>> order;
    for (TEmail* email : SpamDeletionOrder(walk))
        order.emplace_back(email->MailboxId, email->Number);
    const std::vector<std::pair<int, int>> expected = {
        {home.Id, 1200}, {home.Id, 1000}, {home.Id, 999}, {work.Id, 5}, {work.Id, 3}};
    EXPECT_EQ(order, expected);
}

TEST(HeaderDigest, SameHeaderSameDigestAnyChangeAnother)
{
    EXPECT_EQ(HeaderDigest(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(HeaderDigest("Subject: a\r\n"), HeaderDigest(std::string("Subject: a\r\n")));
    EXPECT_NE(HeaderDigest("Subject: a\r\n"), HeaderDigest("Subject: b\r\n"));
}
