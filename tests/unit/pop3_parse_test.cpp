#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "net/Pop3Header.h"
#include "net/Pop3LineBuffer.h"
#include "net/Pop3Parse.h"

namespace {

std::vector<std::string> LinesOf(const std::string& stream)
{
    TPop3LineBuffer buffer;
    std::vector<std::string> lines;
    Pop3FeedLines(buffer, stream, lines);
    return lines;
}

std::vector<std::string> LinesByteByByte(const std::string& stream, TPop3LineBuffer& buffer)
{
    std::vector<std::string> lines;
    for (char c : stream)
        Pop3FeedLines(buffer, std::string(1, c), lines);
    return lines;
}

using Lines = std::vector<std::string>;

}  // namespace

// ---- line buffer

TEST(Pop3LineBuffer, CrLfEndsEachLine)
{
    EXPECT_EQ(LinesOf("+OK ready\r\n+OK 2 320\r\n"), (Lines{"+OK ready", "+OK 2 320"}));
}

TEST(Pop3LineBuffer, PartialLineWaitsForItsCrLf)
{
    TPop3LineBuffer buffer;
    Lines lines;
    Pop3FeedLines(buffer, "+OK wai", lines);
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(buffer.Size(), 7u);
    Pop3FeedLines(buffer, "ting\r", lines);
    EXPECT_TRUE(lines.empty());
    Pop3FeedLines(buffer, "\n+OK", lines);
    EXPECT_EQ(lines, (Lines{"+OK waiting"}));
    EXPECT_EQ(buffer.Size(), 3u);
}

TEST(Pop3LineBuffer, ByteByByte_SameLinesAsOneChunk)
{
    const std::string stream = "+OK\r\n1 120\r\n2 4\r\n..stuffed\r\n\r\n.\r\n";
    TPop3LineBuffer buffer;
    EXPECT_EQ(LinesByteByByte(stream, buffer), LinesOf(stream));
    EXPECT_TRUE(buffer.Empty());
}

TEST(Pop3LineBuffer, EmptyLinesAreDelivered)
{
    EXPECT_EQ(LinesOf("\r\n\r\nx\r\n"), (Lines{"", "", "x"}));
}

TEST(Pop3LineBuffer, LfAloneDoesNotEndALine)
{
    TPop3LineBuffer buffer;
    Lines lines;
    Pop3FeedLines(buffer, "one\ntwo\n", lines);
    EXPECT_TRUE(lines.empty());
    Pop3FeedLines(buffer, "three\r\n", lines);
    EXPECT_EQ(lines, (Lines{"one\ntwo\nthree"}));
}

TEST(Pop3LineBuffer, CrAloneStaysInTheLine)
{
    EXPECT_EQ(LinesOf("a\rb\r\r\n"), (Lines{"a\rb\r"}));
}

TEST(Pop3LineBuffer, ZeroByteEndsTheTextOfItsLine)
{
    EXPECT_EQ(LinesOf(std::string("+OK a\0b\r\nnext\r\n", 15)), (Lines{"+OK a", "next"}));
    EXPECT_EQ(LinesOf(std::string("\0\r\n", 3)), (Lines{""}));
}

TEST(Pop3LineBuffer, FiveThousandByteLine_DeliveredAs4093Then907)
{
    const std::string longLine(5000, 'x');
    const Lines lines = LinesOf(longLine + "\r\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(4093, 'x'));
    EXPECT_EQ(lines[1], std::string(907, 'x'));
}

TEST(Pop3LineBuffer, FiveThousandByteLineByteByByte_SameCut)
{
    TPop3LineBuffer buffer;
    const Lines lines = LinesByteByByte(std::string(5000, 'y') + "\r\n", buffer);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 4093u);
    EXPECT_EQ(lines[1].size(), 907u);
}

TEST(Pop3LineBuffer, LineOfExactly4093Bytes_IsOneLine)
{
    const Lines lines = LinesOf(std::string(4093, 'z') + "\r\nafter\r\n");
    // The buffer is full when the CR arrives: the line end is forced first, so
    // the real CR LF then ends an empty line.
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], std::string(4093, 'z'));
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "after");
}

