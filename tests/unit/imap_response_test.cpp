#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imap/ImapMailbox.h"
#include "imap/ImapReader.h"
#include "imap/ImapResponse.h"

namespace {

TImapResponse Read(const std::string& stream)
{
    TImapReader reader;
    reader.Feed(stream);
    TImapResponse response;
    EXPECT_TRUE(reader.Next(response)) << stream << ": " << reader.ErrorText();
    return response;
}

using Names = std::vector<std::string>;

}  // namespace

// ---- capabilities

TEST(ImapResponse, Capabilities_FromDataOrCode)
{
    TImapCapabilities caps;
    ASSERT_TRUE(ImapReadCapabilities(
        Read("* CAPABILITY IMAP4rev1 Idle UIDPLUS MOVE SPECIAL-USE SASL-IR LITERAL+ STARTTLS LOGINDISABLED "
             "AUTH=PLAIN auth=xoauth2\r\n"),
        caps));
    EXPECT_TRUE(caps.Imap4() && caps.Idle() && caps.UidPlus() && caps.Move() && caps.SpecialUse());
    EXPECT_TRUE(caps.SaslIr() && caps.LiteralPlus() && caps.StartTls() && caps.LoginDisabled());
    EXPECT_TRUE(caps.HasAuth("PLAIN") && caps.HasAuth("XOAUTH2"));
    EXPECT_FALSE(caps.HasAuth("OAUTHBEARER"));

    ASSERT_TRUE(ImapReadCapabilities(Read("* OK [CAPABILITY IMAP4rev1 AUTH=OAUTHBEARER] ready\r\n"), caps));
    EXPECT_EQ(caps.Names, (Names{"IMAP4REV1", "AUTH=OAUTHBEARER"}));
    EXPECT_FALSE(caps.Idle() || caps.UidPlus() || caps.Move() || caps.LiteralPlus() || caps.LiteralMinus());
    ASSERT_TRUE(ImapReadCapabilities(Read("A0002 OK [CAPABILITY IMAP4rev2] Logged in\r\n"), caps));
    EXPECT_TRUE(caps.Imap4() && caps.Idle() && caps.UidPlus() && caps.Move() && caps.SpecialUse() &&
                caps.SaslIr() && caps.LiteralMinus());
    EXPECT_FALSE(caps.LiteralPlus());
}

TEST(ImapResponse, Capabilities_RefusedFromOtherResponsesOrNonAtoms)
{
    TImapCapabilities caps;
    caps.Names = {"KEPT"};
    for (const char* stream : {"* OK [UIDNEXT 4] x\r\n", "* FLAGS (\\Seen)\r\n", "* CAPABILITY IMAP4rev1 \"IDLE\"\r\n",
                               "* CAPABILITY IMAP4rev1 (IDLE)\r\n", "+ CAPABILITY\r\n"}) {
        SCOPED_TRACE(stream);
        EXPECT_FALSE(ImapReadCapabilities(Read(stream), caps));
        EXPECT_EQ(caps.Names, (Names{"KEPT"}));
    }
}

// ---- codes

TEST(ImapResponse, CodeNumbers_OnlyNonZero32Bit)
{
    const struct {
        const char* stream;
        const char* code;
        bool ok;
        std::uint32_t value;
    } cases[] = {
        {"* OK [UIDVALIDITY 3857529045] valid\r\n", "UIDVALIDITY", true, 3857529045u},
        {"* OK [UIDNEXT 4392] next\r\n", "UIDNEXT", true, 4392},
        {"* OK [UIDNEXT 4392] next\r\n", "UIDVALIDITY", false, 0},
        {"* OK [UIDVALIDITY 0] zero\r\n", "UIDVALIDITY", false, 0},
        {"* OK [UIDVALIDITY 4294967296] too large\r\n", "UIDVALIDITY", false, 0},
        {"* OK [UIDVALIDITY 99999999999999999999] no number\r\n", "UIDVALIDITY", false, 0},
        {"* OK [UIDVALIDITY abc] word\r\n", "UIDVALIDITY", false, 0},
        {"* OK [UIDVALIDITY] nothing\r\n", "UIDVALIDITY", false, 0},
        {"* OK [UIDVALIDITY 5 6] two\r\n", "UIDVALIDITY", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stream);
        std::uint32_t value = 7;
        EXPECT_EQ(ImapCodeNumber(Read(c.stream), c.code, value), c.ok);
        EXPECT_EQ(value, c.ok ? c.value : 7u);
    }
}

