// The dot patterns the display's built-in fonts are made of. Every pattern is
// five dots wide; a row is one byte whose bit 4 is the leftmost dot.
#pragma once

#include <array>
#include <cstdint>

using TGlyph5x7 = std::array<std::uint8_t, 7>;
using TGlyph5x10 = std::array<std::uint8_t, 10>;

// Printable ASCII, codes 32 to 126.
TGlyph5x7 AsciiGlyph(int code);
// The upper half of the ANSI code page (codes 128 to 255); unused codes are blank.
TGlyph5x7 AnsiGlyph(int code);
// The PC text-mode set, codes 0 to 255: symbols below 32, box drawing and Greek above 127.
TGlyph5x7 DosGlyph(int code);
// The display controller's set, codes 32 to 223: ASCII with its yen sign and
// arrows, a blank block 128 to 159, then the ANSI symbols and capitals.
TGlyph5x7 HitachiGlyph(int code);
// The tall glyphs of codes 194 to 223: accents above full-height capitals.
TGlyph5x10 HitachiTallGlyph(int code);
