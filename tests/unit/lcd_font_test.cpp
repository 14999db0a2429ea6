#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../support/lcd_cells.h"
#include "widgets/LCD_LabFont.h"

namespace {
// A glyph drawn as rows of '#' (lit) and '.' (unlit), separated by spaces.
std::string Picture(const TLCDFont& font, int code, int rows)
{
    const std::uint8_t* glyph = font.Glyph(code);
    return ReadLcdCell(font.Columns, rows,
                       [&](int column, int row) { return glyph[row * font.Columns + column] == 1; });
}

const TDotMatrix kBuiltIn[] = {mat5x7, mat5x8, mat7x9, mat9x12, Hitachi, Hitachi2, dos5x7};

bool AnyLit(const TLCDFont& font, int code, int fromRow = 0)
{
    const std::uint8_t* glyph = font.Glyph(code);
    for (int i = fromRow * font.Columns; i < font.Columns * font.Rows; ++i)
        if (glyph[i] == 1)
            return true;
    return false;
}
}  // namespace

TEST(LCDFont, Mat5x7Digits_AreTheCounterDigits)
{
    for (int digit = 0; digit < 10; ++digit)
        EXPECT_EQ(Picture(BuiltInFont(mat5x7), '0' + digit, 7), kLcdDigits[digit]) << digit;
}

TEST(LCDFont, HitachiDigits_AreTheSameAsMat5x7)
{
    for (int digit = 0; digit < 10; ++digit)
        EXPECT_EQ(Picture(BuiltInFont(Hitachi), '0' + digit, 7), kLcdDigits[digit]) << digit;
}

TEST(LCDFont, Space_IsUnlitInEveryBuiltInFont)
{
    for (TDotMatrix matrix : kBuiltIn)
        EXPECT_FALSE(AnyLit(BuiltInFont(matrix), ' ')) << matrix;
}

TEST(LCDFont, PrintableAscii_HasLitDotsInEveryBuiltInFont)
{
    for (TDotMatrix matrix : kBuiltIn)
        for (int code = 33; code <= 126; ++code)
            EXPECT_TRUE(AnyLit(BuiltInFont(matrix), code)) << matrix << " code " << code;
}

TEST(LCDFont, DistinctLettersAndDigits_HaveDistinctGlyphs)
{
    for (TDotMatrix matrix : kBuiltIn) {
        const TLCDFont& font = BuiltInFont(matrix);
        const std::string chars = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        for (std::size_t i = 0; i < chars.size(); ++i)
            for (std::size_t j = i + 1; j < chars.size(); ++j)
                EXPECT_NE(Picture(font, chars[i], font.Rows), Picture(font, chars[j], font.Rows))
                    << matrix << ' ' << chars[i] << chars[j];
    }
}

TEST(LCDFont, Hitachi2_ShortCodesAreHitachiOnTopWithThreeUnlitRows)
{
    const TLCDFont& tall = BuiltInFont(Hitachi2);
    const TLCDFont& hitachi = BuiltInFont(Hitachi);
    for (int code = 32; code <= 193; ++code) {
        EXPECT_EQ(Picture(tall, code, 7), Picture(hitachi, code, 7)) << code;
        EXPECT_FALSE(AnyLit(tall, code, 7)) << code;
    }
}

TEST(LCDFont, Hitachi2_CodesFrom194_HaveTallGlyphsOfTheirOwn)
{
    const TLCDFont& tall = BuiltInFont(Hitachi2);
    for (int code = 194; code <= 223; ++code) {
        EXPECT_TRUE(AnyLit(tall, code, 7)) << code;
        EXPECT_NE(Picture(tall, code, 7), Picture(BuiltInFont(Hitachi), code, 7)) << code;
    }
}

TEST(LCDFont, HitachiUpperCodes_ShowTheAnsiCapitals)
{
    const TLCDFont& hitachi = BuiltInFont(Hitachi);
    for (int code = 192; code <= 223; ++code)
        EXPECT_TRUE(AnyLit(hitachi, code)) << code;
    // Accented capitals differ from their plain letter only by the accent row.
    EXPECT_NE(Picture(hitachi, 0xC9, 7), Picture(hitachi, 0xC8, 7));  // É and È
}

TEST(LCDFont, Dos5x7_CoversEveryCodeWithSymbolsAndBoxes)
{
    const TLCDFont& dos = BuiltInFont(dos5x7);
    EXPECT_FALSE(AnyLit(dos, 0));
    for (int code = 1; code < 32; ++code)
        EXPECT_TRUE(AnyLit(dos, code)) << code;
    for (int code = 128; code < 255; ++code)
        EXPECT_TRUE(AnyLit(dos, code)) << code;
    EXPECT_EQ(Picture(dos, 196, 7), "..... ..... ..... ##### ..... ..... .....");  // ─
    EXPECT_EQ(Picture(dos, 179, 7), "..#.. ..#.. ..#.. ..#.. ..#.. ..#.. ..#..");  // │
    EXPECT_EQ(Picture(dos, 219, 7), "##### ##### ##### ##### ##### ##### #####");  // █
}

TEST(LCDFont, LargerMatrices_KeepTheShapeOfTheDigits)
{
    // The one in 9 x 12: a vertical stroke in the middle column from top to bottom.
    const TLCDFont& big = BuiltInFont(mat9x12);
    for (int row = 1; row < 11; ++row)
        EXPECT_EQ(big.Glyph('1')[row * 9 + 4], 1) << row;
    EXPECT_EQ(big.Glyph('1')[0 * 9 + 0], 0);
    // The bottom bar of 2 fills the whole last row.
    for (int column = 0; column < 9; ++column)
        EXPECT_EQ(big.Glyph('2')[11 * 9 + column], 1) << column;
}

TEST(LCDFont, Mat5x8_IsMat5x7WithAnUnlitBottomRow)
{
    for (int code = 32; code <= 126; ++code) {
        EXPECT_EQ(Picture(BuiltInFont(mat5x8), code, 7), Picture(BuiltInFont(mat5x7), code, 7)) << code;
        EXPECT_FALSE(AnyLit(BuiltInFont(mat5x8), code, 7)) << code;
    }
}

TEST(LCDFont, CustomFontMatrix_HasNoBuiltInGlyphs)
{
    EXPECT_TRUE(BuiltInFont(CustomFont).Glyphs.empty());
}
