#include <gtest/gtest.h>

#include <string>

#include "net/TlsFingerprint.h"

namespace {
TSHA256Digest Digest(const std::string& text) { return SHA256(text.data(), text.size()); }
}  // namespace

// FIPS 180-4's examples; the 56-byte one takes the two-block padding path.
TEST(SHA256, StandardExamples_GiveTheirDigests)
{
    EXPECT_EQ(FormatFingerprint(Digest("")),
              "E3:B0:C4:42:98:FC:1C:14:9A:FB:F4:C8:99:6F:B9:24:27:AE:41:E4:64:9B:93:4C:A4:95:99:1B:78:52:B8:55");
    EXPECT_EQ(FormatFingerprint(Digest("abc")),
              "BA:78:16:BF:8F:01:CF:EA:41:41:40:DE:5D:AE:22:23:B0:03:61:A3:96:17:7A:9C:B4:10:FF:61:F2:00:15:AD");
    EXPECT_EQ(FormatFingerprint(Digest("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
              "24:8D:6A:61:D2:06:38:B8:E5:C0:26:93:0C:3E:60:39:A3:3C:E4:59:64:FF:21:67:F6:EC:ED:D4:19:DB:06:C1");
    EXPECT_EQ(FormatFingerprint(Digest(std::string(1000000, 'a'))),
              "CD:C7:6E:5C:99:14:FB:92:81:A1:C7:E2:84:D7:3E:67:F1:80:9A:48:A4:97:20:0E:04:6D:39:CC:C7:11:2C:D0");
}

TEST(TlsFingerprint, PinnedText_MatchesOnlyTheSameDigest)
{
    const TSHA256Digest abc = Digest("abc");
    const std::string shown = FormatFingerprint(abc);
    EXPECT_TRUE(FingerprintMatches(shown, abc));
    EXPECT_TRUE(FingerprintMatches("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad", abc));
    EXPECT_TRUE(FingerprintMatches(" BA 78-16:bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad ", abc));
    std::string lastDigitChanged = shown;
    lastDigitChanged.back() = 'E';
    EXPECT_FALSE(FingerprintMatches(lastDigitChanged, abc));
    EXPECT_FALSE(FingerprintMatches(shown.substr(0, shown.size() - 1), abc));  // 63 digits
    EXPECT_FALSE(FingerprintMatches(shown + "00", abc));
    EXPECT_FALSE(FingerprintMatches("", abc));
    EXPECT_FALSE(FingerprintMatches("g" + shown.substr(1), abc));
    EXPECT_FALSE(FingerprintMatches(FormatFingerprint(Digest("abd")), abc));
}

// A mistyped pin still pins: it matches nothing, it does not fall back to
// the usual check.
TEST(TlsFingerprint, AnyTextButSeparators_IsAPin)
{
    EXPECT_FALSE(FingerprintPinned(""));
    EXPECT_FALSE(FingerprintPinned(" : - "));
    EXPECT_TRUE(FingerprintPinned("BA:78"));
    EXPECT_TRUE(FingerprintPinned("not hex"));
}
