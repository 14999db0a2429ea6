#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "widgets/LCD_LabFont.h"

namespace {
void PutInt32(std::vector<std::uint8_t>& bytes, std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<std::uint8_t>(bits >> shift));
}

// A font file: the header and `glyphBytes` bytes counting 0, 1, 2, ...
std::vector<std::uint8_t> FontFile(std::int32_t columns, std::int32_t rows, std::int32_t first, std::int32_t last,
                                   std::size_t glyphBytes)
{
    std::vector<std::uint8_t> bytes;
    PutInt32(bytes, columns);
    PutInt32(bytes, rows);
    PutInt32(bytes, first);
    PutInt32(bytes, last);
    for (std::size_t i = 0; i < glyphBytes; ++i)
        bytes.push_back(static_cast<std::uint8_t>(i));
    return bytes;
}

bool Parse(const std::vector<std::uint8_t>& bytes, TLCDFont& font)
{
    return ParseLCDFont(bytes.data(), bytes.size(), font);
}

bool Refused(const std::vector<std::uint8_t>& bytes)
{
    TLCDFont font = BuiltInFont(mat5x7);
    const bool parsed = Parse(bytes, font);
    // A refusal leaves the font as it was.
    EXPECT_EQ(font.Columns, 5);
    EXPECT_EQ(font.Last, 126);
    return !parsed;
}

class LCDFontFile : public ::testing::Test {
protected:
    void TearDown() override { std::remove(path_.c_str()); }
    std::string Write(const std::vector<std::uint8_t>& bytes)
    {
        std::ofstream(path_, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                     static_cast<std::streamsize>(bytes.size()));
        return path_;
    }
    std::string path_ = ::testing::TempDir() + "lcd_font_file_test.fnt";
};
}  // namespace

TEST(LCDFontParse, ValidFile_LoadsGlyphsAtTheirCodes)
{
    TLCDFont font;
    ASSERT_TRUE(Parse(FontFile(3, 2, 65, 66, 12), font));
    EXPECT_EQ(font.Columns, 3);
    EXPECT_EQ(font.Rows, 2);
    EXPECT_EQ(font.First, 65);
    EXPECT_EQ(font.Last, 66);
    EXPECT_EQ(font.Bytes, TGlyphBytes::Custom);
    ASSERT_EQ(font.Glyphs.size(), 256u * 6u);
    EXPECT_EQ(std::vector<std::uint8_t>(font.Glyph(65), font.Glyph(65) + 6), (std::vector<std::uint8_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(std::vector<std::uint8_t>(font.Glyph(66), font.Glyph(66) + 6),
              (std::vector<std::uint8_t>{6, 7, 8, 9, 10, 11}));
}

TEST(LCDFontParse, CodesOutsideTheRange_AreAllOneBytes)
{
    TLCDFont font;
    ASSERT_TRUE(Parse(FontFile(2, 2, 65, 65, 4), font));
    for (int code : {0, 64, 66, 255})
        EXPECT_EQ(std::vector<std::uint8_t>(font.Glyph(code), font.Glyph(code) + 4),
                  (std::vector<std::uint8_t>{1, 1, 1, 1}))
            << code;
}

TEST(LCDFontParse, WholeRangeOfLargestMatrix_IsAccepted)
{
    TLCDFont font;
    EXPECT_TRUE(Parse(FontFile(64, 64, 0, 255, 256 * 64 * 64), font));
    EXPECT_EQ(font.Glyph(255)[64 * 64 - 1], static_cast<std::uint8_t>(256 * 64 * 64 - 1));
}

TEST(LCDFontParse, BytesAfterTheLastGlyph_AreIgnored)
{
    TLCDFont font;
    EXPECT_TRUE(Parse(FontFile(1, 1, 48, 57, 100), font));
    EXPECT_EQ(font.Glyph(57)[0], 9);
}

TEST(LCDFontParse, HeaderShorterThan16Bytes_IsRefused)
{
    std::vector<std::uint8_t> bytes = FontFile(1, 1, 0, 0, 1);
    bytes.resize(15);
    EXPECT_TRUE(Refused(bytes));
    EXPECT_TRUE(Refused({}));
    TLCDFont font;
    EXPECT_FALSE(ParseLCDFont(nullptr, 0, font));
}

TEST(LCDFontParse, FileShortOfItsGlyphs_IsRefused)
{
    EXPECT_TRUE(Refused(FontFile(5, 7, 32, 126, 95 * 35 - 1)));
    EXPECT_TRUE(Refused(FontFile(5, 7, 32, 126, 0)));
}

TEST(LCDFontParse, SizesBelowOne_AreRefused)
{
    EXPECT_TRUE(Refused(FontFile(0, 7, 32, 32, 64)));
    EXPECT_TRUE(Refused(FontFile(5, 0, 32, 32, 64)));
    EXPECT_TRUE(Refused(FontFile(-5, -7, 32, 32, 64)));
}

TEST(LCDFontParse, SizesAbove64_AreRefused)
{
    EXPECT_TRUE(Refused(FontFile(65, 1, 32, 32, 65)));
    EXPECT_TRUE(Refused(FontFile(1, 65, 32, 32, 65)));
}

TEST(LCDFontParse, HugeSizesThatWouldOverflow_AreRefused)
{
    EXPECT_TRUE(Refused(FontFile(0x7FFFFFFF, 0x7FFFFFFF, 0, 255, 64)));
    EXPECT_TRUE(Refused(FontFile(0x10000, 0x10000, 0, 0, 64)));  // 2^32 bytes a glyph
    EXPECT_TRUE(Refused(FontFile(-0x7FFFFFFF - 1, -1, 0, 0, 64)));
}

TEST(LCDFontParse, CodesOutside0To255_AreRefused)
{
    EXPECT_TRUE(Refused(FontFile(1, 1, -1, 10, 64)));
    EXPECT_TRUE(Refused(FontFile(1, 1, 0, 256, 512)));
    EXPECT_TRUE(Refused(FontFile(1, 1, -0x7FFFFFFF - 1, 0x7FFFFFFF, 512)));
}

TEST(LCDFontParse, FirstCodeAboveLast_IsRefused)
{
    EXPECT_TRUE(Refused(FontFile(1, 1, 66, 65, 64)));
}

TEST_F(LCDFontFile, ReadableFile_Loads)
{
    TLCDFont font;
    ASSERT_TRUE(LoadLCDFontFile(Write(FontFile(2, 3, 48, 49, 12)), font));
    EXPECT_EQ(font.Rows, 3);
    EXPECT_EQ(font.Glyph(49)[5], 11);
}

TEST_F(LCDFontFile, MissingFile_FailsAndLeavesTheFont)
{
    TLCDFont font = BuiltInFont(mat9x12);
    EXPECT_FALSE(LoadLCDFontFile(path_ + ".missing", font));
    EXPECT_EQ(font.Columns, 9);
}

TEST_F(LCDFontFile, FileShorterThanItsHeaderSays_Fails)
{
    TLCDFont font;
    EXPECT_FALSE(LoadLCDFontFile(Write(FontFile(8, 8, 0, 255, 1000)), font));
}

TEST_F(LCDFontFile, LongFileOfLargestFont_LoadsWithoutReadingPastNeed)
{
    std::vector<std::uint8_t> bytes = FontFile(64, 64, 0, 255, 256 * 64 * 64);
    bytes.resize(bytes.size() + 3 * 1024 * 1024, 0x55);
    TLCDFont font;
    ASSERT_TRUE(LoadLCDFontFile(Write(bytes), font));
    EXPECT_EQ(font.Glyph(0)[1], 1);
}
