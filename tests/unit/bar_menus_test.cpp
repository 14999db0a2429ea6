#include <gtest/gtest.h>

#include "widgets/BarMenusLayout.h"

TEST(BarGradient, BlueToNavy_FirstRowBlueLastRowNavyHalfwayC0)
{
    EXPECT_EQ(GradientRowColor(clBlue, clNavy, 0, 100), clBlue);
    EXPECT_EQ(GradientRowColor(clBlue, clNavy, 100, 100), clNavy);
    // 0xFF + (0x80 - 0xFF) * 50 / 100 with integer arithmetic.
    EXPECT_EQ(GradientRowColor(clBlue, clNavy, 50, 100), RgbColor(0, 0, 0xC0));
    EXPECT_EQ(GradientRowColor(clBlue, clNavy, 99, 100), RgbColor(0, 0, 0x82));
}

TEST(BarGradient, BlueToNavy_StepsNeverRiseAndOnlyBlueChanges)
{
    const int height = 233;
    int previous = 0x100;
    for (int y = 0; y <= height; ++y) {
        const TColor c = GradientRowColor(clBlue, clNavy, y, height);
        EXPECT_EQ(RedOf(c), 0) << y;
        EXPECT_EQ(GreenOf(c), 0) << y;
        EXPECT_LE(BlueOf(c), previous) << y;
        EXPECT_GE(BlueOf(c), 0x80) << y;
        previous = BlueOf(c);
    }
}

TEST(BarGradient, NegativeDifference_TruncatesTowardsZero)
{
    // 0xFF - 127 * 1 / 3 = 0xFF - 42 (towards zero), not 0xFF - 43.
    EXPECT_EQ(BlueOf(GradientRowColor(clBlue, clNavy, 1, 3)), 0xFF - 42);
    // Rising components truncate towards zero too: 0 + 255 * 1 / 2 = 127.
    EXPECT_EQ(RedOf(GradientRowColor(clBlack, clWhite, 1, 2)), 127);
}

TEST(BarGradient, EveryComponentMovesOnItsOwn)
{
    const TColor start = RgbColor(10, 200, 30);
    const TColor end = RgbColor(110, 0, 31);
    const TColor mid = GradientRowColor(start, end, 1, 2);
    EXPECT_EQ(RedOf(mid), 60);
    EXPECT_EQ(GreenOf(mid), 100);
    EXPECT_EQ(BlueOf(mid), 30);
}

TEST(BarGradient, HeightZero_AnswersStartWithoutDividing)
{
    EXPECT_EQ(GradientRowColor(clBlue, clNavy, 0, 0), clBlue);
    EXPECT_EQ(GradientRowColor(clBlue, clNavy, 5, -3), clBlue);
}

TEST(BarGradient, HeightOne_FirstRowStartSecondRowEnd)
{
    EXPECT_EQ(GradientRowColor(clBlue, clNavy, 0, 1), clBlue);
    EXPECT_EQ(GradientRowColor(clBlue, clNavy, 1, 1), clNavy);
}

TEST(BarColors, SystemColorsAreMarkedAndKeepTheirIndex)
{
    EXPECT_TRUE(IsSystemColor(SystemColor(7)));
    EXPECT_EQ(SystemColorIndex(SystemColor(7)), 7);
    EXPECT_FALSE(IsSystemColor(clWhite));
    EXPECT_FALSE(IsSystemColor(clNone));
    EXPECT_EQ(RgbColor(0x12, 0x34, 0x56), 0x563412u);
}

TEST(BarRounding, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
    EXPECT_EQ(RoundHalfEven(1.4), 1);
    EXPECT_EQ(RoundHalfEven(1.6), 2);
    // (21 - 16) / 2 - 0.5 = 2.0; (20 - 15) / 2 - 0.5 = 2.0; (22 - 15) / 2 - 0.5 = 3.0
    EXPECT_EQ(CenteredOffset(21, 16), 2);
    EXPECT_EQ(CenteredOffset(22, 15), 3);
    // (21 - 14) / 2 - 0.5 = 3.0; (20 - 14) / 2 - 0.5 = 2.5 -> 2
    EXPECT_EQ(CenteredOffset(21, 14), 3);
    EXPECT_EQ(CenteredOffset(20, 14), 2);
}

