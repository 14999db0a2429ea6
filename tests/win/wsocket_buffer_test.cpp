#include <gtest/gtest.h>

#include <string>

#include "net/WSockBuf.h"
#include "net/WSockLineBuffer.h"

TEST(WSockBuffer, ZeroOrNegativeCapacity_Gives1514)
{
    EXPECT_EQ(TBuffer(0).BufSize(), 1514);
    EXPECT_EQ(TBuffer(-5).BufSize(), 1514);
    EXPECT_EQ(TBuffer(1460).BufSize(), 1460);
}

TEST(WSockBuffer, Write_CopiesWhatFits_ThenNothing)
{
    TBuffer block(4);
    EXPECT_EQ(block.Write("abcdef", 6), 4);
    EXPECT_EQ(block.Write("x", 1), 0);
    int length = 0;
    const char* data = block.Peek(length);
    ASSERT_EQ(length, 4);
    EXPECT_EQ(std::string(data, 4), "abcd");
}

TEST(WSockBuffer, RemoveAll_ResetsSoTheBlockRefills)
{
    TBuffer block(4);
    block.Write("abcd", 4);
    block.Remove(1);
    int length = 0;
    EXPECT_EQ(std::string(block.Peek(length), 3), "bcd");
    EXPECT_EQ(block.Write("e", 1), 0) << "read bytes are not reused until all are read";
    block.Remove(10);  // at most what is unread
    EXPECT_EQ(block.Peek(length), nullptr);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(block.Write("wxyz", 4), 4);
    EXPECT_EQ(std::string(block.Peek(length), 4), "wxyz");
}

TEST(WSockBuffer, SetBufSize_KeepsWrittenBytes)
{
    TBuffer block(8);
    block.Write("abcdef", 6);
    block.SetBufSize(3);
    EXPECT_EQ(block.BufSize(), 6);
    block.SetBufSize(10);
    EXPECT_EQ(block.Write("ghij", 4), 4);
    int length = 0;
    EXPECT_EQ(std::string(block.Peek(length), 10), "abcdefghij");
}

TEST(WSockLineBuffer, TerminatorSplitAcrossAppends_IsFound)
{
    TWSockLineBuffer buffer;
    buffer.Append("abc\r", 4);
    EXPECT_EQ(buffer.FirstLineLength("\r\n"), 0u);
    buffer.Append("\nde", 3);
    EXPECT_EQ(buffer.FirstLineLength("\r\n"), 5u);
    char line[8];
    EXPECT_EQ(buffer.Take(line, 5), 5u);
    EXPECT_EQ(std::string(line, 5), "abc\r\n");
    EXPECT_EQ(std::string(buffer.Data()), "de");
}

TEST(WSockLineBuffer, ChangedLineEnd_SearchesAgainFromTheStart)
{
    TWSockLineBuffer buffer;
    buffer.Append("ab|cd", 5);
    EXPECT_EQ(buffer.FirstLineLength("\r\n"), 0u);
    EXPECT_EQ(buffer.FirstLineLength("|"), 3u);
    EXPECT_EQ(buffer.FirstLineLength(""), 0u);
}

TEST(WSockLineBuffer, Edit_TabsToEightColumnsPerLine_BackspaceStopsAtLineStart)
{
    TWSockLineBuffer buffer;
    std::string echo;
    buffer.AppendEdited("x\n\b\tab\b", 7, &echo);
    EXPECT_EQ(std::string(buffer.Data()), "x\n        a");
    EXPECT_EQ(echo, "x\n        ab\b \b");
}
