#include <gtest/gtest.h>

#include <string>

#include "../support/lcd_cells.h"
#include "widgets/LCD_LabRender.h"

namespace {
constexpr std::uint32_t kOn = 0x000000, kOff = 0xAAAAAA, kBack = 0xC0C0C0;
const TLCDFrameColors kFrame{0xFFFFFF, 0x808080};

struct TDisplay {
    TLCDSettings settings;
    TLCDGeometry geometry;
    const TLCDFont* font = nullptr;

    explicit TDisplay(int cells, int lines = 1, TDotMatrix matrix = mat5x7)
    {
        settings.NoOfChars = cells;
        settings.TextLines = lines;
        settings.DotMatrix = matrix;
        font = &BuiltInFont(matrix);
        geometry = LCDGeometry(settings, *font);
    }
    TLCDPixels Render(const std::string& caption, bool enabled = true) const
    {
        const TLCDSize size = LCDSizeFromCounts(settings, geometry);
        return RenderLCD(settings, geometry, *font, LCDCaptionBuffer(caption), size.Width, size.Height, enabled,
                         kFrame);
    }
    // Top-left pixel of dot (column, row) of cell `cell` on line `line`.
    int DotX(int cell, int column) const
    {
        return settings.BorderSpace + 1 + cell * (geometry.CellWidth + settings.CharSpacing) +
               column * (geometry.DotWidth + settings.PixelSpacing);
    }
    int DotY(int line, int row) const
    {
        return settings.BorderSpace + 1 + line * (geometry.CellHeight + settings.LineSpacing) +
               row * (geometry.DotHeight + settings.PixelSpacing);
    }
    // The cell read back as '#' where its dots show PixelOn and '.' where PixelOff.
    std::string Read(const TLCDPixels& pixels, int cell, int line = 0) const
    {
        return ReadLcdCell(geometry.Columns, geometry.Rows, [&](int column, int row) {
            const std::uint32_t color = pixels.At(DotX(cell, column), DotY(line, row));
            return color == settings.PixelOn ? 1 : color == settings.PixelOff ? 0 : -1;
        });
    }
};
}  // namespace

TEST(LCDRender, Counter0042_LightsTheDotsOfEachDigit)
{
    const TDisplay display(4);
    const TLCDPixels pixels = display.Render("0042");
    ASSERT_EQ(pixels.Width, 70);
    ASSERT_EQ(pixels.Height, 28);
    EXPECT_EQ(display.Read(pixels, 0), kLcdDigits[0]);
    EXPECT_EQ(display.Read(pixels, 1), kLcdDigits[0]);
    EXPECT_EQ(display.Read(pixels, 2), kLcdDigits[4]);
    EXPECT_EQ(display.Read(pixels, 3), kLcdDigits[2]);
}

TEST(LCDRender, Counter0042_FillsEachDotBoxAndLeavesTheGapsBackground)
{
    const TDisplay display(4);
    const TLCDPixels pixels = display.Render("0042");
    // The first lit dot of the 4 (column 3, row 0) is a 2 x 2 box at (45, 4).
    EXPECT_EQ(display.DotX(2, 3), 45);
    for (int y = 4; y < 6; ++y)
        for (int x = 45; x < 47; ++x)
            EXPECT_EQ(pixels.At(x, y), kOn) << x << ',' << y;
    EXPECT_EQ(pixels.At(47, 4), kBack);  // the gap between dots
    EXPECT_EQ(pixels.At(45, 6), kBack);
    EXPECT_EQ(pixels.At(18, 10), kBack);  // the gap between cells
    EXPECT_EQ(pixels.At(3, 3), kBack);    // the border space
}

TEST(LCDRender, LoweredFrame_ShadowTopLeftHighlightBottomRight)
{
    const TDisplay display(4);
    const TLCDPixels pixels = display.Render("");
    EXPECT_EQ(pixels.At(0, 0), kFrame.Shadow);
    EXPECT_EQ(pixels.At(30, 0), kFrame.Shadow);
    EXPECT_EQ(pixels.At(0, 27), kFrame.Shadow);
    EXPECT_EQ(pixels.At(69, 0), kFrame.Shadow);
    EXPECT_EQ(pixels.At(69, 10), kFrame.Highlight);
    EXPECT_EQ(pixels.At(30, 27), kFrame.Highlight);
    EXPECT_EQ(pixels.At(1, 1), kBack);
}

