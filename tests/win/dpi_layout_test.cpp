// The system's windows at the DPI the test runs at: no control's text is
// wider or taller than the control, no child reaches outside its parent, and
// the fonts follow the DPI. CTest runs it at 96 DPI; the end-to-end suite runs
// it again with the session's DPI set to 144 and 192.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "forms/ihmAbout.h"
#include "forms/ihmAppList.h"
#include "forms/ihmMailbox.h"
#include "framework/Dpi.h"
#include "framework/GdiScoped.h"
#include "framework/MenuItemDraw.h"
#include "system_fixture.h"

namespace {
using DpiLayout = SystemTest;

std::string ClassOf(HWND hwnd)
{
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

std::wstring TextOf(HWND hwnd)
{
    wchar_t text[512] = {};
    GetWindowTextW(hwnd, text, 512);
    return text;
}

// The room the control's text needs, measured with the control's own font:
// a check box or radio button also holds its box and the gap after it.
SIZE TextNeeds(HWND control, UINT format, int wrapWidth)
{
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    const std::wstring text = TextOf(control);
    RECT box = {0, 0, wrapWidth, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, format | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return SIZE{box.right - box.left, box.bottom - box.top};
}

BOOL CALLBACK Collect(HWND child, LPARAM list)
{
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

// What is wrong with one control, empty when nothing. A control hidden by
// itself, not by its page, shows nothing (a tab control's scroll arrows
// while the tabs fit).
std::string Fault(HWND control, UINT dpi)
{
    if (!(GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE))
        return std::string();
    RECT client = {};
    GetClientRect(control, &client);
    RECT place = {};
    GetWindowRect(control, &place);
    HWND parent = GetParent(control);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&place), 2);
    RECT parentClient = {};
    GetClientRect(parent, &parentClient);
    const std::string cls = ClassOf(control);
    if (place.left < 0 || place.top < 0 || place.right > parentClient.right || place.bottom > parentClient.bottom)
        return "outside its parent (" + ClassOf(parent) + ")";
    if (TextOf(control).empty())
        return std::string();
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    UINT format = DT_SINGLELINE;
    int box = 0;
    if (cls == "Static") {
        const LONG kind = style & SS_TYPEMASK;
        if (kind != SS_LEFT && kind != SS_RIGHT && kind != SS_CENTER && kind != SS_LEFTNOWORDWRAP)
            return std::string();
        if (style & SS_NOPREFIX)
            format |= DT_NOPREFIX;
    } else if (cls == "Button") {
        const LONG kind = style & BS_TYPEMASK;
        if (kind == BS_GROUPBOX)
            return std::string();
        if (kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON ||
            kind == BS_3STATE || kind == BS_AUTO3STATE)
            box = SystemMetricForDpi(SM_CXMENUCHECK, dpi) + ScaleToDpi(3, dpi);
    } else {
        return std::string();
    }
    const SIZE needs = TextNeeds(control, format, client.right);
    if (needs.cx + box > client.right)
        return "text " + std::to_string(needs.cx + box) + " px wide in " + std::to_string(client.right);
    if (needs.cy > client.bottom)
        return "text " + std::to_string(needs.cy) + " px high in " + std::to_string(client.bottom);
    return std::string();
}

// Every child of `form` holds its text and stays inside its parent at `dpi`.
void ExpectEveryControlHeld(TForm& form, UINT dpi)
{
    std::vector<HWND> controls;
    EnumChildWindows(form.Handle(), Collect, reinterpret_cast<LPARAM>(&controls));
    for (HWND control : controls) {
        const std::string fault = Fault(control, dpi);
        const std::wstring text = TextOf(control);
        EXPECT_TRUE(fault.empty()) << form.Caption() << ": " << ClassOf(control) << " \""
                                   << std::string(text.begin(), text.end()) << "\" " << fault << " at " << dpi << " DPI";
    }
}

// The width of the icon's picture; 0 without one.
int IconSide(HICON icon)
{
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info))
        return 0;
    BITMAP mask = {};
    GetObjectW(info.hbmMask, sizeof mask, &mask);
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    return mask.bmWidth;
}

