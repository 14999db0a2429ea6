#include <gtest/gtest.h>

#include <tuple>

#include "model/unitProcessEmail.h"
#include "model/unitProcessReuse.h"

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

TEST(GetDecodedEmailAddress, TheAddressAsWrittenInUtf8OrTheWholeDecodedFrom)
{
    TEmail email = WithFrom(" =?utf-8?Q?Jos=C3=A9?= <jos\xE9@example.com>");
    DecodeEmailFields(email, nullptr);
    EXPECT_EQ(GetDecodedEmailAddress(email), "jos\xC3\xA9@example.com");  // raw Windows-1252
    email = WithFrom(" =?utf-8?Q?Jos=C3=A9?=");
    DecodeEmailFields(email, nullptr);
    EXPECT_EQ(GetDecodedEmailAddress(email), " Jos\xC3\xA9");
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

// Reuse by unique id: when the next check takes nothing from the last one
// (the rest is seen end to end in the mail check's Wine tests).
namespace {
TMailboxListing Listing(std::map<int, std::string> uidls, int size = 100)
{
    TMailboxListing listing;
    listing.Count = static_cast<int>(uidls.size());
    for (const auto& entry : uidls)
        listing.Sizes[entry.first] = size;
    listing.Uidls = std::move(uidls);
    return listing;
}

TMailboxMemory Remembered(std::initializer_list<std::string> uidls)
{
    TMailboxMemory memory;
    PlanMailboxRead({}, memory, "pop.example", "alice", 5);
    std::vector<TEmail> emails;
    for (const std::string& uidl : uidls) {
        emails.emplace_back();
        emails.back().Uidl = uidl;
        emails.back().Octets = 100;
    }
    std::vector<const TEmail*> complete;
    for (const TEmail& email : emails)
        complete.push_back(&email);
    RememberEmails(memory, complete);
    return memory;
}
}  // namespace

TEST(PlanMailboxRead, AnIdGivenTwiceOrNoIdsGiveTheClassicConversation)
{
    TMailboxMemory memory = Remembered({"a", "b"});
    for (const TMessagePlan& message :
         PlanMailboxRead(Listing({{1, "a"}, {2, "a"}}), memory, "pop.example", "alice", 5)) {
        EXPECT_EQ(message.Kept, nullptr);
        EXPECT_EQ(message.Octets, -1);  // asked with LIST n
        EXPECT_EQ(message.Uidl, "");
    }
    TMailboxListing noIds = Listing({{1, "a"}});
    noIds.Uidls.clear();
    EXPECT_EQ(PlanMailboxRead(noIds, memory, "pop.example", "alice", 5)[0].Kept, nullptr);
}

TEST(PlanMailboxRead, OtherBodyLinesServerOrUserForgetWhatWasKept)
{
    TMailboxMemory same = Remembered({"a"});
    EXPECT_NE(PlanMailboxRead(Listing({{1, "a"}}), same, "pop.example", "alice", 5)[0].Kept, nullptr);
    for (const auto& change : std::vector<std::tuple<std::string, std::string, int>>{
             {"pop.example", "alice", 6}, {"other.example", "alice", 5}, {"pop.example", "bob", 5}}) {
        TMailboxMemory memory = Remembered({"a"});
        EXPECT_EQ(PlanMailboxRead(Listing({{1, "a"}}), memory, std::get<0>(change), std::get<1>(change),
                                  std::get<2>(change))[0].Kept, nullptr);
        EXPECT_TRUE(memory.ByUidl.empty());
    }
}
