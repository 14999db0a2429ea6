#include <gtest/gtest.h>

#include "mail/QuarantineIdentity.h"
#include "mail/QuarantineName.h"
#include "model/unitProcessEmail.h"

namespace {
TMailBox Box(const std::string& server, const std::string& user, const std::string& port = "110")
{
    TMailBox box;
    box.Server = server;
    box.User = user;
    box.Port = port;
    return box;
}
}  // namespace

TEST(QuarantineIdentity, MailboxAndUniqueId_NameTheMessage)
{
    EXPECT_EQ(QuarantinePop3MessageId(Box("mail.example", "alice@example.org", "995"), "u 3/x"),
              "pop3://alice%40example.org@mail.example:995/u%203%2Fx");
    TMailBox imap = Box("mail.example", "alice", "993");
    imap.Folder = "Bo\xC3\xAEte;1";
    EXPECT_EQ(QuarantineImapMessageId(imap, 7, 42),
              "imap://alice@mail.example:993/Bo%C3%AEte%3B1;UIDVALIDITY=7/;UID=42");
    // Without a unique id a message cannot be told from another.
    EXPECT_EQ(QuarantinePop3MessageId(imap, ""), "");
    EXPECT_EQ(QuarantineImapMessageId(imap, 7, 0), "");
    EXPECT_EQ(QuarantineMessageUnique(""), "");
}

TEST(QuarantineIdentity, UserAndServerCannotPassForEachOther)
{
    const std::string a = QuarantinePop3MessageId(Box("c", "a@b"), "1");
    const std::string b = QuarantinePop3MessageId(Box("b@c", "a"), "1");
    EXPECT_NE(a, b);
    EXPECT_NE(QuarantineMessageUnique(a), QuarantineMessageUnique(b));
    EXPECT_NE(QuarantinePop3MessageId(Box("c", "a", "110"), "1"), QuarantinePop3MessageId(Box("c", "a", "995"), "1"));
}

TEST(QuarantineIdentity, UniquePart_SixteenHexDigitsThatSurviveTheName)
{
    const std::string unique = QuarantineMessageUnique("pop3://alice@mail.example:110/u3");
    ASSERT_EQ(unique.size(), 16u);
    EXPECT_EQ(unique.find_first_not_of("0123456789abcdef"), std::string::npos);
    EXPECT_EQ(unique, QuarantineMessageUnique("pop3://alice@mail.example:110/u3"));
    EXPECT_EQ(QuarantineMessageUnique("pop3://alice@mail.example:110/u3", 12), unique + "n12");
    const std::string base = QuarantineBaseName({2024, 3, 5, 14, 7, 9}, "Work", unique + "n12");
    EXPECT_EQ(base, "20240305-140709_Work_" + unique + "n12");
}

TEST(QuarantineIdentity, OtherCopies_SameUniquePartWithOrWithoutCounter_WhateverTheTimeOrMailboxName)
{
    const std::string u = QuarantineMessageUnique("pop3://alice@mail.example:110/u3");
    const std::string other = QuarantineMessageUnique("pop3://alice@mail.example:110/u4");
    const std::vector<std::string> names = {
        "20240301-100000_Work_" + u + ".eml",       "20240301-100000_Work_" + u + ".txt",
        "20240302-100000_Renamed_" + u + "n7.eml",  "20240302-100000_Renamed_" + u + "n7.txt",
        "20240303-100000_Work_" + u + ".eml",       "20240303-100000_Work_" + u + ".txt",
        "20240303-100000_Work_" + other + ".eml",   "20240303-100000_Work_" + u + "nx.eml",
        "20240303-100000_Work_" + u + "0.eml",      "20240303-100000_Work_3n1.eml",
        "20240303-100000_Work_" + u.substr(1) + ".eml"};
    EXPECT_EQ(QuarantineOtherCopies(names, u, "20240303-100000_Work_" + u),
              (std::vector<std::string>{"20240301-100000_Work_" + u, "20240302-100000_Renamed_" + u + "n7"}));
    EXPECT_TRUE(QuarantineOtherCopies(names, "", "x").empty());
}
