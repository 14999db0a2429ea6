#include "LCD_LabRender.h"

#include <algorithm>
#include <cstring>

TLCDCaptionBuffer LCDCaptionBuffer(const std::string& caption)
{
    // Longer captions are cut so the terminating zero always fits.
    TLCDCaptionBuffer buffer{};
    const std::size_t length = std::min(std::strlen(caption.c_str()), buffer.size() - 1);
    std::memcpy(buffer.data(), caption.data(), length);
    return buffer;
}

TLCDPixels::TLCDPixels(int width, int height, std::uint32_t fill)
    : Width(std::max(width, 0)), Height(std::max(height, 0)),
      Pixels(static_cast<std::size_t>(Width) * Height, fill)
{
}

void TLCDPixels::Set(int x, int y, std::uint32_t color)
{
    if (x >= 0 && y >= 0 && x < Width && y < Height)
        Pixels[static_cast<std::size_t>(y) * Width + x] = color;
}

void TLCDPixels::FillRect(int left, int top, int right, int bottom, std::uint32_t color)
{
    for (int y = std::max(top, 0); y < std::min(bottom, Height); ++y)
        for (int x = std::max(left, 0); x < std::min(right, Width); ++x)
            Pixels[static_cast<std::size_t>(y) * Width + x] = color;
}

void TLCDPixels::FillEllipse(int left, int top, int right, int bottom, std::uint32_t color)
{
    // A pixel belongs to the ellipse inscribed in the box when its centre does.
    const double rx = (right - left) / 2.0, ry = (bottom - top) / 2.0;
    if (rx <= 0 || ry <= 0)
        return;
    const double cx = left + rx, cy = top + ry;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
            if (dx * dx + dy * dy <= 1.0)
                Set(x, y, color);
        }
}

int LCDClampCode(unsigned char code, const TLCDGeometry& geometry)
{
    return std::min(std::max(static_cast<int>(code), geometry.First), geometry.Last);
}

namespace {
constexpr std::uint32_t kSilver = 0xC0C0C0;

void DrawFrame(TLCDPixels& pixels, const TLCDSettings& settings, const TLCDFrameColors& frame)
{
    if (settings.BorderStyle == frNone)
        return;
    const std::uint32_t around = settings.BorderStyle == frRaised    ? frame.Shadow
                                 : settings.BorderStyle == frLowered ? frame.Highlight
                                                                     : settings.BorderColor;
    const int right = pixels.Width - 1, bottom = pixels.Height - 1;
    pixels.FillRect(0, 0, pixels.Width, 1, around);
    pixels.FillRect(0, bottom, pixels.Width, bottom + 1, around);
    pixels.FillRect(0, 0, 1, pixels.Height, around);
    pixels.FillRect(right, 0, right + 1, pixels.Height, around);
    if (settings.BorderStyle == frSingle)
        return;
    // The top and left edges again, lit from the other side.
    const std::uint32_t edge = settings.BorderStyle == frRaised ? frame.Highlight : frame.Shadow;
    pixels.FillRect(0, 0, pixels.Width, 1, edge);
    pixels.FillRect(0, 0, 1, pixels.Height, edge);
}

void DrawDot(TLCDPixels& pixels, const TLCDSettings& settings, const TLCDGeometry& geometry, int x, int y,
             std::uint32_t color)
{
    const int right = x + geometry.DotWidth, bottom = y + geometry.DotHeight;
    if (settings.PixelSize == pix1x1) {
        pixels.Set(x, y, color);
    } else if (settings.PixelShape == spRound) {
        pixels.FillEllipse(x, y, right, bottom, color);
    } else if (settings.PixelShape == spShaped && color == settings.PixelOn) {
        pixels.FillRect(x, y, right, bottom, LCDShadowColor(settings.PixelOn));
        pixels.FillEllipse(x, y, right, bottom, settings.PixelOn);
    } else {
        pixels.FillRect(x, y, right, bottom, color);
    }
}

void DrawChar(TLCDPixels& pixels, const TLCDSettings& settings, const TLCDGeometry& geometry, const TLCDFont& font,
              int code, int left, int top)
{
    const std::uint8_t* glyph = font.Glyph(code);
    std::uint32_t color = kSilver;
    int y = top;
    for (int row = 0; row < geometry.Rows; ++row) {
        int x = left;
        for (int column = 0; column < geometry.Columns; ++column) {
            const std::uint8_t dot = glyph[row * geometry.Columns + column];
            if (font.Bytes == TGlyphBytes::BuiltIn)
                color = dot == 1 ? settings.PixelOn : settings.PixelOff;
            else if (dot == 0 || dot == 1)
                color = dot == 0 ? settings.PixelOn : settings.PixelOff;
            DrawDot(pixels, settings, geometry, x, y, color);
            x += geometry.DotWidth + settings.PixelSpacing;
        }
        y += geometry.DotHeight + settings.PixelSpacing;
    }
}

void DrawText(TLCDPixels& pixels, const TLCDSettings& settings, const TLCDGeometry& geometry, const TLCDFont& font,
              const TLCDCaptionBuffer& caption)
{
    std::size_t next = 0;
    int y = settings.BorderSpace + 1;
    for (int line = 0; line < settings.TextLines; ++line) {
        int x = settings.BorderSpace + 1;
        for (int cell = 0; cell < settings.NoOfChars; ++cell) {
            // Past the terminating zero every cell reads code 0.
            unsigned char code = 0;
            if (next < caption.size() && caption[next] != '\0')
                code = static_cast<unsigned char>(caption[next++]);
            DrawChar(pixels, settings, geometry, font, LCDClampCode(code, geometry), x, y);
            x += geometry.CellWidth + settings.CharSpacing;
        }
        y += geometry.CellHeight + settings.LineSpacing;
    }
}
}  // namespace

TLCDPixels RenderLCD(const TLCDSettings& settings, const TLCDGeometry& geometry, const TLCDFont& font,
                     const TLCDCaptionBuffer& caption, int width, int height, bool enabled,
                     const TLCDFrameColors& frame)
{
    TLCDPixels pixels(width, height, settings.BackGround);
    DrawFrame(pixels, settings, frame);
    if (enabled && geometry.Columns > 0 && geometry.Rows > 0 && !font.Glyphs.empty())
        DrawText(pixels, settings, geometry, font, caption);
    return pixels;
}
