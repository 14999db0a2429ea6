#include "LCD_LabFont.h"

#include <algorithm>
#include <fstream>
#include <utility>

namespace {
constexpr std::size_t kHeaderSize = 16;

std::int32_t ReadInt32(const std::uint8_t* at)
{
    const std::uint32_t value = static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
                                static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
    return static_cast<std::int32_t>(value);
}

// The most a valid file needs: the header and 256 glyphs of the largest matrix.
constexpr std::size_t kLargestFile =
    kHeaderSize + static_cast<std::size_t>(256) * MaxCustomFontSize * MaxCustomFontSize;
}  // namespace

bool ParseLCDFont(const std::uint8_t* data, std::size_t size, TLCDFont& font)
{
    if (!data || size < kHeaderSize)
        return false;
    const std::int32_t columns = ReadInt32(data), rows = ReadInt32(data + 4);
    const std::int32_t first = ReadInt32(data + 8), last = ReadInt32(data + 12);
    // Checked before any size is computed from them, so nothing can overflow.
    if (columns < 1 || columns > MaxCustomFontSize || rows < 1 || rows > MaxCustomFontSize)
        return false;
    if (first < 0 || last > 255 || first > last)
        return false;
    const std::size_t glyphSize = static_cast<std::size_t>(columns) * rows;
    const std::size_t glyphCount = static_cast<std::size_t>(last - first + 1);
    if (size - kHeaderSize < glyphCount * glyphSize)
        return false;

    TLCDFont loaded;
    loaded.Columns = columns;
    loaded.Rows = rows;
    loaded.First = first;
    loaded.Last = last;
    loaded.Bytes = TGlyphBytes::Custom;
    // Codes the file does not cover stay all 1 bytes: unlit.
    loaded.Glyphs.assign(256 * glyphSize, 1);
    const std::uint8_t* glyphs = data + kHeaderSize;
    std::copy(glyphs, glyphs + glyphCount * glyphSize, loaded.Glyphs.begin() + first * glyphSize);
    font = std::move(loaded);
    return true;
}

bool LoadLCDFontFile(const std::string& filename, TLCDFont& font)
{
    std::ifstream file(filename, std::ios::binary);
    if (!file)
        return false;
    // Never more than a valid file can use, whatever the file's length.
    std::vector<std::uint8_t> bytes(kLargestFile);
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    return ParseLCDFont(bytes.data(), bytes.size(), font);
}
