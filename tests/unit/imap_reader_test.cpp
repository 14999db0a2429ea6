#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imap/ImapReader.h"
#include "imap_describe.h"

namespace {

using Texts = std::vector<std::string>;

Texts Whole(const std::string& stream)
{
    return ImapReadAll({stream});
}

Texts ByteByByte(const std::string& stream)
{
    std::vector<std::string> pieces;
    for (char c : stream)
        pieces.emplace_back(1, c);
    return ImapReadAll(pieces);
}

// The stream cut in two at every byte gives what it gives whole.
void ExpectSameAtEverySplit(const std::string& stream, const Texts& expected)
{
    EXPECT_EQ(Whole(stream), expected) << stream;
    EXPECT_EQ(ByteByByte(stream), expected) << stream;
    for (std::size_t cut = 1; cut < stream.size(); ++cut)
        ASSERT_EQ(ImapReadAll({stream.substr(0, cut), stream.substr(cut)}), expected) << "cut at " << cut;
}

struct TCase {
    const char* name;
    std::string stream;
    Texts expected;
};

std::string LastError(const std::string& stream)
{
    const Texts texts = Whole(stream);
    return texts.empty() ? std::string() : texts.back();
}

bool StartsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

}  // namespace

// ---- the kinds of responses

TEST(ImapReader, ResponsesOfEveryKind_ReadAlikeAtEverySplit)
{
    const TCase cases[] = {
        {"greeting with capabilities",
         "* OK [CAPABILITY IMAP4rev1 IDLE AUTH=PLAIN] Dovecot ready.\r\n",
         {"* OK [CAPABILITY IMAP4rev1 IDLE AUTH=PLAIN] Dovecot ready."}},
        {"tagged answers",
         "A0001 OK done\r\nA0002 NO [AUTHENTICATIONFAILED] Bad password\r\nA0003 BAD what?\r\n",
         {"A0001 OK done", "A0002 NO [AUTHENTICATIONFAILED] Bad password", "A0003 BAD what?"}},
        {"counts", "* 12 EXISTS\r\n* 3 EXPUNGE\r\n* 0 RECENT\r\n",
         {"* 12 EXISTS", "* 3 EXPUNGE", "* 0 RECENT"}},
        {"select answers",
         "* FLAGS (\\Answered \\Flagged \\Deleted \\Seen \\Draft)\r\n"
         "* OK [PERMANENTFLAGS (\\Deleted \\Seen \\*)] Limited\r\n"
         "* OK [UIDVALIDITY 3857529045] UIDs valid\r\n* OK [UIDNEXT 4392] Predicted next UID\r\n",
         {"* FLAGS (\\Answered \\Flagged \\Deleted \\Seen \\Draft)",
          "* OK [PERMANENTFLAGS (\\Deleted \\Seen \\*)] Limited", "* OK [UIDVALIDITY #3857529045] UIDs valid",
          "* OK [UIDNEXT #4392] Predicted next UID"}},
        {"capability data", "* CAPABILITY IMAP4rev1 LITERAL+ SASL-IR AUTH=XOAUTH2\r\n",
         {"* CAPABILITY IMAP4rev1 LITERAL+ SASL-IR AUTH=XOAUTH2"}},
        {"list answers",
         "* LIST (\\HasNoChildren \\Junk) \"/\" Junk\r\n* LIST (\\Noselect) NIL \"\"\r\n"
         "* LIST () \".\" [Gmail].Spam\r\n",
         {"* LIST (\\HasNoChildren \\Junk) \"/\" Junk", "* LIST (\\Noselect) NIL \"\"",
          "* LIST () \".\" [Gmail].Spam"}},
        {"fetch with a section",
         "* 1 FETCH (UID 41 RFC822.SIZE 2201 BODY[HEADER.FIELDS (FROM SUBJECT)] \"From: a\")\r\n",
         {"* 1 FETCH (UID #41 RFC822.SIZE #2201 BODY[HEADER.FIELDS (FROM SUBJECT)] \"From: a\")"}},
        {"continuations", "+ idling\r\n+\r\n+ \r\n+ dGVzdA==\r\n", {"+ idling", "+ ", "+ ", "+ dGVzdA=="}},
        {"bye", "* BYE Autologout; idle for too long\r\n", {"* BYE Autologout; idle for too long"}},
        {"preauth", "* PREAUTH [CAPABILITY IMAP4rev1] Logged in\r\n", {"* PREAUTH [CAPABILITY IMAP4rev1] Logged in"}},
        {"names in any case", "* 2 exists\r\na1 ok [uidnext 5] fine\r\n", {"* 2 EXISTS", "a1 OK [UIDNEXT #5] fine"}},
        {"a code with free text", "* NO [WEBALERT https://x.example/?a=\"b] Sign in\r\n",
         {"* NO [WEBALERT https://x.example/?a=\"b] Sign in"}},
        {"copyuid", "A5 OK [COPYUID 38505 304,319:320 3956:3958] Done\r\n",
         {"A5 OK [COPYUID #38505 304,319:320 3956:3958] Done"}},
        {"bare LF ends a line too", "* 4 EXISTS\nA1 OK\n", {"* 4 EXISTS", "A1 OK "}},
        {"doubled spaces", "*  5  EXISTS\r\n* SEARCH  1  2\r\n", {"* 5 EXISTS", "* SEARCH #1 #2"}},
        {"search and extensions", "* SEARCH 2 84 882\r\n* ESEARCH (TAG \"A2\") UID ALL 1:3,5\r\n",
         {"* SEARCH #2 #84 #882", "* ESEARCH (TAG \"A2\") UID ALL 1:3,5"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectSameAtEverySplit(c.stream, c.expected);
    }
}

TEST(ImapReader, PartialResponse_WaitsForItsEndAndHoldsItsBytes)
{
    TImapReader reader;
    TImapResponse response;
    reader.Feed("* 1 FETCH (BODY[] {5}\r\nab");
    EXPECT_FALSE(reader.Next(response));
    EXPECT_GT(reader.Held(), 0u);
    reader.Feed("cde)\r");
    EXPECT_FALSE(reader.Next(response));
    reader.Feed("\n");
    ASSERT_TRUE(reader.Next(response));
    EXPECT_EQ(ImapDescribe(response), "* 1 FETCH (BODY[] {5}\"abcde\")");
    EXPECT_EQ(reader.Held(), 0u);
}

// ---- literals, quoted strings, NIL, lists

TEST(ImapReader, LiteralsInEveryPosition_ReadAlikeAtEverySplit)
{
    const TCase cases[] = {
        {"header as a literal with CR LF, parentheses and braces inside",
         "* 7 FETCH (UID 9 BODY[HEADER.FIELDS (FROM)] {23}\r\nFrom: a (x) {3}\r\n\"q\r\n\r\n)\r\n",
         {"* 7 FETCH (UID #9 BODY[HEADER.FIELDS (FROM)] {23}\"From: a (x) {3}\\r\\n\"q\\r\\n\\r\\n\")"}},
        {"literal first in a list", "* 1 FETCH ({3}\r\nUID 5)\r\n", {"* 1 FETCH ({3}\"UID\" #5)"}},
        {"literal as a mailbox name", "* LIST () \"/\" {7}\r\nSp m\"\\x\r\n", {"* LIST () \"/\" {7}\"Sp m\"\\x\""}},
        {"literal as the delimiter", "* LIST () {1}\r\n/ INBOX\r\n", {"* LIST () {1}\"/\" INBOX"}},
        {"literal in a response code", "* OK [BADCHARSET ({5}\r\nUTF-8)] no\r\n",
         {"* OK [BADCHARSET ({5}\"UTF-8\")] no"}},
        {"literal inside a section", "* 1 FETCH (BODY[HEADER.FIELDS ({4}\r\nFROM SUBJECT)] NIL)\r\n",
         {"* 1 FETCH (BODY[HEADER.FIELDS (FROM SUBJECT)] NIL)"}},
        {"two literals and an empty one", "* 2 FETCH (A {2}\r\nxy B {0}\r\n C {1}\r\nz)\r\n",
         {"* 2 FETCH (A {2}\"xy\" B {0}\"\" C {1}\"z\")"}},
        {"literal as the last value", "* SEARCH {2}\r\n12\r\n", {"* SEARCH {2}\"12\""}},
        {"non-synchronising and binary literals", "* 1 FETCH (X {2+}\r\nab BINARY[1] ~{3}\r\n\3\1\2)\r\n",
         {"* 1 FETCH (X {2}\"ab\" BINARY[1] {3}\"\3\1\2\")"}},
        {"literal in nested lists", "* 3 FETCH (X ((a {1}\r\nb) c))\r\n", {"* 3 FETCH (X ((a {1}\"b\") c))"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectSameAtEverySplit(c.stream, c.expected);
    }
}

TEST(ImapReader, BracesEndingTheTextOfAStatus_AreText)
{
    const TCase cases[] = {
        {"tagged", "A1 NO Message larger than {3}\r\n* 1 EXISTS\r\n",
         {"A1 NO Message larger than {3}", "* 1 EXISTS"}},
        {"untagged with a closed code", "* OK [ALERT] see {12}\r\n* BYE x {0}\r\n",
         {"* OK [ALERT] see {12}", "* BYE x {0}"}},
        {"a continuation", "+ {4}\r\n* 2 EXISTS\r\n", {"+ {4}", "* 2 EXISTS"}},
        {"data is no status", "* 5 OK {3}\r\nabc\r\n", {"* 5 OK {3}\"abc\""}},
        {"an open code takes its literal",
         "A2 NO [BADCHARSET ({5}\r\nUTF-8 {3}\r\nx]y)] No {2}\r\n* 3 EXISTS\r\n",
         {"A2 NO [BADCHARSET ({5}\"UTF-8\" {3}\"x]y\")] No {2}", "* 3 EXISTS"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectSameAtEverySplit(c.stream, c.expected);
    }
}

TEST(ImapReader, LiteralWithZeroBytes_KeepsThem)
{
    const char stream[] = "* 1 FETCH (BODY[HEADER] {4}\r\na\0\r\0)\r\n";
    const char expected[] = "* 1 FETCH (BODY[HEADER] {4}\"a\0\\r\0\")";
    ExpectSameAtEverySplit(std::string(stream, sizeof stream - 1), {std::string(expected, sizeof expected - 1)});
}

TEST(ImapReader, QuotedStrings_KeepTheirEscapedBytes)
{
    const TCase cases[] = {
        {"escaped quote", "* LIST () \"/\" \"a\\\"b\"\r\n", {"* LIST () \"/\" \"a\"b\""}},
        {"escaped backslash", "* LIST () \"\\\\\" \"c:\\\\x\"\r\n", {"* LIST () \"\\\" \"c:\\x\""}},
        {"empty", "* LIST () \"\" \"\"\r\n", {"* LIST () \"\" \"\""}},
        {"spaces and brackets", "* X \"a ( ) [ ] { } b\"\r\n", {"* X \"a ( ) [ ] { } b\""}},
        {"8-bit", "* LIST () \"/\" \"Bo\xc3\xaete\"\r\n", {"* LIST () \"/\" \"Bo\xc3\xaete\""}},
        {"a backslash before another byte keeps it", "* X \"a\\b\"\r\n", {"* X \"ab\""}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectSameAtEverySplit(c.stream, c.expected);
    }
}

TEST(ImapReader, NilNumbersAndNestedLists_AreTold)
{
    ExpectSameAtEverySplit("* 1 FETCH (ENVELOPE (NIL nil \"s\" ((NIL NIL \"a\" \"b.c\")) ()) X 0042)\r\n",
                           {"* 1 FETCH (ENVELOPE (NIL NIL \"s\" ((NIL NIL \"a\" \"b.c\")) ()) X #42)"});
}

// ---- BYE and untagged data anywhere

TEST(ImapReader, ByeAndUntaggedData_BetweenAnyResponses)
{
    const std::string fetch = "* 1 FETCH (UID 5 BODY[HEADER.FIELDS (FROM)] {9}\r\nFrom: x\r\n)\r\n";
    const std::string bye = "* BYE shutting down\r\n";
    const std::string exists = "* 1000000000 EXISTS\r\n";
    const std::string done = "A0007 OK done\r\n";
    const Texts expectedFetch = {"* 1 FETCH (UID #5 BODY[HEADER.FIELDS (FROM)] {9}\"From: x\\r\\n\")"};
    const std::vector<std::pair<std::string, std::string>> inserts = {{bye, "* BYE shutting down"},
                                                                      {exists, "* 1000000000 EXISTS"}};
    for (const auto& insert : inserts) {
        for (int at = 0; at < 3; ++at) {
            std::vector<std::string> parts = {fetch, fetch, done};
            parts.insert(parts.begin() + at, insert.first);
            std::string stream;
            Texts expected;
            for (const std::string& part : parts) {
                stream += part;
                expected.push_back(part == fetch ? expectedFetch[0]
                                   : part == done ? "A0007 OK done"
                                                  : insert.second);
            }
            SCOPED_TRACE(stream);
            ExpectSameAtEverySplit(stream, expected);
        }
    }
}

// ---- limits

TEST(ImapReader, LineAtTheLimit_IsReadAndOneByteMoreStopsTheReader)
{
    const std::string head = "* X ";
    const std::string atLimit = head + std::string(TImapReader::MaxLineLength - head.size(), 'a');
    EXPECT_EQ(Whole(atLimit + "\r\n").size(), 1u);
    EXPECT_EQ(ByteByByte(atLimit + "\r\n").size(), 1u);
    const Texts over = Whole(atLimit + "a\r\n");
    ASSERT_EQ(over.size(), 1u);
    EXPECT_EQ(over[0], "error: a response line longer than 65536 bytes");

    // Without its line end the reader stops as soon as the line is too
    // long, holding no more than the limit.
    TImapReader reader;
    EXPECT_TRUE(reader.Feed(atLimit));
    EXPECT_FALSE(reader.Feed("aa"));
    EXPECT_EQ(reader.Error(), TImapReadError::TooLarge);
    EXPECT_EQ(reader.Held(), 0u);
    EXPECT_FALSE(reader.Feed("\r\n* 1 EXISTS\r\n"));
    TImapResponse response;
    EXPECT_FALSE(reader.Next(response));
}

TEST(ImapReader, LiteralBeyondTheLimit_StopsTheReaderAtItsAnnouncement)
{
    const std::size_t limit = TImapReader::MaxLiteralSize;
    const TCase cases[] = {
        {"one byte over", "* 1 FETCH (BODY[HEADER] {" + std::to_string(limit + 1) + "}\r\n",
         {"error: a literal larger than 4194304 bytes"}},
        {"no number at all", "* 1 FETCH (BODY[HEADER] {99999999999999999999999999}\r\n",
         {"error: a literal larger than 4194304 bytes"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Whole(c.stream), c.expected);
    }
    // At the limit it is read.
    const std::string literal(limit, 'h');
    const Texts read = Whole("* 1 FETCH (BODY[HEADER] {" + std::to_string(limit) + "}\r\n" + literal + ")\r\n");
    EXPECT_EQ(read, (Texts{"* 1 FETCH (BODY[HEADER] {" + std::to_string(limit) + "}\"" + literal + "\")"}));
}

TEST(ImapReader, ResponseBeyondTheLimit_StopsTheReader)
{
    const std::size_t half = TImapReader::MaxLiteralSize;
    const std::string first = "* 1 FETCH (A {" + std::to_string(half) + "}\r\n" + std::string(half, 'x');
    EXPECT_EQ(Whole(first + " B {" + std::to_string(half) + "}\r\n"),
              (Texts{"error: a response larger than 8388608 bytes"}));
}

TEST(ImapReader, TooManyValuesOrListsTooDeep_StopTheReader)
{
    std::string many = "* SEARCH";
    for (std::size_t i = 0; i <= TImapReader::MaxValues / 10000; ++i) {
        many += " {0}\r\n";
        for (int j = 0; j < 10000; ++j)
            many += " 1";
    }
    EXPECT_EQ(LastError(many + "\r\n"), "error: more than 100000 values in \"* SEARCH {0}\"");

    const std::string deep = "* X " + std::string(TImapReader::MaxDepth + 1, '(') +
                             std::string(TImapReader::MaxDepth + 1, ')') + "\r\n";
    EXPECT_TRUE(StartsWith(LastError(deep), "error: lists nested too deep")) << LastError(deep);
    const std::string deepest = "* X " + std::string(TImapReader::MaxDepth, '(') +
                                std::string(TImapReader::MaxDepth, ')') + "\r\n";
    EXPECT_EQ(Whole(deepest).size(), 1u);
}

// ---- numbers

TEST(ImapReader, Numbers_ReadInTheirRangeAndRefusedBeyond)
{
    EXPECT_EQ(Whole("* 4294967295 EXISTS\r\n"), (Texts{"* 4294967295 EXISTS"}));
    EXPECT_EQ(Whole("* 1 FETCH (RFC822.SIZE 9223372036854775807)\r\n"),
              (Texts{"* 1 FETCH (RFC822.SIZE #9223372036854775807)"}));
    // Beyond 63 bits it stays an atom, for the model to refuse.
    EXPECT_EQ(Whole("* 1 FETCH (RFC822.SIZE 9223372036854775808)\r\n"),
              (Texts{"* 1 FETCH (RFC822.SIZE 9223372036854775808)"}));
    for (const char* stream : {"* 4294967296 EXISTS\r\n", "* 99999999999999999999 EXISTS\r\n"}) {
        SCOPED_TRACE(stream);
        EXPECT_TRUE(StartsWith(LastError(stream), "error: a message number too large")) << LastError(stream);
    }
}

// ---- malformed responses

TEST(ImapReader, MalformedResponses_StopTheReaderWithTheirReason)
{
    const std::pair<std::string, std::string> cases[] = {
        {"* X (a b\r\n", "an unbalanced parenthesis"},
        {"* X a)\r\n", "an unexpected ')'"},
        {"* X \"open\r\n", "an unterminated quoted string"},
        {"* X \"open\\\r\n", "an unterminated quoted string"},
        {"*\r\n", "no space after '*'"},
        {"* \r\n", "untagged data without its name"},
        {"* 5\r\n", "untagged data without its name"},
        {"A1 MAYBE fine\r\n", "a tagged response without OK, NO or BAD"},
        {"A1\r\n", "a tagged response without OK, NO or BAD"},
        {" OK\r\n", "a response without a tag"},
        {"\r\n", "a response without a tag"},
        {std::string("* X a\0b\r\n", 9), "a zero byte in a response line"},
        {"* X {3}x\r\n", "a literal announced in the middle of a line"},
        {"* X {}\r\n", "a literal announced in the middle of a line"},
        {"* OK [ALERT text\r\n", "an unclosed response code"},
        {"* OK [] text\r\n", "an empty response code"},
        {"* 1 FETCH (BODY[HEADER x\r\n", "an unclosed bracket"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        const Texts texts = Whole("* 1 EXISTS\r\n" + c.first + "* 2 EXISTS\r\n");
        ASSERT_EQ(texts.size(), 2u);
        EXPECT_EQ(texts[0], "* 1 EXISTS");
        EXPECT_TRUE(StartsWith(texts[1], "error: " + c.second)) << texts[1];
        EXPECT_EQ(ByteByByte("* 1 EXISTS\r\n" + c.first + "* 2 EXISTS\r\n"), texts);
    }
}

TEST(ImapReader, AfterAnError_ClearStartsAfresh)
{
    TImapReader reader;
    EXPECT_FALSE(reader.Feed("* X (\r\n"));
    EXPECT_EQ(reader.Error(), TImapReadError::Malformed);
    reader.Clear();
    EXPECT_FALSE(reader.Failed());
    EXPECT_TRUE(reader.Feed("* 3 EXISTS\r\n"));
    TImapResponse response;
    ASSERT_TRUE(reader.Next(response));
    EXPECT_EQ(ImapDescribe(response), "* 3 EXISTS");
}