TEST(BarBitmapPosition, TrayPicture_TwoFromLeftEighteenAboveBottom)
{
    const TBarPoint at =
        BitmapPosition(TVertAlignment::vaBottom, THorzAlignment::haCenter, 0, -2, 16, 16, 21, 200);
    EXPECT_EQ(at.x, 2);
    EXPECT_EQ(at.y, 200 - 18);
}

TEST(BarBitmapPosition, EveryAlignmentAddsTheOffsets)
{
    EXPECT_EQ(BitmapPosition(TVertAlignment::vaTop, THorzAlignment::haLeft, 3, 4, 10, 8, 30, 100),
              (TBarPoint{3, 4}));
    EXPECT_EQ(BitmapPosition(TVertAlignment::vaBottom, THorzAlignment::haRight, 3, 4, 10, 8, 30, 100),
              (TBarPoint{30 + 3 - 10, 100 + 4 - 8}));
    // (30 - 11) / 2 = 9 and (100 - 7) / 2 = 46, truncated.
    EXPECT_EQ(BitmapPosition(TVertAlignment::vaMiddle, THorzAlignment::haCenter, 1, -1, 11, 7, 30, 100),
              (TBarPoint{10, 45}));
    // A picture wider than the bar: truncation towards zero of a negative half.
    EXPECT_EQ(BitmapPosition(TVertAlignment::vaMiddle, THorzAlignment::haCenter, 0, 0, 24, 5, 21, 4),
              (TBarPoint{-1, 0}));
}

TEST(BarTiles, LeftTopTilesStartAtTheCorner)
{
    const auto tiles = TilePositions(TVertAlignment::vaTop, THorzAlignment::haLeft, 0, 0, 16, 16, 21, 40);
    // x: 0, 16 (32 > 21 stops); y: 0, 16, 32 (48 > 40 stops).
    const std::vector<TBarPoint> expected = {{0, 0}, {16, 0}, {0, 16}, {16, 16}, {0, 32}, {16, 32}};
    EXPECT_EQ(tiles, expected);
}

TEST(BarTiles, RightBottomAndCentredStartsLineUpWithTheFarEdge)
{
    // -(16 - 21 mod 16) = -11; -(16 - 40 mod 16) = -8.
    EXPECT_EQ(TileStart(TVertAlignment::vaBottom, THorzAlignment::haRight, 0, 0, 16, 16, 21, 40),
              (TBarPoint{-11, -8}));
    // Halved towards zero: -5 and -4.
    EXPECT_EQ(TileStart(TVertAlignment::vaMiddle, THorzAlignment::haCenter, 0, 0, 16, 16, 21, 40),
              (TBarPoint{-5, -4}));
    // A bar that is a whole number of tiles still starts one tile back.
    EXPECT_EQ(TileStart(TVertAlignment::vaBottom, THorzAlignment::haRight, 0, 0, 16, 16, 32, 32),
              (TBarPoint{-16, -16}));
}

TEST(BarTiles, PositiveOffsetsAreBroughtBackToZeroOrLess)
{
    EXPECT_EQ(TileStart(TVertAlignment::vaTop, THorzAlignment::haLeft, 5, 16, 16, 16, 21, 40),
              (TBarPoint{-11, 0}));
    EXPECT_EQ(TileStart(TVertAlignment::vaTop, THorzAlignment::haLeft, 35, 1, 16, 16, 21, 40),
              (TBarPoint{-13, -15}));
    EXPECT_EQ(TileStart(TVertAlignment::vaTop, THorzAlignment::haLeft, -3, -20, 16, 16, 21, 40),
              (TBarPoint{-3, -20}));
}

TEST(BarTiles, EmptyPicture_GivesNoTiles)
{
    EXPECT_TRUE(TilePositions(TVertAlignment::vaTop, THorzAlignment::haLeft, 0, 0, 0, 16, 21, 40).empty());
    EXPECT_TRUE(TilePositions(TVertAlignment::vaTop, THorzAlignment::haLeft, 0, 0, 16, 0, 21, 40).empty());
}

TEST(BarSlices, LeftBar_ItemMovedRightByWidthAndSpace)
{
    const TBarRect item{0, 30, 150, 50};
    EXPECT_EQ(ItemArea(item, true, 21, 1, TSide::sLeft, false), (TBarRect{22, 30, 150, 50}));
    EXPECT_EQ(BarColumnLeft(item, 21, TSide::sLeft), 0);
}

