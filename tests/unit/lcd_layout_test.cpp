#include <gtest/gtest.h>

#include "widgets/LCD_LabLayout.h"

namespace {
TLCDSettings Counter()
{
    TLCDSettings settings;
    settings.NoOfChars = 4;
    return settings;
}
}  // namespace

TEST(LCDLayout, CounterOfFourCells_HasCell14x20AndSize70x28)
{
    TLCDSettings settings = Counter();
    const TLCDGeometry geometry = LCDGeometry(settings, BuiltInFont(mat5x7));
    EXPECT_EQ(geometry.CellWidth, 14);
    EXPECT_EQ(geometry.CellHeight, 20);
    EXPECT_EQ(LCDSizeFromCounts(settings, geometry), (TLCDSize{70, 28}));
}

TEST(LCDLayout, DefaultTenCells_SizeFromCounts)
{
    TLCDSettings settings;
    const TLCDGeometry geometry = LCDGeometry(settings, BuiltInFont(mat5x7));
    EXPECT_EQ(LCDSizeFromCounts(settings, geometry), (TLCDSize{166, 28}));
}

TEST(LCDLayout, NewSize_PicksTheCellsThatFit)
{
    TLCDSettings settings;  // ten cells, sized 166 x 28 when last painted
    const TLCDGeometry geometry = LCDGeometry(settings, BuiltInFont(mat5x7));
    EXPECT_EQ(LCDLayout(settings, geometry, {70, 28}, {166, 28}), (TLCDSize{70, 28}));
    EXPECT_EQ(settings.NoOfChars, 4);
    EXPECT_EQ(settings.TextLines, 1);
}

TEST(LCDLayout, EnlargedByOneCell_AddsACellAndSnaps)
{
    TLCDSettings settings = Counter();
    const TLCDGeometry geometry = LCDGeometry(settings, BuiltInFont(mat5x7));
    EXPECT_EQ(LCDLayout(settings, geometry, {86, 28}, {70, 28}), (TLCDSize{86, 28}));
    EXPECT_EQ(settings.NoOfChars, 5);
    EXPECT_EQ(LCDLayout(settings, geometry, {99, 28}, {86, 28}), (TLCDSize{86, 28}));
    EXPECT_EQ(settings.NoOfChars, 5);
}

TEST(LCDLayout, TallerSize_AddsLines)
{
    TLCDSettings settings = Counter();
    const TLCDGeometry geometry = LCDGeometry(settings, BuiltInFont(mat5x7));
    EXPECT_EQ(LCDLayout(settings, geometry, {70, 60}, {70, 28}), (TLCDSize{70, 50}));
    EXPECT_EQ(settings.TextLines, 2);
}

TEST(LCDLayout, TooSmallSize_KeepsOneCellAndOneLine)
{
    TLCDSettings settings = Counter();
    const TLCDGeometry geometry = LCDGeometry(settings, BuiltInFont(mat5x7));
    EXPECT_EQ(LCDLayout(settings, geometry, {3, 2}, {70, 28}), (TLCDSize{22, 28}));
    EXPECT_EQ(settings.NoOfChars, 1);
    EXPECT_EQ(settings.TextLines, 1);
}

TEST(LCDLayout, SameSizeAsLastPainted_KeepsCountsAndResizes)
{
    TLCDSettings settings = Counter();
    settings.NoOfChars = 6;
    settings.TextLines = 2;
    const TLCDGeometry geometry = LCDGeometry(settings, BuiltInFont(mat5x7));
    EXPECT_EQ(LCDLayout(settings, geometry, {70, 28}, {70, 28}), (TLCDSize{102, 50}));
    EXPECT_EQ(settings.NoOfChars, 6);
    EXPECT_EQ(settings.TextLines, 2);
}

