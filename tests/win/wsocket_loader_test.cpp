#include "wsocket_support.h"

#include "net/WSocket.h"
#include "net/WSocketLoader.h"

namespace {
// Each test starts and ends with Winsock unloaded and the real library named.
class WinsockLoaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(TCustomWSocket::SocketCount(), 0);
        WinsockUnload();
        WinsockSetLibrary("wsock32.dll");
    }
    void TearDown() override
    {
        WinsockUnload();
        WinsockSetLibrary("wsock32.dll");
    }

    static std::string LoaderError()
    {
        try {
            WinsockLoader(TWinsockProc::socket);
        } catch (const ESocketException& e) {
            return e.what();
        }
        return "no exception";
    }
};
}  // namespace

TEST_F(WinsockLoaderTest, FirstCall_LoadsLibrary_LastSocketUnloadsIt)
{
    {
        TWSocket socket;
        EXPECT_FALSE(WinsockLoaded()) << "a socket alone does not load Winsock";
        socket.DnsLookup("127.0.0.1");
        EXPECT_TRUE(WinsockLoaded());
        EXPECT_EQ(TCustomWSocket::SocketCount(), 1);
    }
    EXPECT_EQ(TCustomWSocket::SocketCount(), 0);
    EXPECT_FALSE(WinsockLoaded());
}

TEST_F(WinsockLoaderTest, LibraryStaysLoaded_WhileAnotherSocketLives)
{
    TWSocket first;
    {
        TWSocket second;
        second.DnsLookup("127.0.0.1");
    }
    EXPECT_TRUE(WinsockLoaded());
    first.DnsLookup("127.0.0.2");
    EXPECT_EQ(first.DnsResult(), "127.0.0.2");
}

TEST_F(WinsockLoaderTest, EntryPoint_IsResolvedOnceAndKept)
{
    FARPROC first = WinsockLoader(TWinsockProc::recvfrom);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(WinsockLoader(TWinsockProc::recvfrom), first);
    EXPECT_EQ(first, GetProcAddress(GetModuleHandleA("wsock32.dll"), "recvfrom"));
}

TEST_F(WinsockLoaderTest, MissingLibrary_ReportsUnableToLoadWithSystemError)
{
    WinsockSetLibrary("skarnvale_no_such_winsock.dll");
    EXPECT_EQ(LoaderError(), "Unable to load skarnvale_no_such_winsock.dll Error #126");
    EXPECT_FALSE(WinsockLoaded());
}

TEST_F(WinsockLoaderTest, LibraryWithoutWinsock_ReportsProcedureNotFound)
{
    WinsockSetLibrary("kernel32.dll");
    EXPECT_EQ(LoaderError(), "Procedure WSAStartup not found in kernel32.dll Error #127");
    EXPECT_FALSE(WinsockLoaded());
}

TEST_F(WinsockLoaderTest, StartupRefused_ReportsWSAStartupErrorAndRetriesLater)
{
    WinsockSetLibrary("wsock32.dll", 0x0000);  // version 0.0 exists nowhere
    EXPECT_EQ(LoaderError(), "wsock32.dll: WSAStartup error #10092");
    EXPECT_FALSE(WinsockLoaded());
    WinsockSetLibrary("wsock32.dll");
    EXPECT_NE(WinsockLoader(TWinsockProc::socket), nullptr);
}

TEST_F(WinsockLoaderTest, LoaderFailure_ReachesTheSocketAsItsError)
{
    WinsockSetLibrary("skarnvale_no_such_winsock.dll");
    TWSocket socket;
    try {
        socket.DnsLookup("127.0.0.1");
        FAIL() << "no exception";
    } catch (const ESocketException& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to load skarnvale_no_such_winsock.dll Error #126");
    }
}
