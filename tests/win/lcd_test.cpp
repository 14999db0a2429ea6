#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "graphic_capture.h"
#include "message_box_watcher.h"
#include "widgets/LCD_Lab.h"

namespace {
constexpr COLORREF kGrey = RGB(170, 170, 170), kSilver = RGB(192, 192, 192);

class LCDTest : public ::testing::Test {
protected:
    void TearDown() override { std::remove(fontPath.c_str()); }
    std::string WriteFont(const std::vector<std::uint8_t>& bytes)
    {
        std::ofstream(fontPath, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return fontPath;
    }
    // A 1 x 1 font for codes 48 to 57 whose single dot is lit (byte 0).
    std::vector<std::uint8_t> OneDotFont()
    {
        std::vector<std::uint8_t> bytes = {1, 0, 0, 0, 1, 0, 0, 0, 48, 0, 0, 0, 57, 0, 0, 0};
        bytes.resize(bytes.size() + 10, 0);
        return bytes;
    }

    TForm form{HostFormOptions()};
    std::string fontPath = "lcd_test_font.fnt";
};
}  // namespace

TEST_F(LCDTest, CounterBounds_GiveFourCellsOnOneLine)
{
    TLCDLabel lcd(form, {88, 103, 70, 28});
    EXPECT_EQ(lcd.NoOfChars(), 4);
    EXPECT_EQ(lcd.TextLines(), 1);
    EXPECT_EQ(lcd.Width(), 70);
    EXPECT_EQ(lcd.Height(), 28);
    EXPECT_EQ(lcd.Bounds().left, 88);
}

TEST_F(LCDTest, NoBounds_TakeTheSizeOfTheDefaultCounts)
{
    TLCDLabel lcd(form, {5, 5, 0, 0});
    EXPECT_EQ(lcd.NoOfChars(), 10);
    EXPECT_EQ(lcd.Width(), 166);
    EXPECT_EQ(lcd.Height(), 28);
}

TEST_F(LCDTest, Constructor_SetsTheDocumentedDefaults)
{
    TLCDLabel lcd(form, {0, 0, 0, 0});
    EXPECT_EQ(lcd.Caption(), "");
    EXPECT_EQ(lcd.DotMatrix(), mat5x7);
    EXPECT_EQ(lcd.PixelSize(), pix2x2);
    EXPECT_EQ(lcd.PixelSpacing(), 1);
    EXPECT_EQ(lcd.PixelShape(), spSquare);
    EXPECT_EQ(lcd.CharSpacing(), 2);
    EXPECT_EQ(lcd.LineSpacing(), 2);
    EXPECT_EQ(lcd.BorderSpace(), 3);
    EXPECT_EQ(lcd.BackGround(), kSilver);
    EXPECT_EQ(lcd.BorderStyle(), frLowered);
    EXPECT_EQ(lcd.PixelOn(), RGB(0, 0, 0));
    EXPECT_EQ(lcd.PixelOff(), kGrey);
    EXPECT_EQ(lcd.ShadowColor(), RGB(0, 0, 0));
}

TEST_F(LCDTest, Caption0042_PaintsTheDigitsDotByDot)
{
    TLCDLabel lcd(form, {0, 0, 70, 28});
    lcd.SetCaption("0042");
    const TCapture capture = CaptureClient(lcd.Handle());
    ASSERT_EQ(capture.width, 70);
    EXPECT_EQ(ReadCounterCell(capture, 0), kLcdDigits[0]);
    EXPECT_EQ(ReadCounterCell(capture, 1), kLcdDigits[0]);
    EXPECT_EQ(ReadCounterCell(capture, 2), kLcdDigits[4]);
    EXPECT_EQ(ReadCounterCell(capture, 3), kLcdDigits[2]);
    EXPECT_EQ(capture.At(47, 4), kSilver);  // between two dots
    EXPECT_EQ(capture.At(0, 0), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(capture.At(69, 27), GetSysColor(COLOR_BTNHIGHLIGHT));
    for (COLORREF c : capture.pixels)
        ASSERT_NE(c, kUnpainted);
}

TEST_F(LCDTest, CaptionOf10000_ShowsItsFirstFourDigitsAndReadsBackWhole)
{
    TLCDLabel lcd(form, {0, 0, 70, 28});
    lcd.SetCaption("10000");
    EXPECT_EQ(lcd.Caption(), "10000");
    const TCapture capture = CaptureClient(lcd.Handle());
    EXPECT_EQ(ReadCounterCell(capture, 0), kLcdDigits[1]);
    EXPECT_EQ(ReadCounterCell(capture, 3), kLcdDigits[0]);
}

TEST_F(LCDTest, ShortCaption_LeavesTheRestBlank)
{
    TLCDLabel lcd(form, {0, 0, 70, 28});
    lcd.SetCaption("0042");
    lcd.SetCaption("7");
    const TCapture capture = CaptureClient(lcd.Handle());
    EXPECT_EQ(ReadCounterCell(capture, 0), kLcdDigits[7]);
    EXPECT_EQ(ReadCounterCell(capture, 1), kLcdBlank);
    EXPECT_EQ(ReadCounterCell(capture, 3), kLcdBlank);
}

TEST_F(LCDTest, AccentedCharacter_IsReadAsAnUnsignedCode)
{
    TLCDLabel lcd(form, {0, 0, 70, 28});
    lcd.SetCaption("\xE9~\x01");  // é above 126 shows as ~, code 1 below 32 as a space
    const TCapture capture = CaptureClient(lcd.Handle());
    EXPECT_EQ(ReadCounterCell(capture, 0), ReadCounterCell(capture, 1));
    EXPECT_NE(ReadCounterCell(capture, 0), kLcdBlank);
    EXPECT_EQ(ReadCounterCell(capture, 2), kLcdBlank);
}

TEST_F(LCDTest, CaptionLongerThan255_ReadsBack255AndPaints)
{
    TLCDLabel lcd(form, {0, 0, 70, 28});
    lcd.SetCaption(std::string(400, '9'));
    EXPECT_EQ(lcd.Caption(), std::string(255, '9'));
    EXPECT_EQ(ReadCounterCell(CaptureClient(lcd.Handle()), 3), kLcdDigits[9]);
}

TEST_F(LCDTest, DisabledDisplay_ShowsNoDots)
{
    TLCDLabel lcd(form, {0, 0, 70, 28});
    lcd.SetCaption("8888");
    lcd.SetEnabled(false);
    const TCapture capture = CaptureClient(lcd.Handle());
    EXPECT_EQ(capture.At(4, 4), kSilver);
    EXPECT_EQ(capture.At(5 + 16, 7), kSilver);
}

TEST_F(LCDTest, MoreCells_ResizeTheControlAtOnce)
{
    TLCDLabel lcd(form, {0, 0, 70, 28});
    lcd.SetNoOfChars(5);
    EXPECT_EQ(lcd.Width(), 86);
    lcd.SetTextLines(2);
    EXPECT_EQ(lcd.Height(), 50);
    lcd.SetCharSpacing(0);
    EXPECT_EQ(lcd.Width(), 6 + 5 * 14 + 2);
}

TEST_F(LCDTest, EnlargingByOneCell_AddsACellAndSnaps)
{
    TLCDLabel lcd(form, {0, 0, 70, 28});
    lcd.SetBounds({0, 0, 86, 28});
    EXPECT_EQ(lcd.NoOfChars(), 5);
    EXPECT_EQ(lcd.Width(), 86);
    lcd.SetBounds({0, 0, 99, 28});
    EXPECT_EQ(lcd.NoOfChars(), 5);
    EXPECT_EQ(lcd.Width(), 86);
}

TEST_F(LCDTest, InvalidValues_AreRefusedWithTheirMessages)
{
    TLCDLabel lcd(form, {0, 0, 70, 28});
    TMessageBoxWatcher watcher;
    lcd.SetPixelSpacing(-1);
    lcd.SetCharSpacing(-1);
    lcd.SetLineSpacing(-2);
    lcd.SetBorderSpace(-1);
    lcd.SetTextLines(0);
    lcd.SetNoOfChars(0);
    lcd.SetPixelSize(pixCustom);
    lcd.SetPixelWidth(0);
    lcd.SetPixelHeight(-3);
    const std::vector<TSeenBox> seen = watcher.Seen();
    const char* const expected[] = {"Pixel spacing can't be less than zero!",  "Character spacing can't be less than zero!",
                                    "Line spacing can't be less than zero!",   "Border spacing can't be less than zero!",
                                    "Display needs at least on line!",          "Display needs at least one character!",
                                    "Display pixel width must be 1 or greater!", "Display pixel height must be 1 or greate!"};
    ASSERT_EQ(seen.size(), 8u);
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].text, expected[i]);
        EXPECT_EQ(seen[i].caption, "Erreur");
    }
    EXPECT_EQ(lcd.PixelSpacing(), 1);
    EXPECT_EQ(lcd.CharSpacing(), 2);
    EXPECT_EQ(lcd.LineSpacing(), 2);
    EXPECT_EQ(lcd.BorderSpace(), 3);
    EXPECT_EQ(lcd.TextLines(), 1);
    EXPECT_EQ(lcd.NoOfChars(), 4);
    EXPECT_EQ(lcd.PixelWidth(), 2);
    EXPECT_EQ(lcd.PixelHeight(), 2);
    EXPECT_EQ(lcd.Width(), 70);
}

