#include "LCD_LabLayout.h"

TLCDGeometry LCDGeometry(TLCDSettings& settings, const TLCDFont& font)
{
    TLCDGeometry geometry;
    if (settings.PixelSize != pixCustom) {
        settings.PixelWidth = settings.PixelHeight = static_cast<int>(settings.PixelSize) + 1;
    }
    geometry.DotWidth = settings.PixelWidth;
    geometry.DotHeight = settings.PixelHeight;
    geometry.Columns = font.Columns;
    geometry.Rows = font.Rows;
    geometry.First = font.First;
    geometry.Last = font.Last;
    geometry.CellWidth = geometry.Columns * geometry.DotWidth + (geometry.Columns - 1) * settings.PixelSpacing;
    geometry.CellHeight = geometry.Rows * geometry.DotHeight + (geometry.Rows - 1) * settings.PixelSpacing;
    return geometry;
}

TLCDSettings ScaledLCDSettings(const TLCDSettings& settings, int dpi)
{
    TLCDSettings scaled = settings;
    if (dpi == 96 || dpi <= 0)
        return scaled;
    const auto scale = [dpi](int value) {
        const int pixels = (value * dpi + 48) / 96;
        return value > 0 && pixels < 1 ? 1 : pixels;
    };
    const int dot = settings.PixelSize != pixCustom ? static_cast<int>(settings.PixelSize) + 1 : 0;
    scaled.PixelSize = pixCustom;
    scaled.PixelWidth = scale(dot ? dot : settings.PixelWidth);
    scaled.PixelHeight = scale(dot ? dot : settings.PixelHeight);
    scaled.PixelSpacing = scale(settings.PixelSpacing);
    scaled.CharSpacing = scale(settings.CharSpacing);
    scaled.LineSpacing = scale(settings.LineSpacing);
    scaled.BorderSpace = scale(settings.BorderSpace);
    return scaled;
}

TLCDSize LCDSizeFromCounts(const TLCDSettings& settings, const TLCDGeometry& geometry)
{
    TLCDSize size;
    size.Width = 2 * settings.BorderSpace + (settings.NoOfChars - 1) * settings.CharSpacing +
                 settings.NoOfChars * geometry.CellWidth + 2;
    size.Height = 2 * settings.BorderSpace + (settings.TextLines - 1) * settings.LineSpacing +
                  settings.TextLines * geometry.CellHeight + 2;
    return size;
}

namespace {
int CountThatFits(int room, int spacing, int cell)
{
    // Cells are at least one dot, so the divisor is never 0.
    const int step = cell + spacing;
    const int count = step > 0 ? (room + spacing) / step : 1;
    return count < 1 ? 1 : count;
}
}  // namespace

TLCDSize LCDLayout(TLCDSettings& settings, const TLCDGeometry& geometry, TLCDSize current, TLCDSize lastPainted)
{
    if (current != lastPainted) {
        settings.NoOfChars =
            CountThatFits(current.Width - 2 * settings.BorderSpace, settings.CharSpacing, geometry.CellWidth);
        settings.TextLines =
            CountThatFits(current.Height - 2 * settings.BorderSpace, settings.LineSpacing, geometry.CellHeight);
    }
    return LCDSizeFromCounts(settings, geometry);
}

std::uint32_t LCDShadowColor(std::uint32_t pixelOn) { return (pixelOn & 0xFF000000u) | ((pixelOn >> 1) & 0x7F7F7Fu); }
