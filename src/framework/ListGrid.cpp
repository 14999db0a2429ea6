#include "ListGrid.h"

#include "Container.h"
#include "Dpi.h"
#include "Form.h"

#include "WideText.h"

#include <algorithm>

#include <vector>

#include "WideText.h"

namespace {
// The list view class must be registered before the control is created,
// which happens in the base class constructor.
const char* ListViewClass()
{
    static const bool registered = [] {
        INITCOMMONCONTROLSEX init = {sizeof init, ICC_LISTVIEW_CLASSES};
        return InitCommonControlsEx(&init) != FALSE;
    }();
    (void)registered;
    return "SysListView32";
}

}  // namespace

TListGrid::TListGrid(TContainer& parent, const TBounds& bounds, int columnCount, int rowHeight)
    : TControl(parent, ListViewClass(), LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP, 0, bounds),
      columnCount_(columnCount),
      rowHeight_(rowHeight)
{
    SendMessageW(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES,
                 LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    for (int column = 0; column < columnCount; ++column) {
        LVCOLUMNW info = {};
        info.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        info.cx = 50;
        info.pszText = const_cast<wchar_t*>(L"");
        info.iSubItem = column;
        SendMessageW(Handle(), LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info));
    }
    FitRowHeight(parent.Scale(rowHeight));
    SetWindowSubclass(Handle(), WatchColumns, 1, reinterpret_cast<DWORD_PTR>(this));
}

TListGrid::~TListGrid()
{
    RemoveWindowSubclass(Handle(), WatchColumns, 1);
    if (rowSizer_)
        ImageList_Destroy(rowSizer_);
}

// The header tells the list view, never the list view's parent, of a width
// the program set; the list view takes the width as it handles the message.
// The record is read as a header change only once its code says it is one:
// in the custom draw that paints the captions, the place of the item pointer
// holds the device context: read through, it faults in the header's painting,
// which then draws no caption at all.
LRESULT CALLBACK TListGrid::WatchColumns(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR grid)
{
    const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
    if (message != WM_NOTIFY)
        return result;
    const UINT code = reinterpret_cast<const NMHDR*>(lParam)->code;
    if (code != HDN_ITEMCHANGEDW && code != HDN_ITEMCHANGEDA)
        return result;
    const auto* change = reinterpret_cast<const NMHEADERW*>(lParam);
    const bool width = !change->pitem || (change->pitem->mask & HDI_WIDTH);
    auto* self = reinterpret_cast<TListGrid*>(grid);
    if (width && self->OnColumnWidthChanged)
        self->OnColumnWidthChanged(change->iItem);
    return result;
}

// The list view has no row height of its own: it makes its rows as high as
// its small images. A one-pixel-wide image list of the right height sets it;
// the first measure tells how much the control adds around the image.
void TListGrid::DpiChanged() { FitRowHeight(ScaleToDpi(rowHeight_, TForm::DpiOf(Handle()))); }

void TListGrid::FitRowHeight(int rowHeight)
{
    int imageHeight = rowHeight;
    for (int attempt = 0; attempt < 2; ++attempt) {
        HIMAGELIST sizer = ImageList_Create(1, imageHeight > 0 ? imageHeight : 1, ILC_COLOR, 1, 1);
        SendMessageW(Handle(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(sizer));
        if (rowSizer_)
            ImageList_Destroy(rowSizer_);
        rowSizer_ = sizer;
        const bool measuring = RowCount() == 0;
        if (measuring)
            SetRowCount(1);
        const int measured = RowHeight();
        if (measuring)
            SetRowCount(0);
        if (measured <= 0 || measured == rowHeight)
            return;
        imageHeight += rowHeight - measured;
    }
}

std::string TListGrid::ColumnCaption(int column) const
{
    std::vector<wchar_t> buffer(512, L'\0');
    LVCOLUMNW info = {};
    info.mask = LVCF_TEXT;
    info.pszText = buffer.data();
    info.cchTextMax = static_cast<int>(buffer.size());
    if (!SendMessageW(Handle(), LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info)))
        return std::string();
    return info.pszText ? Narrow(std::wstring(info.pszText)) : std::string();
}

void TListGrid::SetColumnCaption(int column, const std::string& text)
{
    LVCOLUMNW info = {};
    info.mask = LVCF_TEXT;
    std::wstring wide = Widen(text);
    info.pszText = &wide[0];
    SendMessageW(Handle(), LVM_SETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info));
}

