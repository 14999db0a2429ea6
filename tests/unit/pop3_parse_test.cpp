#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "text/Utf8Text.h"
#include "mime/Pop3Header.h"
#include "mime/Pop3HeaderWords.h"
#include "net/Pop3LineBuffer.h"
#include "net/Pop3Parse.h"

namespace {

using Lines = std::vector<std::string>;

Lines TextsOf(const std::vector<TPop3Line>& lines)
{
    Lines texts;
    for (const TPop3Line& line : lines)
        texts.push_back(line.Text);
    return texts;
}

std::vector<TPop3Line> FeedWhole(const std::string& stream)
{
    TPop3LineBuffer buffer;
    std::vector<TPop3Line> lines;
    Pop3FeedLines(buffer, stream, lines);
    return lines;
}

Lines LinesOf(const std::string& stream)
{
    return TextsOf(FeedWhole(stream));
}

std::vector<TPop3Line> FeedByteByByte(const std::string& stream, TPop3LineBuffer& buffer)
{
    std::vector<TPop3Line> lines;
    for (char c : stream)
        Pop3FeedLines(buffer, std::string(1, c), lines);
    return lines;
}

std::vector<bool> ContinuationFlags(const std::vector<TPop3Line>& lines)
{
    std::vector<bool> flags;
    for (const TPop3Line& line : lines)
        flags.push_back(line.Continuation);
    return flags;
}

}  // namespace

// ---- line buffer

TEST(Pop3LineBuffer, CrLfEndsEachLine)
{
    EXPECT_EQ(LinesOf("+OK ready\r\n+OK 2 320\r\n"), (Lines{"+OK ready", "+OK 2 320"}));
}

TEST(Pop3LineBuffer, PartialLineWaitsForItsCrLf)
{
    TPop3LineBuffer buffer;
    std::vector<TPop3Line> lines;
    Pop3FeedLines(buffer, "+OK wai", lines);
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(buffer.Size(), 7u);
    Pop3FeedLines(buffer, "ting\r", lines);
    EXPECT_TRUE(lines.empty());
    Pop3FeedLines(buffer, "\n+OK", lines);
    EXPECT_EQ(TextsOf(lines), (Lines{"+OK waiting"}));
    EXPECT_FALSE(lines[0].Continuation);
    EXPECT_EQ(buffer.Size(), 3u);
}

TEST(Pop3LineBuffer, ByteByByte_SameLinesAsOneChunk)
{
    const std::string stream = "+OK\r\n1 120\r\n2 4\r\n..stuffed\r\n\r\n.\r\n";
    TPop3LineBuffer buffer;
    EXPECT_EQ(TextsOf(FeedByteByByte(stream, buffer)), LinesOf(stream));
    EXPECT_EQ(LinesOf(stream), (Lines{"+OK", "1 120", "2 4", "..stuffed", "", "."}));
    EXPECT_TRUE(buffer.Empty());
}

TEST(Pop3LineBuffer, EmptyLinesAreDelivered)
{
    EXPECT_EQ(LinesOf("\r\n\r\nx\r\n"), (Lines{"", "", "x"}));
}

TEST(Pop3LineBuffer, LfAloneDoesNotEndALine)
{
    TPop3LineBuffer buffer;
    std::vector<TPop3Line> lines;
    Pop3FeedLines(buffer, "one\ntwo\n", lines);
    EXPECT_TRUE(lines.empty());
    Pop3FeedLines(buffer, "three\r\n", lines);
    EXPECT_EQ(TextsOf(lines), (Lines{"one\ntwo\nthree"}));
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
    const std::vector<TPop3Line> lines = FeedWhole(std::string(5000, 'x') + "\r\n");
    EXPECT_EQ(TextsOf(lines), (Lines{std::string(4093, 'x'), std::string(907, 'x')}));
    EXPECT_EQ(ContinuationFlags(lines), (std::vector<bool>{false, true}));
}

TEST(Pop3LineBuffer, FiveThousandByteLineByteByByte_SameCut)
{
    TPop3LineBuffer buffer;
    const std::vector<TPop3Line> lines = FeedByteByByte(std::string(5000, 'y') + "\r\n", buffer);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].Text.size(), 4093u);
    EXPECT_EQ(lines[1].Text.size(), 907u);
    EXPECT_TRUE(lines[1].Continuation);
}