UINT ExpectedDpi()
{
    const char* wanted = std::getenv("SKARNVALE_EXPECT_DPI");
    return wanted ? static_cast<UINT>(std::atoi(wanted)) : 0;
}
}  // namespace

TEST_F(DpiLayout, EveryControlHoldsItsTextAndStaysInsideItsParent)
{
    const UINT dpi = WindowDpi(ihmOptions->Handle());
    if (ExpectedDpi())
        ASSERT_EQ(dpi, ExpectedDpi()) << "the session's DPI was not applied";
    // The 8-point form font follows the DPI.
    TEXTMETRICW metrics = {};
    HDC dc = GetDC(ihmOptions->Handle());
    HGDIOBJ old = SelectObject(dc, ihmOptions->Font());
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(ihmOptions->Handle(), dc);
    EXPECT_GE(metrics.tmHeight - metrics.tmInternalLeading, ScaleToDpi(11, dpi) - 1);
    // The tray menu's side bar and its caption, and the lamps, grow with it.
    EXPECT_EQ(ihmMain->mnpTB.Bar().Width(), ScaleToDpi(21, dpi));
    EXPECT_EQ(ihmMain->mnpTB.Bar().BarCaption().Font().Height, ScaleToDpi(-16, dpi));
    TScopedBitmap barPicture(static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), L"BAR_PIC", IMAGE_BITMAP, 0, 0, 0)));
    EXPECT_EQ(ihmMain->mnpTB.Bar().BarBitmap().Size().cy, ScaleToDpi(BitmapSize(barPicture.get()).cy, dpi));
    EXPECT_EQ(ihmOptions->zdsLedEmail.Width(), ScaleToDpi(12, dpi));
    // The menu's pictures are at the shell's small-icon size, and an item holds one.
    const int picture = SystemMetricForDpi(SM_CXSMICON, dpi);
    EXPECT_EQ(BitmapSize(ihmMain->utlImageList.Bitmap(0)).cx, picture);
    int width = 0, height = 0;
    HDC screen = GetDC(nullptr);
    MeasureMenuItem(ihmMain->mnpTbActivatePopup(), screen, width, height);
    ReleaseDC(nullptr, screen);
    EXPECT_GE(height, picture + ScaleToDpi(4, dpi));
    EXPECT_EQ(IconSide(reinterpret_cast<HICON>(SendMessageW(ihmMailbox->Handle(), WM_GETICON, ICON_SMALL, 0))), picture);

    // The mailboxes window's columns are kept as 96-DPI pixels and shown at the DPI.
    EXPECT_EQ(ihmMailbox->zdsGrid.ColumnWidth(1), ScaleToDpi(TihmMailbox::DefaultColumnWidth(1), dpi));
    EXPECT_EQ(ihmMailbox->ColumnWidth(1), TihmMailbox::DefaultColumnWidth(1));

    for (TForm* form : std::vector<TForm*>{ihmOptions, ihmAppList, ihmAbout, ihmMailbox})
        ExpectEveryControlHeld(*form, dpi);
}

