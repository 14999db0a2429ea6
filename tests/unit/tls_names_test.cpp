#include <gtest/gtest.h>

#include "net/Pop3Parse.h"
#include "net/TlsNames.h"

TEST(TlsNames, IpAddresses_ParsedInBothFamilies_DnsNamesAreNone)
{
    EXPECT_EQ(ParseIpAddress(" 127.0.0.1 "), (TIpAddress{127, 0, 0, 1}));
    EXPECT_EQ(ParseIpAddress("::1"), (TIpAddress{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(ParseIpAddress("[2001:DB8::a:1]"), (TIpAddress{0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x0a, 0, 1}));
    EXPECT_EQ(ParseIpAddress("::ffff:10.1.2.3"), (TIpAddress{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff, 10, 1, 2, 3}));
    EXPECT_EQ(ParseIpAddress("1:2:3:4:5:6:7:8").size(), 16u);
    for (const char* name : {"mail.test", "", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1.2.3.4a", "1:2:3:4:5:6:7",
                             "1::2::3", "12345::", "1:2:3:4:5:6:7:8:9", "::1.2.3", "example.1"})
        EXPECT_TRUE(ParseIpAddress(name).empty()) << name;
}

TEST(TlsNames, WildcardStandsForOneWholeLeftMostLabel)
{
    EXPECT_TRUE(DnsNameMatches("mail.example.org", "MAIL.Example.org."));
    EXPECT_TRUE(DnsNameMatches("*.example.org", "mail.example.org"));
    for (const char* name : {"example.org", "a.b.example.org", ".example.org", "mailexample.org"})
        EXPECT_FALSE(DnsNameMatches("*.example.org", name)) << name;
    for (const char* entry : {"*.org", "m*.example.org", "mail.*.org", "*.*.org", "", "*"})
        EXPECT_FALSE(DnsNameMatches(entry, "mail.example.org")) << entry;
    EXPECT_FALSE(DnsNameMatches("other.test", "mail.test"));
}

// An address is compared with the address entries only; a name that looks
// like it in a DNS entry, or in the common name, is no proof.
TEST(TlsNames, ServerByAddressOrByName_ComparedWithItsOwnKindOfEntry)
{
    const TCertificateNames names = {{"mail.test", "127.0.0.2"}, {{127, 0, 0, 1}, ParseIpAddress("::1")}};
    EXPECT_TRUE(CertificateNamesServer(names, "127.0.0.1"));
    EXPECT_TRUE(CertificateNamesServer(names, "0:0::1"));
    EXPECT_TRUE(CertificateNamesServer(names, "mail.test"));
    EXPECT_FALSE(CertificateNamesServer(names, "127.0.0.2"));
    EXPECT_FALSE(CertificateNamesServer(names, "127.0.0.3"));
    EXPECT_FALSE(CertificateNamesServer(names, "other.test"));
    EXPECT_FALSE(CertificateNamesServer(TCertificateNames{}, "mail.test"));
}

TEST(Pop3TraceLine, LoginSecretsShownAsStars)
{
    EXPECT_EQ(Pop3TraceLine("PASS secret"), "PASS ****");
    EXPECT_EQ(Pop3TraceLine("pass two words"), "pass ****");
    EXPECT_EQ(Pop3TraceLine("APOP alice c4c9334bac560ecc979e58001b3e22fb"), "APOP alice ****");
    EXPECT_EQ(Pop3TraceLine("AUTH PLAIN AGFsaWNlAHNlY3JldA=="), "AUTH PLAIN ****");
    EXPECT_EQ(Pop3TraceLine("AUTH PLAIN"), "AUTH PLAIN");
    EXPECT_EQ(Pop3TraceLine("USER alice"), "USER alice");
    EXPECT_EQ(Pop3TraceLine("PASSWORD x"), "PASSWORD x");
    EXPECT_EQ(Pop3TraceLine("TOP 1 0"), "TOP 1 0");
}