TEST(LCDRender, RaisedSingleAndNoFrame)
{
    TDisplay display(4);
    display.settings.BorderStyle = frRaised;
    TLCDPixels pixels = display.Render("");
    EXPECT_EQ(pixels.At(5, 0), kFrame.Highlight);
    EXPECT_EQ(pixels.At(69, 5), kFrame.Shadow);
    display.settings.BorderStyle = frSingle;
    display.settings.BorderColor = 0x0000FF;
    pixels = display.Render("");
    EXPECT_EQ(pixels.At(0, 5), 0x0000FFu);
    EXPECT_EQ(pixels.At(5, 27), 0x0000FFu);
    display.settings.BorderStyle = frNone;
    pixels = display.Render("");
    EXPECT_EQ(pixels.At(0, 0), kBack);
    EXPECT_EQ(pixels.At(69, 27), kBack);
}

TEST(LCDRender, Disabled_ShowsBackgroundAndFrameOnly)
{
    const TDisplay display(4);
    const TLCDPixels pixels = display.Render("8888", false);
    for (int y = 1; y < 27; ++y)
        for (int x = 1; x < 69; ++x)
            ASSERT_EQ(pixels.At(x, y), kBack) << x << ',' << y;
    EXPECT_EQ(pixels.At(0, 0), kFrame.Shadow);
}

TEST(LCDRender, ShortCaption_LeavesTheOtherCellsBlank)
{
    const TDisplay display(4);
    const TLCDPixels pixels = display.Render("42");
    EXPECT_EQ(display.Read(pixels, 0), kLcdDigits[4]);
    EXPECT_EQ(display.Read(pixels, 2), kLcdBlank);
    EXPECT_EQ(display.Read(pixels, 3), kLcdBlank);
}

TEST(LCDRender, FiveDigitsOnFourCells_ShowTheFirstFour)
{
    const TDisplay display(4);
    const TLCDPixels pixels = display.Render("10000");
    EXPECT_EQ(display.Read(pixels, 0), kLcdDigits[1]);
    EXPECT_EQ(display.Read(pixels, 3), kLcdDigits[0]);
}

TEST(LCDRender, Caption_RunsOnIntoTheNextLine)
{
    const TDisplay display(2, 2);
    const TLCDPixels pixels = display.Render("1234");
    EXPECT_EQ(display.Read(pixels, 0, 1), kLcdDigits[3]);
    EXPECT_EQ(display.Read(pixels, 1, 1), kLcdDigits[4]);
}

TEST(LCDRender, CodesAboveTheFont_ShowItsLastGlyph)
{
    // 233 is é: read as an unsigned byte it is above 126 and shows the ~ glyph.
    const TDisplay display(2);
    const TLCDPixels pixels = display.Render("\xE9~");
    EXPECT_EQ(display.Read(pixels, 0), display.Read(pixels, 1));
    EXPECT_NE(display.Read(pixels, 0), kLcdBlank);
}

TEST(LCDRender, CodesBelowTheFont_ShowItsFirstGlyph)
{
    const TDisplay display(1);
    EXPECT_EQ(display.Read(display.Render("\x01"), 0), kLcdBlank);
}

TEST(LCDRender, ClampCode_ReadsBytesUnsigned)
{
    const TDisplay ascii(1), dos(1, 1, dos5x7), hitachi(1, 1, Hitachi);
    EXPECT_EQ(LCDClampCode(static_cast<unsigned char>('\xE9'), ascii.geometry), 126);
    EXPECT_EQ(LCDClampCode(static_cast<unsigned char>('\xE9'), dos.geometry), 233);
    EXPECT_EQ(LCDClampCode(static_cast<unsigned char>('\xE9'), hitachi.geometry), 223);
    EXPECT_EQ(LCDClampCode(0, ascii.geometry), 32);
    EXPECT_EQ(LCDClampCode(0, dos.geometry), 0);
}

TEST(LCDRender, Dos5x7HighCode_ShowsItsOwnGlyph)
{
    const TDisplay dos(2, 1, dos5x7);
    const TLCDPixels pixels = dos.Render("\xDB");  // full block
    EXPECT_EQ(dos.Read(pixels, 0), "##### ##### ##### ##### ##### ##### #####");
    EXPECT_EQ(dos.Read(pixels, 1), kLcdBlank);  // code 0 after the end
}

