#include <gtest/gtest.h>

#include "mail/QuarantineCopy.h"
#include "mail/QuarantineName.h"

namespace {
TQuarantineCopy CopyOf(const std::vector<std::string>& wireLines, bool ended)
{
    TQuarantineCopy copy;
    for (const std::string& line : wireLines)
        copy.AddWireLine({line, false});
    if (ended)
        copy.End();
    return copy;
}
}  // namespace

TEST(QuarantineCopy, WireLines_UnstuffedWithCrLfEnds)
{
    const TQuarantineCopy copy = CopyOf({"Subject: hi", "", "..leading dot", "...", "last"}, true);
    EXPECT_EQ(copy.Bytes(), "Subject: hi\r\n\r\n.leading dot\r\n..\r\nlast\r\n");
}

TEST(QuarantineCopy, PiecesOfALongLine_JoinedOnOneLine)
{
    TQuarantineCopy copy;
    copy.AddWireLine({"..start", false});
    copy.AddWireLine({"..rest", true});  // not the start of a line: its dots stay
    copy.AddWireLine({"next", false});
    copy.End();
    EXPECT_EQ(copy.Bytes(), ".start..rest\r\nnext\r\n");
}

TEST(QuarantineCopy, SizeAsListCounts_Whole)
{
    // "A\r\n.B\r\n" is 7 octets: the stuffed dot is not counted, CR LF is.
    const TQuarantineCopy copy = CopyOf({"A", "..B"}, true);
    EXPECT_EQ(copy.Check(7), TQuarantineCopyState::Whole);
}

TEST(QuarantineCopy, LastLineWithoutLineEndOnTheServer_StillWhole)
{
    EXPECT_EQ(CopyOf({"A", "B"}, true).Check(4), TQuarantineCopyState::Whole);
}

TEST(QuarantineCopy, NoFinalDot_Cut)
{
    EXPECT_EQ(CopyOf({"A", "B"}, false).Check(6), TQuarantineCopyState::Cut);
    EXPECT_EQ(CopyOf({}, false).Check(0), TQuarantineCopyState::Cut);
}

TEST(QuarantineCopy, ShorterOrLongerThanList_SizeMismatch)
{
    EXPECT_EQ(CopyOf({"A", "B"}, true).Check(50), TQuarantineCopyState::SizeMismatch);
    EXPECT_EQ(CopyOf({"A", "B"}, true).Check(5), TQuarantineCopyState::SizeMismatch);
    EXPECT_EQ(CopyOf({"A", "B"}, true).Check(2), TQuarantineCopyState::SizeMismatch);
    EXPECT_EQ(CopyOf({"A", "B"}, true).Check(-1), TQuarantineCopyState::SizeMismatch);
}

TEST(QuarantineCopy, UnstuffedLinesFromTheClient_SameBytes)
{
    TQuarantineCopy copy;
    copy.AddLine(".leading dot");
    copy.AddLine("");
    copy.End();
    copy.End();
    EXPECT_EQ(copy.Bytes(), ".leading dot\r\n\r\n");
    EXPECT_TRUE(copy.Ended());
}

TEST(QuarantineName, TimeMailboxAndUniquePart)
{
    const TQuarantineTime time{2024, 3, 5, 14, 7, 9};
    EXPECT_EQ(QuarantineBaseName(time, "Work", "1a2b3c4d"), "20240305-140709_Work_1a2b3c4d");
    EXPECT_EQ(QuarantineCopyName("b"), "b.eml");
    EXPECT_EQ(QuarantineRecordName("b"), "b.txt");
    EXPECT_EQ(FormatQuarantineTime(time), "2024-03-05 14:07:09");
}

TEST(QuarantineName, CharactersWindowsForbidsOrCodePagesLack_BecomeUnderscores)
{
    const TQuarantineTime time{2024, 12, 31, 23, 59, 59};
    EXPECT_EQ(QuarantineBaseName(time, "a<b>c:d\"e/f\\g|h?i*j k\tl", "x"),
              "20241231-235959_a_b_c_d_e_f_g_h_i_j_k_l_x");
    EXPECT_EQ(QuarantineBaseName(time, "Soci\xC3\xA9t\xC3\xA9 \xE2\x82\xAC", "x"), "20241231-235959_Soci_t____x");
    EXPECT_EQ(QuarantineBaseName(time, "", "../..\\x"), "20241231-235959___x");
}

TEST(QuarantineName, LongNamesAreBounded)
{
    const std::string name = QuarantineBaseName({2024, 1, 1, 0, 0, 0}, std::string(500, 'm'), std::string(500, 'u'));
    EXPECT_EQ(name, "20240101-000000_" + std::string(QuarantineMailboxPartMax, 'm') + "_" +
                        std::string(QuarantineUniquePartMax, 'u'));
}
