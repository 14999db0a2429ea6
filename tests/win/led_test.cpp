#include <gtest/gtest.h>

#include <memory>

#include "graphic_capture.h"
#include "message_box_watcher.h"
#include "widgets/LED.h"
#include "widgets/LEDBitmap.h"

namespace {
const COLORREF kDarkLamp[] = {RGB(128, 0, 0), RGB(0, 128, 0), RGB(128, 128, 0), RGB(0, 0, 128)};
const COLORREF kLitLamp[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(255, 255, 0), RGB(0, 0, 255)};
constexpr int kCentreX = 7, kCentreY = 8;  // inside the lamp, clear of the highlight

class LEDTest : public ::testing::Test {
protected:
    TForm form{HostFormOptions()};
    COLORREF FormColor() const { return GetSysColor(COLOR_BTNFACE); }
};

// Sends a real double-click to the middle of `window` through the input queue.
void DoubleClick(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    INPUT inputs[4] = {};
    const DWORD flags[4] = {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
    for (int i = 0; i < 4; ++i) {
        inputs[i].type = INPUT_MOUSE;
        inputs[i].mi.dwFlags = flags[i];
    }
    SendInput(4, inputs, sizeof(INPUT));
}
}  // namespace

TEST_F(LEDTest, AnyBounds_KeepTheLamp12x13)
{
    TLED led(form, 10, 20, lcGreen);
    EXPECT_EQ(led.Width(), 12);
    EXPECT_EQ(led.Height(), 13);
    led.SetBounds({30, 40, 20, 50});
    EXPECT_EQ(led.Bounds().left, 30);
    EXPECT_EQ(led.Bounds().top, 40);
    EXPECT_EQ(led.Width(), 12);
    EXPECT_EQ(led.Height(), 13);
    MoveWindow(led.Handle(), 0, 0, 1, 1, TRUE);
    EXPECT_EQ(led.Width(), 12);
    EXPECT_EQ(led.Height(), 13);
}

TEST_F(LEDTest, NewLamp_IsDarkAndEnabled)
{
    TLED led(form, 0, 0);
    EXPECT_FALSE(led.Lit());
    EXPECT_EQ(led.Color(), lcRed);
    EXPECT_TRUE(led.Enabled());
}

TEST_F(LEDTest, ColourValues_MapToTheNearestLamp)
{
    EXPECT_EQ(TLED(form, 0, 0, RGB(0, 255, 0)).Color(), lcGreen);
    EXPECT_EQ(TLED(form, 0, 0, RGB(255, 0, 0)).Color(), lcRed);
    EXPECT_EQ(TLED(form, 0, 0, RGB(255, 255, 0)).Color(), lcYellow);
    EXPECT_EQ(TLED(form, 0, 0, RGB(0, 0, 200)).Color(), lcBlue);
}

TEST_F(LEDTest, EveryColour_PaintsDarkAndLitLamps)
{
    for (int colour = lcRed; colour <= lcBlue; ++colour) {
        TLED led(form, 0, 0, static_cast<TLEDColor>(colour));
        TCapture dark = CaptureClient(led.Handle());
        ASSERT_EQ(dark.width, 12);
        ASSERT_EQ(dark.height, 13);
        EXPECT_EQ(dark.At(kCentreX, kCentreY), kDarkLamp[colour]) << colour;
        led.SetLit(true);
        TCapture lit = CaptureClient(led.Handle());
        EXPECT_EQ(lit.At(kCentreX, kCentreY), kLitLamp[colour]) << colour;
        EXPECT_EQ(lit.At(4, 4), RGB(255, 255, 255)) << colour;  // the highlight
    }
}

TEST_F(LEDTest, SeeThroughCorners_ShowTheParentsColour)
{
    TLED led(form, 0, 0, lcGreen);
    const TCapture capture = CaptureClient(led.Handle());
    EXPECT_EQ(capture.At(0, 0), FormColor());
    EXPECT_EQ(capture.At(11, 12), FormColor());
    for (COLORREF c : capture.pixels)
        EXPECT_NE(c, RGB(0, 128, 128));  // no teal shows anywhere
}

TEST_F(LEDTest, Disabled_ShowsAnEmptyRing)
{
    TLED led(form, 0, 0, lcYellow);
    led.SetLit(true);
    led.SetEnabledState(false);
    EXPECT_FALSE(led.Enabled());
    const TCapture capture = CaptureClient(led.Handle());
    EXPECT_EQ(capture.At(kCentreX, kCentreY), FormColor());
    EXPECT_EQ(capture.At(4, 4), FormColor());
    EXPECT_NE(capture.At(0, 6), FormColor());  // the rim stays
    EXPECT_TRUE(led.Lit());
}

TEST_F(LEDTest, Disabling_FiresOnChangeStateOncePerChange)
{
    TLED led(form, 0, 0);
    int changes = 0;
    led.OnChangeState = [&] { ++changes; };
    led.SetEnabledState(false);
    EXPECT_EQ(changes, 1);
    led.SetEnabledState(false);
    EXPECT_EQ(changes, 1);
    led.SetEnabled(true);
    EXPECT_EQ(changes, 2);
}

TEST_F(LEDTest, SettingTheSameValue_FiresNothing)
{
    TLED led(form, 0, 0, lcBlue);
    int changes = 0;
    led.OnChangeState = [&] { ++changes; };
    led.SetLit(false);
    led.SetColor(lcBlue);
    EXPECT_EQ(changes, 0);
    led.SetLit(true);
    led.SetColor(lcRed);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(led.Color(), lcRed);
}

TEST_F(LEDTest, LitChange_IsDrawnBeforeOnChangeStateRuns)
{
    form.Show();
    TLED led(form, 0, 0, lcGreen);
    COLORREF seen = 0;
    led.OnChangeState = [&] {
        HDC dc = GetDC(form.Handle());
        seen = GetPixel(dc, kCentreX, kCentreY);
        ReleaseDC(form.Handle(), dc);
    };
    led.SetLit(true);
    EXPECT_EQ(seen, kLitLamp[lcGreen]);
}

TEST_F(LEDTest, DoubleClick_FiresOnDblClick)
{
    form.Show();
    TLED led(form, 50, 50, lcGreen);
    SetForegroundWindow(form.Handle());
    int clicks = 0;
    led.OnDblClick = [&] { ++clicks; };
    DoubleClick(led.Handle());
    EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }));
}

