// Parses arbitrary bytes as a dot-matrix font file and, when accepted, draws
// a caption with it: a refused file must leave the font as it was, and an
// accepted one must hold exactly the glyphs the file carries.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "widgets/LCD_LabFont.h"
#include "widgets/LCD_LabRender.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

std::int32_t Field(const std::uint8_t* data, int index)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | data[index * 4 + i];
    return static_cast<std::int32_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TLCDFont font;
    font.Columns = 7;  // a marker a refusal must leave alone
    if (!ParseLCDFont(data, size, font)) {
        Check(font.Columns == 7 && font.Glyphs.empty());
        return 0;
    }
    Check(size >= 16);
    Check(font.Columns == Field(data, 0) && font.Rows == Field(data, 1));
    Check(font.First == Field(data, 2) && font.Last == Field(data, 3));
    Check(font.Columns >= 1 && font.Columns <= MaxCustomFontSize);
    Check(font.Rows >= 1 && font.Rows <= MaxCustomFontSize);
    Check(font.First >= 0 && font.First <= font.Last && font.Last <= 255);
    const std::size_t glyphSize = static_cast<std::size_t>(font.Columns) * font.Rows;
    Check(font.Glyphs.size() == 256 * glyphSize);
    Check(size - 16 >= (font.Last - font.First + 1) * glyphSize);
    for (int code = 0; code < 256; ++code) {
        const std::uint8_t* glyph = font.Glyph(code);
        if (code >= font.First && code <= font.Last) {
            Check(std::memcmp(glyph, data + 16 + (code - font.First) * glyphSize, glyphSize) == 0);
        } else {
            for (std::size_t i = 0; i < glyphSize; ++i)
                Check(glyph[i] == 1);
        }
    }

    // Three cells of the file's own first bytes, drawn in the font.
    TLCDSettings settings;
    settings.DotMatrix = CustomFont;
    settings.NoOfChars = 3;
    settings.PixelShape = static_cast<TPixelShape>(data[0] % 3);
    const TLCDGeometry geometry = LCDGeometry(settings, font);
    const TLCDSize sizeOnScreen = LCDSizeFromCounts(settings, geometry);
    const std::string caption(reinterpret_cast<const char*>(data + 16), std::min<std::size_t>(size - 16, 3));
    const TLCDPixels pixels = RenderLCD(settings, geometry, font, LCDCaptionBuffer(caption), sizeOnScreen.Width,
                                        sizeOnScreen.Height, true, TLCDFrameColors());
    Check(pixels.Width == sizeOnScreen.Width && pixels.Height == sizeOnScreen.Height);
    return 0;
}
