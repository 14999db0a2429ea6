#include <gtest/gtest.h>

#include "model/ClassesPerso.h"
#include "model/SpamAllowList.h"
#include "text/Utf8Text.h"

namespace {
// The platform's folding as far as these tests need: A to Z and the Latin-1 capitals.
std::string Fold(const std::string& text)
{
    std::string folded;
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t c = NextCodePoint(text, pos);
        if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
            c += 0x20;
        AppendUtf8(folded, c);
    }
    return folded;
}

TEmail From(const std::string& from)
{
    TEmail email;
    email.From = from;
    DecodeEmailFields(email, nullptr);
    return email;
}

bool Allowed(const std::string& list, const std::string& from) { return ParseAllowList(list, Fold).Allows(From(from)); }

// Latin-1 as the machine's code page.
class TLatinCodePage : public IAnsiCodePage {
public:
    std::string ToUtf8(const std::string& ansi) const override { return Windows1252ToUtf8(ansi); }
    bool FromUtf8Exactly(const std::string& utf8, std::string& ansi) const override
    {
        ansi.clear();
        for (std::size_t at = 0; at < utf8.size();) {
            const char32_t c = NextCodePoint(utf8, at);
            if (c > 0xFF)
                return false;
            ansi += static_cast<char>(c);
        }
        return true;
    }
};
}  // namespace

TEST(AllowList, AddressEntry_AllowsThatAddressInAnyCaseAndNoOther)
{
    EXPECT_TRUE(Allowed("news@Example.com", " Shop News <NEWS@example.COM>"));
    EXPECT_FALSE(Allowed("news@example.com", " Other <other@example.com>"));
    EXPECT_FALSE(Allowed("news@example.com", " <xnews@example.com>"));
    EXPECT_FALSE(Allowed("news@example.com", " <news@example.com.evil.net>"));
}

TEST(AllowList, DomainEntry_WithOrWithoutAt_AllowsTheDomainAndItsSubdomainsOnly)
{
    for (const char* entry : {"example.com", "@example.com", " Example.COM. "}) {
        EXPECT_TRUE(Allowed(entry, " <bob@example.com>")) << entry;
        EXPECT_TRUE(Allowed(entry, " <bob@mail.sub.EXAMPLE.com>")) << entry;
        EXPECT_FALSE(Allowed(entry, " <bob@badexample.com>")) << entry;
        EXPECT_FALSE(Allowed(entry, " <bob@example.com.evil.net>")) << entry;
    }
}

TEST(AllowList, DisplayNameNeverCounts_OnlyTheAddress)
{
    EXPECT_FALSE(Allowed("boss@work.org", " \"boss@work.org\" <spammer@evil.net>"));
    EXPECT_FALSE(Allowed("work.org", " \"Me via work.org\" <spammer@evil.net>"));
}

TEST(AllowList, FromWithoutAngleBrackets_TheWordWithAtIsTheAddress)
{
    EXPECT_TRUE(Allowed("bob@example.com", " bob@example.com (Bob Smith)"));
    EXPECT_TRUE(Allowed("example.com", " bob@example.com"));
    EXPECT_EQ(AllowListAddressOf(From(" bob@example.com (Bob)")), "bob@example.com");
    EXPECT_EQ(AllowListAddressOf(From(" Bob <bob@example.com>")), "bob@example.com");
}

TEST(AllowList, NonAsciiAddressesFoldOverUnicode)
{
    EXPECT_TRUE(Allowed("\xC3\x89LISE@caf\xC3\xA9.fr", " <\xC3\xA9lise@CAF\xC3\x89.FR>"));
    EXPECT_TRUE(Allowed("caf\xC3\xA9.fr", " <x@news.CAF\xC3\x89.fr>"));
}

TEST(AllowList, EmptyListsAndBlankEntriesAllowNothing)
{
    EXPECT_FALSE(Allowed("", " <bob@example.com>"));
    EXPECT_FALSE(Allowed("\r\n  \r\n@\r\n", " <bob@example.com>"));
    EXPECT_FALSE(Allowed("example.com", " undisclosed-recipients"));
}

TEST(AllowListFile, ReadsLikeTheSpamLists_SortedWithoutDuplicatesUpToCtrlZ)
{
    const TLatinCodePage latin;
    const std::string field =
        AllowListFromFile("zed.org\r\nexample.com\r\n\r\nexample.com\r\n\x1A" "after.org\r\n", latin, AsciiCompareText);
    EXPECT_EQ(field, "example.com\r\nzed.org");
}

TEST(AllowListFile, WrittenInTheCodePageWhenItFits_ElseUtf8WithMark_AndReadsBack)
{
    const TLatinCodePage latin;
    EXPECT_EQ(AllowListToFile("caf\xC3\xA9.fr", latin), "caf\xE9.fr\r\n");
    const std::string greek = "\xCE\xB1@example.gr";
    const std::string bytes = AllowListToFile(greek, latin);
    EXPECT_EQ(bytes, "\xEF\xBB\xBF" + greek + "\r\n");
    EXPECT_EQ(AllowListFromFile(bytes, latin, AsciiCompareText), greek);
    EXPECT_EQ(AllowListFromFile("caf\xE9.fr\r\n", latin, AsciiCompareText), "caf\xC3\xA9.fr");
}
