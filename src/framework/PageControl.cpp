#include "PageControl.h"

#include <commctrl.h>

#include "WideText.h"

namespace {
const char kSheetClass[] = "TSkarnValeTabSheet";
}

TTabSheet::TTabSheet(TPageControl& owner, const std::string& caption) : owner_(owner)
{
    RegisterClassOnce(kSheetClass);
    const RECT area = owner.DisplayArea();
    CreateHandle(kSheetClass, caption, WS_CHILD | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, area.left,
                 area.top, area.right - area.left, area.bottom - area.top, owner.Handle());
    index_ = owner.AddSheet(this, caption);
}

HFONT TTabSheet::Font() const { return owner_.Font(); }

void TTabSheet::SetCaption(const std::string& caption)
{
    SetWindowTextString(Handle(), caption);
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    std::wstring wide = Widen(caption);
    item.pszText = &wide[0];
    SendMessageW(owner_.Handle(), TCM_SETITEMW, static_cast<WPARAM>(index_), reinterpret_cast<LPARAM>(&item));
}

// Tab and Shift+Tab go through the controls of the page shown (the sheets
// are the tab control's children); Ctrl+Tab and Ctrl+Page Down or Up go from
// page to page, as in the system's property sheets.
TPageControl::TPageControl(TContainer& parent, const TBounds& bounds)
    : TControl(parent, WC_TABCONTROLA, WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP, WS_EX_CONTROLPARENT, bounds),
      parent_(parent)
{
}

int TPageControl::AddSheet(TTabSheet* sheet, const std::string& caption)
{
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    std::wstring wide = Widen(caption);
    item.pszText = &wide[0];
    const int index = PageCount();
    SendMessageW(Handle(), TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    sheets_.push_back(sheet);
    // Tabs now take their height.
    FitSheets();
    SetActivePageIndex(ActivePageIndex() < 0 ? 0 : ActivePageIndex());
    return index;
}

void TPageControl::FitSheets()
{
    const RECT area = DisplayArea();
    for (TTabSheet* each : sheets_)
        SetWindowPos(each->Handle(), HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                     SWP_NOACTIVATE);
}

RECT TPageControl::DisplayArea() const
{
    RECT area;
    GetClientRect(Handle(), &area);
    SendMessageW(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    return area;
}

int TPageControl::ActivePageIndex() const { return static_cast<int>(SendMessageW(Handle(), TCM_GETCURSEL, 0, 0)); }

void TPageControl::SetActivePageIndex(int index)
{
    SendMessageW(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    for (int i = 0; i < PageCount(); ++i)
        ShowWindow(sheets_[static_cast<size_t>(i)]->Handle(), i == index ? SW_SHOW : SW_HIDE);
}

bool TPageControl::HandleNotify(const NMHDR& header)
{
    if (header.code != static_cast<UINT>(TCN_SELCHANGE))
        return false;
    SetActivePageIndex(ActivePageIndex());
    return true;
}

bool SwitchPageByKey(HWND form, UINT message, WPARAM key)
{
    if (message != WM_KEYDOWN || GetKeyState(VK_CONTROL) >= 0 || (key != VK_TAB && key != VK_NEXT && key != VK_PRIOR))
        return false;
    HWND tabs = FindWindowExW(form, nullptr, WC_TABCONTROLW, nullptr);
    const int count = tabs ? static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0)) : 0;
    if (count == 0)
        return false;
    const bool back = key == VK_PRIOR || (key == VK_TAB && GetKeyState(VK_SHIFT) < 0);
    const int current = static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
    SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>((current + (back ? count - 1 : 1)) % count), 0);
    // Told as a click on the tab is, so that the page control shows the sheet.
    NMHDR change = {tabs, static_cast<UINT_PTR>(GetDlgCtrlID(tabs)), static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(GetParent(tabs), WM_NOTIFY, change.idFrom, reinterpret_cast<LPARAM>(&change));
    if (HWND first = GetNextDlgTabItem(form, nullptr, FALSE))
        SetFocus(first);
    return true;
}