TEST(ImapResponse, CopyUidAndAppendUid_ReadTheirSets)
{
    TImapCopyUid copy;
    ASSERT_TRUE(ImapReadCopyUid(Read("A5 OK [COPYUID 38505 304,319:320 3956:3958] Done\r\n"), copy));
    EXPECT_EQ(copy.UidValidity, 38505u);
    EXPECT_EQ(copy.Source, (std::vector<TImapUidRange>{{304, 304}, {319, 320}}));
    EXPECT_EQ(copy.Destination, (std::vector<TImapUidRange>{{3956, 3958}}));
    ASSERT_TRUE(ImapReadCopyUid(Read("* OK [COPYUID 1 7 9] Moved\r\n"), copy));
    EXPECT_EQ(copy.Source, (std::vector<TImapUidRange>{{7, 7}}));
    for (const char* stream : {"A5 OK [COPYUID 38505 304,319:320 3956:3957] counts differ\r\n",
                               "A5 OK [COPYUID 38505 304 0] zero\r\n", "A5 OK [COPYUID 0 1 2] no validity\r\n",
                               "A5 OK [COPYUID 1 1:* 2] star\r\n", "A5 OK [COPYUID 1 2] short\r\n",
                               "A5 OK [APPENDUID 1 2] other code\r\n"}) {
        SCOPED_TRACE(stream);
        EXPECT_FALSE(ImapReadCopyUid(Read(stream), copy));
    }
    TImapAppendUid append;
    ASSERT_TRUE(ImapReadAppendUid(Read("A6 OK [APPENDUID 38505 3955] APPEND completed\r\n"), append));
    EXPECT_EQ(append.UidValidity, 38505u);
    EXPECT_EQ(append.Uids, (std::vector<TImapUidRange>{{3955, 3955}}));
    EXPECT_FALSE(ImapReadAppendUid(Read("A6 OK [APPENDUID 38505] short\r\n"), append));
}

TEST(ImapResponse, AlertAndBye_AreTold)
{
    EXPECT_TRUE(ImapIsAlert(Read("* OK [ALERT] Mailbox nearly full\r\n")));
    EXPECT_FALSE(ImapIsAlert(Read("* OK Mailbox nearly full\r\n")));
    EXPECT_TRUE(ImapIsBye(Read("* BYE Autologout\r\n")));
    EXPECT_FALSE(ImapIsBye(Read("A1 OK BYE\r\n")));
}

// ---- counts

TEST(ImapResponse, Counts_OnlyFromTheirOwnData)
{
    std::uint32_t count = 0;
    EXPECT_TRUE(ImapReadCount(Read("* 1000000000 EXISTS\r\n"), "EXISTS", count));
    EXPECT_EQ(count, 1000000000u);
    EXPECT_TRUE(ImapReadCount(Read("* 3 EXPUNGE\r\n"), "EXPUNGE", count));
    EXPECT_EQ(count, 3u);
    EXPECT_FALSE(ImapReadCount(Read("* 3 EXPUNGE\r\n"), "EXISTS", count));
    EXPECT_FALSE(ImapReadCount(Read("* EXISTS\r\n"), "EXISTS", count));
    EXPECT_FALSE(ImapReadCount(Read("* 3 EXISTS more\r\n"), "EXISTS", count));
}

// ---- FETCH

