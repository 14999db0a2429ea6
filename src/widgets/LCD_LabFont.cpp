#include "LCD_LabFont.h"

#include "LCD_LabGlyphs.h"


namespace {
TLCDFont MakeFont(int columns, int rows, int first, int last)
{
    TLCDFont font;
    font.Columns = columns;
    font.Rows = rows;
    font.First = first;
    font.Last = last;
    font.Glyphs.assign(static_cast<std::size_t>(256) * columns * rows, 0);
    return font;
}

void Put(TLCDFont& font, int code, int column, int row, bool lit)
{
    font.Glyphs[(static_cast<std::size_t>(code) * font.Rows + row) * font.Columns + column] = lit ? 1 : 0;
}

bool Dot5(std::uint8_t rowBits, int column) { return (rowBits >> (4 - column)) & 1; }

// A five-column font of `rows` rows whose top rows come from `source`.
template <class TSource>
TLCDFont FiveColumnFont(int rows, int first, int last, TSource source)
{
    TLCDFont font = MakeFont(5, rows, first, last);
    for (int code = first; code <= last; ++code) {
        const auto glyph = source(code);
        for (int row = 0; row < rows && row < static_cast<int>(glyph.size()); ++row)
            for (int column = 0; column < 5; ++column)
                Put(font, code, column, row, Dot5(glyph[row], column));
    }
    return font;
}

// The ASCII patterns enlarged to a bigger matrix, each dot taking the value
// of the source dot under its centre, so strokes keep their shape.
TLCDFont ScaledAsciiFont(int columns, int rows)
{
    TLCDFont font = MakeFont(columns, rows, 32, 126);
    for (int code = 32; code <= 126; ++code) {
        const TGlyph5x7 glyph = AsciiGlyph(code);
        for (int row = 0; row < rows; ++row)
            for (int column = 0; column < columns; ++column)
                Put(font, code, column, row, Dot5(glyph[(2 * row + 1) * 7 / (2 * rows)], (2 * column + 1) * 5 / (2 * columns)));
    }
    return font;
}

TLCDFont Hitachi2Font()
{
    // Codes up to 193 are the controller's short glyphs at the top of the
    // taller cell; the rest have tall glyphs of their own.
    TLCDFont font = FiveColumnFont(10, 32, 223, [](int code) {
        if (code >= 194) {
            const TGlyph5x10 tall = HitachiTallGlyph(code);
            return std::vector<std::uint8_t>(tall.begin(), tall.end());
        }
        const TGlyph5x7 glyph = HitachiGlyph(code);
        return std::vector<std::uint8_t>(glyph.begin(), glyph.end());
    });
    return font;
}

TLCDFont BuildFont(TDotMatrix matrix)
{
    switch (matrix) {
    case mat5x7:
        return FiveColumnFont(7, 32, 126, AsciiGlyph);
    case mat5x8:
        return FiveColumnFont(8, 32, 126, AsciiGlyph);
    case mat7x9:
        return ScaledAsciiFont(7, 9);
    case mat9x12:
        return ScaledAsciiFont(9, 12);
    case Hitachi:
        return FiveColumnFont(7, 32, 223, HitachiGlyph);
    case Hitachi2:
        return Hitachi2Font();
    case dos5x7:
        return FiveColumnFont(7, 0, 255, DosGlyph);
    case CustomFont:
        break;
    }
    return TLCDFont();
}
}  // namespace

const TLCDFont& BuiltInFont(TDotMatrix matrix)
{
    // Built once on first use and never changed after.
    static const TLCDFont fonts[] = {BuildFont(mat5x7),  BuildFont(mat5x8),   BuildFont(mat7x9), BuildFont(mat9x12),
                                     BuildFont(Hitachi), BuildFont(Hitachi2), BuildFont(dos5x7), TLCDFont()};
    const int index = static_cast<int>(matrix);
    return fonts[index >= 0 && index <= static_cast<int>(CustomFont) ? index : static_cast<int>(CustomFont)];
}
