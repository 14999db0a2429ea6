// The character matrices of the dot-matrix display: the built-in fonts and
// the custom font files, all held as one glyph of Columns x Rows bytes for
// every code 0 to 255, row by row from the top, each row left to right.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum TDotMatrix { mat5x7, mat5x8, mat7x9, mat9x12, Hitachi, Hitachi2, dos5x7, CustomFont };

// How the bytes of a glyph read.
enum class TGlyphBytes {
    BuiltIn,  // 1 lit, anything else unlit
    Custom,   // 0 lit, 1 unlit, anything else the colour of the dot before it
};

struct TLCDFont {
    int Columns = 0;
    int Rows = 0;
    int First = 0;  // codes outside First..Last are shown as the nearest of the two
    int Last = 0;
    TGlyphBytes Bytes = TGlyphBytes::BuiltIn;
    std::vector<std::uint8_t> Glyphs;  // 256 glyphs

    const std::uint8_t* Glyph(int code) const
    {
        return Glyphs.data() + static_cast<std::size_t>(code) * Columns * Rows;
    }
};

// The built-in font of `matrix`; CustomFont has none and gives an empty font.
const TLCDFont& BuiltInFont(TDotMatrix matrix);

// A custom font file is refused when its matrix exceeds this in either direction.
constexpr int MaxCustomFontSize = 64;

// Reads a custom font from the bytes of its file: four little-endian signed
// 32-bit fields (columns, rows, first code, last code), then one glyph per
// code from first to last. Answers false, leaving `font` untouched, for a
// header out of range (sizes below 1 or above MaxCustomFontSize, codes outside
// 0..255, first above last) or bytes short of the glyphs the header announces.
bool ParseLCDFont(const std::uint8_t* data, std::size_t size, TLCDFont& font);
// Reads and parses the file `filename` (ANSI bytes); false when it cannot be
// opened or is refused.
bool LoadLCDFontFile(const std::string& filename, TLCDFont& font);
