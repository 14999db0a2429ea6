// The platform's text services the mail decoder and the spam test are given:
// code pages to UTF-8 with U+FFFD for what a code page does not define, and
// letter case folded over all of Unicode.
#include <gtest/gtest.h>

#include "framework/CaseFold.h"
#include "framework/CodePage.h"

namespace {
std::string Converted(unsigned codePage, const std::string& bytes)
{
    std::string utf8;
    EXPECT_TRUE(ConvertCodePageToUtf8(codePage, bytes, utf8)) << codePage;
    return utf8;
}
}  // namespace

TEST(ConvertCodePageToUtf8, EachCodePageToUnicodeAndUndefinedBytesToReplacement)
{
    EXPECT_EQ(Converted(20866, "\xF0\xD2\xC9\xD7\xC5\xD4"), "Привет");
    EXPECT_EQ(Converted(1253, "\xD3\xEF\xF6\xDF\xE1"), "Σοφία");
    EXPECT_EQ(Converted(936, "\xD6\xD8\xD2\xAA"), "重要");
    // A lead byte without its trail byte, and a byte 1253 leaves undefined.
    EXPECT_EQ(Converted(932, "\x93\xFA\x81\x20"), "日\xEF\xBF\xBD ");
    EXPECT_EQ(Converted(1253, "a\xAA" "b"), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(Converted(949, ""), "");
    std::string utf8;
    EXPECT_FALSE(ConvertCodePageToUtf8(28600, "x", utf8));
}

TEST(FoldCase, LettersOfEveryScriptLoweredAndTheRestKept)
{
    EXPECT_EQ(FoldCase("РЕКЛАМА Реклама"), "реклама реклама");
    EXPECT_EQ(FoldCase("ΣΟΦΙΑ Ŵ 😀 广告 ABC \xEF\xBF\xBD"), "σοφια ŵ 😀 广告 abc \xEF\xBF\xBD");
    EXPECT_EQ(FoldCase("Mixed CASE ascii"), "mixed case ascii");
    EXPECT_EQ(FoldCase("\xF0\x90\x90\x80"), "\xF0\x90\x90\xA8");  // Deseret, beyond the BMP
}
