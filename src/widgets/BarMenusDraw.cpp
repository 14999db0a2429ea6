// The bar menu's item handlers: measuring, drawing an item beside its slice
// of the bar, and separators that can carry a text.
#include "BarMenus.h"

#include "../framework/CanvasText.h"
#include "../framework/Dpi.h"

namespace {
// Menus are drawn at the system's DPI; their gaps are 96-DPI pixels.
int MenuDpi() { return static_cast<int>(SystemDpi()); }

IBarMenu* BarMenuOf(const TMenuItem& item) { return dynamic_cast<IBarMenu*>(item.Menu()); }

// Position of the item among its menu's top-level items; -1 when it is not one.
int TopLevelIndex(const TPopupMenu& menu, const TMenuItem& item)
{
    const auto& items = menu.Items();
    for (size_t index = 0; index < items.size(); ++index)
        if (items[index].get() == &item)
            return static_cast<int>(index);
    return -1;
}

TBarRect ToBarRect(const RECT& r) { return TBarRect{r.left, r.top, r.right, r.bottom}; }
RECT ToRect(const TBarRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

std::string SeparatorText(const TMenuItem& item) { return item.Enabled() ? item.Hint : std::string(); }

// Makes the bar image Bar.Width x TotalHeight; a new size needs a new painting.
void FitBarImage(TBcBarProtected& state, int width)
{
    const SIZE size = BitmapSize(state.BarImage.get());
    if (state.BarImage && size.cx == width && size.cy == state.TotalHeight)
        return;
    TWindowDC screen;
    state.BarImage.reset(CreateCompatibleBitmap(screen.Handle(), width, state.TotalHeight));
    state.Painted = false;
}
}  // namespace

void MeasureBarItem(TMenuItem& item, HDC, int& width, int& height)
{
    const int dpi = MenuDpi();
    if (item.IsSeparator())
        height = SeparatorHeight(!SeparatorText(item).empty(), dpi);
    IBarMenu* barMenu = BarMenuOf(item);
    TPopupMenu* menu = item.Menu();
    if (!menu)
        return;
    if (barMenu && barMenu->GetShortLines())
        width += BarLength(10, dpi);
    // Items of a menu without pictures still get the room a picture would take.
    if (!menu->Images)
        width += BarLength(15, dpi);
    if (!barMenu)
        return;
    TBcBar& bar = barMenu->GetBar();
    const int index = TopLevelIndex(*menu, item);
    if (!bar.Visible() || index < 0)
        return;
    width += bar.Width() + bar.Space();
    // Each item's height is kept by position, so the total stays right even
    // when the platform measures an item more than once.
    TBcBarProtected& state = barMenu->GetProtected();
    if (state.ItemHeights.size() < menu->Items().size())
        state.ItemHeights.resize(menu->Items().size(), 0);
    state.ItemHeights[static_cast<size_t>(index)] = height;
    state.TotalHeight = TotalHeight(state.ItemHeights);
}

void DrawBarItem(TMenuItem& item, HDC canvas, const RECT& rect, UINT state)
{
    IBarMenu* barMenu = BarMenuOf(item);
    if (!barMenu) {
        if (item.Menu())
            item.Menu()->DefaultDrawItem(item, canvas, rect, state);
        return;
    }
    TPopupMenu& menu = barMenu->GetMenu();
    TBcBar& bar = barMenu->GetBar();
    TBcBarProtected& drawing = barMenu->GetProtected();
    const bool shortLines = barMenu->GetShortLines();
    const int index = TopLevelIndex(menu, item);
    const bool onBar = bar.Visible() && index >= 0;

    const int dpi = MenuDpi();
    const RECT area =
        ToRect(ItemArea(ToBarRect(rect), onBar, bar.Width(), bar.Space(), bar.Side(), shortLines, dpi));
    if (item.IsSeparator()) {
        DrawSeparator(item, SeparatorText(item), canvas, shortLines, state, area);
    } else {
        if (shortLines) {
            const RECT strip = {area.right, area.top, area.right + BarLength(10, dpi), area.bottom};
            FillRect(canvas, &strip, GetSysColorBrush((state & ODS_SELECTED) ? COLOR_HIGHLIGHT : COLOR_MENU));
        }
        menu.DefaultDrawItem(item, canvas, area, state);
    }
    if (!onBar)
        return;

    // Without a measuring pass in this popup, the heights last measured still tell the bar's size.
    if (drawing.TotalHeight <= 0)
        drawing.TotalHeight = TotalHeight(drawing.ItemHeights);
    if (drawing.TotalHeight <= 0 || bar.Width() <= 0)
        return;
    FitBarImage(drawing, bar.Width());
    if (!drawing.BarImage)
        return;

    const int offset = BarOffsetOf(drawing.ItemHeights, static_cast<size_t>(index));
    const int column = BarColumnLeft(ToBarRect(rect), bar.Width(), bar.Side());
    TMemoryDC image(canvas);
    TSelectObject selected(image.Handle(), drawing.BarImage.get());
    if (!drawing.Painted) {
        const RECT whole = {0, 0, bar.Width(), drawing.TotalHeight};
        bool defaultDraw = true;
        if (barMenu->GetOnBeforeDrawBar())
            barMenu->GetOnBeforeDrawBar()(*barMenu, image.Handle(), whole, defaultDraw);
        if (defaultDraw)
            PaintBar(*barMenu, image.Handle());
        // The whole bar at once, from the top of the first item.
        BitBlt(canvas, column, rect.top - offset, bar.Width(), drawing.TotalHeight, image.Handle(), 0, 0, SRCCOPY);
        if (barMenu->GetOnAfterDrawBar())
            barMenu->GetOnAfterDrawBar()(*barMenu, image.Handle(), whole);
        drawing.Painted = true;
    } else {
        BitBlt(canvas, column, rect.top, bar.Width(), rect.bottom - rect.top, image.Handle(), 0, offset, SRCCOPY);
    }
}

void DrawSeparator(TMenuItem& item, const std::string& text, HDC canvas, bool shortLines, UINT state, RECT rect)
{
    TSavedDCState saved(canvas);
    const int dpi = MenuDpi();
    FillRect(canvas, &rect, GetSysColorBrush(COLOR_MENU));
    if (shortLines)
        rect.left += BarLength(10, dpi);
    InflateRect(&rect, -BarLength(12, dpi), 0);
    RECT line = rect;
    if (text.empty()) {
        line.top += BarLength(5, dpi);
        DrawEdge(canvas, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    line.top += BarLength(6, dpi);
    DrawEdge(canvas, &line, EDGE_ETCHED, BF_TOP);

    const std::string shown = " " + text + " ";
    const SIZE size = CanvasTextExtent(canvas, shown);
    const int left = rect.left + CenteredOffset(rect.right - rect.left, size.cx);
    // The text's box cuts the line; it stays within the separator's height.
    RECT box = {left, rect.top, left + size.cx, rect.bottom};
    FillRect(canvas, &box, GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(canvas, TRANSPARENT);
    const bool highlighted = item.HasClickHandler() && (state & ODS_SELECTED);
    SetTextColor(canvas, highlighted ? RGB(0, 0, 0xFF) : GetSysColor(COLOR_MENUTEXT));
    DrawCanvasText(canvas, shown, box,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}
