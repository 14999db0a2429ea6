#include "MenuItemDraw.h"

#include <string>

#include "CanvasText.h"
#include "Dpi.h"
#include "GdiScoped.h"
#include "ImageList.h"
#include "MenuItem.h"

namespace {
// The item's gaps are 96-DPI pixels; menus are drawn at the system's DPI,
// their pictures at the small-icon size the shell asks for there.
struct TItemMetrics {
    UINT dpi;
    int image;        // the picture's side
    int column;       // the picture and 3 pixels on each side
    int textGap;      // between the picture's column and the caption
    int rightGap;     // after the caption or the shortcut
    int shortcutGap;  // between the caption and its shortcut
    int separator;    // a separator's height
    int Scale(int value) const { return ScaleToDpi(value, dpi); }
};

TItemMetrics ItemMetrics()
{
    TItemMetrics metrics = {};
    metrics.dpi = SystemDpi();
    metrics.image = SmallImageSize();
    metrics.column = metrics.image + metrics.Scale(6);
    metrics.textGap = metrics.Scale(6);
    metrics.rightGap = metrics.Scale(12);
    metrics.shortcutGap = metrics.Scale(16);
    metrics.separator = metrics.Scale(8);
    return metrics;
}

// The caption and the shortcut that follows a tab, if any.
void SplitCaption(const std::string& caption, std::string& text, std::string& shortcut)
{
    const size_t tab = caption.find('\t');
    text = caption.substr(0, tab);
    shortcut = tab == std::string::npos ? std::string() : caption.substr(tab + 1);
}

SIZE TextSize(HDC canvas, const std::string& text, UINT prefixFlags)
{
    RECT box = {0, 0, 0, 0};
    if (text.empty()) {
        TEXTMETRICW metrics = {};
        GetTextMetricsW(canvas, &metrics);
        return SIZE{0, metrics.tmHeight};
    }
    DrawCanvasText(canvas, text, box, DT_SINGLELINE | DT_CALCRECT | prefixFlags);
    return SIZE{box.right - box.left, box.bottom - box.top};
}

void DrawImage(HDC canvas, HBITMAP picture, int x, int y, int size, bool greyed)
{
    TMemoryDC source(canvas);
    TSelectObject selected(source.Handle(), picture);
    // The list's pictures carry premultiplied alpha; a greyed item shows its
    // picture faded.
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, static_cast<BYTE>(greyed ? 0x60 : 0xFF), AC_SRC_ALPHA};
    GdiAlphaBlend(canvas, x, y, size, size, source.Handle(), 0, 0, size, size, blend);
}

void DrawCheckMark(HDC canvas, const RECT& column, COLORREF colour, const TItemMetrics& m)
{
    const int cx = (column.left + column.right) / 2;
    const int cy = (column.top + column.bottom) / 2;
    TScopedPen pen(CreatePen(PS_SOLID, 1, colour));
    TSelectObject selected(canvas, pen.get());
    for (int thickness = 0; thickness < m.Scale(3); ++thickness) {
        const POINT tick[] = {{cx - m.Scale(4), cy - m.Scale(1) + thickness},
                              {cx - m.Scale(2), cy + m.Scale(1) + thickness},
                              {cx + m.Scale(4), cy - m.Scale(5) + thickness}};
        Polyline(canvas, tick, 3);
    }
}

void DrawPlainSeparator(HDC canvas, const RECT& rect)
{
    RECT line = rect;
    line.top = (rect.top + rect.bottom) / 2 - 1;
    DrawEdge(canvas, &line, EDGE_ETCHED, BF_TOP);
}
}  // namespace

TScopedFont CreateMenuFont(bool bold)
{
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    LOGFONTW font = {};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        font = metrics.lfMenuFont;
    else
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    if (bold)
        font.lfWeight = FW_BOLD;
    return TScopedFont(CreateFontIndirectW(&font));
}

void MeasureMenuItem(const TMenuItem& item, HDC canvas, int& width, int& height)
{
    const TItemMetrics m = ItemMetrics();
    if (item.IsSeparator()) {
        width = m.column;
        height = m.separator;
        return;
    }
    TScopedFont font = CreateMenuFont(item.Default());
    TSelectObject selected(canvas, font.get());
    std::string text;
    std::string shortcut;
    SplitCaption(item.Caption, text, shortcut);
    const SIZE caption = TextSize(canvas, text, 0);
    width = m.column + m.textGap + caption.cx + m.rightGap;
    if (!shortcut.empty())
        width += m.shortcutGap + TextSize(canvas, shortcut, DT_NOPREFIX).cx;
    height = caption.cy + m.Scale(6);
    if (height < m.image + m.Scale(4))
        height = m.image + m.Scale(4);
}

void DrawMenuItem(const TMenuItem& item, const TImageList* images, HDC canvas, const RECT& rect, UINT state)
{
    TSavedDCState saved(canvas);
    const TItemMetrics m = ItemMetrics();
    const bool selected = (state & ODS_SELECTED) != 0;
    const bool greyed = !item.Enabled() || (state & (ODS_GRAYED | ODS_DISABLED)) != 0;
    if (item.IsSeparator()) {
        FillRect(canvas, &rect, GetSysColorBrush(COLOR_MENU));
        DrawPlainSeparator(canvas, rect);
        return;
    }
    FillRect(canvas, &rect, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    const COLORREF textColour =
        GetSysColor(greyed ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);

    const RECT column = {rect.left, rect.top, rect.left + m.column, rect.bottom};
    HBITMAP picture = images ? images->Bitmap(item.ImageIndex()) : nullptr;
    if (picture) {
        const int size = images->Size();
        const int x = column.left + (m.column - size) / 2;
        const int y = column.top + (column.bottom - column.top - size) / 2;
        if (item.Checked()) {
            // A checked item with a picture shows the picture pressed in.
            const int rim = m.Scale(2);
            RECT frame = {x - rim, y - rim, x + size + rim, y + size + rim};
            DrawEdge(canvas, &frame, BDR_SUNKENOUTER, BF_RECT);
        }
        DrawImage(canvas, picture, x, y, size, greyed);
    } else if (item.Checked()) {
        DrawCheckMark(canvas, column, textColour, m);
    }

    TScopedFont font = CreateMenuFont(item.Default());
    TSelectObject fontSelected(canvas, font.get());
    SetBkMode(canvas, TRANSPARENT);
    SetTextColor(canvas, textColour);
    std::string text;
    std::string shortcut;
    SplitCaption(item.Caption, text, shortcut);
    RECT textBox = {column.right + m.textGap, rect.top, rect.right - m.rightGap, rect.bottom};
    const UINT prefix = (state & ODS_NOACCEL) ? DT_HIDEPREFIX : 0;
    DrawCanvasText(canvas, text, textBox,
              DT_SINGLELINE | DT_VCENTER | DT_LEFT | prefix);
    if (!shortcut.empty())
        DrawCanvasText(canvas, shortcut, textBox,
                  DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
}
