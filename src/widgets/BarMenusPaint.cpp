// Painting the bar image: gradient, background picture, border, picture and
// the caption written along the bar.
#include "BarMenus.h"

#include "../framework/CanvasText.h"
#include "../framework/WideText.h"

#include <cstring>

namespace {
// Draws `picture` stretched to w x h at (x, y); a transparent picture leaves
// the pixels of its bottom-left pixel's colour untouched.
void DrawPicture(HDC canvas, HBITMAP picture, int x, int y, int w, int h, bool transparent)
{
    const SIZE size = BitmapSize(picture);
    if (size.cx <= 0 || size.cy <= 0)
        return;
    TMemoryDC source(canvas);
    TSelectObject selected(source.Handle(), picture);
    if (transparent) {
        const COLORREF key = GetPixel(source.Handle(), 0, size.cy - 1);
        GdiTransparentBlt(canvas, x, y, w, h, source.Handle(), 0, 0, size.cx, size.cy, key);
    } else {
        StretchBlt(canvas, x, y, w, h, source.Handle(), 0, 0, size.cx, size.cy, SRCCOPY);
    }
}

void DrawBackBitmap(const TBcBar& bar, HDC canvas, int totalHeight)
{
    const TBcBarBackBitmap& back = bar.BarBackBitmap();
    if (back.Empty())
        return;
    const SIZE size = back.Size();
    switch (back.DrawStyle()) {
    case TDrawStyle::dsNormal: {
        const TBarPoint at = BitmapPosition(back.VertAlignment(), back.HorzAlignment(), back.OffsetX(),
                                            back.OffsetY(), size.cx, size.cy, bar.Width(), totalHeight);
        DrawPicture(canvas, back.Bitmap(), at.x, at.y, size.cx, size.cy, back.Transparent());
        break;
    }
    case TDrawStyle::dsTile:
        for (const TBarPoint& at : TilePositions(back.VertAlignment(), back.HorzAlignment(), back.OffsetX(),
                                                 back.OffsetY(), size.cx, size.cy, bar.Width(), totalHeight))
            DrawPicture(canvas, back.Bitmap(), at.x, at.y, size.cx, size.cy, back.Transparent());
        break;
    case TDrawStyle::dsStretch:
        DrawPicture(canvas, back.Bitmap(), 0, 0, bar.Width(), totalHeight, back.Transparent());
        break;
    }
}

void DrawBorder(const TBcBar& bar, HDC canvas, int totalHeight)
{
    if (bar.Border() == clNone)
        return;
    TScopedBrush brush(CreateSolidBrush(ColorToRGB(bar.Border())));
    const RECT frame = {0, 0, bar.Width(), totalHeight};
    FrameRect(canvas, &frame, brush.get());
}

void DrawBarBitmap(const TBcBar& bar, HDC canvas, int totalHeight)
{
    const TBcBarBitmap& picture = bar.BarBitmap();
    if (picture.Empty())
        return;
    const SIZE size = picture.Size();
    const TBarPoint at = BitmapPosition(picture.VertAlignment(), picture.HorzAlignment(), picture.OffsetX(),
                                        picture.OffsetY(), size.cx, size.cy, bar.Width(), totalHeight);
    DrawPicture(canvas, picture.Bitmap(), at.x, at.y, size.cx, size.cy, picture.Transparent());
}

BYTE PitchOf(TFontPitch pitch)
{
    switch (pitch) {
    case TFontPitch::fpFixed: return FIXED_PITCH;
    case TFontPitch::fpVariable: return VARIABLE_PITCH;
    default: return DEFAULT_PITCH;
    }
}

TScopedFont CreateBarFont(const TBarFont& font, int escapement)
{
    LOGFONTW description = {};
    description.lfHeight = font.Height;
    description.lfEscapement = escapement;
    description.lfOrientation = escapement;
    description.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
    description.lfItalic = font.Italic;
    description.lfUnderline = font.Underline;
    description.lfStrikeOut = font.StrikeOut;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfOutPrecision = OUT_DEFAULT_PRECIS;
    description.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    description.lfQuality = DEFAULT_QUALITY;
    description.lfPitchAndFamily = PitchOf(font.Pitch);
    lstrcpynW(description.lfFaceName, Widen(font.Name).c_str(), LF_FACESIZE);
    return TScopedFont(CreateFontIndirectW(&description));
}
}  // namespace

COLORREF ColorToRGB(TColor color)
{
    if (IsSystemColor(color))
        return GetSysColor(SystemColorIndex(color));
    return static_cast<COLORREF>(color & 0xFFFFFF);
}

void DrawGradient(HDC canvas, const RECT& rect, TColor start, TColor end, int totalHeight)
{
    const TColor top = ColorToRGB(start);
    const TColor bottom = ColorToRGB(end);
    TSavedDCState saved(canvas);
    HBRUSH rowBrush = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
    if (top == bottom) {
        SetDCBrushColor(canvas, top);
        FillRect(canvas, &rect, rowBrush);
        return;
    }
    for (int y = rect.top; y <= rect.bottom; ++y) {
        SetDCBrushColor(canvas, GradientRowColor(top, bottom, y, totalHeight));
        const RECT row = {rect.left, y, rect.right, y + 1};
        FillRect(canvas, &row, rowBrush);
    }
}

TScopedFont CreateRotatedFont(const TBarFont& font, TDirection direction)
{
    return CreateBarFont(font, direction == TDirection::dDownToUp ? 900 : -900);
}

void PaintBar(IBarMenu& menu, HDC canvas)
{
    const TBcBar& bar = menu.GetBar();
    const int height = menu.GetProtected().TotalHeight;
    const TBcBarBackBitmap& back = bar.BarBackBitmap();
    // An opaque background covering the whole bar hides any gradient.
    const bool covered = !back.Empty() && !back.Transparent() && back.DrawStyle() != TDrawStyle::dsNormal;
    if (!covered)
        DrawGradient(canvas, RECT{0, 0, bar.Width(), height}, bar.GradientStart(), bar.GradientEnd(), height);
    DrawBackBitmap(bar, canvas, height);
    DrawBorder(bar, canvas, height);
    DrawBarBitmap(bar, canvas, height);
    DrawBarCaption(menu, canvas);
}

void DrawBarCaption(IBarMenu& menu, HDC canvas)
{
    const TBcBar& bar = menu.GetBar();
    const TBcBarCaption& caption = bar.BarCaption();
    const std::string& text = caption.Caption();
    if (text.empty())
        return;
    const int height = menu.GetProtected().TotalHeight;

    SIZE extent = {0, 0};
    {
        TScopedFont upright = CreateBarFont(caption.Font(), 0);
        TSelectObject selected(canvas, upright.get());
        extent = CanvasTextExtent(canvas, text);
    }
    const TBcBarBitmap& picture = bar.BarBitmap();
    const int pictureBelow =
        !picture.Empty() && picture.VertAlignment() == TVertAlignment::vaBottom ? picture.Size().cy : 0;
    const TBarPoint at = CaptionPosition(caption.Alignment(), caption.Direction(), caption.OffsetY(), extent.cx,
                                         extent.cy, bar.Width(), height, pictureBelow);

    TScopedFont rotated = CreateRotatedFont(caption.Font(), caption.Direction());
    TSavedDCState saved(canvas);
    TSelectObject selected(canvas, rotated.get());
    SetBkMode(canvas, TRANSPARENT);
    SetTextColor(canvas, ColorToRGB(caption.Font().Color));
    const RECT clip = {0, 0, bar.Width(), height + 1};
    ExtCanvasTextOut(canvas, at.x, at.y, clip, text);
}
