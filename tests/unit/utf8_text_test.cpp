#include <gtest/gtest.h>

#include "text/Utf8Text.h"

TEST(Utf8TextTest, ValidityRejectsOverlongSurrogatesAndTruncation)
{
    EXPECT_TRUE(IsValidUtf8("Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x93\xA7"));  // é € 📧
    for (const char* bad : {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82", "\x80", "Caf\xE9"})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
}

TEST(Utf8TextTest, CodePointsRoundTripAndMalformedBytesBecomeReplacement)
{
    std::string text;
    for (char32_t c : {U'A', U'\u00E9', U'\u0416', U'\u5E7F', U'\U0001F4E7'})
        AppendUtf8(text, c);
    EXPECT_EQ("A\xC3\xA9\xD0\x96\xE5\xB9\xBF\xF0\x9F\x93\xA7", text);
    EXPECT_EQ("a\xEF\xBF\xBD" "b", SanitizeUtf8("a\xFF" "b"));
    std::string surrogate;
    AppendUtf8(surrogate, 0xD800);
    EXPECT_EQ("\xEF\xBF\xBD", surrogate);
}

TEST(Utf8TextTest, Windows1252DecodesItsHighHalf)
{
    EXPECT_EQ("Caf\xC3\xA9 \xE2\x80\x93 \xE2\x82\xAC" "5", Windows1252ToUtf8("Caf\xE9 \x96 \x80" "5"));
    EXPECT_EQ("\xC2\x81", Windows1252ToUtf8("\x81"));
}
