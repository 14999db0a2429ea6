#include <gtest/gtest.h>

#include <string>

#include "net/WSockErrors.h"

TEST(WSocketErrorText, KnownCodesHaveTheirTexts)
{
    // The first and last codes of each range, and the ones the mail log shows most.
    EXPECT_EQ(WSocketErrorText(0), "No Error");
    EXPECT_EQ(WSocketErrorText(10004), "Interrupted system call");
    EXPECT_EQ(WSocketErrorText(10047), "Address family not supported by protocol family");
    EXPECT_EQ(WSocketErrorText(10058), "Can't send after socket shutdown");
    EXPECT_EQ(WSocketErrorText(10060), "Connection timed out");
    EXPECT_EQ(WSocketErrorText(10061), "Connection refused");
    EXPECT_EQ(WSocketErrorText(10071), "Too many levels of remote in path");
    EXPECT_EQ(WSocketErrorText(10091), "Network sub-system is unusable");
    EXPECT_EQ(WSocketErrorText(10093), "WinSock not initialized");
    EXPECT_EQ(WSocketErrorText(11001), "Host not found");
    EXPECT_EQ(WSocketErrorText(11004), "No Data");
}

TEST(WSocketErrorText, UnknownCodesAreNotWinsockErrors)
{
    for (int code : {12345, 1, -1, 10000, 10001, 10005, 10072, 10090, 10094, 11000, 11005, 65535, 10061 + 65536})
        EXPECT_EQ(WSocketErrorText(code), "Not a WinSock error") << "code " << code;
}

TEST(WSocketIsDottedAddress, PlainAddressesAreDotted)
{
    EXPECT_TRUE(WSocketIsDottedAddress("127.0.0.1"));
    EXPECT_TRUE(WSocketIsDottedAddress("0.0.0.0"));
    EXPECT_TRUE(WSocketIsDottedAddress("255.255.255.255"));
    EXPECT_TRUE(WSocketIsDottedAddress("010.001.000.099"));
}

TEST(WSocketIsDottedAddress, BlanksAroundAreAllowed)
{
    EXPECT_TRUE(WSocketIsDottedAddress("   127.0.0.1"));
    EXPECT_TRUE(WSocketIsDottedAddress("127.0.0.1   "));
    EXPECT_TRUE(WSocketIsDottedAddress("  10.1.2.3  "));
}

TEST(WSocketIsDottedAddress, OtherCharactersAfterTheAddressRefuseIt)
{
    EXPECT_FALSE(WSocketIsDottedAddress("127.0.0.1x"));
    EXPECT_FALSE(WSocketIsDottedAddress("127.0.0.1 x"));
    EXPECT_FALSE(WSocketIsDottedAddress("127.0.0.1\t"));
    EXPECT_FALSE(WSocketIsDottedAddress("127.0.0.1:110"));
    EXPECT_FALSE(WSocketIsDottedAddress("127.0.0.1 2"));
}

TEST(WSocketIsDottedAddress, NamesAndEmptyTextAreNotDotted)
{
    EXPECT_FALSE(WSocketIsDottedAddress(""));
    EXPECT_FALSE(WSocketIsDottedAddress("    "));
    EXPECT_FALSE(WSocketIsDottedAddress("localhost"));
    EXPECT_FALSE(WSocketIsDottedAddress("pop.example.com"));
    EXPECT_FALSE(WSocketIsDottedAddress("1.example.com"));
    EXPECT_FALSE(WSocketIsDottedAddress("\t127.0.0.1"));
}

TEST(WSocketIsDottedAddress, WrongNumberOfDotsIsRefused)
{
    EXPECT_FALSE(WSocketIsDottedAddress("127"));
    EXPECT_FALSE(WSocketIsDottedAddress("127.0"));
    EXPECT_FALSE(WSocketIsDottedAddress("127.0.1"));
    EXPECT_FALSE(WSocketIsDottedAddress("127.0.0.1.5"));
}

TEST(WSocketIsDottedAddress, MisplacedDotsAreRefused)
{
    EXPECT_FALSE(WSocketIsDottedAddress(".127.0.0.1"));
    EXPECT_FALSE(WSocketIsDottedAddress("  .1.2.3"));
    EXPECT_FALSE(WSocketIsDottedAddress("127.0.0.1."));
    EXPECT_FALSE(WSocketIsDottedAddress("127..0.1"));
    EXPECT_FALSE(WSocketIsDottedAddress("127.0.0. 1"));
    EXPECT_FALSE(WSocketIsDottedAddress("127.0.0.x"));
}

TEST(WSocketIsDottedAddress, PartAbove255IsRefused)
{
    EXPECT_FALSE(WSocketIsDottedAddress("256.0.0.1"));
    EXPECT_FALSE(WSocketIsDottedAddress("1.256.0.1"));
    EXPECT_FALSE(WSocketIsDottedAddress("1.0.300.1"));
    EXPECT_FALSE(WSocketIsDottedAddress("1.0.0.256"));
    EXPECT_FALSE(WSocketIsDottedAddress("1.0.0.1000"));
}

// Parts whose value would wrap around in 32 bits must still count as too large.
TEST(WSocketIsDottedAddress, HugePartsDoNotWrapAround)
{
    EXPECT_FALSE(WSocketIsDottedAddress("1.2.3.4294967297"));     // 2^32 + 1
    EXPECT_FALSE(WSocketIsDottedAddress("4294967296.2.3.4"));     // 2^32
    EXPECT_FALSE(WSocketIsDottedAddress("1.2.3.18446744073709551617"));
    EXPECT_FALSE(WSocketIsDottedAddress("1.2.3." + std::string(1000, '9')));
}