TEST(LCDLayout, PixelSize_SetsDotSizeFromItsOrdinal)
{
    TLCDSettings settings;
    settings.PixelSize = pix16x16;
    TLCDGeometry geometry = LCDGeometry(settings, BuiltInFont(mat5x7));
    EXPECT_EQ(geometry.DotWidth, 16);
    EXPECT_EQ(settings.PixelWidth, 16);
    EXPECT_EQ(settings.PixelHeight, 16);
    settings.PixelSize = pix1x1;
    geometry = LCDGeometry(settings, BuiltInFont(mat5x7));
    EXPECT_EQ(geometry.DotHeight, 1);
    EXPECT_EQ(geometry.CellWidth, 9);
}

TEST(LCDLayout, CustomPixelSize_UsesPixelWidthAndHeight)
{
    TLCDSettings settings;
    settings.PixelSize = pixCustom;
    settings.PixelWidth = 3;
    settings.PixelHeight = 5;
    settings.PixelSpacing = 0;
    const TLCDGeometry geometry = LCDGeometry(settings, BuiltInFont(mat5x7));
    EXPECT_EQ(geometry.CellWidth, 15);
    EXPECT_EQ(geometry.CellHeight, 35);
    EXPECT_EQ(settings.PixelWidth, 3);
}

TEST(LCDLayout, EachBuiltInMatrix_HasItsSizeAndCodeRange)
{
    struct {
        TDotMatrix matrix;
        int columns, rows, first, last;
    } const expected[] = {{mat5x7, 5, 7, 32, 126},  {mat5x8, 5, 8, 32, 126},   {mat7x9, 7, 9, 32, 126},
                          {mat9x12, 9, 12, 32, 126}, {Hitachi, 5, 7, 32, 223}, {Hitachi2, 5, 10, 32, 223},
                          {dos5x7, 5, 7, 0, 255}};
    for (const auto& e : expected) {
        TLCDSettings settings;
        settings.DotMatrix = e.matrix;
        const TLCDGeometry geometry = LCDGeometry(settings, BuiltInFont(e.matrix));
        EXPECT_EQ(geometry.Columns, e.columns) << e.matrix;
        EXPECT_EQ(geometry.Rows, e.rows) << e.matrix;
        EXPECT_EQ(geometry.First, e.first) << e.matrix;
        EXPECT_EQ(geometry.Last, e.last) << e.matrix;
    }
}

TEST(LCDLayout, ShadowColor_HalvesEachComponentAndKeepsTopByte)
{
    EXPECT_EQ(LCDShadowColor(0x00FFFFFFu), 0x007F7F7Fu);
    EXPECT_EQ(LCDShadowColor(0x12FF8001u), 0x127F4000u);
    EXPECT_EQ(LCDShadowColor(0x00000000u), 0x00000000u);
}

TEST(LCDLayout, ScaledSettings_DotsSpacingsAndBorderFollowTheDpi)
{
    TLCDSettings counter;  // the options dialog's: 2 x 2 dots, spacing 1, characters 2 apart, border 3
    EXPECT_EQ(ScaledLCDSettings(counter, 96).PixelSize, pix2x2);
    const TLCDSettings at144 = ScaledLCDSettings(counter, 144);
    EXPECT_EQ(at144.PixelSize, pixCustom);
    EXPECT_EQ(at144.PixelWidth, 3);
    EXPECT_EQ(at144.PixelHeight, 3);
    EXPECT_EQ(at144.PixelSpacing, 2);  // 1.5 rounds up
    EXPECT_EQ(at144.CharSpacing, 3);
    EXPECT_EQ(at144.BorderSpace, 5);
    const TLCDSettings at192 = ScaledLCDSettings(counter, 192);
    EXPECT_EQ(at192.PixelWidth, 4);
    EXPECT_EQ(at192.LineSpacing, 4);
    counter.PixelSpacing = 0;
    EXPECT_EQ(ScaledLCDSettings(counter, 120).PixelSpacing, 0);
    EXPECT_EQ(ScaledLCDSettings(counter, 48).PixelWidth, 1);
}
