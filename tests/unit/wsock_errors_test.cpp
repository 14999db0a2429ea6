#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "net/WSockErrors.h"

TEST(WSocketErrorText, EveryKnownCodeHasItsText)
{
    const std::vector<std::pair<int, std::string>> expected = {
        {0, "No Error"},
        {10004, "Interrupted system call"},
        {10009, "Bad file number"},
        {10013, "Permission denied"},
        {10014, "Bad address"},
        {10022, "Invalid argument"},
        {10024, "Too many open files"},
        {10035, "Operation would block"},
        {10036, "Operation now in progress"},
        {10037, "Operation already in progress"},
        {10038, "Socket operation on non-socket"},
        {10039, "Destination address required"},
        {10040, "Message too long"},
        {10041, "Protocol wrong type for socket"},
        {10042, "Protocol not available"},
        {10043, "Protocol not supported"},
        {10044, "Socket type not supported"},
        {10045, "Operation not supported on socket"},
        {10046, "Protocol family not supported"},
        {10047, "Address family not supported by protocol family"},
        {10048, "Address already in use"},
        {10049, "Address not available"},
        {10050, "Network is down"},
        {10051, "Network is unreachable"},
        {10052, "Network dropped connection on reset"},
        {10053, "Connection aborted"},
        {10054, "Connection reset by peer"},
        {10055, "No buffer space available"},
        {10056, "Socket is already connected"},
        {10057, "Socket is not connected"},
        {10058, "Can't send after socket shutdown"},
        {10059, "Too many references: can't splice"},
        {10060, "Connection timed out"},
        {10061, "Connection refused"},
        {10062, "Too many levels of symbolic links"},
        {10063, "File name too long"},
        {10064, "Host is down"},
        {10065, "No route to host"},
        {10066, "Directory not empty"},
        {10067, "Too many processes"},
        {10068, "Too many users"},
        {10069, "Disc quota exceeded"},
        {10070, "Stale NFS file handle"},
        {10071, "Too many levels of remote in path"},
        {10091, "Network sub-system is unusable"},
        {10092, "WinSock DLL cannot support this application"},
        {10093, "WinSock not initialized"},
        {11001, "Host not found"},
        {11002, "Non-authoritative host not found"},
        {11003, "Non-recoverable error"},
        {11004, "No Data"},
    };
    for (const auto& entry : expected)
        EXPECT_EQ(WSocketErrorText(entry.first), entry.second) << "code " << entry.first;
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