TEST(LCDRender, CaptionBuffer_CutsLongCaptionsAt255Bytes)
{
    const std::string longCaption(300, '7');
    const TLCDCaptionBuffer buffer = LCDCaptionBuffer(longCaption);
    EXPECT_EQ(buffer[254], '7');
    EXPECT_EQ(buffer[255], '\0');
    EXPECT_EQ(LCDCaptionBuffer(std::string("12\0" "34", 5))[2], '\0');
}

TEST(LCDRender, LongCaptionOnManyCells_StopsAtTheBuffer)
{
    TDisplay display(20, 15);  // 300 cells
    const TLCDPixels pixels = display.Render(std::string(300, '8'));
    EXPECT_EQ(display.Read(pixels, 14, 12), kLcdDigits[8]);  // cell 254
    EXPECT_EQ(display.Read(pixels, 15, 12), kLcdBlank);      // cell 255: the terminating zero
}

TEST(LCDRender, RoundDots_KeepTheBackgroundInTheCorners)
{
    TDisplay display(1);
    display.settings.PixelSize = pix4x4;
    display.settings.PixelShape = spRound;
    display.geometry = LCDGeometry(display.settings, *display.font);
    const TLCDPixels pixels = display.Render("8");
    const int x = display.DotX(0, 1), y = display.DotY(0, 0);  // lit dot
    EXPECT_EQ(pixels.At(x, y), kBack);
    EXPECT_EQ(pixels.At(x + 3, y + 3), kBack);
    EXPECT_EQ(pixels.At(x + 1, y + 1), kOn);
    EXPECT_EQ(pixels.At(x + 2, y), kOn);
}

TEST(LCDRender, ShapedDots_LitOnShadowSquareUnlitPlainSquare)
{
    TDisplay display(1);
    display.settings.PixelSize = pix4x4;
    display.settings.PixelShape = spShaped;
    display.settings.PixelOn = 0x0000FF;
    display.geometry = LCDGeometry(display.settings, *display.font);
    const TLCDPixels pixels = display.Render("8");
    int x = display.DotX(0, 1), y = display.DotY(0, 0);  // lit
    EXPECT_EQ(pixels.At(x, y), 0x00007Fu);
    EXPECT_EQ(pixels.At(x + 1, y + 1), 0x0000FFu);
    x = display.DotX(0, 0);  // unlit
    EXPECT_EQ(pixels.At(x, y), kOff);
    EXPECT_EQ(pixels.At(x + 1, y + 1), kOff);
}

TEST(LCDRender, OnePixelDots_SetOnePixelWhateverTheShape)
{
    TDisplay display(1);
    display.settings.PixelSize = pix1x1;
    display.settings.PixelShape = spRound;
    display.settings.PixelSpacing = 0;
    display.geometry = LCDGeometry(display.settings, *display.font);
    const TLCDPixels pixels = display.Render("1");
    EXPECT_EQ(display.Read(pixels, 0), kLcdDigits[1]);
    EXPECT_EQ(pixels.Width, 2 * 3 + 5 + 2);
}

TEST(LCDRender, CustomFont_ZeroLitOneUnlitOtherKeepsThePreviousColour)
{
    std::vector<std::uint8_t> file = {2, 0, 0, 0, 2, 0, 0, 0, 65, 0, 0, 0, 65, 0, 0, 0, 2, 0, 1, 7};
    TLCDFont font;
    ASSERT_TRUE(ParseLCDFont(file.data(), file.size(), font));
    TLCDSettings settings;
    settings.NoOfChars = 2;
    const TLCDGeometry geometry = LCDGeometry(settings, font);
    const TLCDSize size = LCDSizeFromCounts(settings, geometry);
    const TLCDPixels pixels =
        RenderLCD(settings, geometry, font, LCDCaptionBuffer("A"), size.Width, size.Height, true, kFrame);
    EXPECT_EQ(pixels.At(4, 4), 0xC0C0C0u);  // first dot 2: silver
    EXPECT_EQ(pixels.At(7, 4), kOn);        // 0: lit
    EXPECT_EQ(pixels.At(4, 7), kOff);       // 1: unlit
    EXPECT_EQ(pixels.At(7, 7), kOff);       // 7: as the dot before
    // The second cell reads code 0, clamped to 65.
    EXPECT_EQ(pixels.At(4 + geometry.CellWidth + 2 + 3, 4), kOn);
}
