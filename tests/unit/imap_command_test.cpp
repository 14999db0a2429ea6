#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imap/ImapCommand.h"
#include "imap/ImapMailboxName.h"
#include "imap/ImapUidSet.h"
#include "text/Base64.h"

namespace {

using Parts = std::vector<std::string>;

TImapCapabilities Caps(std::vector<std::string> names)
{
    TImapCapabilities caps;
    caps.Names = names;
    return caps;
}

TImapCommand Build(TImapRequest request, const std::vector<std::string>& arguments,
                   TImapLiterals literals = TImapLiterals::Synchronizing)
{
    TImapTagger tagger;
    TImapCommand command;
    EXPECT_TRUE(ImapBuildCommand(tagger, request, arguments, literals, command));
    return command;
}

}  // namespace

// ---- tags

TEST(ImapCommand, Tags_CountUpPerConnection)
{
    TImapTagger tagger;
    EXPECT_EQ(tagger.Next(), "A0001");
    EXPECT_EQ(tagger.Next(), "A0002");
    for (int i = 0; i < 9997; ++i)
        tagger.Next();
    EXPECT_EQ(tagger.Next(), "A10000");
    tagger.Reset();
    EXPECT_EQ(tagger.Next(), "A0001");
}

// ---- strings: atom, quoted, literal