TEST(ImapResponse, Fetch_ReadsItsItemsAndSkipsTheOthers)
{
    TImapFetch fetch;
    std::string error;
    ASSERT_TRUE(ImapReadFetch(Read("* 12 FETCH (FLAGS (\\Seen $Junk) UID 4827313 RFC822.SIZE 44827 "
                                   "X-GM-LABELS (\"a\" {1}\r\nb) BODY[HEADER.FIELDS (FROM SUBJECT)] {26}\r\n"
                                   "From: a@b\r\nSubject: hi\r\n\r\n)\r\n"),
                              fetch, error))
        << error;
    EXPECT_EQ(fetch.MessageNumber, 12u);
    EXPECT_TRUE(fetch.HasUid);
    EXPECT_EQ(fetch.Uid, 4827313u);
    EXPECT_TRUE(fetch.HasSize);
    EXPECT_EQ(fetch.Size, 44827u);
    EXPECT_TRUE(fetch.HasFlags);
    EXPECT_EQ(fetch.Flags, (Names{"\\Seen", "$Junk"}));
    EXPECT_TRUE(fetch.HasFlag("\\SEEN"));
    EXPECT_FALSE(fetch.HasFlag("\\Deleted"));
    EXPECT_TRUE(fetch.HasHeader);
    EXPECT_EQ(fetch.Header, "From: a@b\r\nSubject: hi\r\n\r\n");

    ASSERT_TRUE(ImapReadFetch(Read("* 2 FETCH (uid 9 body[header.fields (from)] NIL)\r\n"), fetch, error));
    EXPECT_EQ(fetch.Uid, 9u);
    EXPECT_TRUE(fetch.HasHeader);
    EXPECT_EQ(fetch.Header, "");
    EXPECT_FALSE(fetch.HasSize || fetch.HasFlags);

    // Untagged data sent mid-answer without a UID: the session sees it has none.
    ASSERT_TRUE(ImapReadFetch(Read("* 3 FETCH (FLAGS (\\Deleted))\r\n"), fetch, error));
    EXPECT_FALSE(fetch.HasUid || fetch.HasHeader);
    EXPECT_TRUE(fetch.HasFlag("\\Deleted"));
}