TEST_F(LCDTest, PixelWidthWithoutCustomSize_IsIgnoredSilently)
{
    TLCDLabel lcd(form, {0, 0, 70, 28});
    TMessageBoxWatcher watcher;
    lcd.SetPixelWidth(0);
    lcd.SetPixelWidth(5);
    EXPECT_EQ(lcd.PixelWidth(), 2);
    EXPECT_TRUE(watcher.Seen().empty());
}

TEST_F(LCDTest, CustomPixelSize_ResizesTheCells)
{
    TLCDLabel lcd(form, {0, 0, 70, 28});
    lcd.SetPixelSize(pixCustom);
    lcd.SetPixelWidth(3);
    EXPECT_EQ(lcd.Width(), 6 + 3 * 2 + 4 * (5 * 3 + 4) + 2);
    lcd.SetPixelSize(pix1x1);
    EXPECT_EQ(lcd.PixelWidth(), 1);
    EXPECT_EQ(lcd.PixelHeight(), 1);
}

TEST_F(LCDTest, PixelOn_RecolorsLitDotsAndHalvesIntoTheShadow)
{
    TLCDLabel lcd(form, {0, 0, 70, 28});
    lcd.SetCaption("8");
    lcd.SetPixelOn(RGB(0, 255, 101));
    EXPECT_EQ(lcd.ShadowColor(), RGB(0, 127, 50));
    EXPECT_EQ(CaptureClient(lcd.Handle()).At(4 + 3, 4), RGB(0, 255, 101));
}

