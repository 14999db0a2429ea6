// The arithmetic of the side-bar menu: colours of the gradient rows, where
// the bar's pictures and caption sit, how an item shares its rectangle with
// the bar and which slice of the bar image lies beside it. Pure numbers, so
// the drawing code only has to hand them to the platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A colour as the platform stores it: 0x00BBGGRR. Values with the top bit
// set name a system colour (its index in the low byte); clNone means "none".
using TColor = std::uint32_t;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clNavy = 0x800000;
constexpr TColor clSystemColor = 0x80000000;

constexpr bool IsSystemColor(TColor color) { return (color & clSystemColor) != 0; }
constexpr int SystemColorIndex(TColor color) { return static_cast<int>(color & 0xFF); }
constexpr TColor SystemColor(int index) { return clSystemColor | static_cast<TColor>(index); }

constexpr int RedOf(TColor color) { return static_cast<int>(color & 0xFF); }
constexpr int GreenOf(TColor color) { return static_cast<int>((color >> 8) & 0xFF); }
constexpr int BlueOf(TColor color) { return static_cast<int>((color >> 16) & 0xFF); }
constexpr TColor RgbColor(int red, int green, int blue)
{
    return static_cast<TColor>(red & 0xFF) | (static_cast<TColor>(green & 0xFF) << 8) |
           (static_cast<TColor>(blue & 0xFF) << 16);
}

enum class TVertAlignment { vaTop, vaBottom, vaMiddle };
enum class THorzAlignment { haLeft, haRight, haCenter };
enum class TDrawStyle { dsNormal, dsTile, dsStretch };
enum class TDirection { dDownToUp, dUpToDown };
enum class TSide { sLeft, sRight };

struct TBarPoint {
    int x;
    int y;
    bool operator==(const TBarPoint& other) const { return x == other.x && y == other.y; }
};

struct TBarRect {
    int left;
    int top;
    int right;
    int bottom;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const TBarRect& other) const
    {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
};

// Rounds to the nearest integer, halves to the even neighbour.
int RoundHalfEven(double value);
// Where a run of `size` pixels starts to sit centred in `space` pixels:
// (space - size) / 2 - 0.5, rounded half to even.
int CenteredOffset(int space, int size);

// Colour of row `y` of a gradient over `height` rows: start + (end - start) * y / height
// per component, truncated towards zero. Row `height` is exactly `end`. With no
// height to spread over (0 or less) every row is `start`.
TColor GradientRowColor(TColor start, TColor end, int y, int height);

// Top-left corner of a w x h picture placed in a bar of W x H.
TBarPoint BitmapPosition(TVertAlignment vert, THorzAlignment horz, int offsetX, int offsetY, int w, int h,
                         int barWidth, int barHeight);

// Top-left corner of the first tile of a w x h picture repeated over a W x H bar,
// brought to 0 or less so the tiles cover the bar from its first pixel.
TBarPoint TileStart(TVertAlignment vert, THorzAlignment horz, int offsetX, int offsetY, int w, int h,
                    int barWidth, int barHeight);
// Every tile corner, row by row, from TileStart while x <= W and y <= H.
std::vector<TBarPoint> TilePositions(TVertAlignment vert, THorzAlignment horz, int offsetX, int offsetY, int w,
                                     int h, int barWidth, int barHeight);

// A length of 96-DPI pixels at `dpi`, rounded to the nearest pixel.
inline int BarLength(int value, int dpi) { return (value * dpi + 48) / 96; }

// The part of an item's rectangle left for the item itself once the bar (and
// its gap) takes its share; short lines take 10 more pixels (at 96 DPI) on the right.
TBarRect ItemArea(const TBarRect& item, bool onBar, int barWidth, int space, TSide side, bool shortLines,
                  int dpi = 96);
// Left edge of the bar column within an item's rectangle.
int BarColumnLeft(const TBarRect& item, int barWidth, TSide side);

// Measured heights of the items on the bar, in menu order; zero or negative
// heights count as nothing.
int TotalHeight(const std::vector<int>& itemHeights);
// Top of item `index` within the bar image: the heights of the items above it.
int BarOffsetOf(const std::vector<int>& itemHeights, std::size_t index);

// Height of a separator at `dpi`: a taller one leaves room for its text.
int SeparatorHeight(bool hasText, int dpi = 96);

// Start of the bar caption written vertically: the reference point of the rotated text.
// `bitmapBelow`: height of a bar picture placed at the bottom, 0 when none.
TBarPoint CaptionPosition(TVertAlignment alignment, TDirection direction, int offsetY, int textLength,
                          int textHeight, int barWidth, int barHeight, int bitmapBelow);

enum class TFontPitch { fpDefault, fpVariable, fpFixed };

// A font as the bar caption describes it; the platform font is made from it
// when the caption is drawn.
struct TBarFont {
    std::string Name = "Tahoma";
    int Height = -19;  // negative: character height in pixels (14 points at 96 pixels an inch)
    TColor Color = clWhite;
    bool Bold = true;
    bool Italic = true;
    bool Underline = false;
    bool StrikeOut = false;
    TFontPitch Pitch = TFontPitch::fpDefault;

    // Character height for a size in points on a screen of `pixelsPerInch`.
    void SetSize(int points, int pixelsPerInch = 96);
    bool operator==(const TBarFont& other) const;
    bool operator!=(const TBarFont& other) const { return !(*this == other); }
};
