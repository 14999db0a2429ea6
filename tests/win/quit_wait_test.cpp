// The program's Quit reaches every nested wait: the application told to
// terminate ends the main loop, a socket's wait, the POP3 client's wait and
// the browser sign-in's wait for its loopback redirect, whatever each one
// was waiting for, and the sign-in's port is closed on the way out.
#include "pop3_server_support.h"

#include "framework/Application.h"
#include "net/Pop3Sync.h"
#include "net/WSocket.h"
#include "oauth/OAuthEncoding.h"
#include "oauth/OAuthSignIn.h"

namespace {
// The application object the waits look at, told to terminate `afterMs`
// after the wait began, from inside the wait as a tray menu's Quit would be.
class TQuitLater {
public:
    explicit TQuitLater(UINT afterMs) : application_("QuitWaitTest")
    {
        Application = &application_;
        timer_ = SetTimer(nullptr, 0, afterMs, Fire);
    }
    ~TQuitLater()
    {
        KillTimer(nullptr, timer_);
        Application = nullptr;
    }

private:
    static void CALLBACK Fire(HWND, UINT, UINT_PTR id, DWORD)
    {
        KillTimer(nullptr, id);
        if (Application)
            Application->Terminate();
    }
    TApplication application_;
    UINT_PTR timer_ = 0;
};

int RedirectPort(const std::string& url)
{
    std::string redirect;
    QueryValue(ParseQuery(url.substr(url.find('?') + 1)), "redirect_uri", redirect);
    return std::atoi(redirect.substr(redirect.rfind(':') + 1).c_str());
}

// Whether a plain connect to 127.0.0.1:port is accepted.
bool Listening(int port)
{
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(static_cast<u_short>(port));
    const bool accepted = connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
    closesocket(s);
    return accepted;
}
}  // namespace

TEST(QuitWait, Terminate_EndsTheMainLoopWithoutItsFlag)
{
    TQuitLater quit(100);
    const bool neverSet = false;
    const DWORD start = GetTickCount();
    Application->Run(neverSet);
    EXPECT_LT(GetTickCount() - start, 2000u);
    EXPECT_TRUE(TApplication::Terminating());
}

TEST_F(WSocketTest, QuitWait_SocketWaitForAFlagNeverSet_EndsAtTheQuitRequest)
{
    TQuitLater quit(200);
    TWSocket socket;
    const bool neverSet = false;
    const DWORD start = GetTickCount();
    EXPECT_EQ(socket.WaitUntilReady(neverSet, 60000), WSocketErrorWaitTerminated);
    const DWORD took = GetTickCount() - start;
    EXPECT_GE(took, 150u);
    EXPECT_LT(took, 2000u);
    // Once the program is ending, a later wait does not even begin.
    EXPECT_EQ(socket.WaitUntilReady(neverSet, 60000), WSocketErrorWaitTerminated);
}

TEST_F(WSocketTest, QuitWait_Pop3ServerThatNeverGreets_ConnectEndsAtTheQuitRequest)
{
    TLoopbackServer server([](SOCKET& client, TLoopbackServer& self) { self.ReceiveUntilClosed(client); });
    TQuitLater quit(300);
    TSyncPop3Cli pop;
    pop.Host = "127.0.0.1";
    pop.Port = server.PortText();
    pop.Timeout = 60;
    const DWORD start = GetTickCount();
    EXPECT_FALSE(pop.ConnectSync());
    EXPECT_LT(GetTickCount() - start, 2000u);
    EXPECT_EQ(pop.ErrorMessage(), "426 Cancelled");
    EXPECT_FALSE(pop.Connected());
    EXPECT_TRUE(PumpUntil([&] { return server.Finished(); })) << "the connection was closed";
}

TEST_F(WSocketTest, QuitWait_SignInWaitingForTheBrowser_EndsAtTheQuitRequestAndClosesItsPort)
{
    TOAuthProvider provider;
    provider.AuthorizationUrl = "https://auth.test/authorize";
    provider.TokenUrl = "https://auth.test/token";
    provider.ClientId = "skarnvale-test";
    std::string opened;
    bool listenedWhileOpen = false;
    TQuitLater quit(300);
    const DWORD start = GetTickCount();
    // The browser is "opened" and never comes back, as when the user leaves the page open.
    const TOAuthSignInResult result = OAuthSignIn(
        provider,
        [&](const std::string& url) {
            opened = url;
            listenedWhileOpen = Listening(RedirectPort(url));
            return true;
        },
        OAuthSignInTimeoutMs);
    EXPECT_LT(GetTickCount() - start, 2000u);
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(result.Error, "the program is ending");
    ASSERT_TRUE(listenedWhileOpen);
    EXPECT_FALSE(Listening(RedirectPort(opened)));
}