TEST(Pop3LineBuffer, LineOf4092Bytes_KeepsItsOwnLineEnd)
{
    const Lines lines = LinesOf(std::string(4092, 'z') + "\r\nafter\r\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 4092u);
    EXPECT_EQ(lines[1], "after");
}

TEST(Pop3LineBuffer, VeryLongLine_NeverDeliversMoreThanTheLimit)
{
    const Lines lines = LinesOf(std::string(20000, 'q') + "\r\n");
    std::size_t total = 0;
    for (const std::string& line : lines) {
        EXPECT_LE(line.size(), TPop3LineBuffer::MaxLineLength);
        total += line.size();
    }
    EXPECT_EQ(total, 20000u);
    EXPECT_EQ(lines.size(), 5u);  // 4 x 4093 + 3628
}

TEST(Pop3LineBuffer, FullBufferWithoutMoreData_HoldsTheLineBack)
{
    TPop3LineBuffer buffer;
    Lines lines;
    Pop3FeedLines(buffer, std::string(4093, 'f'), lines);
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(buffer.FreeSpace(), 0u);
    Pop3FeedLines(buffer, "g\r\n", lines);
    EXPECT_EQ(lines, (Lines{std::string(4093, 'f'), "g"}));
}

TEST(Pop3LineBuffer, ReadFrom_OffersOnlyTheFreeSpace)
{
    TPop3LineBuffer buffer;
    ASSERT_EQ(buffer.Append("abc", 3), 3u);
    int offered = -1;
    EXPECT_TRUE(buffer.ReadFrom([&](char* dest, int size) {
        offered = size;
        dest[0] = '\r';
        dest[1] = '\n';
        return 2;
    }));
    EXPECT_EQ(offered, 4090);
    std::string line;
    ASSERT_TRUE(buffer.ExtractLine(line));
    EXPECT_EQ(line, "abc");
}

TEST(Pop3LineBuffer, ReadFrom_FailedReadKeepsTheBuffer)
{
    TPop3LineBuffer buffer;
    buffer.Append("ab", 2);
    EXPECT_FALSE(buffer.ReadFrom([](char*, int) { return 0; }));
    EXPECT_FALSE(buffer.ReadFrom([](char*, int) { return -1; }));
    EXPECT_EQ(buffer.Size(), 2u);
}

TEST(Pop3LineBuffer, ReadFrom_ReaderClaimingTooMuch_CannotOverrunTheBuffer)
{
    TPop3LineBuffer buffer;
    buffer.Append("ab", 2);
    EXPECT_TRUE(buffer.ReadFrom([](char* dest, int size) {
        for (int i = 0; i < size; ++i)
            dest[i] = 'x';
        return size + 100;
    }));
    EXPECT_EQ(buffer.Size(), TPop3LineBuffer::MaxLineLength);
    EXPECT_EQ(buffer.FreeSpace(), 0u);
}

TEST(Pop3LineBuffer, ReadFrom_WhenFullForcesLineEndWithoutReading)
{
    TPop3LineBuffer buffer;
    buffer.Append(std::string(5000, 'a').data(), 5000);
    bool called = false;
    EXPECT_TRUE(buffer.ReadFrom([&](char*, int) {
        called = true;
        return 1;
    }));
    EXPECT_FALSE(called);
    std::string line;
    ASSERT_TRUE(buffer.ExtractLine(line));
    EXPECT_EQ(line.size(), 4093u);
    EXPECT_TRUE(buffer.Empty());
}

TEST(Pop3LineBuffer, AppendStopsAtTheLimit)
{
    TPop3LineBuffer buffer;
    const std::string big(5000, 'b');
    EXPECT_EQ(buffer.Append(big.data(), big.size()), 4093u);
    EXPECT_EQ(buffer.Append(big.data(), big.size()), 0u);
}

TEST(Pop3LineBuffer, ForceLineEndTwice_AddsOnlyOneLineEnd)
{
    TPop3LineBuffer buffer;
    buffer.Append(std::string(4093, 'c').data(), 4093);
    buffer.ForceLineEnd();
    buffer.ForceLineEnd();
    EXPECT_EQ(buffer.Size(), 4095u);
    std::string line;
    ASSERT_TRUE(buffer.ExtractLine(line));
    EXPECT_FALSE(buffer.ExtractLine(line));
}

TEST(Pop3LineBuffer, ForceLineEndOnPartlyFilledBuffer_DoesNothing)
{
    TPop3LineBuffer buffer;
    buffer.Append("partial", 7);
    buffer.ForceLineEnd();
    std::string line = "unchanged";
    EXPECT_FALSE(buffer.ExtractLine(line));
    EXPECT_EQ(line, "unchanged");
}

TEST(Pop3LineBuffer, ClearDropsEverything)
{
    TPop3LineBuffer buffer;
    buffer.Append("x\r\ny", 4);
    buffer.Clear();
    std::string line;
    EXPECT_FALSE(buffer.ExtractLine(line));
    EXPECT_EQ(buffer.FreeSpace(), TPop3LineBuffer::MaxLineLength);
}

// ---- reply status

TEST(Pop3ReplyStatus, PlusIsPositiveWhateverFollows)
{
    EXPECT_EQ(Pop3ReplyStatus("+OK"), 0);
    EXPECT_EQ(Pop3ReplyStatus("+OK 2 320"), 0);
    EXPECT_EQ(Pop3ReplyStatus("+"), 0);
    EXPECT_EQ(Pop3ReplyStatus("+okay"), 0);
    EXPECT_TRUE(Pop3IsPositiveReply("+OK POP3 server ready <1.2@host>"));
}

TEST(Pop3ReplyStatus, AnythingElseIs500)
{
    EXPECT_EQ(Pop3ReplyStatus("-ERR no such message"), 500);
    EXPECT_EQ(Pop3ReplyStatus(""), 500);
    EXPECT_EQ(Pop3ReplyStatus(" +OK"), 500);
    EXPECT_EQ(Pop3ReplyStatus("OK"), 500);
    EXPECT_FALSE(Pop3IsPositiveReply("* OK IMAP"));
}

// ---- numbers

TEST(Pop3ParseTwoNumbers, StatReplyGivesCountAndSize)
{
    int count = -1, size = -1;
    Pop3ParseTwoNumbers("+OK 2 320", count, size);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(size, 320);
}

TEST(Pop3ParseTwoNumbers, ListLineWithTabsAndTrailingText)
{
    int number = -1, size = -1;
    Pop3ParseTwoNumbers("12\t\t4711 octets", number, size);
    EXPECT_EQ(number, 12);
    EXPECT_EQ(size, 4711);
}

TEST(Pop3ParseTwoNumbers, ListNAnsweredWithOneNumber_BothZero)
{
    int number = -1, size = -1;
    Pop3ParseTwoNumbers("+OK 3", number, size);
    EXPECT_EQ(number, 0);
    EXPECT_EQ(size, 0);
    number = size = -1;
    Pop3ParseTwoNumbers("+OK 3   ", number, size);
    EXPECT_EQ(number, 0);
    EXPECT_EQ(size, 0);
}

TEST(Pop3ParseTwoNumbers, NoDigit_BothZero)
{
    int number = -1, size = -1;
    Pop3ParseTwoNumbers("+OK", number, size);
    EXPECT_EQ(number, 0);
    EXPECT_EQ(size, 0);
    number = size = -1;
    Pop3ParseTwoNumbers("", number, size);
    EXPECT_EQ(number, 0);
    EXPECT_EQ(size, 0);
}

TEST(Pop3ParseTwoNumbers, NonDigitAfterFirstNumber_SecondIsZero)
{
    int number = -1, size = -1;
    Pop3ParseTwoNumbers("+OK 3 many", number, size);
    EXPECT_EQ(number, 3);
    EXPECT_EQ(size, 0);
}

TEST(Pop3ParseTwoNumbers, SignsAreNotNumbers)
{
    int number = -1, size = -1;
    Pop3ParseTwoNumbers("+OK -5 -7", number, size);
    EXPECT_EQ(number, 5);
    EXPECT_EQ(size, 0);
}

TEST(Pop3ParseTwoNumbers, HugeNumbersStopAtIntMaxInsteadOfWrapping)
{
    int number = -1, size = -1;
    Pop3ParseTwoNumbers("+OK 4294967297 99999999999999999999", number, size);
    EXPECT_EQ(number, INT_MAX);
    EXPECT_EQ(size, INT_MAX);
    Pop3ParseTwoNumbers("1 2147483647", number, size);
    EXPECT_EQ(size, INT_MAX);
    Pop3ParseTwoNumbers("1 2147483648", number, size);
    EXPECT_EQ(size, INT_MAX);
}

TEST(Pop3ParseNumberAndId, UidlReplyGivesNumberAndIdentifier)
{
    int number = -1;
    std::string id = "old";
    Pop3ParseNumberAndId("+OK 2 QhdPYR:00WBw1Ph7x7", number, id);
    EXPECT_EQ(number, 2);
    EXPECT_EQ(id, "QhdPYR:00WBw1Ph7x7");
}

TEST(Pop3ParseNumberAndId, IdentifierStopsAtNonPrintable)
{
    int number = -1;
    std::string id;
    Pop3ParseNumberAndId("7   abc def", number, id);
    EXPECT_EQ(number, 7);
    EXPECT_EQ(id, "abc");
    Pop3ParseNumberAndId("7 abc\tdef", number, id);
    EXPECT_EQ(id, "abc");
    Pop3ParseNumberAndId("7 ab\xE9x", number, id);
    EXPECT_EQ(id, "ab");
}

TEST(Pop3ParseNumberAndId, OnlySpacesAreSkippedBeforeIdentifier)
{
    int number = -1;
    std::string id = "old";
    Pop3ParseNumberAndId("7\tabc", number, id);
    EXPECT_EQ(number, 7);
    EXPECT_EQ(id, "");
}

TEST(Pop3ParseNumberAndId, NoDigit_ZeroAndEmpty)
{
    int number = -1;
    std::string id = "old";
    Pop3ParseNumberAndId("+OK abc", number, id);
    EXPECT_EQ(number, 0);
    EXPECT_EQ(id, "");
}

TEST(Pop3ParseNumberAndId, NumberAlone_EmptyIdentifier)
{
    int number = -1;
    std::string id = "old";
    Pop3ParseNumberAndId("+OK 4", number, id);
    EXPECT_EQ(number, 4);
    EXPECT_EQ(id, "");
}

TEST(Pop3ParseLastNumber, OneNumberOfLastReply)
{
    EXPECT_EQ(Pop3ParseLastNumber("+OK 5"), 5);
    EXPECT_EQ(Pop3ParseLastNumber("+OK 0"), 0);
    EXPECT_EQ(Pop3ParseLastNumber("+OK"), 0);
    EXPECT_EQ(Pop3ParseLastNumber("+OK 99999999999"), INT_MAX);
}

// ---- APOP timestamp

TEST(Pop3ExtractTimestamp, AngleBracketedPartWithBothBrackets)
{
    EXPECT_EQ(Pop3ExtractTimestamp("+OK ready <1896.697170952.dbc>"), "<1896.697170952.dbc>");
    EXPECT_EQ(Pop3ExtractTimestamp("+OK POP3 server ready <1896.697170952@dbc.mtview.ca.us> now"),
              "<1896.697170952@dbc.mtview.ca.us>");
}

TEST(Pop3ExtractTimestamp, NoBracketsOrOnlyOne_Empty)
{
    EXPECT_EQ(Pop3ExtractTimestamp("+OK ready"), "");
    EXPECT_EQ(Pop3ExtractTimestamp("+OK ready <unclosed"), "");
    EXPECT_EQ(Pop3ExtractTimestamp("+OK > before <"), "");
    EXPECT_EQ(Pop3ExtractTimestamp(""), "");
}

TEST(Pop3ExtractTimestamp, FirstOpenToFirstCloseAfterIt)
{
    EXPECT_EQ(Pop3ExtractTimestamp("+OK > <a<b> <c>"), "<a<b>");
    EXPECT_EQ(Pop3ExtractTimestamp("+OK <>"), "<>");
}

// ---- multi-line bodies

TEST(Pop3Body, OneDotAloneEndsTheBody)
{
    EXPECT_TRUE(Pop3IsBodyEnd("."));
    EXPECT_FALSE(Pop3IsBodyEnd(".."));
    EXPECT_FALSE(Pop3IsBodyEnd(". "));
    EXPECT_FALSE(Pop3IsBodyEnd(".text"));
    EXPECT_FALSE(Pop3IsBodyEnd(""));
}

TEST(Pop3Body, TwoLeadingDotsLoseOne)
{
    EXPECT_EQ(Pop3UnstuffLine(".."), ".");
    EXPECT_EQ(Pop3UnstuffLine("..text"), ".text");
    EXPECT_EQ(Pop3UnstuffLine("...x"), "..x");
}

TEST(Pop3Body, OtherLinesAreUnchanged)
{
    EXPECT_EQ(Pop3UnstuffLine(".text"), ".text");
    EXPECT_EQ(Pop3UnstuffLine("."), ".");
    EXPECT_EQ(Pop3UnstuffLine(""), "");
    EXPECT_EQ(Pop3UnstuffLine("a..b"), "a..b");
}

TEST(Pop3Body, StreamThroughBufferAndUnstuffing_GivesOriginalLines)
{
    const Lines lines = LinesOf("+OK 120 octets\r\nSubject: x\r\n\r\n..hidden dot\r\n.plain\r\n.\r\n+OK next\r\n");
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_TRUE(Pop3IsPositiveReply(lines[0]));
    Lines body;
    std::size_t i = 1;
    for (; i < lines.size() && !Pop3IsBodyEnd(lines[i]); ++i)
        body.push_back(Pop3UnstuffLine(lines[i]));
    EXPECT_EQ(body, (Lines{"Subject: x", "", ".hidden dot", ".plain"}));
    EXPECT_EQ(lines[i + 1], "+OK next");
}

// ---- header lines

TEST(Pop3Header, SubjectKeepsLeadingBlank)
{
    TPop3Header header;
    header.Start();
    header.ProcessLine("Subject: Hello");
    EXPECT_EQ(header.MsgSubject, " Hello");
    EXPECT_EQ(header.HeaderKeyword, "subject");
    EXPECT_EQ(header.HeaderData, " Hello");
}

TEST(Pop3Header, NameInCapitalsWithoutBlank)
{
    TPop3Header header;
    header.Start();
    header.ProcessLine("SUBJECT:Hi");
    EXPECT_EQ(header.MsgSubject, "Hi");
}

TEST(Pop3Header, EveryExtractedField)
{
    TPop3Header header;
    header.Start();
    header.ProcessLine("From: Ann <ann@example.com>");
    header.ProcessLine("To: bob@example.com");
    header.ProcessLine("Date: Mon, 7 Dec 2026 10:00:00 +0100");
    header.ProcessLine("Message-ID: <42@example.com>");
    header.ProcessLine("Reply-To: list@example.com");
    header.ProcessLine("Return-Path: <bounce@example.com>");
    header.ProcessLine("Subject: s");
    EXPECT_EQ(header.MsgFrom, " Ann <ann@example.com>");
    EXPECT_EQ(header.MsgTo, " bob@example.com");
    EXPECT_EQ(header.MsgDate, " Mon, 7 Dec 2026 10:00:00 +0100");
    EXPECT_EQ(header.MsgMessageId, " <42@example.com>");
    EXPECT_EQ(header.MsgReplyTo, " list@example.com");
    EXPECT_EQ(header.MsgReturnPath, " <bounce@example.com>");
    EXPECT_EQ(header.MsgSubject, " s");
}

TEST(Pop3Header, OtherNamesSetOnlyKeywordAndData)
{
    TPop3Header header;
    header.Start();
    header.ProcessLine("X-Mailer: test");
    header.ProcessLine("Cc: carol@example.com");
    EXPECT_EQ(header.HeaderKeyword, "cc");
    EXPECT_EQ(header.HeaderData, " carol@example.com");
    EXPECT_EQ(header.MsgFrom, "");
    EXPECT_EQ(header.MsgTo, "");
    EXPECT_EQ(header.MsgSubject, "");
}

TEST(Pop3Header, NameIsTrimmedAndCutAtFirstColon)
{
    TPop3Header header;
    header.Start();
    header.ProcessLine("  To \t: a:b:c");
    EXPECT_EQ(header.HeaderKeyword, "to");
    EXPECT_EQ(header.MsgTo, " a:b:c");
}

TEST(Pop3Header, LaterLineReplacesValue)
{
    TPop3Header header;
    header.Start();
    header.ProcessLine("Subject: first");
    header.ProcessLine("subject: second");
    EXPECT_EQ(header.MsgSubject, " second");
}

TEST(Pop3Header, TabContinuationIsSkipped_SpaceContinuationIsOwnLine)
{
    TPop3Header header;
    header.Start();
    header.ProcessLine("Subject: first part");
    header.ProcessLine("\tsecond part: tab");
    EXPECT_EQ(header.MsgSubject, " first part");
    EXPECT_EQ(header.HeaderKeyword, "subject");
    header.ProcessLine(" continued: with space");
    EXPECT_EQ(header.HeaderKeyword, "continued");
    EXPECT_EQ(header.HeaderData, " with space");
    EXPECT_EQ(header.MsgSubject, " first part");
}

TEST(Pop3Header, LineWithoutColonChangesNothing)
{
    TPop3Header header;
    header.Start();
    header.ProcessLine("From: a");
    header.ProcessLine("no colon here");
    EXPECT_EQ(header.HeaderKeyword, "from");
    EXPECT_EQ(header.HeaderData, " a");
}

TEST(Pop3Header, EmptyLineEndsHeaderOnce_LaterLinesIgnored)
{
    TPop3Header header;
    header.Start();
    EXPECT_FALSE(header.ProcessLine("From: a"));
    EXPECT_TRUE(header.ProcessLine(""));
    EXPECT_FALSE(header.InHeaderPart);
    EXPECT_FALSE(header.ProcessLine("From: body text"));
    EXPECT_FALSE(header.ProcessLine(""));
    EXPECT_EQ(header.MsgFrom, " a");
}

TEST(Pop3Header, NotStarted_IgnoresEverything)
{
    TPop3Header header;
    EXPECT_FALSE(header.ProcessLine("From: a"));
    EXPECT_FALSE(header.ProcessLine(""));
    EXPECT_EQ(header.MsgFrom, "");
}

TEST(Pop3Header, StartEmptiesPreviousMessage)
{
    TPop3Header header;
    header.Start();
    header.ProcessLine("From: a");
    header.ProcessLine("Subject: b");
    header.ProcessLine("");
    header.Start();
    EXPECT_TRUE(header.InHeaderPart);
    EXPECT_EQ(header.MsgFrom, "");
    EXPECT_EQ(header.MsgSubject, "");
    EXPECT_EQ(header.HeaderKeyword, "");
    EXPECT_EQ(header.HeaderData, "");
}

TEST(Pop3Header, ValueKeepsAtMost10000Characters)
{
    TPop3Header header;
    header.Start();
    header.ProcessLine("Subject:" + std::string(12000, 's'));
    EXPECT_EQ(header.MsgSubject, std::string(10000, 's'));
    header.ProcessLine("Subject:" + std::string(10000, 't'));
    EXPECT_EQ(header.MsgSubject, std::string(10000, 't'));
}

TEST(Pop3Header, LowerCaseTouchesOnlyAsciiLetters)
{
    EXPECT_EQ(Pop3LowerCase("Re\xC7U-ID"), "re\xC7u-id");
    EXPECT_EQ(Pop3Trim(std::string(" \t\r\x01x y\x1f ", 9)), "x y");
    EXPECT_EQ(Pop3Trim("   "), "");
}
