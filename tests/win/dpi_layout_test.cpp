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

// What is wrong with one control, empty when nothing.
std::string Fault(HWND control, UINT dpi)
{
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

    for (TForm* form : std::vector<TForm*>{ihmOptions, ihmAppList, ihmAbout, ihmMailbox}) {
        std::vector<HWND> controls;
        EnumChildWindows(form->Handle(), Collect, reinterpret_cast<LPARAM>(&controls));
        for (HWND control : controls) {
            const std::string fault = Fault(control, dpi);
            EXPECT_TRUE(fault.empty()) << form->Caption() << ": " << ClassOf(control) << " \""
                                       << std::string(TextOf(control).begin(), TextOf(control).end()) << "\" "
                                       << fault << " at " << dpi << " DPI";
        }
    }
}