TEST(ImapCommand, Strings_AtomQuotedOrLiteralAsTheyNeed)
{
    const struct {
        const char* name;
        std::string user;
        TImapLiterals literals;
        Parts parts;
    } cases[] = {
        {"atom", "alice@example.org", TImapLiterals::Synchronizing, {"A0001 LOGIN alice@example.org pw\r\n"}},
        {"space", "alice smith", TImapLiterals::Synchronizing, {"A0001 LOGIN \"alice smith\" pw\r\n"}},
        {"quote and backslash", "a\"b\\c", TImapLiterals::Synchronizing, {"A0001 LOGIN \"a\\\"b\\\\c\" pw\r\n"}},
        {"specials", "a(b)c{d}%*]", TImapLiterals::Synchronizing, {"A0001 LOGIN \"a(b)c{d}%*]\" pw\r\n"}},
        {"empty", "", TImapLiterals::Synchronizing, {"A0001 LOGIN \"\" pw\r\n"}},
        {"NIL is no atom", "nil", TImapLiterals::Synchronizing, {"A0001 LOGIN \"nil\" pw\r\n"}},
        {"8-bit waits for the server", "b\xc3\xa9", TImapLiterals::Synchronizing,
         {"A0001 LOGIN {3}\r\n", "b\xc3\xa9 pw\r\n"}},
        {"CR LF waits for the server", "a\r\nb", TImapLiterals::Synchronizing, {"A0001 LOGIN {4}\r\n", "a\r\nb pw\r\n"}},
        {"LITERAL+ never waits", "b\xc3\xa9", TImapLiterals::Plus, {"A0001 LOGIN {3+}\r\nb\xc3\xa9 pw\r\n"}},
        {"LITERAL- does not wait for a small one", "b\xc3\xa9", TImapLiterals::Minus,
         {"A0001 LOGIN {3+}\r\nb\xc3\xa9 pw\r\n"}},
        {"LITERAL- waits for one over 4096 bytes", std::string(4096, 'x') + "\xc3\xa9", TImapLiterals::Minus,
         {"A0001 LOGIN {4098}\r\n", std::string(4096, 'x') + "\xc3\xa9 pw\r\n"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Build(TImapRequest::Login, {c.user, "pw"}, c.literals).Parts, c.parts);
    }
}

TEST(ImapCommand, ZeroByteOrWrongArguments_BuildNothing)
{
    TImapTagger tagger;
    TImapCommand command;
    EXPECT_FALSE(ImapBuildCommand(tagger, TImapRequest::Login, {std::string("a\0b", 3), "pw"},
                                  TImapLiterals::Plus, command));
    EXPECT_FALSE(ImapBuildCommand(tagger, TImapRequest::Login, {"alice"}, TImapLiterals::Plus, command));
    EXPECT_FALSE(ImapBuildCommand(tagger, TImapRequest::Noop, {"extra"}, TImapLiterals::Plus, command));
    EXPECT_FALSE(ImapBuildCommand(tagger, TImapRequest::UidExpunge, {""}, TImapLiterals::Plus, command));
    EXPECT_FALSE(ImapBuildCommand(tagger, TImapRequest::UidExpunge, {"1\r\nA LOGOUT"}, TImapLiterals::Plus, command));
    EXPECT_TRUE(command.Parts.empty());
}

// ---- the requests

TEST(ImapCommand, Requests_WrittenAsTheTableSays)
{
    const struct {
        TImapRequest request;
        std::vector<std::string> arguments;
        const char* line;
    } cases[] = {
        {TImapRequest::Capability, {}, "A0001 CAPABILITY\r\n"},
        {TImapRequest::StartTls, {}, "A0001 STARTTLS\r\n"},
        {TImapRequest::List, {}, "A0001 LIST \"\" \"*\"\r\n"},
        {TImapRequest::ListSpecialUse, {}, "A0001 LIST \"\" \"*\" RETURN (SPECIAL-USE)\r\n"},
        {TImapRequest::Select, {"INBOX"}, "A0001 SELECT INBOX\r\n"},
        {TImapRequest::Examine, {"Courrier ind&AOk-sirable"}, "A0001 EXAMINE \"Courrier ind&AOk-sirable\"\r\n"},
        {TImapRequest::FetchHeaders, {"42:*"},
         "A0001 UID FETCH 42:* (UID FLAGS RFC822.SIZE BODY.PEEK[HEADER.FIELDS (FROM TO CC SUBJECT DATE MESSAGE-ID "
         "REPLY-TO RETURN-PATH SENDER CONTENT-TYPE CONTENT-TRANSFER-ENCODING)])\r\n"},
        {TImapRequest::FetchFlags, {"1:*"}, "A0001 UID FETCH 1:* (UID FLAGS)\r\n"},
        {TImapRequest::UidSearch, {"5:*"}, "A0001 UID SEARCH UID 5:*\r\n"},
        {TImapRequest::Idle, {}, "A0001 IDLE\r\n"},
        {TImapRequest::UidMove, {"3:5,9", "Junk"}, "A0001 UID MOVE 3:5,9 Junk\r\n"},
        {TImapRequest::UidCopy, {"3", "[Gmail]/Spam"}, "A0001 UID COPY 3 \"[Gmail]/Spam\"\r\n"},
        {TImapRequest::UidStoreDeleted, {"3"}, "A0001 UID STORE 3 +FLAGS.SILENT (\\Deleted)\r\n"},
        {TImapRequest::UidExpunge, {"3"}, "A0001 UID EXPUNGE 3\r\n"},
        {TImapRequest::Noop, {}, "A0001 NOOP\r\n"},
        {TImapRequest::Logout, {}, "A0001 LOGOUT\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const TImapCommand command = Build(c.request, c.arguments);
        EXPECT_EQ(command.Tag, "A0001");
        EXPECT_EQ(command.Parts, (Parts{c.line}));
        EXPECT_EQ(command.Trace + "\r\n", c.line);
    }
    EXPECT_STREQ(ImapIdleDone, "DONE\r\n");
}

// ---- login

TEST(ImapCommand, AuthChoice_PlainThenLoginNeverWhenDisabled)
{
    EXPECT_EQ(ImapChoosePasswordAuth(Caps({"IMAP4REV1", "AUTH=PLAIN", "LOGINDISABLED"})), TImapAuth::Plain);
    EXPECT_EQ(ImapChoosePasswordAuth(Caps({"IMAP4REV1", "AUTH=CRAM-MD5"})), TImapAuth::Login);
    EXPECT_EQ(ImapChoosePasswordAuth(Caps({"IMAP4REV1", "STARTTLS", "LOGINDISABLED"})), TImapAuth::None);
    EXPECT_EQ(ImapChooseTokenAuth(Caps({"AUTH=XOAUTH2", "AUTH=OAUTHBEARER"})), TImapAuth::OAuthBearer);
    EXPECT_EQ(ImapChooseTokenAuth(Caps({"AUTH=XOAUTH2", "AUTH=PLAIN"})), TImapAuth::XOAuth2);
    EXPECT_EQ(ImapChooseTokenAuth(Caps({"AUTH=PLAIN"})), TImapAuth::None);
}

TEST(ImapCommand, LoginCommands_CarryTheirSecretsHiddenFromTheTrace)
{
    const std::string plain = Base64Encode(std::string("\0alice\0s3cret", 13));
    const std::string bearer = Base64Encode("n,a=alice,\x01host=imap.example\x01port=993\x01"
                                            "auth=Bearer tok\x01\x01");
    const std::string xoauth2 = Base64Encode("user=alice\x01" "auth=Bearer tok\x01\x01");
    const struct {
        const char* name;
        TImapAuth auth;
        std::vector<std::string> caps;
        const char* secret;
        Parts parts;
        const char* trace;
    } cases[] = {
        {"PLAIN with SASL-IR", TImapAuth::Plain, {"SASL-IR", "AUTH=PLAIN"}, "s3cret",
         {"A0001 AUTHENTICATE PLAIN " + plain + "\r\n"}, "A0001 AUTHENTICATE PLAIN ****"},
        {"PLAIN after the server's +", TImapAuth::Plain, {"AUTH=PLAIN"}, "s3cret",
         {"A0001 AUTHENTICATE PLAIN\r\n", plain + "\r\n"}, "A0001 AUTHENTICATE PLAIN ****"},
        {"LOGIN", TImapAuth::Login, {}, "s3cret", {"A0001 LOGIN alice s3cret\r\n"}, "A0001 LOGIN alice ****"},
        {"LOGIN with an 8-bit password", TImapAuth::Login, {"LITERAL+"}, "s\xc3\xa9",
         {"A0001 LOGIN alice {3+}\r\ns\xc3\xa9\r\n"}, "A0001 LOGIN alice {3+} ****"},
        {"OAUTHBEARER", TImapAuth::OAuthBearer, {"SASL-IR"}, "tok",
         {"A0001 AUTHENTICATE OAUTHBEARER " + bearer + "\r\n"}, "A0001 AUTHENTICATE OAUTHBEARER ****"},
        {"XOAUTH2 after the server's +", TImapAuth::XOAuth2, {}, "tok",
         {"A0001 AUTHENTICATE XOAUTH2\r\n", xoauth2 + "\r\n"}, "A0001 AUTHENTICATE XOAUTH2 ****"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TImapTagger tagger;
        TImapCommand command;
        ASSERT_TRUE(ImapLoginCommand(tagger, c.auth, Caps(c.caps), "alice", c.secret, "imap.example", 993, command));
        EXPECT_EQ(command.Parts, c.parts);
        EXPECT_EQ(command.Trace, c.trace);
        EXPECT_EQ(command.Trace.find(c.secret), std::string::npos);
    }
}

TEST(ImapCommand, LoginRefused_WhenDisabledOrImpossible)
{
    TImapTagger tagger;
    TImapCommand command;
    EXPECT_FALSE(ImapLoginCommand(tagger, TImapAuth::Login, Caps({"LOGINDISABLED"}), "a", "b", "h", 143, command));
    EXPECT_FALSE(ImapLoginCommand(tagger, TImapAuth::None, Caps({}), "a", "b", "h", 143, command));
    EXPECT_FALSE(
        ImapLoginCommand(tagger, TImapAuth::Plain, Caps({}), "a", std::string("b\0c", 3), "h", 143, command));
    EXPECT_TRUE(command.Parts.empty());
    EXPECT_EQ(ImapSaslFailureAnswer(TImapAuth::OAuthBearer), "AQ==\r\n");
    EXPECT_EQ(ImapSaslFailureAnswer(TImapAuth::XOAuth2), "\r\n");
    EXPECT_EQ(ImapSaslFailureAnswer(TImapAuth::Plain), "*\r\n");
}

// ---- UID sets

TEST(ImapUidSet, Format_CompressesRuns)
{
    const std::pair<std::vector<std::uint32_t>, const char*> cases[] = {
        {{}, ""},
        {{7}, "7"},
        {{1, 2, 3, 4, 5, 7, 9, 10, 11, 12}, "1:5,7,9:12"},
        {{12, 9, 11, 10, 7, 5, 4, 3, 2, 1, 7, 3}, "1:5,7,9:12"},
        {{0, 2, 3}, "2:3"},
        {{4294967294u, 4294967295u, 1}, "1,4294967294:4294967295"},
        {{1, 3, 5}, "1,3,5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.second);
        EXPECT_EQ(ImapFormatUidSet(c.first), c.second);
    }
}

TEST(ImapUidSet, Parse_ReadsWhatAServerWritesAndRefusesTheRest)
{
    std::vector<TImapUidRange> ranges;
    ASSERT_TRUE(ImapParseUidSet("1:5,7,12:9", ranges));
    EXPECT_EQ(ranges, (std::vector<TImapUidRange>{{1, 5}, {7, 7}, {9, 12}}));
    EXPECT_EQ(ImapUidSetSize(ranges), 10u);
    std::vector<std::uint32_t> uids;
    ASSERT_TRUE(ImapExpandUidSet(ranges, 10, uids));
    EXPECT_EQ(uids, (std::vector<std::uint32_t>{1, 2, 3, 4, 5, 7, 9, 10, 11, 12}));
    EXPECT_FALSE(ImapExpandUidSet(ranges, 9, uids));
    EXPECT_TRUE(uids.empty());
    ASSERT_TRUE(ImapParseUidSet("1:4294967295", ranges));
    EXPECT_EQ(ImapUidSetSize(ranges), 4294967295u);
    EXPECT_FALSE(ImapExpandUidSet(ranges, 100000, uids));
    for (const char* text : {"", ",", "1,", ",1", "0", "1:0", "1:*", "*", "4294967296", "99999999999999999999",
                             "1:2:3", "a", "1 2", "-1"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(ImapParseUidSet(text, ranges));
    }
    // What is formatted reads back as the same UIDs.
    ASSERT_TRUE(ImapParseUidSet(ImapFormatUidSet({9, 1, 2, 3, 30, 31}), ranges));
    ASSERT_TRUE(ImapExpandUidSet(ranges, 100, uids));
    EXPECT_EQ(uids, (std::vector<std::uint32_t>{1, 2, 3, 9, 30, 31}));
}

// ---- mailbox names in modified UTF-7

TEST(ImapMailboxName, RoundTrip_Utf8AndModifiedUtf7)
{
    const std::pair<const char*, const char*> cases[] = {
        {"INBOX", "INBOX"},
        {"A & B", "A &- B"},
        {"&&", "&-&-"},
        {"~peter/mail/\xe5\x8f\xb0\xe5\x8c\x97/\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e",
         "~peter/mail/&U,BTFw-/&ZeVnLIqe-"},
        {"Courrier ind\xc3\xa9sirable", "Courrier ind&AOk-sirable"},
        {"\xc3\xa9t\xc3\xa9", "&AOk-t&AOk-"},
        {"Spam \xf0\x9f\x98\x80", "Spam &2D3eAA-"},
        {"\xe2\x82\xac/\xe2\x82\xac\xe2\x82\xac", "&IKw-/&IKwgrA-"},
        {"tab\there", "tab&AAk-here"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.second);
        EXPECT_EQ(ImapEncodeMailboxName(c.first), c.second);
        std::string utf8;
        ASSERT_TRUE(ImapDecodeMailboxName(c.second, utf8));
        EXPECT_EQ(utf8, c.first);
    }
    // Malformed UTF-8 goes out as U+FFFD.
    EXPECT_EQ(ImapEncodeMailboxName("a\xff"), "a&,,0-");
}

TEST(ImapMailboxName, Decode_RefusesWhatIsNotModifiedUtf7)
{
    const char* cases[] = {
        "open&AOk",       // the shift never ends
        "&AO-",           // not a whole code unit
        "&AOl-",          // padding bits that are not zero
        "&AO/p-",         // "/" belongs to plain base64, not this one
        "&2D0-",          // a high surrogate alone
        "&3gA-",          // a low surrogate alone
        "&2D3YPQ-",       // two high surrogates
        "a\tb",           // a control character sent as itself
        "\xff\xfe",       // 8-bit bytes that are not UTF-8
    };
    for (const char* wire : cases) {
        SCOPED_TRACE(wire);
        std::string utf8 = "kept";
        EXPECT_FALSE(ImapDecodeMailboxName(wire, utf8));
    }
    // A server that accepts UTF-8 sends names as UTF-8.
    std::string utf8;
    ASSERT_TRUE(ImapDecodeMailboxName("Bo\xc3\xaete", utf8));
    EXPECT_EQ(utf8, "Bo\xc3\xaete");
}