namespace {
RECT RectIn(HWND control, HWND parent)
{
    RECT place = {};
    GetWindowRect(control, &place);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

// The form moved to a monitor of `dpi`, as Windows tells it: the frame it
// suggests holds the old client area scaled. The frame's own edges stay as
// they are drawn here: Wine draws them at the session's DPI.
void MoveToMonitorOf(TForm& form, UINT dpi)
{
    RECT frame = {};
    GetWindowRect(form.Handle(), &frame);
    RECT client = {};
    GetClientRect(form.Handle(), &client);
    const UINT old = form.Dpi();
    const int edgesX = (frame.right - frame.left) - client.right;
    const int edgesY = (frame.bottom - frame.top) - client.bottom;
    RECT suggested = {frame.left, frame.top,
                      frame.left + edgesX + MulDiv(client.right, static_cast<int>(dpi), static_cast<int>(old)),
                      frame.top + edgesY + MulDiv(client.bottom, static_cast<int>(dpi), static_cast<int>(old))};
    SendMessageW(form.Handle(), kWmDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}
}  // namespace

TEST_F(DpiLayout, DpiChanged_LaysEveryWindowOutAgainWithItsFontsAndDotsThenBack)
{
    // From 96 to twice that, from above back to 96 (Windows goes no lower):
    // the mailboxes window at twice 144 or 192 DPI would not fit the
    // session's screen, and Wine would cut it.
    const UINT start = WindowDpi(ihmOptions->Handle());
    const UINT other = start == 96 ? 192 : 96;
    const auto scaled = [start, other](int value) { return MulDiv(value, static_cast<int>(other), static_cast<int>(start)); };
    const RECT interval = RectIn(ihmOptions->zdsInterval.Handle(), ihmOptions->tsPopup.Handle());
    const int counterWidth = ihmOptions->zdsCounter.Width();
    const int lampWidth = ihmOptions->zdsLedPopup.Width();
    const int storedWidth = ihmMain->Settings.MailboxesWidth;
    const int storedColumn = ihmMain->Settings.MailboxesCol2;
    EXPECT_EQ(ihmOptions->zdsCounter.NoOfChars(), 4);  // its 96-DPI bounds hold four at any DPI
    for (TForm* form : std::vector<TForm*>{ihmOptions, ihmAppList, ihmAbout, ihmMailbox}) {
        MoveToMonitorOf(*form, (start + other) / 2);  // on the way: the places must not drift
        MoveToMonitorOf(*form, other);
        EXPECT_EQ(form->Dpi(), other) << form->Caption();
        ExpectEveryControlHeld(*form, other);
    }
    const RECT moved = RectIn(ihmOptions->zdsInterval.Handle(), ihmOptions->tsPopup.Handle());
    EXPECT_NEAR(moved.right - moved.left, scaled(interval.right - interval.left), 1);
    EXPECT_NEAR(moved.top, scaled(interval.top), 1);
    // The counter's dots scaled with it: the same four digits fill the
    // scaled width (exactly between 96 and 192 DPI; the dots are rounded at others).
    EXPECT_NEAR(ihmOptions->zdsCounter.Width(), scaled(counterWidth), start % 96 == 0 && other % 96 == 0 ? 2 : counterWidth / 5);
    EXPECT_EQ(ihmOptions->zdsCounter.NoOfChars(), 4);
    EXPECT_NEAR(ihmOptions->zdsLedPopup.Width(), scaled(lampWidth), 1);
    // The mailboxes window's sizes are stored as 96-DPI pixels: the same at
    // any DPI, but for the frame's edges, which Wine keeps at the session's DPI.
    EXPECT_NEAR(ihmMain->Settings.MailboxesWidth, storedWidth, 10);
    EXPECT_EQ(ihmMain->Settings.MailboxesCol2, storedColumn);
    EXPECT_NEAR(ihmMailbox->zdsGrid.ColumnWidth(1), ScaleToDpi(storedColumn, other), 1);
    // The about box's picture and the caption icons are loaded again at the new size.
    EXPECT_EQ(IconSide(ihmAbout->imgIcon.Picture()), ScaleToDpi(32, other));
    EXPECT_EQ(IconSide(reinterpret_cast<HICON>(SendMessageW(ihmOptions->Handle(), WM_GETICON, ICON_SMALL, 0))),
              SystemMetricForDpi(SM_CXSMICON, other));
    TEXTMETRICW metrics = {};
    HDC dc = GetDC(ihmOptions->Handle());
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(ihmOptions->zdsInterval.Handle(), WM_GETFONT, 0, 0)));
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(ihmOptions->Handle(), dc);
    EXPECT_GE(metrics.tmHeight - metrics.tmInternalLeading, ScaleToDpi(11, other) - 1);

    MoveToMonitorOf(*ihmOptions, start);
    const RECT back = RectIn(ihmOptions->zdsInterval.Handle(), ihmOptions->tsPopup.Handle());
    EXPECT_EQ(back.left, interval.left);
    EXPECT_EQ(back.right - back.left, interval.right - interval.left);
    EXPECT_EQ(ihmOptions->zdsCounter.Width(), counterWidth);
    EXPECT_EQ(ihmOptions->zdsLedPopup.Width(), lampWidth);
}