TEST_F(LEDTest, DoubleClickOnDisabledLamp_FiresNothing)
{
    form.Show();
    TLED led(form, 50, 50, lcGreen);
    TLED marker(form, 100, 50, lcRed);  // proves the input arrived
    SetForegroundWindow(form.Handle());
    int clicks = 0, markerClicks = 0;
    led.OnDblClick = [&] { ++clicks; };
    marker.OnDblClick = [&] { ++markerClicks; };
    led.SetEnabledState(false);
    DoubleClick(led.Handle());
    DoubleClick(marker.Handle());
    EXPECT_TRUE(PumpUntil([&] { return markerClicks == 1; }));
    EXPECT_EQ(clicks, 0);
}

TEST_F(LEDTest, SharedPictures_LiveExactlyWhileALampDoes)
{
    ASSERT_EQ(TLEDBitmap::Current(), nullptr);
    {
        TLED first(form, 0, 0);
        ASSERT_NE(TLEDBitmap::Current(), nullptr);
        EXPECT_TRUE(TLEDBitmap::Current()->Loaded());
        EXPECT_EQ(TLEDBitmap::Current()->TransparentColor(), RGB(0, 128, 128));
        const TLEDBitmap* holder = TLEDBitmap::Current();
        auto second = std::make_unique<TLED>(form, 20, 0);
        EXPECT_EQ(TLEDBitmap::Current(), holder);
        EXPECT_EQ(holder->LiveCount(), 2);
        second.reset();
        EXPECT_EQ(TLEDBitmap::Current(), holder);
        EXPECT_EQ(holder->LiveCount(), 1);
    }
    EXPECT_EQ(TLEDBitmap::Current(), nullptr);
}
