// The sign-in flow against tests/servers/oauth_server.py, run by
// tests/e2e/test_oauth.py: SKARNVALE_OAUTH_BASE is its https base URL, and
// Wine's browser is tests/e2e/oauth_browser.py acting as SKARNVALE_OAUTH_MODE
// says (consent, wrong-state, abandon). Without them the tests are skipped.
#include "wsocket_support.h"

#include <cstdlib>
#include <string>
#include <thread>

#include "framework/ShellOpen.h"
#include "net/HttpsPost.h"
#include "oauth/OAuthEncoding.h"
#include "oauth/OAuthJson.h"
#include "oauth/OAuthSignIn.h"
#include "net/WSocket.h"

namespace {
std::string Base() { return std::getenv("SKARNVALE_OAUTH_BASE") ? std::getenv("SKARNVALE_OAUTH_BASE") : ""; }

bool Mode(const char* mode)
{
    const char* value = std::getenv("SKARNVALE_OAUTH_MODE");
    return !Base().empty() && value && std::string(value) == mode;
}

TOAuthProvider TestProvider()
{
    TOAuthProvider provider;
    provider.AuthorizationUrl = Base() + "/authorize";
    provider.TokenUrl = Base() + "/token";
    provider.Scope = "pop";
    provider.ClientId = "skarnvale-test";
    return provider;
}

// The loopback port named in an authorization URL.
int RedirectPort(const std::string& url)
{
    std::string redirect;
    QueryValue(ParseQuery(url.substr(url.find('?') + 1)), "redirect_uri", redirect);
    return std::atoi(redirect.substr(redirect.rfind(':') + 1).c_str());
}

// Whether something accepts connections on 127.0.0.1:port.
bool Listening(int port)
{
    TWSocket socket;
    bool done = false;
    WORD result = 1;
    socket.OnSessionConnected = [&](TCustomWSocket*, WORD error) {
        result = error;
        done = true;
    };
    socket.SetAddr("127.0.0.1");
    socket.SetPort(std::to_string(port));
    socket.SetProto("tcp");
    socket.Connect();
    socket.WaitUntilReady(done, 5000);
    socket.Abort();
    return done && result == 0;
}
}  // namespace

TEST(OAuthSignIn, BrowserConsents_CodeIsExchangedAndRefreshed)
{
    if (!Mode("consent"))
        GTEST_SKIP() << "no authorization server with a consenting browser for this run";
    std::string opened;
    const TOAuthSignInResult signedIn = OAuthSignIn(TestProvider(), [&](const std::string& url) {
        opened = url;
        return ShellOpenUrl(url);
    });
    ASSERT_TRUE(signedIn.Ok) << signedIn.Error;
    EXPECT_FALSE(signedIn.AccessToken.empty());
    EXPECT_FALSE(signedIn.RefreshToken.empty());
    EXPECT_EQ(signedIn.ExpiresIn, 3600);
    EXPECT_NE(opened.find("code_challenge_method=S256"), std::string::npos);
    EXPECT_FALSE(Listening(RedirectPort(opened))) << "the loopback listener outlived its sign-in";

    const TOAuthSignInResult refreshed = OAuthRefresh(TestProvider(), signedIn.RefreshToken);
    ASSERT_TRUE(refreshed.Ok) << refreshed.Error;
    EXPECT_NE(refreshed.AccessToken, signedIn.AccessToken);
    EXPECT_EQ(refreshed.RefreshToken, signedIn.RefreshToken);

    // Revoked at the server: the refresh is refused with invalid_grant.
    ASSERT_TRUE(HttpsPostForm(Base() + "/control/revoke", "", 10000).Ok);
    const TOAuthSignInResult revoked = OAuthRefresh(TestProvider(), signedIn.RefreshToken);
    EXPECT_FALSE(revoked.Ok);
    EXPECT_EQ(revoked.Error, "invalid_grant");
    EXPECT_TRUE(revoked.AccessToken.empty());
}

