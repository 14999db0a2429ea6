#include "MenuItemDraw.h"

#include <string>

#include "CanvasText.h"
#include "GdiScoped.h"
#include "ImageList.h"
#include "MenuItem.h"

namespace {
constexpr int kImageSize = 16;
constexpr int kImageColumn = kImageSize + 6;  // the image and 3 pixels on each side
constexpr int kTextGap = 6;                   // between the image column and the caption
constexpr int kRightGap = 12;                 // after the caption or the shortcut
constexpr int kShortcutGap = 16;              // between the caption and its shortcut
constexpr int kSeparatorHeight = 8;

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

void DrawImage(HDC canvas, HBITMAP picture, int x, int y, bool greyed)
{
    TMemoryDC source(canvas);
    TSelectObject selected(source.Handle(), picture);
    // The list's pictures carry premultiplied alpha; a greyed item shows its
    // picture faded.
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, static_cast<BYTE>(greyed ? 0x60 : 0xFF), AC_SRC_ALPHA};
    GdiAlphaBlend(canvas, x, y, kImageSize, kImageSize, source.Handle(), 0, 0, kImageSize, kImageSize, blend);
}

void DrawCheckMark(HDC canvas, const RECT& column, COLORREF colour)
{
    const int cx = (column.left + column.right) / 2;
    const int cy = (column.top + column.bottom) / 2;
    TScopedPen pen(CreatePen(PS_SOLID, 1, colour));
    TSelectObject selected(canvas, pen.get());
    for (int thickness = 0; thickness < 3; ++thickness) {
        const POINT tick[] = {{cx - 4, cy - 1 + thickness}, {cx - 2, cy + 1 + thickness}, {cx + 4, cy - 5 + thickness}};
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
    if (item.IsSeparator()) {
        width = kImageColumn;
        height = kSeparatorHeight;
        return;
    }
    TScopedFont font = CreateMenuFont(item.Default());
    TSelectObject selected(canvas, font.get());
    std::string text;
    std::string shortcut;
    SplitCaption(item.Caption, text, shortcut);
    const SIZE caption = TextSize(canvas, text, 0);
    width = kImageColumn + kTextGap + caption.cx + kRightGap;
    if (!shortcut.empty())
        width += kShortcutGap + TextSize(canvas, shortcut, DT_NOPREFIX).cx;
    height = caption.cy + 6;
    if (height < kImageSize + 4)
        height = kImageSize + 4;
}

void DrawMenuItem(const TMenuItem& item, const TImageList* images, HDC canvas, const RECT& rect, UINT state)
{
    TSavedDCState saved(canvas);
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

    const RECT column = {rect.left, rect.top, rect.left + kImageColumn, rect.bottom};
    HBITMAP picture = images ? images->Bitmap(item.ImageIndex()) : nullptr;
    if (picture) {
        const int x = column.left + (kImageColumn - kImageSize) / 2;
        const int y = column.top + (column.bottom - column.top - kImageSize) / 2;
        if (item.Checked()) {
            // A checked item with a picture shows the picture pressed in.
            RECT frame = {x - 2, y - 2, x + kImageSize + 2, y + kImageSize + 2};
            DrawEdge(canvas, &frame, BDR_SUNKENOUTER, BF_RECT);
        }
        DrawImage(canvas, picture, x, y, greyed);
    } else if (item.Checked()) {
        DrawCheckMark(canvas, column, textColour);
    }

    TScopedFont font = CreateMenuFont(item.Default());
    TSelectObject fontSelected(canvas, font.get());
    SetBkMode(canvas, TRANSPARENT);
    SetTextColor(canvas, textColour);
    std::string text;
    std::string shortcut;
    SplitCaption(item.Caption, text, shortcut);
    RECT textBox = {column.right + kTextGap, rect.top, rect.right - kRightGap, rect.bottom};
    const UINT prefix = (state & ODS_NOACCEL) ? DT_HIDEPREFIX : 0;
    DrawCanvasText(canvas, text, textBox,
              DT_SINGLELINE | DT_VCENTER | DT_LEFT | prefix);
    if (!shortcut.empty())
        DrawCanvasText(canvas, shortcut, textBox,
                  DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
}
