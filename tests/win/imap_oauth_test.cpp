// OAuth 2.0 logins of the IMAP session (AUTHENTICATE with a bearer token)
// against the Dovecot of tests/e2e/test_oauth.py, which checks tokens at the
// test's authorization server: IMAP over TLS on port 993 of mail.test,
// STARTTLS on SKARNVALE_OAUTH_IMAP_PORT, valid access tokens of alice in
// SKARNVALE_OAUTH_TOKEN and SKARNVALE_OAUTH_LONG_TOKEN (as long as the big
// providers'). Without them the tests are skipped.
#include "wsocket_support.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "imap/ImapSession.h"

namespace {
struct TOAuthImap {
    TImapSession session;
    std::vector<std::string> traced;
    bool finished = false;

    TOAuthImap(const std::string& token, TImapSecurity security)
    {
        TImapAccount& account = session.Conversation.Account;
        account.Host = "mail.test";
        account.Port = security == TImapSecurity::Implicit ? 993 : std::atoi(std::getenv("SKARNVALE_OAUTH_IMAP_PORT"));
        account.Security = security;
        account.User = "alice";
        account.Secret = token;
        account.OAuth = true;
        session.Conversation.OnTrace = [this](const std::string& line) { traced.push_back(line); };
        session.OnFinished = [this](TImapSession&) { finished = true; };
    }

    bool Run(const std::function<void()>& start)
    {
        finished = false;
        start();
        return PumpUntil([this] { return finished; }, 15000);
    }

    // The login command as traced: one line, the response hidden.
    std::string Login() const
    {
        for (const std::string& line : traced)
            if (line.find(" AUTHENTICATE ") != std::string::npos)
                return line.substr(line.find(' ') + 1);
        return "";
    }

    void ExpectTokenNeverTraced() const
    {
        for (const std::string& line : traced)
            EXPECT_EQ(line.find(session.Conversation.Account.Secret), std::string::npos) << line;
    }
};

bool OAuthDovecot()
{
    return std::getenv("SKARNVALE_OAUTH_TOKEN") && std::getenv("SKARNVALE_OAUTH_LONG_TOKEN") &&
           std::getenv("SKARNVALE_OAUTH_IMAP_PORT");
}
}  // namespace

// Dovecot offers SASL-IR: the token goes in the AUTHENTICATE line itself,
// a provider's long one too, and the session reads the folder, whether TLS
// starts with the first byte or after STARTTLS.
TEST(ImapOAuth, OverTlsAndStartTls_TokenInTheAuthenticateLine_ReadsTheFolder)
{
    if (!OAuthDovecot())
        GTEST_SKIP() << "no OAuth Dovecot for this run";
    for (const char* token : {std::getenv("SKARNVALE_OAUTH_TOKEN"), std::getenv("SKARNVALE_OAUTH_LONG_TOKEN")}) {
        for (TImapSecurity security : {TImapSecurity::Implicit, TImapSecurity::StartTls}) {
            SCOPED_TRACE(std::string(security == TImapSecurity::Implicit ? "TLS" : "STARTTLS") + ", a token of " +
                         std::to_string(std::string(token).size()) + " characters");
            TOAuthImap imap(token, security);
            ASSERT_TRUE(imap.Run([&] { imap.session.Open(); }));
            const TImapConversation& conversation = imap.session.Conversation;
            ASSERT_EQ(conversation.Step(), TImapStep::Ready) << conversation.ErrorText();
            EXPECT_TRUE(conversation.TlsOn());
            EXPECT_TRUE(conversation.Capabilities().SaslIr());
            // Both offered: the standard mechanism is chosen.
            EXPECT_EQ(imap.Login(), "AUTHENTICATE OAUTHBEARER ****");
            ASSERT_EQ(conversation.NewMessages().size(), 2u);
            EXPECT_NE(conversation.NewMessages()[0].Header.find("Subject: First\r\n"), std::string::npos);
            ASSERT_TRUE(imap.Run([&] { imap.session.Logout(); }));
            EXPECT_EQ(conversation.Step(), TImapStep::Done);
            imap.ExpectTokenNeverTraced();
        }
    }
}

// A refused token: Dovecot's challenge with the error is answered, and its
// NO ends the login with the server's words.
TEST(ImapOAuth, RefusedToken_ChallengeAnsweredAndTheServersNoKept)
{
    if (!OAuthDovecot())
        GTEST_SKIP() << "no OAuth Dovecot for this run";
    TOAuthImap imap("not-a-token", TImapSecurity::Implicit);
    ASSERT_TRUE(imap.Run([&] { imap.session.Open(); }));
    const TImapConversation& conversation = imap.session.Conversation;
    EXPECT_EQ(conversation.Step(), TImapStep::Failed);
    EXPECT_EQ(conversation.FailedStep(), TImapStep::Login);
    EXPECT_EQ(conversation.ErrorText().rfind("the server refused the login: NO ", 0), 0u) << conversation.ErrorText();
    EXPECT_NE(conversation.ErrorText().find("Authentication failed"), std::string::npos) << conversation.ErrorText();
    EXPECT_TRUE(PumpUntil([&] { return !imap.session.Connected(); }));
}