TEST(OAuthSignIn, TokenEndpoint_CheckedAsStrictlyAsAMailServer)
{
    if (!Mode("consent"))
        GTEST_SKIP() << "no authorization server for this run";
    const THttpsAnswer refused = HttpsPostForm(Base() + "/token", "grant_type=authorization_code&code=x&client_id=skarnvale-test", 10000);
    ASSERT_TRUE(refused.Ok) << refused.Error;
    EXPECT_EQ(refused.Status, 400);
    EXPECT_EQ(OAuthReadTokenReply(refused.Body).Error, "invalid_grant");
    // The same server under another of its names: its certificate is for auth.test only.
    std::string otherName = Base();
    otherName.replace(otherName.find("auth.test"), 9, "mail.test");
    const THttpsAnswer wrongName = HttpsPostForm(otherName + "/token", "grant_type=refresh_token", 10000);
    EXPECT_FALSE(wrongName.Ok);
    EXPECT_EQ(wrongName.Error, "certificate is for another name");
    EXPECT_FALSE(HttpsPostForm("http://auth.test/token", "", 1000).Ok);
}

TEST(OAuthSignIn, AnswerWithAnotherState_IsRefused)
{
    if (!Mode("wrong-state"))
        GTEST_SKIP() << "no browser that forges the state for this run";
    const TOAuthSignInResult result = OAuthSignIn(TestProvider(), ShellOpenUrl);
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(result.Error, "the browser's answer does not belong to this sign-in (state)");
    EXPECT_TRUE(result.AccessToken.empty());
}

TEST(OAuthSignIn, AbandonedSignIn_EndsAtItsTimeAndStopsListening)
{
    if (!Mode("abandon"))
        GTEST_SKIP() << "no browser that abandons for this run";
    std::string opened;
    const DWORD start = GetTickCount();
    const TOAuthSignInResult result = OAuthSignIn(
        TestProvider(),
        [&](const std::string& url) {
            opened = url;
            return ShellOpenUrl(url);
        },
        3000);
    const DWORD took = GetTickCount() - start;
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(result.Error, "the sign-in was not completed in time");
    EXPECT_GE(took, 3000u);
    EXPECT_LT(took, 10000u);
    EXPECT_FALSE(Listening(RedirectPort(opened)));
}

namespace {
// One request to 127.0.0.1:port with plain blocking Winsock, as a browser
// would send it; answers what came back.
std::string BrowserRequest(int port, const std::string& request)
{
    WSADATA data;
    WSAStartup(0x0101, &data);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<u_short>(port));
    to.sin_addr.s_addr = inet_addr("127.0.0.1");
    std::string answer;
    if (connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0) {
        send(s, request.data(), static_cast<int>(request.size()), 0);
        char buffer[1024];
        int count;
        while ((count = recv(s, buffer, sizeof buffer, 0)) > 0)
            answer.append(buffer, static_cast<std::size_t>(count));
    }
    closesocket(s);
    WSACleanup();
    return answer;
}
}  // namespace

// The loopback listener alone, with a browser of the test's own on another
// thread: a request for something else gets a 404 and the sign-in goes on;
// the redirect with the right state gets the page, then the code goes to the
// token URL (where nothing listens here).
TEST(OAuthSignIn, LoopbackRedirect_AnsweredWithThePageAndTheCodeExchanged)
{
    TOAuthProvider provider;
    provider.AuthorizationUrl = "https://auth.invalid/authorize";
    provider.TokenUrl = "https://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/token";
    provider.ClientId = "id";
    std::string favicon, redirect;
    std::thread browser;
    const TOAuthSignInResult result = OAuthSignIn(provider, [&](const std::string& url) {
        std::string state;
        QueryValue(ParseQuery(url.substr(url.find('?') + 1)), "state", state);
        EXPECT_EQ(state.size(), 22u);  // 16 random bytes
        const int port = RedirectPort(url);
        browser = std::thread([&, port, state] {
            favicon = BrowserRequest(port, "GET /favicon.ico HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
            redirect = BrowserRequest(port, "GET /?code=c1&state=" + state + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
        });
        return true;
    }, 20000);
    if (browser.joinable())
        browser.join();
    EXPECT_EQ(favicon.rfind("HTTP/1.1 404", 0), 0u) << favicon;
    EXPECT_EQ(redirect.rfind("HTTP/1.1 200 OK", 0), 0u) << redirect;
    EXPECT_NE(redirect.find("You can close this window."), std::string::npos);
    EXPECT_FALSE(result.Ok);
    EXPECT_NE(result.Error.find("refused"), std::string::npos) << result.Error;
}
