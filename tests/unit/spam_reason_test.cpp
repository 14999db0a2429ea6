#include <gtest/gtest.h>

#include "model/SpamGuard.h"
#include "model/SpamReason.h"

namespace {
TEmail Mail(const std::string& from, const std::string& subject)
{
    TEmail email;
    email.From = from;
    email.Subject = subject;
    DecodeEmailFields(email, nullptr);
    return email;
}

TSpamRules Rules(const std::string& addresses, const std::string& subjects, const std::string& allowed)
{
    return ParseSpamRules(addresses, subjects, allowed, FoldAsciiCase);
}
}  // namespace

TEST(SpamReason, AddressEntryMarks_NamesTheSendersListAndTheEntry)
{
    const TSpamReason reason = Rules("casino\r\nlottery", "sale", "").ReasonFor(Mail(" <win@LOTTERY.biz>", "Sale"));
    EXPECT_EQ(reason.List, TSpamListKind::Addresses);
    EXPECT_EQ(reason.Entry, "lottery");
}

TEST(SpamReason, SubjectEntryMarks_NamesTheSubjectsListAndTheEntry)
{
    const TSpamReason reason = Rules("casino", "cheap\r\nsale", "").ReasonFor(Mail(" <bob@work.org>", "Wholesale contract"));
    EXPECT_EQ(reason.List, TSpamListKind::Subjects);
    EXPECT_EQ(reason.Entry, "sale");
    EXPECT_TRUE(reason.Marks());
}

TEST(SpamReason, NothingMatches_NoListAndNoEntry)
{
    const TSpamReason reason = Rules("casino", "sale", "").ReasonFor(Mail(" <bob@work.org>", "Meeting"));
    EXPECT_EQ(reason.List, TSpamListKind::None);
    EXPECT_EQ(reason.Entry, "");
    EXPECT_FALSE(reason.Marks());
}

TEST(SpamReason, AgreesWithTheSpamTestOnEveryMessage)
{
    const TSpamLists lists = ParseSpamLists("casino\r\n \r\nbiz", "sale\r\nfree", FoldAsciiCase);
    for (const TEmail& email : {Mail(" <a@b.biz>", "x"), Mail(" <a@b.org>", "Free lunch"),
                                Mail(" Casino <a@b.org>", "hello"), Mail("a@b", "Meeting"), Mail("", "")}) {
        const std::string* entry = FindSpamEntry(email, lists.Addresses, lists.Subjects, lists.Fold);
        const TSpamReason reason = FindSpamReason(email, lists);
        EXPECT_EQ(reason.Marks(), entry != nullptr) << email.From;
        if (entry)
            EXPECT_EQ(reason.Entry, *entry);
    }
}

TEST(SpamRules, AllowedSenderIsNeverSpam_WhateverTheListsSay)
{
    const TSpamRules rules = Rules("example.com", " ", "news@example.com");
    EXPECT_FALSE(rules.Marks(Mail(" Newsletter <news@example.com>", "Big sale")));
    EXPECT_TRUE(rules.Marks(Mail(" Other <other@example.com>", "Big sale")));
}

TEST(SpamGuard, TimerCycle_MoreThan25Marked_KeepsTheMailboxWhole)
{
    EXPECT_EQ(DecideSpamGuard(25, 1000, TSpamCycleStart::Timer), TSpamGuardVerdict::Delete);
    EXPECT_EQ(DecideSpamGuard(26, 1000, TSpamCycleStart::Timer), TSpamGuardVerdict::KeepAll);
    EXPECT_EQ(DecideSpamGuard(412, 430, TSpamCycleStart::Timer), TSpamGuardVerdict::KeepAll);
}

TEST(SpamGuard, TimerCycle_MoreThanHalfOfMoreThanTen_KeepsTheMailboxWhole)
{
    EXPECT_EQ(DecideSpamGuard(30, 40, TSpamCycleStart::Timer), TSpamGuardVerdict::KeepAll);
    EXPECT_EQ(DecideSpamGuard(6, 11, TSpamCycleStart::Timer), TSpamGuardVerdict::KeepAll);
    EXPECT_EQ(DecideSpamGuard(10, 20, TSpamCycleStart::Timer), TSpamGuardVerdict::Delete);
    // A small mailbox may be all spam.
    EXPECT_EQ(DecideSpamGuard(10, 10, TSpamCycleStart::Timer), TSpamGuardVerdict::Delete);
    EXPECT_EQ(DecideSpamGuard(0, 0, TSpamCycleStart::Timer), TSpamGuardVerdict::Delete);
}

TEST(SpamGuard, UserErase_AsksInsteadOfKeeping)
{
    EXPECT_EQ(DecideSpamGuard(30, 40, TSpamCycleStart::User), TSpamGuardVerdict::AskFirst);
    EXPECT_EQ(DecideSpamGuard(26, 1000, TSpamCycleStart::User), TSpamGuardVerdict::AskFirst);
    EXPECT_EQ(DecideSpamGuard(3, 40, TSpamCycleStart::User), TSpamGuardVerdict::Delete);
}
