#include "LCD_LabGlyphs.h"

#include <cstdlib>
#include <cstring>

namespace {
// Codes 128 to 255. An entry is seven hex rows, or a letter and an accent
// mark to put over it (` grave, ' acute, ^ circumflex, ~ tilde, : diaeresis,
// o ring, v caron), or empty for a code the code page leaves unused.
const char* const kAnsi[128] = {
    "06 09 1C 08 1C 09 06", "", "00 00 00 00 0C 04 08", "03 04 0E 04 04 04 18",  // € ‚ ƒ
    "00 00 00 00 1B 09 12", "00 00 00 00 00 00 15", "04 0E 04 04 04 04 00", "04 0E 04 04 0E 04 00",
    "04 0A 00 00 00 00 00", "18 19 02 04 08 15 15", "Sv", "00 02 04 08 04 02 00",  // ˆ ‰ Š ‹
    "0F 14 14 17 14 14 0F", "", "Zv", "",  // Œ Ž
    "", "04 08 0C 00 00 00 00", "0C 04 08 00 00 00 00", "09 12 1B 00 00 00 00",  // ‘ ’ “
    "1B 09 12 00 00 00 00", "00 00 0E 0E 0E 00 00", "00 00 00 0E 00 00 00", "00 00 00 1F 00 00 00",
    "0D 16 00 00 00 00 00", "1D 0B 0B 00 00 00 00", "sv", "00 08 04 02 04 08 00",  // ˜ ™ š ›
    "00 00 0A 15 17 14 0B", "", "zv", "Y:",  // œ ž Ÿ
    "", "04 00 00 04 04 04 04", "04 0E 15 14 15 0E 04", "06 09 08 1C 08 09 16",  // nbsp ¡ ¢ £
    "00 11 0E 0A 0E 11 00", "11 0A 1F 04 1F 04 04", "04 04 04 00 04 04 04", "0E 10 0E 11 0E 01 0E",
    "0A 00 00 00 00 00 00", "0E 11 17 19 17 11 0E", "0E 01 0F 11 0F 00 1F", "00 05 0A 14 0A 05 00",
    "00 00 1F 01 01 00 00", "00 00 00 0E 00 00 00", "0E 11 1D 1B 1D 11 0E", "1F 00 00 00 00 00 00",
    "0C 12 12 0C 00 00 00", "04 04 1F 04 04 00 1F", "0C 02 04 08 0E 00 00", "0C 02 0C 02 0C 00 00",
    "02 04 00 00 00 00 00", "00 00 11 11 13 1D 10", "0F 1D 1D 0D 05 05 05", "00 00 00 0C 0C 00 00",
    "00 00 00 00 00 04 0C", "04 0C 04 04 0E 00 00", "0E 11 11 11 0E 00 1F", "00 14 0A 05 0A 14 00",
    "11 12 14 0B 15 07 01", "11 12 14 0A 11 02 07", "19 0A 1C 0B 15 07 01", "04 00 04 08 10 11 0E",
    "A`", "A'", "A^", "A~", "A:", "Ao", "0F 14 14 1F 14 14 17", "0E 11 10 10 11 0E 04",  // À..Ç
    "E`", "E'", "E^", "E:", "I`", "I'", "I^", "I:",
    "1C 12 11 1D 11 12 1C", "N~", "O`", "O'", "O^", "O~", "O:", "00 11 0A 04 0A 11 00",  // Ð..×
    "0F 13 15 15 15 19 1E", "U`", "U'", "U^", "U:", "Y'", "10 1E 11 11 1E 10 10", "0E 11 11 16 11 11 16",
    "a`", "a'", "a^", "a~", "a:", "ao", "00 00 1A 05 0F 14 0F", "00 0E 10 10 11 0E 04",  // à..ç
    "e`", "e'", "e^", "e:", "i`", "i'", "i^", "i:",
    "0A 04 0A 01 0F 11 0E", "n~", "o`", "o'", "o^", "o~", "o:", "00 04 00 1F 00 04 00",  // ð..÷
    "00 00 0F 13 15 19 1E", "u`", "u'", "u^", "u:", "y'", "00 10 1E 11 1E 10 10", "y:",
};

struct TMark {
    char key;
    std::uint8_t overCapital;     // one row: a capital keeps six of its rows
    std::uint8_t overSmall[2];    // two rows above a small letter's body
};

const TMark kMarks[] = {
    {'`', 0x0C, {0x08, 0x04}}, {'\'', 0x06, {0x02, 0x04}}, {'^', 0x0E, {0x04, 0x0A}},
    {'~', 0x0D, {0x0D, 0x16}}, {':', 0x0A, {0x0A, 0x00}}, {'o', 0x04, {0x0E, 0x0A}},
    {'v', 0x1B, {0x0A, 0x04}},
};

const TMark& FindMark(char key)
{
    for (const TMark& mark : kMarks)
        if (mark.key == key)
            return mark;
    return kMarks[0];
}

TGlyph5x7 Parse(const char* rows)
{
    TGlyph5x7 glyph{};
    char* end = nullptr;
    for (int row = 0; row < 7; ++row) {
        glyph[row] = static_cast<std::uint8_t>(std::strtoul(rows, &end, 16));
        rows = end;
    }
    return glyph;
}

TGlyph5x7 Compose(char letter, const TMark& mark)
{
    // The dotless body of i, so the accent replaces its dot.
    TGlyph5x7 base = letter == 'i' ? TGlyph5x7{0x00, 0x00, 0x0C, 0x04, 0x04, 0x04, 0x0E} : AsciiGlyph(letter);
    TGlyph5x7 glyph{};
    if (letter >= 'A' && letter <= 'Z') {
        // The capital gives up its second row, the one each accented letter can spare.
        glyph = {mark.overCapital, base[0], base[2], base[3], base[4], base[5], base[6]};
    } else {
        glyph = base;
        glyph[0] = mark.overSmall[0];
        glyph[1] = mark.overSmall[1];
    }
    return glyph;
}
}  // namespace

TGlyph5x7 AnsiGlyph(int code)
{
    if (code < 128 || code > 255)
        return TGlyph5x7{};
    const char* entry = kAnsi[code - 128];
    if (std::strlen(entry) == 2)
        return Compose(entry[0], FindMark(entry[1]));
    if (*entry == '\0')
        return TGlyph5x7{};
    return Parse(entry);
}

TGlyph5x10 HitachiTallGlyph(int code)
{
    TGlyph5x10 glyph{};
    if (code < 194 || code > 223)
        return glyph;
    const char* entry = kAnsi[code - 128];
    TGlyph5x7 body = AnsiGlyph(code);
    if (std::strlen(entry) == 2) {
        // Room for a two-row accent over the whole capital.
        const TMark& mark = FindMark(entry[1]);
        body = AsciiGlyph(entry[0]);
        glyph[0] = mark.overSmall[0];
        glyph[1] = mark.overSmall[1];
    } else if (code == 199) {
        body = AsciiGlyph('C');  // the cedilla hangs below the full C
        glyph[9] = 0x04;
    }
    for (int row = 0; row < 7; ++row)
        glyph[2 + row] = body[row];
    return glyph;
}
