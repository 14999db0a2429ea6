// Draws the whole display - background, frame and dot-matrix text - into a
// buffer of pixels, which the control then copies onto the screen.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "LCD_LabLayout.h"

// The caption as the display reads it: at most 255 bytes and a terminating zero.
using TLCDCaptionBuffer = std::array<char, 256>;
TLCDCaptionBuffer LCDCaptionBuffer(const std::string& caption);

struct TLCDPixels {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;  // row by row from the top, 0x00BBGGRR

    TLCDPixels(int width, int height, std::uint32_t fill);
    std::uint32_t At(int x, int y) const { return Pixels[static_cast<std::size_t>(y) * Width + x]; }
    // Pixels outside the buffer are ignored.
    void Set(int x, int y, std::uint32_t color);
    void FillRect(int left, int top, int right, int bottom, std::uint32_t color);  // right, bottom exclusive
    void FillEllipse(int left, int top, int right, int bottom, std::uint32_t color);
};

// The system colours a raised or lowered frame is drawn with.
struct TLCDFrameColors {
    std::uint32_t Highlight = 0xFFFFFF;
    std::uint32_t Shadow = 0x808080;
};

// The display of `width` x `height` pixels. A disabled display shows its
// background and frame only.
TLCDPixels RenderLCD(const TLCDSettings& settings, const TLCDGeometry& geometry, const TLCDFont& font,
                     const TLCDCaptionBuffer& caption, int width, int height, bool enabled,
                     const TLCDFrameColors& frame);

// The code shown in a cell for a caption byte (read as unsigned), clamped into the font's range.
int LCDClampCode(unsigned char code, const TLCDGeometry& geometry);
