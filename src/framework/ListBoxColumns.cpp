#include "ListBoxColumns.h"

#include "Container.h"
#include "GdiScoped.h"
#include "WideText.h"

#include <algorithm>

TTwoColumnListBox::TTwoColumnListBox(TContainer& parent, const TBounds& bounds, int itemHeight, int sideWidth)
    : TListBox(parent, bounds, itemHeight, LBS_OWNERDRAWFIXED | LBS_HASSTRINGS), sideWidth_(sideWidth)
{
}

bool TTwoColumnListBox::HandleDrawItem(const DRAWITEMSTRUCT& draw)
{
    if (draw.hwndItem != Handle())
        return false;
    HDC dc = draw.hDC;
    TSavedDCState saved(dc);
    const bool selected = (draw.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &draw.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (draw.itemID != static_cast<UINT>(-1)) {
        const int index = static_cast<int>(draw.itemID);
        SetBkMode(dc, TRANSPARENT);
        // The dimmed program beside the title, so the eye reads the title first.
        const int side = MulDiv(sideWidth_, static_cast<int>(GetDeviceCaps(dc, LOGPIXELSX)), 96);
        const int gap = MulDiv(4, static_cast<int>(GetDeviceCaps(dc, LOGPIXELSX)), 96);
        RECT first = draw.rcItem;
        first.left += gap / 2;
        first.right = std::max(first.left, static_cast<LONG>(draw.rcItem.right - side - gap));
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        const std::wstring title = Widen(Items(index));
        DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &first,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        RECT second = draw.rcItem;
        second.left = first.right + gap;
        second.right -= gap / 2;
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_GRAYTEXT));
        const std::wstring sideText = Widen(OnSideText ? OnSideText(index) : std::string());
        DrawTextW(dc, sideText.c_str(), static_cast<int>(sideText.size()), &second,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (draw.itemState & ODS_FOCUS)
        DrawFocusRect(dc, &draw.rcItem);
    return true;
}
