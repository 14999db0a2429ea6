#include <gtest/gtest.h>

#include <climits>

#include "settings/SettingsValues.h"

TEST(SettingsValues, EncodeInteger_IsPlainDecimal)
{
    EXPECT_EQ(EncodeInteger(0), "0");
    EXPECT_EQ(EncodeInteger(500), "500");
    EXPECT_EQ(EncodeInteger(-5), "-5");
    EXPECT_EQ(EncodeInteger(INT_MAX), "2147483647");
    EXPECT_EQ(EncodeInteger(INT_MIN), "-2147483648");
}

TEST(SettingsValues, EncodeBoolean_IsOneOrZero)
{
    EXPECT_EQ(EncodeBoolean(true), "1");
    EXPECT_EQ(EncodeBoolean(false), "0");
}

TEST(SettingsValues, DecodeInteger_ReadsSignedDecimal)
{
    EXPECT_EQ(DecodeInteger("500", 7), 500);
    EXPECT_EQ(DecodeInteger("-42", 7), -42);
    EXPECT_EQ(DecodeInteger("+42", 7), 42);
    EXPECT_EQ(DecodeInteger("0", 7), 0);
    EXPECT_EQ(DecodeInteger("-0", 7), 0);
    EXPECT_EQ(DecodeInteger("05", 7), 5);
    EXPECT_EQ(DecodeInteger("0000000000000000000012", 7), 12);
}

TEST(SettingsValues, DecodeInteger_EdgesOf32Bits)
{
    EXPECT_EQ(DecodeInteger("2147483647", 7), INT_MAX);
    EXPECT_EQ(DecodeInteger("-2147483648", 7), INT_MIN);
    EXPECT_EQ(DecodeInteger("2147483648", 7), 7);
    EXPECT_EQ(DecodeInteger("-2147483649", 7), 7);
    EXPECT_EQ(DecodeInteger("99999999999999999999999999", 7), 7);
    EXPECT_EQ(DecodeInteger("4294967296", 7), 7);  // would wrap to 0 in 32 bits
}

TEST(SettingsValues, DecodeInteger_NotAnInteger_GivesDefault)
{
    EXPECT_EQ(DecodeInteger("", 10), 10);
    EXPECT_EQ(DecodeInteger("-", 10), 10);
    EXPECT_EQ(DecodeInteger("+", 10), 10);
    EXPECT_EQ(DecodeInteger("12abc", 10), 10);
    EXPECT_EQ(DecodeInteger("abc", 10), 10);
    EXPECT_EQ(DecodeInteger("1.5", 10), 10);
    EXPECT_EQ(DecodeInteger("1,000", 10), 10);
    EXPECT_EQ(DecodeInteger("0x10", 10), 10);
    EXPECT_EQ(DecodeInteger("--1", 10), 10);
    EXPECT_EQ(DecodeInteger("1-", 10), 10);
    EXPECT_EQ(DecodeInteger(std::string("1\0" "2", 3), 10), 10);
    EXPECT_EQ(DecodeInteger("\xB2", 10), 10);  // superscript two in 1252
}

TEST(SettingsValues, DecodeInteger_SpacesAroundDigits_GiveDefault)
{
    EXPECT_EQ(DecodeInteger(" 5", 10), 10);
    EXPECT_EQ(DecodeInteger("5 ", 10), 10);
    EXPECT_EQ(DecodeInteger("\t5", 10), 10);
    EXPECT_EQ(DecodeInteger("- 5", 10), 10);
    EXPECT_EQ(DecodeInteger(" ", 10), 10);
}

TEST(SettingsValues, DecodeBoolean_AnyNonZeroIntegerIsTrue)
{
    EXPECT_TRUE(DecodeBoolean("1", false));
    EXPECT_TRUE(DecodeBoolean("2", false));
    EXPECT_TRUE(DecodeBoolean("-1", false));
    EXPECT_FALSE(DecodeBoolean("0", true));
    EXPECT_FALSE(DecodeBoolean("00", true));
}

TEST(SettingsValues, DecodeBoolean_NotAnInteger_GivesDefault)
{
    EXPECT_TRUE(DecodeBoolean("yes", true));
    EXPECT_FALSE(DecodeBoolean("yes", false));
    EXPECT_FALSE(DecodeBoolean("true", false));
    EXPECT_TRUE(DecodeBoolean("false", true));
    EXPECT_TRUE(DecodeBoolean("", true));
    EXPECT_FALSE(DecodeBoolean("", false));
    EXPECT_FALSE(DecodeBoolean(" 1", false));
    EXPECT_TRUE(DecodeBoolean("99999999999", true));
    EXPECT_FALSE(DecodeBoolean("99999999999", false));
}

TEST(SettingsValues, EncodedValues_DecodeToThemselves)
{
    for (int v : {0, 1, -1, 42, -5, 10000, INT_MAX, INT_MIN})
        EXPECT_EQ(DecodeInteger(EncodeInteger(v), v == 0 ? 1 : 0), v);
    EXPECT_TRUE(DecodeBoolean(EncodeBoolean(true), false));
    EXPECT_FALSE(DecodeBoolean(EncodeBoolean(false), true));
}

TEST(SettingsValues, MailboxSectionName_CountsFromOneWithoutLeadingZeros)
{
    EXPECT_EQ(MailboxSectionName(1), "Mailbox1");
    EXPECT_EQ(MailboxSectionName(10), "Mailbox10");
}

TEST(SettingsValues, MailboxPort_OutsideItsRangeGivesTheDefault)
{
    EXPECT_EQ(DecodeMailboxPort("995"), "995");
    EXPECT_EQ(DecodeMailboxPort("0995"), "995");
    for (const char* bad : {"", "0", "65536", "-995", " 995", "pop3"})
        EXPECT_EQ(DecodeMailboxPort(bad), "110") << bad;
    EXPECT_EQ(DecodeMailboxSecurity("0"), MailboxSecurityNone);
    EXPECT_EQ(DecodeMailboxSecurity("2"), MailboxSecurityImplicit);
}

// A value the program does not know never means "in clear".
TEST(SettingsValues, MailboxSecurityNotZeroOneOrTwo_IsUnknown)
{
    for (const char* bad : {"3", "-1", "tls", "", " 1", "01", "2 ", "1x"})
        EXPECT_EQ(DecodeMailboxSecurity(bad), MailboxSecurityUnknown) << bad;
}

// Only "1" signs in with OAuth 2.0; a section without Auth, or with any
// other text, logs in with its password as before.
TEST(SettingsValues, MailboxAuth_OnlyOneIsOAuth)
{
    EXPECT_EQ(DecodeMailboxAuth("1"), MailboxAuthOAuth);
    for (const char* other : {"0", "", "2", "01", " 1", "oauth"})
        EXPECT_EQ(DecodeMailboxAuth(other), MailboxAuthPassword) << other;
}
