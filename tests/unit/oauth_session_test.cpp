#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "oauth/OAuthSession.h"

namespace {
// A provider that answers refreshes from a list, and counts them.
struct TScriptedProvider {
    std::vector<TOAuthSignInResult> answers;
    int asked = 0;

    TOAuthRefresher Refresher()
    {
        return [this](const TOAuthProvider&, const std::string& refreshToken) {
            EXPECT_EQ(refreshToken, "refresh-1");
            return answers.at(static_cast<std::size_t>(asked++));
        };
    }
};

TOAuthSignInResult Token(const std::string& access, long expiresIn)
{
    TOAuthSignInResult result;
    result.Ok = true;
    result.AccessToken = access;
    result.ExpiresIn = expiresIn;
    return result;
}

TOAuthSignInResult Refused(const std::string& error)
{
    TOAuthSignInResult result;
    result.Error = error;
    return result;
}
}  // namespace

TEST(OAuthSession, AccessToken_KeptUntilShortlyBeforeItExpiresThenRefreshed)
{
    TScriptedProvider provider;
    provider.answers = {Token("second", 600)};
    TOAuthSession session(provider.Refresher());
    EXPECT_EQ(session.Status(false), oauthNotSignedIn);
    session.SignedIn(Token("first", 3600), 1000);
    EXPECT_EQ(session.Status(true), oauthSignedIn);
    std::string token, error;
    ASSERT_TRUE(session.AccessToken({}, "refresh-1", 1000 + 3600 - OAuthExpiryMargin - 1, token, error));
    EXPECT_EQ(token, "first");
    EXPECT_EQ(provider.asked, 0);
    ASSERT_TRUE(session.AccessToken({}, "refresh-1", 1000 + 3600 - OAuthExpiryMargin, token, error));
    EXPECT_EQ(token, "second");
    EXPECT_EQ(provider.asked, 1);
    ASSERT_TRUE(session.AccessToken({}, "refresh-1", 5000, token, error));
    EXPECT_EQ(provider.asked, 1);
}

TEST(OAuthSession, RefusedRefresh_SaysSignInExpiredAndAsksNoMoreUntilSignedInAgain)
{
    TScriptedProvider provider;
    provider.answers = {Refused("invalid_grant"), Token("after", 3600)};
    TOAuthSession session(provider.Refresher());
    std::string token = "stale", error;
    EXPECT_FALSE(session.AccessToken({}, "refresh-1", 0, token, error));
    EXPECT_EQ(error, "sign-in expired, choose Sign in again");
    EXPECT_TRUE(token.empty());
    EXPECT_EQ(session.Status(true), oauthExpired);
    for (int check = 0; check < 3; ++check)
        EXPECT_FALSE(session.AccessToken({}, "refresh-1", 100 * check, token, error));
    EXPECT_EQ(provider.asked, 1) << "a refused sign-in is not asked again";
    session.SignedIn(Token("new", 3600), 500);
    EXPECT_EQ(session.Status(true), oauthSignedIn);
    ASSERT_TRUE(session.AccessToken({}, "refresh-1", 600, token, error));
    EXPECT_EQ(token, "new");
}

TEST(OAuthSession, OtherFailures_GiveTheirReasonAndTryAgainNextTime)
{
    TScriptedProvider provider;
    provider.answers = {Refused("the token endpoint did not answer in time"), Token("later", 0)};
    TOAuthSession session(provider.Refresher());
    std::string token, error;
    EXPECT_FALSE(session.AccessToken({}, "refresh-1", 0, token, error));
    EXPECT_EQ(error, "token refresh failed: the token endpoint did not answer in time");
    EXPECT_EQ(session.Status(true), oauthSignedIn);
    ASSERT_TRUE(session.AccessToken({}, "refresh-1", 10, token, error));
    EXPECT_EQ(token, "later");
    EXPECT_TRUE(session.Valid(10 + 3600 - OAuthExpiryMargin - 1));  // no lifetime said: an hour
    EXPECT_FALSE(session.AccessToken({}, "", 10 + 3600, token, error));
    EXPECT_EQ(error, "not signed in, choose Sign in");
    EXPECT_EQ(provider.asked, 2);
}

#include "oauth/OAuthProviders.h"

TEST(OAuthProviders, Presets_FillTheProvidersServerPortAndScope)
{
    const TOAuthPreset* microsoft = OAuthPresetOf(providerMicrosoft);
    ASSERT_NE(microsoft, nullptr);
    EXPECT_STREQ(microsoft->Server, "outlook.office365.com");
    EXPECT_STREQ(microsoft->Port, "995");
    EXPECT_STREQ(microsoft->Scope, "https://outlook.office.com/POP.AccessAsUser.All "
                                   "https://outlook.office.com/IMAP.AccessAsUser.All offline_access");
    EXPECT_STREQ(microsoft->ImapServer, "outlook.office365.com");
    EXPECT_STREQ(microsoft->ImapPort, "993");
    const TOAuthPreset* google = OAuthPresetOf(providerGoogle);
    ASSERT_NE(google, nullptr);
    EXPECT_STREQ(google->Server, "pop.gmail.com");
    EXPECT_STREQ(google->Port, "995");
    EXPECT_STREQ(google->Scope, "https://mail.google.com/");
    EXPECT_STREQ(google->ImapServer, "imap.gmail.com");
    const TOAuthPreset* icloud = OAuthPresetOf(providerICloud);
    ASSERT_NE(icloud, nullptr);
    EXPECT_STREQ(icloud->ImapServer, "imap.mail.me.com");
    EXPECT_STREQ(icloud->ImapPort, "993");
    EXPECT_EQ(OAuthKindOf("", ""), providerOther);
    EXPECT_EQ(OAuthPresetOf(providerOther), nullptr);
    EXPECT_EQ(OAuthPresetOf(providerPassword), nullptr);
    EXPECT_EQ(OAuthKindOf(google->AuthorizationUrl, google->TokenUrl), providerGoogle);
    EXPECT_EQ(OAuthKindOf(microsoft->AuthorizationUrl, google->TokenUrl), providerOther);
}