TEST(BarSlices, RightBar_ItemLosesItsRightPart)
{
    const TBarRect item{3, 30, 153, 50};
    EXPECT_EQ(ItemArea(item, true, 21, 1, TSide::sRight, false), (TBarRect{3, 30, 131, 50}));
    EXPECT_EQ(BarColumnLeft(item, 21, TSide::sRight), 153 - 21);
}

TEST(BarSlices, OffTheBarAndShortLines)
{
    const TBarRect item{0, 0, 100, 20};
    EXPECT_EQ(ItemArea(item, false, 21, 1, TSide::sLeft, false), item);
    EXPECT_EQ(ItemArea(item, false, 21, 1, TSide::sLeft, true), (TBarRect{0, 0, 90, 20}));
    EXPECT_EQ(ItemArea(item, true, 32, 4, TSide::sLeft, true), (TBarRect{36, 0, 90, 20}));
}

TEST(BarSlices, TotalHeightAndOffsetsSumTheItemsAbove)
{
    const std::vector<int> heights = {20, 12, 20, 14, 20};
    EXPECT_EQ(TotalHeight(heights), 86);
    EXPECT_EQ(BarOffsetOf(heights, 0), 0);
    EXPECT_EQ(BarOffsetOf(heights, 2), 32);
    EXPECT_EQ(BarOffsetOf(heights, 4), 66);
    EXPECT_EQ(BarOffsetOf(heights, 9), 86);
    EXPECT_EQ(TotalHeight({}), 0);
    // Items that were not measured count as nothing.
    EXPECT_EQ(TotalHeight({20, 0, -1, 5}), 25);
    EXPECT_EQ(BarOffsetOf({20, 0, -1, 5}, 3), 20);
}

TEST(BarSlices, SeparatorsAreTallerWithText)
{
    EXPECT_EQ(SeparatorHeight(false), 12);
    EXPECT_EQ(SeparatorHeight(true), 14);
}

TEST(BarCaption, TrayCaption_StartsTwentyTwoAboveTheBottomReadingUpwards)
{
    // Bar 21 wide, 200 high, text 90 long and 22 high, 16-pixel picture at the bottom.
    const TBarPoint at =
        CaptionPosition(TVertAlignment::vaBottom, TDirection::dDownToUp, 6, 90, 22, 21, 200, 16);
    EXPECT_EQ(at.y, 200 - 22);
    EXPECT_EQ(at.x, CenteredOffset(21, 22));
    EXPECT_EQ(at.x, -1);  // (21 - 22) / 2 - 0.5 = -1.0
}

TEST(BarCaption, TopMiddleAndUpToDown)
{
    EXPECT_EQ(CaptionPosition(TVertAlignment::vaTop, TDirection::dDownToUp, 6, 90, 14, 32, 200, 0),
              (TBarPoint{8, 96}));
    // (200 + 90) / 2 - 0.5 = 144.5 -> 144
    EXPECT_EQ(CaptionPosition(TVertAlignment::vaMiddle, TDirection::dDownToUp, 6, 90, 14, 32, 200, 0),
              (TBarPoint{8, 144}));
    // (32 - 14) / 2 - 0.5 = 8.5 -> 8 above. Reading downwards: y back by the length, x past the text's height and one more pixel.
    EXPECT_EQ(CaptionPosition(TVertAlignment::vaBottom, TDirection::dUpToDown, 6, 90, 14, 32, 200, 0),
              (TBarPoint{8 + 15, 194 - 90}));
}

TEST(BarFont, DefaultIsFourteenPointTahomaWhiteBoldItalic)
{
    TBarFont font;
    EXPECT_EQ(font.Name, "Tahoma");
    EXPECT_EQ(font.Height, -19);
    EXPECT_EQ(font.Color, clWhite);
    EXPECT_TRUE(font.Bold);
    EXPECT_TRUE(font.Italic);
    TBarFont sized;
    sized.SetSize(14);
    EXPECT_EQ(sized, font);
    sized.SetSize(12);
    EXPECT_EQ(sized.Height, -16);
    sized.SetSize(8, 120);  // 13.33 -> 13
    EXPECT_EQ(sized.Height, -13);
    EXPECT_NE(sized, font);
}