int TListGrid::ColumnWidth(int column) const
{
    return static_cast<int>(SendMessageW(Handle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

void TListGrid::SetColumnWidth(int column, int width)
{
    SendMessageW(Handle(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width < 0 ? 0 : width, 0));
}

int TListGrid::RowCount() const { return static_cast<int>(SendMessageW(Handle(), LVM_GETITEMCOUNT, 0, 0)); }

void TListGrid::SetRowCount(int count)
{
    // Every row is drawn afresh from OnCellText, so the texts shown follow
    // the data even when the count stays.
    SendMessageW(Handle(), LVM_SETITEMCOUNT, static_cast<WPARAM>(count < 0 ? 0 : count), 0);
    Repaint();
}

std::string TListGrid::Cell(int column, int row) const
{
    // LVM_GETITEMTEXT answers the length copied; a full buffer may mean more.
    for (size_t size = 256;; size *= 2) {
        std::vector<wchar_t> buffer(size, L'\0');
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(size);
        const LRESULT copied =
            SendMessageW(Handle(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        if (copied < static_cast<LRESULT>(size) - 1 || size >= (1u << 20))
            return item.pszText ? Narrow(item.pszText, static_cast<size_t>(copied)) : std::string();
    }
}

int TListGrid::RowHeight() const
{
    if (RowCount() == 0)
        return 0;
    const RECT rect = RowRect(0);
    return rect.bottom - rect.top;
}

RECT TListGrid::RowRect(int row) const
{
    RECT rect = {};
    rect.left = LVIR_BOUNDS;
    if (row < 0 || row >= RowCount() ||
        !SendMessageW(Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect)))
        return RECT{};
    return rect;
}

int TListGrid::Selected() const
{
    return static_cast<int>(SendMessageW(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TListGrid::SetSelected(int row)
{
    selectingByProgram_ = true;
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    SendMessageW(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    if (row >= 0 && row < RowCount()) {
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        SendMessageW(Handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    }
    selectingByProgram_ = false;
}

void TListGrid::Repaint() { InvalidateRect(Handle(), nullptr, TRUE); }

bool TListGrid::HandleNotify(const NMHDR& header)
{
    if (header.code == LVN_GETDISPINFOW) {
        // The list view asks for one cell as it draws it. The answer lives in
        // the grid until the next question, as the list view reads it later.
        // Its parent is a Unicode window, so it asks in UTF-16 only.
        auto& info = const_cast<NMLVDISPINFOW&>(reinterpret_cast<const NMLVDISPINFOW&>(header));
        if (info.item.mask & LVIF_IMAGE)
            info.item.iImage = -1;  // the row sizer is not a picture to show
        if (info.item.mask & LVIF_TEXT) {
            cellText_ = OnCellText ? OnCellText(info.item.iSubItem, info.item.iItem) : std::string();
            cellTextW_ = Widen(cellText_);
            if (info.item.pszText && info.item.cchTextMax > 0)
                lstrcpynW(info.item.pszText, cellTextW_.c_str(), info.item.cchTextMax);
            else
                info.item.pszText = &cellTextW_[0];
        }
        return true;
    }
    if (!OnClick || selectingByProgram_)
        return false;
    if (header.code == NM_CLICK) {
        OnClick();
        return true;
    }
    if (header.code == LVN_ITEMCHANGED) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if ((change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_SELECTED) &&
            !(change.uOldState & LVIS_SELECTED)) {
            OnClick();
            return true;
        }
    }
    return false;
}

bool TListGrid::FindRow(const NMHDR& header, LRESULT& result) const
{
    std::wstring typed;
    UINT flags = 0;
    int start = 0;
    if (header.code == LVN_ODFINDITEMW) {
        const auto& find = reinterpret_cast<const NMLVFINDITEMW&>(header);
        typed = find.lvfi.psz ? find.lvfi.psz : L"";
        flags = find.lvfi.flags;
        start = find.iStart;
    } else if (header.code == LVN_ODFINDITEMA) {
        const auto& find = reinterpret_cast<const NMLVFINDITEMA&>(header);
        // The list view of an ANSI window types in the ANSI code page.
        if (find.lvfi.psz && *find.lvfi.psz) {
            typed.assign(MultiByteToWideChar(CP_ACP, 0, find.lvfi.psz, -1, nullptr, 0), L'\0');
            MultiByteToWideChar(CP_ACP, 0, find.lvfi.psz, -1, &typed[0], static_cast<int>(typed.size()));
            typed.resize(typed.size() - 1);
        }
        flags = find.lvfi.flags;
        start = find.iStart;
    } else {
        return false;
    }
    result = -1;
    const int rows = RowCount();
    if (!(flags & (LVFI_STRING | LVFI_PARTIAL)) || typed.empty() || rows <= 0 || !OnCellText)
        return true;
    const bool wrap = (flags & LVFI_WRAP) != 0;
    const int first = std::max(0, std::min(start, rows));
    for (int step = 0; step < rows; ++step) {
        const int row = first + step;
        if (row >= rows && !wrap)
            break;
        const std::wstring cell = Widen(OnCellText(0, row % rows));
        const bool whole = !(flags & LVFI_PARTIAL);
        if (cell.size() < typed.size() || (whole && cell.size() != typed.size()))
            continue;
        if (CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, cell.c_str(), static_cast<int>(typed.size()),
                           typed.c_str(), static_cast<int>(typed.size())) == CSTR_EQUAL) {
            result = row % rows;
            break;
        }
    }
    return true;
}

LRESULT TListGrid::CustomDraw(NMLVCUSTOMDRAW& draw) const
{
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return OnRowTextColor ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
    case CDDS_ITEMPREPAINT: {
        COLORREF color = 0;
        if (OnRowTextColor && OnRowTextColor(static_cast<int>(draw.nmcd.dwItemSpec), color)) {
            draw.clrText = color;
            return CDRF_NEWFONT;
        }
        return CDRF_DODEFAULT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}
