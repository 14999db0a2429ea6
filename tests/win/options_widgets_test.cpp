#include "system_fixture.h"

#include "graphic_capture.h"

namespace {
using OptionsWidgets = SystemTest;

void ExpectBounds(const TBounds& bounds, int left, int top, int width, int height)
{
    EXPECT_EQ(bounds.left, left);
    EXPECT_EQ(bounds.top, top);
    EXPECT_EQ(bounds.width, width);
    EXPECT_EQ(bounds.height, height);
}
}  // namespace

TEST_F(OptionsWidgets, Lamps_AreGreenRedAndYellowAt88x8)
{
    EXPECT_EQ(ihmOptions->zdsLedPopup.Color(), lcGreen);
    EXPECT_EQ(ihmOptions->zdsLedEmail.Color(), lcRed);
    EXPECT_EQ(ihmOptions->zdsLedSpam.Color(), lcYellow);
    ExpectBounds(ihmOptions->zdsLedPopup.Bounds(), 88, 8, 12, 13);
    ExpectBounds(ihmOptions->zdsLedEmail.Bounds(), 88, 8, 12, 13);
    ExpectBounds(ihmOptions->zdsLedSpam.Bounds(), 88, 8, 12, 13);
}

TEST_F(OptionsWidgets, Counters_AreOneLineOfFourCells)
{
    for (TLCDLabel* counter : {&ihmOptions->zdsCounter, &ihmOptions->zdsCounterSpam}) {
        EXPECT_EQ(counter->NoOfChars(), 4);
        EXPECT_EQ(counter->TextLines(), 1);
        EXPECT_EQ(counter->PixelOff(), RGB(170, 170, 170));
    }
    ExpectBounds(ihmOptions->zdsCounter.Bounds(), 88, 103, 70, 28);
    ExpectBounds(ihmOptions->zdsCounterSpam.Bounds(), 88, 79, 70, 28);
}

TEST_F(OptionsWidgets, CounterSetting_IsPaintedOnTheDisplay)
{
    ihmMain->LoadSettings();
    ihmOptions->SetCounter(42);
    const TCapture capture = CaptureClient(ihmOptions->zdsCounter.Handle());
    EXPECT_EQ(ReadCounterCell(capture, 0), kLcdDigits[0]);
    EXPECT_EQ(ReadCounterCell(capture, 1), kLcdDigits[0]);
    EXPECT_EQ(ReadCounterCell(capture, 2), kLcdDigits[4]);
    EXPECT_EQ(ReadCounterCell(capture, 3), kLcdDigits[2]);
}

TEST_F(OptionsWidgets, KillerSetting_LightsThePopupLamp)
{
    ihmMain->LoadSettings();
    ihmOptions->SetKillerActive(true);
    EXPECT_EQ(CaptureClient(ihmOptions->zdsLedPopup.Handle()).At(7, 8), RGB(0, 255, 0));
    ihmOptions->SetKillerActive(false);
    EXPECT_EQ(CaptureClient(ihmOptions->zdsLedPopup.Handle()).At(7, 8), RGB(0, 128, 0));
}
