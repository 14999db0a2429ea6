#include "wsocket_support.h"

#include "net/WSocketException.h"
#include "net/WSocketResolve.h"

namespace {
std::string ErrorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const ESocketException& e) {
        return e.what();
    }
    return "no exception";
}

std::uint32_t Address(unsigned a, unsigned b, unsigned c, unsigned d)
{
    return htonl((a << 24) | (b << 16) | (c << 8) | d);
}
}  // namespace

TEST(WSocketResolveHost, DottedAddress_GivesNetworkOrder)
{
    EXPECT_EQ(WSocketResolveHost("127.0.0.1"), Address(127, 0, 0, 1));
    EXPECT_EQ(WSocketResolveHost("  10.1.2.3  "), Address(10, 1, 2, 3));
}

TEST(WSocketResolveHost, Localhost_GoesThroughNameService)
{
    EXPECT_EQ(WSocketResolveHost("localhost") & htonl(0xFF000000), htonl(0x7F000000));
}

TEST(WSocketResolveHost, Broadcast_GivesAllOnes)
{
    EXPECT_EQ(WSocketResolveHost("255.255.255.255"), 0xFFFFFFFFu);
}

TEST(WSocketResolveHost, DottedTextRefusedByInetAddr_IsInvalidIpAddress)
{
    // Four parts of at most 255, but "09" is no valid octal part.
    EXPECT_EQ(ErrorOf([] { WSocketResolveHost("1.2.3.09"); }), "WSocketResolveHost: '1.2.3.09' Invalid IP address.");
}

TEST(WSocketResolveHost, EmptyOrOverLong_IsInvalidHostname)
{
    EXPECT_EQ(ErrorOf([] { WSocketResolveHost(""); }), "WSocketResolveHost: '' Invalid Hostname.");
    const std::string longName(257, 'a');
    EXPECT_EQ(ErrorOf([&] { WSocketResolveHost(longName); }),
              "WSocketResolveHost: '" + longName + "' Invalid Hostname.");
}

TEST(WSocketResolvePort, Number_IsReadWithoutServicesDatabase)
{
    EXPECT_EQ(WSocketResolvePort("110", "tcp"), 110);
    EXPECT_EQ(WSocketResolvePort("8080abc", "tcp"), 8080);
    EXPECT_EQ(WSocketResolvePort("0", "tcp"), 0);
}

TEST(WSocketResolvePort, ServiceName_ComesFromServicesDatabase)
{
    EXPECT_EQ(WSocketResolvePort("pop3", "tcp"), 110);
}

TEST(WSocketResolvePort, LeadingBlank_GoesToServicesDatabase)
{
    EXPECT_EQ(ErrorOf([] { WSocketResolvePort(" 110", "tcp"); }).rfind("WSocketResolvePort: Cannot convert port ' 110', Error #", 0),
              0u);
}

TEST(WSocketResolvePort, EmptyOrOverLong_IsInvalid)
{
    EXPECT_EQ(ErrorOf([] { WSocketResolvePort("", "tcp"); }), "WSocketResolvePort: Invalid Port.");
    EXPECT_EQ(ErrorOf([] { WSocketResolvePort(std::string(32, '1'), "tcp"); }), "WSocketResolvePort: Invalid Port.");
    EXPECT_EQ(ErrorOf([] { WSocketResolvePort("110", ""); }), "WSocketResolvePort: Invalid Proto.");
    EXPECT_EQ(ErrorOf([] { WSocketResolvePort("110", std::string(32, 't')); }), "WSocketResolvePort: Invalid Proto.");
}

TEST(WSocketResolvePort, NumberAbovePortRange_IsInvalidNotTruncated)
{
    EXPECT_EQ(ErrorOf([] { WSocketResolvePort("65536", "tcp"); }), "WSocketResolvePort: Invalid Port.");
    EXPECT_EQ(WSocketResolvePort("65535", "tcp"), 65535);
}

TEST(WSocketResolveProto, NamesAndNumbers)
{
    EXPECT_EQ(WSocketResolveProto("tcp"), 6);
    EXPECT_EQ(WSocketResolveProto("udp"), 17);
    EXPECT_EQ(WSocketResolveProto("17"), 17);
}

TEST(WSocketResolveProto, UnknownOrEmpty_IsReported)
{
    EXPECT_EQ(ErrorOf([] { WSocketResolveProto(""); }), "WSocketResolveProto: Invalid Protocol.");
    EXPECT_EQ(ErrorOf([] { WSocketResolveProto("nosuchproto"); }).rfind(
                  "WSocketResolveProto: Cannot convert protocol 'nosuchproto', Error #", 0),
              0u);
}
