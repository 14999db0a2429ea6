#include <gtest/gtest.h>

#include "text/ListFileText.h"
#include "text/Utf8Text.h"

namespace {
// Windows-1252 as far as the tests need it: Latin-1 plus the euro sign.
class TLatinCodePage : public IAnsiCodePage {
public:
    std::string ToUtf8(const std::string& ansi) const override { return Windows1252ToUtf8(ansi); }
    bool FromUtf8Exactly(const std::string& utf8, std::string& ansi) const override
    {
        ansi.clear();
        for (std::size_t at = 0; at < utf8.size();) {
            const char32_t c = NextCodePoint(utf8, at);
            if (c == 0x20AC)
                ansi += '\x80';
            else if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
                ansi += static_cast<char>(c);
            else
                return false;
        }
        return true;
    }
};
const TLatinCodePage kLatin;
}  // namespace

TEST(ListFileText, Read_CodePageBytes_DecodedFromTheCodePage)
{
    EXPECT_EQ(ListFileToUtf8("Caf\xE9\r\n5\x80\r\n", kLatin), "Caf\xC3\xA9\r\n5\xE2\x82\xAC\r\n");
}

TEST(ListFileText, Read_ValidUtf8WithoutMark_TakenAsUtf8)
{
    EXPECT_EQ(ListFileToUtf8("\xD0\x9D\xD0\xBE\r\n", kLatin), "\xD0\x9D\xD0\xBE\r\n");
}

TEST(ListFileText, Read_ByteOrderMark_DroppedAndMalformedBytesBecomeReplacement)
{
    EXPECT_EQ(ListFileToUtf8("\xEF\xBB\xBFOk\xFF\r\n", kLatin), "Ok\xEF\xBF\xBD\r\n");
}

TEST(ListFileText, Read_Ascii_Unchanged)
{
    EXPECT_EQ(ListFileToUtf8("Popup\r\n\x1A", kLatin), "Popup\r\n\x1A");
}

TEST(ListFileText, Write_EveryCharacterInTheCodePage_CodePageBytes)
{
    EXPECT_EQ(Utf8ToListFile("Caf\xC3\xA9\r\n5\xE2\x82\xAC\r\n", kLatin), "Caf\xE9\r\n5\x80\r\n");
}

TEST(ListFileText, Write_OneCharacterOutside_WholeFileUtf8WithMark)
{
    EXPECT_EQ(Utf8ToListFile("Caf\xC3\xA9\r\n\xE5\xB9\xBF\r\n", kLatin), "\xEF\xBB\xBF" "Caf\xC3\xA9\r\n\xE5\xB9\xBF\r\n");
}

TEST(ListFileText, RoundTrip_BothForms_ReadBackAsWritten)
{
    for (const std::string text : {"Caf\xC3\xA9\r\n", "\xE5\xB9\xBF\xE5\x91\x8A\r\n", "plain\r\n"})
        EXPECT_EQ(ListFileToUtf8(Utf8ToListFile(text, kLatin), kLatin), text);
}
