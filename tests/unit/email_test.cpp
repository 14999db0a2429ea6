#include <gtest/gtest.h>

#include "model/unitProcessEmail.h"

namespace {
TEmail WithHeader(const std::string& header)
{
    TEmail email;
    email.Header = header;
    return email;
}

TEmail WithFrom(const std::string& from)
{
    TEmail email;
    email.From = from;
    return email;
}
}  // namespace

TEST(EmailKey, NumberHasAtLeastThreeDigits)
{
    EXPECT_EQ(MakeEmailKey("Home", 7), "Home007");
    EXPECT_EQ(MakeEmailKey("Home", 42), "Home042");
    EXPECT_EQ(MakeEmailKey("Home", 1234), "Home1234");
}

TEST(GetEmailDate, TextAfterFirstDateUpToLineEnd)
{
    EXPECT_EQ(GetEmailDate(WithHeader("From: a\r\nDate: Mon, 7 Dec 2026 10:00\r\nTo: b\r\n")), "Mon, 7 Dec 2026 10:00");
}

TEST(GetEmailDate, LastLineOfHeaderStillGivesDateWithoutLineBreak)
{
    EXPECT_EQ(GetEmailDate(WithHeader("From: a\r\nDate: today\r\n")), "today");
    EXPECT_EQ(GetEmailDate(WithHeader("From: a\r\nDate: unterminated")), "unterminated");
}

TEST(GetEmailDate, MissingOrOtherCaseGivesUnknown)
{
    EXPECT_EQ(GetEmailDate(WithHeader("From: a\r\nSubject: hi\r\n")), "Unknown");
    EXPECT_EQ(GetEmailDate(WithHeader("DATE: today\r\n")), "Unknown");
    EXPECT_EQ(GetEmailDate(WithHeader("")), "Unknown");
}

TEST(GetEmailDate, FirstOccurrenceAnywhereInHeaderCounts)
{
    // "X-Original-Date: " holds "Date: " too and comes first.
    EXPECT_EQ(GetEmailDate(WithHeader("X-Original-Date: first\r\nDate: second\r\n")), "first");
}

TEST(GetEmailAddress, AddressBetweenAngleBrackets)
{
    EXPECT_EQ(GetEmailAddress(WithFrom(" John Doe <john@example.com>")), "john@example.com");
}

TEST(GetEmailAddress, WithoutBracketsFromIsReturnedUnchanged)
{
    EXPECT_EQ(GetEmailAddress(WithFrom(" john@example.com")), " john@example.com");
    EXPECT_EQ(GetEmailAddress(WithFrom(" only <open")), " only <open");
}

TEST(GetEmailAddress, ClosingBeforeOpeningGivesEmptyAddress)
{
    EXPECT_EQ(GetEmailAddress(WithFrom("> odd <x@y>")), "");
}

TEST(StripEmailHeader, RemovesSharedPrefixOnly)
{
    TEmail email;
    email.Header = "From: a\r\nSubject: s\r\n";
    email.Body = "From: a\r\nSubject: s\r\n\r\nHello\r\n";
    StripEmailHeader(email);
    EXPECT_EQ(email.Body, "\r\nHello\r\n");
}

TEST(StripEmailHeader, BodyEqualToHeaderBecomesEmpty)
{
    TEmail email;
    email.Header = email.Body = "From: a\r\n";
    StripEmailHeader(email);
    EXPECT_EQ(email.Body, "");
}

TEST(StripEmailHeader, EmptyHeaderOrBodyLeavesBodyUnchanged)
{
    TEmail email;
    email.Body = "text";
    StripEmailHeader(email);
    EXPECT_EQ(email.Body, "text");
    email.Header = "text";
    email.Body = "";
    StripEmailHeader(email);
    EXPECT_EQ(email.Body, "");
}

TEST(StripEmailHeader, DivergingBodyLosesOnlyTheCommonStart)
{
    TEmail email;
    email.Header = "Subject: one\r\n";
    email.Body = "Subject: two\r\n";
    StripEmailHeader(email);
    EXPECT_EQ(email.Body, "two\r\n");
}

TEST(EmailsCollection, KeysSortByMailboxThenThreeDigitNumber)
{
    TMyCollection emails;
    emails.SetDuplicates(TDuplicates::Accept);
    for (auto [box, number] : std::vector<std::pair<const char*, int>>{{"work", 2}, {"Home", 10}, {"home", 9}, {"Work", 1}}) {
        auto email = std::make_unique<TEmail>();
        email->Name = MakeEmailKey(box, number);
        email->Number = number;
        emails.Add(std::move(email));
    }
    emails.SetSorted(true);
    std::vector<int> numbers;
    for (int i = 0; i < emails.Count(); ++i)
        numbers.push_back(emails.ItemAs<TEmail>(i)->Number);
    EXPECT_EQ(numbers, (std::vector<int>{9, 10, 1, 2}));
}

TEST(EmailsCollection, NumberFromThousandSortsBeforeHundredAndOne)
{
    // The key keeps its textual order; the deletion cycle must not rely on it above 999.
    EXPECT_LT(AsciiCompareText(MakeEmailKey("box", 1000), MakeEmailKey("box", 101)), 0);
}
