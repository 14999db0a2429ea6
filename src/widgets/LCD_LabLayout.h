// The display's properties and the arithmetic that turns them into a size:
// how big a dot and a character cell are, how many cells fit, and how big
// the control must be to hold them.
#pragma once

#include <cstdint>

#include "LCD_LabFont.h"

enum TPixelSize {
    pix1x1, pix2x2, pix3x3, pix4x4, pix5x5, pix6x6, pix7x7, pix8x8,
    pix9x9, pix10x10, pix11x11, pix12x12, pix13x13, pix14x14, pix15x15, pix16x16,
    pixCustom
};
enum TPixelShape { spSquare, spShaped, spRound };
enum TMyBorder { frRaised, frLowered, frSingle, frNone };

// Colours are 0x00BBGGRR, as the platform keeps them.
struct TLCDSettings {
    TDotMatrix DotMatrix = mat5x7;
    TPixelSize PixelSize = pix2x2;
    int PixelSpacing = 1;
    TPixelShape PixelShape = spSquare;
    int PixelWidth = 2;
    int PixelHeight = 2;
    int CharSpacing = 2;
    int LineSpacing = 2;
    int BorderSpace = 3;
    int TextLines = 1;
    int NoOfChars = 10;
    std::uint32_t BackGround = 0xC0C0C0;
    TMyBorder BorderStyle = frLowered;
    std::uint32_t BorderColor = 0x000000;
    std::uint32_t PixelOn = 0x000000;
    std::uint32_t PixelOff = 0xAAAAAA;
};

struct TLCDSize {
    int Width = 0;
    int Height = 0;
    bool operator==(const TLCDSize& other) const { return Width == other.Width && Height == other.Height; }
    bool operator!=(const TLCDSize& other) const { return !(*this == other); }
};

// The sizes one paint works with.
struct TLCDGeometry {
    int DotWidth = 1, DotHeight = 1;
    int Columns = 0, Rows = 0;
    int First = 0, Last = 0;
    int CellWidth = 0, CellHeight = 0;
};

// Dot, matrix and cell sizes for `settings` drawn with `font`. Unless the dot
// size is custom, PixelWidth and PixelHeight take the size of PixelSize.
TLCDGeometry LCDGeometry(TLCDSettings& settings, const TLCDFont& font);
// The control's size that holds the counts of `settings` exactly.
TLCDSize LCDSizeFromCounts(const TLCDSettings& settings, const TLCDGeometry& geometry);
// The layout done at the start of every paint: when `current` differs from
// `lastPainted` the counts are those that fit in `current` (at least 1 each);
// otherwise they stay. Answers the size the control must take.
TLCDSize LCDLayout(TLCDSettings& settings, const TLCDGeometry& geometry, TLCDSize current, TLCDSize lastPainted);

// The settings as drawn at `dpi`: the dot size, the spacings and the border
// space are 96-DPI pixels, scaled (a dot and a non-zero spacing keep at
// least one pixel); at 96 DPI they are `settings` unchanged.
TLCDSettings ScaledLCDSettings(const TLCDSettings& settings, int dpi);

// PixelOn with red, green and blue halved; the top byte is kept.
std::uint32_t LCDShadowColor(std::uint32_t pixelOn);