// The line that follows a cut line is a line of its own again.
TEST(Pop3LineBuffer, LineAfterCutLine_IsNoContinuation)
{
    const std::vector<TPop3Line> lines = FeedWhole(std::string(5000, 'x') + "\r\nnext\r\n");
    EXPECT_EQ(ContinuationFlags(lines), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(lines[2].Text, "next");
}

// A line that exactly fills the buffer is cut before its CR LF arrives; the
// empty rest is no line of its own, so it cannot end a header early.
TEST(Pop3LineBuffer, LineOfExactly4093Bytes_NoEmptyLineAfterIt)
{
    const std::vector<TPop3Line> lines = FeedWhole(std::string(4093, 'z') + "\r\nafter\r\n");
    EXPECT_EQ(TextsOf(lines), (Lines{std::string(4093, 'z'), "after"}));
    EXPECT_EQ(ContinuationFlags(lines), (std::vector<bool>{false, false}));
}

// With 4092 bytes the CR is the last byte that fits: the cut does not fall
// between CR and LF, so neither a stray CR nor a stray LF reaches a line.
TEST(Pop3LineBuffer, LineOf4092Bytes_CrLfIsNotSplit)
{
    const std::vector<TPop3Line> lines = FeedWhole(std::string(4092, 'z') + "\r\nafter\r\n");
    EXPECT_EQ(TextsOf(lines), (Lines{std::string(4092, 'z'), "after"}));
    TPop3LineBuffer buffer;
    EXPECT_EQ(TextsOf(FeedByteByByte(std::string(4092, 'z') + "\r\nafter\r\n", buffer)), TextsOf(lines));
}

TEST(Pop3LineBuffer, LineOf4091Bytes_FitsWithItsCrLf)
{
    const std::vector<TPop3Line> lines = FeedWhole(std::string(4091, 'z') + "\r\nafter\r\n");
    EXPECT_EQ(TextsOf(lines), (Lines{std::string(4091, 'z'), "after"}));
}

TEST(Pop3LineBuffer, CrKeptAtCutWithoutLf_StaysInTheRest)
{
    const std::vector<TPop3Line> lines = FeedWhole(std::string(4092, 'z') + "\rX\r\n");
    EXPECT_EQ(TextsOf(lines), (Lines{std::string(4092, 'z'), "\rX"}));
    EXPECT_TRUE(lines[1].Continuation);
}

TEST(Pop3LineBuffer, VeryLongLine_NeverDeliversMoreThanTheLimit)
{
    const std::vector<TPop3Line> lines = FeedWhole(std::string(20000, 'q') + "\r\n");
    std::size_t total = 0;
    for (const TPop3Line& line : lines) {
        EXPECT_LE(line.Text.size(), TPop3LineBuffer::MaxLineLength);
        total += line.Text.size();
    }
    EXPECT_EQ(total, 20000u);
    EXPECT_EQ(ContinuationFlags(lines), (std::vector<bool>{false, true, true, true, true}));
}

// A read brings many lines and long ones at once; they are cut exactly as
// when the bytes come one by one, a CR LF straddling a line's limit included.
TEST(Pop3LineBuffer, ManyLinesInOneRead_CutAsByteByByte)
{
    std::string stream;
    for (std::size_t length : {70u, 4091u, 4092u, 4093u, 4094u, 9000u, 0u, 8186u, 70u})
        stream += std::string(length, 'm') + "\r\n";
    stream += std::string(4092, 'c') + "\rX\r\n";
    while (stream.size() < 3 * TPop3LineBuffer::Capacity)
        stream += std::string(70, 'r') + "\r\n";
    TPop3LineBuffer buffer;
    const std::vector<TPop3Line> single = FeedByteByByte(stream, buffer);
    const std::vector<TPop3Line> whole = FeedWhole(stream);
    const std::vector<bool> flags = ContinuationFlags(whole);
    EXPECT_EQ(TextsOf(whole), TextsOf(single));
    EXPECT_EQ(flags, ContinuationFlags(single));
    EXPECT_EQ(std::count(flags.begin(), flags.end(), true), 5);
}

// A full line's limit is delivered at once; it does not wait for more data.
TEST(Pop3LineBuffer, LineLimitHeld_DeliveredWithoutWaitingForMore)
{
    TPop3LineBuffer buffer;
    std::vector<TPop3Line> lines;
    Pop3FeedLines(buffer, std::string(4093, 'f'), lines);
    EXPECT_EQ(TextsOf(lines), (Lines{std::string(4093, 'f')}));
    EXPECT_TRUE(buffer.Empty());
    Pop3FeedLines(buffer, "g\r\n", lines);
    EXPECT_EQ(TextsOf(lines), (Lines{std::string(4093, 'f'), "g"}));
    EXPECT_TRUE(lines[1].Continuation);
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
    EXPECT_EQ(offered, int(TPop3LineBuffer::Capacity) - 3);
    TPop3Line line;
    ASSERT_TRUE(buffer.ExtractLine(line));
    EXPECT_EQ(line.Text, "abc");
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
    EXPECT_EQ(buffer.Size(), TPop3LineBuffer::Capacity);
    EXPECT_EQ(buffer.FreeSpace(), 0u);
}

TEST(Pop3LineBuffer, ReadFrom_WhenFullDoesNotRead)
{
    TPop3LineBuffer buffer;
    const std::string full(TPop3LineBuffer::Capacity, 'a');
    buffer.Append(full.data(), full.size());
    bool called = false;
    EXPECT_FALSE(buffer.ReadFrom([&](char*, int) {
        called = true;
        return 1;
    }));
    EXPECT_FALSE(called);
    TPop3Line line;
    ASSERT_TRUE(buffer.ExtractLine(line));
    EXPECT_EQ(line.Text.size(), 4093u);
    EXPECT_EQ(buffer.FreeSpace(), 4093u);
}

TEST(Pop3LineBuffer, AppendStopsAtTheLimit)
{
    TPop3LineBuffer buffer;
    const std::string big(TPop3LineBuffer::Capacity + 10, 'b');
    EXPECT_EQ(buffer.Append(big.data(), big.size()), TPop3LineBuffer::Capacity);
    EXPECT_EQ(buffer.Append(big.data(), big.size()), 0u);
}

TEST(Pop3LineBuffer, NoCompleteLine_LeavesLineUnchanged)
{
    TPop3LineBuffer buffer;
    buffer.Append("partial", 7);
    TPop3Line line;
    line.Text = "unchanged";
    EXPECT_FALSE(buffer.ExtractLine(line));
    EXPECT_EQ(line.Text, "unchanged");
}

TEST(Pop3LineBuffer, ClearDropsEverythingAndTheCut)
{
    TPop3LineBuffer buffer;
    std::vector<TPop3Line> lines;
    Pop3FeedLines(buffer, std::string(4100, 'c'), lines);
    buffer.Clear();
    EXPECT_EQ(buffer.FreeSpace(), TPop3LineBuffer::Capacity);
    Pop3FeedLines(buffer, "+OK\r\n", lines);
    EXPECT_EQ(lines.back().Text, "+OK");
    EXPECT_FALSE(lines.back().Continuation);
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

TEST(Pop3Header, FoldedLinesAreJoinedOntoTheirField_ALineWithoutColonEndsIt)
{
    TPop3Header header;
    header.Start();
    for (const char* line : {"Subject: first part", "\tsecond part: tab", " third", "no colon", " stray"})
        header.ProcessLine(line);
    EXPECT_EQ(header.MsgSubject, " first part\tsecond part: tab third");
    EXPECT_EQ(header.HeaderKeyword, "subject");
    header.ProcessLine("X-Long: " + std::string(TPop3Header::MaxHeaderData, 'x'));
    header.ProcessLine(" more");
    EXPECT_EQ(header.HeaderData.size(), TPop3Header::MaxHeaderData);
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

// ---- long lines inside bodies

TEST(Pop3Body, DotAfterCutOfLongLine_DoesNotEndTheBody)
{
    const std::vector<TPop3Line> lines = FeedWhole(std::string(4093, 'x') + ".\r\n..two\r\n.\r\n");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_FALSE(Pop3IsBodyEnd(lines[0]));
    EXPECT_FALSE(Pop3IsBodyEnd(lines[1]));
    EXPECT_EQ(Pop3UnstuffLine(lines[1]), ".");
    EXPECT_EQ(Pop3UnstuffLine(lines[2]), ".two");
    EXPECT_TRUE(Pop3IsBodyEnd(lines[3]));
}

TEST(Pop3Body, DoubleDotAfterCut_IsNotUnstuffed)
{
    const std::vector<TPop3Line> lines = FeedWhole(std::string(4093, 'x') + "..tail\r\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(Pop3UnstuffLine(lines[1]), "..tail");
}

TEST(Pop3Header, RestOfLongHeaderLine_IsNotAHeaderLine)
{
    TPop3Header header;
    header.Start();
    const std::vector<TPop3Line> lines =
        FeedWhole("Subject: " + std::string(4084, 's') + "From: forged\r\nFrom: real\r\n");
    ASSERT_EQ(lines.size(), 3u);
    for (const TPop3Line& line : lines)
        header.ProcessLine(line.Text, line.Continuation);
    EXPECT_EQ(header.MsgSubject, " " + std::string(4084, 's'));
    EXPECT_EQ(header.MsgFrom, " real");
    header.ProcessLine("", true);
    EXPECT_TRUE(header.InHeaderPart);
}

// ---- encoded words

namespace {
// The platform's part: UTF-8 up to U+00FF, ISO-8859-8 refused, others as they are.
// A stand-in for the platform: every code page read as Windows-1252, but
// ISO-8859-8, which it refuses.
bool ConvertForTest(unsigned codePage, const std::string& bytes, std::string& utf8)
{
    utf8 = Windows1252ToUtf8(bytes);
    return codePage != 28598;
}
}  // namespace

TEST(Pop3DecodeHeaderText, ExamplesOfTheEncodedWordsRfcAndWhatMailReallyHolds)
{
    const struct {
        const char* written;
        const char* shown;
    } cases[] = {
        {"(=?ISO-8859-1?Q?a?=)", "(a)"},
        {"(=?ISO-8859-1?Q?a?= b)", "(a b)"},
        {"(=?ISO-8859-1?Q?a?= =?ISO-8859-1?Q?b?=)", "(ab)"},
        {"(=?ISO-8859-1?Q?a?=  \t  =?ISO-8859-1?Q?b?=)", "(ab)"},
        {"(=?ISO-8859-1?Q?a_b?=)", "(a b)"},
        {"(=?ISO-8859-1?Q?a?= =?ISO-8859-2?Q?_b?=)", "(a b)"},
        {" =?ISO-8859-1?Q?Keld_J=F8rn_Simonsen?= <keld@dkuug.dk>", " Keld J\xC3\xB8rn Simonsen <keld@dkuug.dk>"},
        {" =?ISO-8859-1?B?SWYgeW91IGNhbiByZWFkIHRoaXMgeW8=?= =?ISO-8859-2?B?dSB1bmRlcnN0YW5kIHRoZSBleGFtcGxlLg==?=",
         " If you can read this you understand the example."},
        // A charset the platform refuses stays as written.
        {"N. B. (=?iso-8859-8?b?7eXs+SDv4SDp7Oj08A==?=)", "N. B. (=?iso-8859-8?b?7eXs+SDv4SDp7Oj08A==?=)"},
        {"=?UTF-8?B?Q2Fmw6k=?= =?utf-8?b?Q2Fmw6k?=", "Caf\xC3\xA9" "Caf\xC3\xA9"},
        {"=?utf-8?Q?t=C3?= =?UTF-8*fr?Q?=A9l=c3=a9?=", "t\xC3\xA9l\xC3\xA9"},  // a character split between two words
        {"=?utf-8?Q?a?= =?x-klingon?Q?b?= =?utf-8?Q?=ZZ?= =?utf-8?B?Q2Fmw?=", "a =?x-klingon?Q?b?= =?utf-8?Q?=ZZ?= "
                                                                         "=?utf-8?B?Q2Fmw?="},
        {"=?iso-8859-2?Q?a?= =?iso-8859-8?Q?b?= =?iso-8859-2?Q?c?=", "a =?iso-8859-8?Q?b?= c"},
        {"x=?utf-8?q?a?b?= =?utf-8?Q?a=0Db=09c?=\x01\xE9", "x=?utf-8?q?a?b?= a?b c?\xC3\xA9"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Pop3DecodeHeaderText(c.written, ConvertForTest), c.shown) << c.written;
}

TEST(Pop3CharsetCodePage, NamesInAnyFormAndLatin1ReadAsItsWindowsSuperset)
{
    for (const auto& name : {std::make_pair("UTF8", 65001u), {"iso_8859-15", 28605u}, {"Latin1", 1252u},
                             {"US-ASCII", 1252u}, {"cp1250", 1250u}, {"iso-8859-10", 28600u}, {"ISO-2022-JP", 50220u},
                             {"x-unknown", 0u}, {"iso-8859-12", 0u}, {"GB2312", 936u}, {"euc-kr", 949u}})
        EXPECT_EQ(Pop3CharsetCodePage(name.first), name.second) << name.first;
}