TEST(ImapResponse, Fetch_RefusesItemsOfTheWrongKind)
{
    const std::pair<const char*, const char*> cases[] = {
        {"* 1 FETCH (UID 0)\r\n", "a UID that is not a number from 1 to 4294967295: 0"},
        {"* 1 FETCH (UID 4294967296)\r\n", "a UID that is not a number from 1 to 4294967295: 4294967296"},
        {"* 1 FETCH (UID 99999999999999999999)\r\n",
         "a UID that is not a number from 1 to 4294967295: 99999999999999999999"},
        {"* 1 FETCH (UID \"5\")\r\n", "a UID that is not a number from 1 to 4294967295: 5"},
        {"* 1 FETCH (RFC822.SIZE 9223372036854775808)\r\n", "a size that is not a number: 9223372036854775808"},
        {"* 1 FETCH (FLAGS \\Seen)\r\n", "flags that are not a list"},
        {"* 1 FETCH (FLAGS (\"x\"))\r\n", "a flag that is not an atom"},
        {"* 1 FETCH (BODY[HEADER] (a))\r\n", "a header that is not a string"},
        {"* 1 FETCH (UID)\r\n", "a FETCH item without its value"},
        {"* 1 FETCH ((UID) 5)\r\n", "a FETCH item that is not a name"},
        {"* 1 FETCH UID 5\r\n", "not a FETCH response"},
        {"* FETCH (UID 5)\r\n", "not a FETCH response"},
        {"* 1 EXISTS\r\n", "not a FETCH response"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        TImapFetch fetch;
        fetch.Uid = 77;
        std::string error;
        EXPECT_FALSE(ImapReadFetch(Read(c.first), fetch, error));
        EXPECT_EQ(error, c.second);
        EXPECT_EQ(fetch.Uid, 77u);
    }
}

// ---- LIST and the spam folder

TEST(ImapResponse, List_ReadsFlagsDelimiterAndDecodedName)
{
    const struct {
        const char* stream;
        Names flags;
        char delimiter;
        const char* wire;
        const char* name;
    } cases[] = {
        {"* LIST (\\HasNoChildren \\Junk) \"/\" Junk\r\n", {"\\HasNoChildren", "\\Junk"}, '/', "Junk", "Junk"},
        {"* LIST () \".\" inbox\r\n", {}, '.', "INBOX", "INBOX"},
        {"* LIST () NIL Flat\r\n", {}, '\0', "Flat", "Flat"},
        {"* LIST () \"/\" \"Courrier ind&AOk-sirable\"\r\n", {}, '/', "Courrier ind&AOk-sirable",
         "Courrier ind\xc3\xa9sirable"},
        {"* LIST () \"/\" {7}\r\nA &- B!\r\n", {}, '/', "A &- B!", "A & B!"},
        {"* LIST () \"/\" 2024\r\n", {}, '/', "2024", "2024"},
        {"* LIST () \"/\" NIL\r\n", {}, '/', "NIL", "NIL"},
        {"* LIST () \"/\" \"Bo\xc3\xaete\"\r\n", {}, '/', "Bo\xc3\xaete", "Bo\xc3\xaete"},
        {"* LIST () \"/\" \"bad&Jjo\"\r\n", {}, '/', "bad&Jjo", "bad&Jjo"},
        {"* LIST () \"/\" \"x\xff\"\r\n", {}, '/', "x\xff", "x\xef\xbf\xbd"},
        {"* LSUB () \"/\" Sent\r\n", {}, '/', "Sent", "Sent"},
        {"* LIST (\\Trash) \"/\" Trash (\"CHILDINFO\" (\"SUBSCRIBED\"))\r\n", {"\\Trash"}, '/', "Trash", "Trash"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stream);
        TImapMailbox mailbox;
        std::string error;
        ASSERT_TRUE(ImapReadList(Read(c.stream), mailbox, error)) << error;
        EXPECT_EQ(mailbox.Flags, c.flags);
        EXPECT_EQ(mailbox.Delimiter, c.delimiter);
        EXPECT_EQ(mailbox.WireName, c.wire);
        EXPECT_EQ(mailbox.Name, c.name);
    }
}

TEST(ImapResponse, List_RefusesWhatIsNoMailbox)
{
    const std::pair<const char*, const char*> cases[] = {
        {"* LIST () \"/\"\r\n", "a LIST response without its flags, delimiter and name"},
        {"* LIST \\Junk \"/\" x\r\n", "a LIST response without its flags, delimiter and name"},
        {"* LIST (\"x\") \"/\" x\r\n", "a mailbox flag that is not an atom"},
        {"* LIST () \"//\" x\r\n", "a hierarchy delimiter that is not one character"},
        {"* LIST () / x\r\n", "a hierarchy delimiter that is not one character"},
        {"* LIST () \"/\" (x)\r\n", "a mailbox name that is not a string"},
        {"* LIST () \"/\" \"\"\r\n", "an empty mailbox name"},
        {"* 1 LIST () \"/\" x\r\n", "not a LIST response"},
        {"* FLAGS () \"/\" x\r\n", "not a LIST response"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        TImapMailbox mailbox;
        std::string error;
        EXPECT_FALSE(ImapReadList(Read(c.first), mailbox, error));
        EXPECT_EQ(error, c.second);
    }
}

TEST(ImapResponse, SpamFolder_JunkFlagThenNameThenTrash)
{
    auto listed = [](std::vector<std::string> lines) {
        std::vector<TImapMailbox> mailboxes;
        for (const std::string& line : lines) {
            TImapMailbox mailbox;
            std::string error;
            EXPECT_TRUE(ImapReadList(Read(line + "\r\n"), mailbox, error)) << error;
            mailboxes.push_back(mailbox);
        }
        const TImapMailbox* chosen = ImapSpamFolder(mailboxes);
        return chosen ? chosen->WireName : std::string("(none)");
    };
    const std::string inbox = "* LIST () \"/\" INBOX";
    const std::string trash = "* LIST (\\Trash) \"/\" Corbeille";
    const std::string spam = "* LIST () \"/\" INBOX/spam";
    const std::string junk = "* LIST () \".\" Junk";
    const std::string flagged = "* LIST (\\HasNoChildren \\Junk) \"/\" \"Courrier ind&AOk-sirable\"";
    EXPECT_EQ(listed({inbox, trash, spam, junk, flagged}), "Courrier ind&AOk-sirable");
    EXPECT_EQ(listed({inbox, trash, spam, junk}), "INBOX/spam");
    EXPECT_EQ(listed({inbox, trash, junk}), "Junk");
    EXPECT_EQ(listed({inbox, trash}), "Corbeille");
    EXPECT_EQ(listed({inbox}), "(none)");
    EXPECT_EQ(listed({}), "(none)");
    // A mailbox that cannot hold messages is never chosen.
    EXPECT_EQ(listed({"* LIST (\\Noselect \\Junk) \"/\" Junk", "* LIST (\\NonExistent) \"/\" Spam", trash}),
              "Corbeille");
    // The name is a whole level: "Junkyard" or "NoSpam" are other mailboxes.
    EXPECT_EQ(listed({"* LIST () \"/\" Junkyard", "* LIST () \"/\" NoSpam"}), "(none)");
    // Without a delimiter the whole name is the level.
    EXPECT_EQ(listed({"* LIST () NIL SPAM"}), "SPAM");
}
