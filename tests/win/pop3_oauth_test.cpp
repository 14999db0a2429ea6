// OAuth 2.0 logins (SASL AUTH) against the Dovecot of tests/e2e/test_oauth.py,
// which checks tokens at the test's authorization server: its address in
// SKARNVALE_DOVECOT_TLS, a valid access token of alice in SKARNVALE_OAUTH_TOKEN.
// Without them the tests are skipped.
#include "wsocket_support.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "net/Pop3Sync.h"

namespace {
std::string OAuthToken()
{
    const char* token = std::getenv("SKARNVALE_OAUTH_TOKEN");
    return token && std::getenv("SKARNVALE_DOVECOT_TLS") ? token : "";
}

struct TOAuthSession {
    TSyncPop3Cli pop;
    std::vector<std::string> shown;

    TOAuthSession(const std::string& token, TPop3Security security, TSaslMechanism mechanism)
    {
        pop.Host = "mail.test";
        pop.Port = security == pop3SecImplicit ? "995" : "110";
        pop.Security = security;
        pop.UserName = "alice";
        pop.Login = pop3LoginOAuth;
        pop.AccessToken = token;
        pop.OAuthMechanism = mechanism;
        pop.OnDisplay = [this](TCustomPop3Cli*, const std::string& line) { shown.push_back(line); };
    }

    bool Shown(const std::string& line) const
    {
        for (const std::string& s : shown)
            if (s == line)
                return true;
        return false;
    }

    void ExpectTokenNeverShown() const
    {
        for (const std::string& s : shown) {
            EXPECT_EQ(s.find(pop.AccessToken), std::string::npos) << s;
            EXPECT_TRUE(s.rfind("> AUTH ", 0) != 0 || s.find("(token not shown)") != std::string::npos ||
                        s.find(' ', 7) == std::string::npos)
                << s;
        }
    }
};
}  // namespace

TEST(Pop3OAuth, EachMechanismOverTlsAndStls_LogsInAndListsTheMailbox)
{
    const std::string token = OAuthToken();
    if (token.empty())
        GTEST_SKIP() << "no OAuth Dovecot for this run";
    for (TSaslMechanism mechanism : {saslXOAuth2, saslOAuthBearer}) {
        for (TPop3Security security : {pop3SecImplicit, pop3SecStartTls}) {
            SCOPED_TRACE(std::string(SaslMechanismName(mechanism)) + (security == pop3SecImplicit ? " TLS" : " STLS"));
            TOAuthSession session(token, security, mechanism);
            int listed = 0;
            session.pop.OnListLine = [&](TCustomPop3Cli*) { ++listed; };
            ASSERT_TRUE(session.pop.OpenSync()) << session.pop.ErrorMessage();
            EXPECT_EQ(session.pop.AuthMechanism(), mechanism);
            EXPECT_EQ(session.pop.ProtocolState(), pop3Transaction);
            session.pop.MsgNum = 0;
            ASSERT_TRUE(session.pop.ListSync());
            EXPECT_EQ(listed, 2);
            EXPECT_TRUE(session.pop.QuitSync());
            EXPECT_TRUE(session.Shown(std::string("> AUTH ") + SaslMechanismName(mechanism) + " (token not shown)"));
            session.ExpectTokenNeverShown();
        }
    }
}

// A provider's token makes the AUTH line longer than 255 octets: the
// response waits for the server's first, empty challenge.
TEST(Pop3OAuth, LongToken_SentAfterTheFirstChallenge)
{
    const char* longToken = std::getenv("SKARNVALE_OAUTH_LONG_TOKEN");
    if (OAuthToken().empty() || !longToken)
        GTEST_SKIP() << "no OAuth Dovecot for this run";
    for (TSaslMechanism mechanism : {saslXOAuth2, saslOAuthBearer}) {
        SCOPED_TRACE(SaslMechanismName(mechanism));
        TOAuthSession session(longToken, pop3SecStartTls, mechanism);
        ASSERT_TRUE(session.pop.OpenSync()) << session.pop.ErrorMessage();
        EXPECT_TRUE(session.Shown(std::string("> AUTH ") + SaslMechanismName(mechanism)));
        EXPECT_TRUE(session.Shown("> (token not shown)"));
        session.ExpectTokenNeverShown();
        EXPECT_TRUE(session.pop.QuitSync());
    }
}

TEST(Pop3OAuth, NoMechanismAsked_ChoosesOAuthBearerFromTheSaslCapability)
{
    const std::string token = OAuthToken();
    if (token.empty())
        GTEST_SKIP() << "no OAuth Dovecot for this run";
    TOAuthSession session(token, pop3SecImplicit, saslNone);
    ASSERT_TRUE(session.pop.ConnectSync()) << session.pop.ErrorMessage();
    ASSERT_TRUE(session.pop.AuthSync()) << session.pop.ErrorMessage();
    EXPECT_EQ(session.pop.AuthMechanism(), saslOAuthBearer);
    EXPECT_TRUE(session.Shown("> CAPA"));
    EXPECT_TRUE(session.pop.QuitSync());
}

// A refused token: the failure challenge is answered as each mechanism says,
// and the server's -ERR that follows is the error line.
TEST(Pop3OAuth, RefusedToken_AnswersTheChallengeAndKeepsTheServersError)
{
    if (OAuthToken().empty())
        GTEST_SKIP() << "no OAuth Dovecot for this run";
    for (TSaslMechanism mechanism : {saslXOAuth2, saslOAuthBearer}) {
        SCOPED_TRACE(SaslMechanismName(mechanism));
        TOAuthSession session("not-a-token", pop3SecImplicit, mechanism);
        EXPECT_FALSE(session.pop.OpenSync());
        EXPECT_EQ(session.pop.ErrorMessage().rfind("-ERR ", 0), 0u) << session.pop.ErrorMessage();
        EXPECT_NE(session.pop.ErrorMessage().find("Authentication failed"), std::string::npos);
        EXPECT_NE(session.pop.ProtocolState(), pop3Transaction);
        EXPECT_TRUE(session.Shown(mechanism == saslOAuthBearer ? "> AQ==" : "> "));
        session.ExpectTokenNeverShown();
        EXPECT_TRUE(session.pop.QuitSync());
    }
}

// A token is never sent in clear: an OAuth login without TLS is refused
// before connecting, and AUTH on a session in clear sends nothing.
TEST(Pop3OAuth, WithoutTls_RefusedBeforeAnythingIsSent)
{
    if (OAuthToken().empty())
        GTEST_SKIP() << "no OAuth Dovecot for this run";
    TOAuthSession open(OAuthToken(), pop3SecNone, saslXOAuth2);
    bool connected = false;
    open.pop.OnSessionConnected = [&](TCustomPop3Cli*, WORD) { connected = true; };
    EXPECT_FALSE(open.pop.OpenSync());
    EXPECT_EQ(open.pop.ErrorMessage(), Pop3OAuthNeedsTls);
    EXPECT_FALSE(connected);
    EXPECT_FALSE(open.pop.Connected());

    TOAuthSession clear(OAuthToken(), pop3SecNone, saslXOAuth2);
    ASSERT_TRUE(clear.pop.ConnectSync()) << clear.pop.ErrorMessage();
    EXPECT_FALSE(clear.pop.AuthSync());
    EXPECT_EQ(clear.pop.ErrorMessage(), Pop3OAuthNeedsTls);
    for (const std::string& line : clear.shown)
        EXPECT_NE(line.rfind("> ", 0), 0u) << line;
    EXPECT_TRUE(clear.pop.QuitSync());
}