TEST_F(LCDTest, CustomFontMatrixWithoutFile_KeepsThePreviousMatrix)
{
    TLCDLabel lcd(form, {0, 0, 70, 28});
    lcd.SetDotMatrix(dos5x7);
    lcd.SetDotMatrix(CustomFont);
    EXPECT_EQ(lcd.DotMatrix(), dos5x7);
}

TEST_F(LCDTest, Filename_LoadsTheFontAndPaintsWithIt)
{
    TLCDLabel lcd(form, {0, 0, 70, 28});
    lcd.SetCaption("5");
    lcd.SetFilename(WriteFont(OneDotFont()));
    EXPECT_EQ(lcd.DotMatrix(), CustomFont);
    EXPECT_EQ(lcd.filename(), fontPath);
    // The counts stay; the control shrinks to four cells of one 2 x 2 dot.
    EXPECT_EQ(lcd.NoOfChars(), 4);
    EXPECT_EQ(lcd.Width(), 6 + 3 * 2 + 4 * 2 + 2);
    const TCapture capture = CaptureClient(lcd.Handle());
    EXPECT_EQ(capture.At(4, 4), RGB(0, 0, 0));     // "5": the one dot lit
    EXPECT_EQ(capture.At(8, 4), RGB(0, 0, 0));     // code 0 clamped up to 48: lit
}

TEST_F(LCDTest, RefusedFontFile_FallsBackLikeAnUnreadableOne)
{
    TLCDLabel lcd(form, {0, 0, 70, 28});
    lcd.SetDotMatrix(Hitachi);
    std::vector<std::uint8_t> shortFile = OneDotFont();
    shortFile.pop_back();
    lcd.SetFilename(WriteFont(shortFile));
    EXPECT_EQ(lcd.DotMatrix(), Hitachi);
    lcd.SetFilename(WriteFont(OneDotFont()));
    EXPECT_EQ(lcd.DotMatrix(), CustomFont);
    lcd.SetFilename(fontPath + ".missing");
    EXPECT_EQ(lcd.DotMatrix(), mat5x7);  // the previous matrix was the custom one
    std::vector<std::uint8_t> huge = {0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0, 0xFF, 0, 0, 0};
    lcd.SetFilename(WriteFont(huge));
    EXPECT_EQ(lcd.DotMatrix(), mat5x7);
}
