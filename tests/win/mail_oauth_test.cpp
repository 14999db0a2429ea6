// The mail watch's OAuth sessions by mailbox Id: a token renewed while a check works on a copy
// reaches the settings' mailbox of that Id, even when the options put new copies there meanwhile.
#include <gtest/gtest.h>

#include "framework/Dpapi.h"
#include "mail/MailOAuth.h"
#include "model/unitProcessEmail.h"

TEST(MailOAuth, TokenRenewedDuringACheckOnACopy_StoredOnTheSettingsMailboxOfItsId)
{
    TMyCollection mailboxes, edited;
    mailboxes.Add(std::make_unique<TMailBox>());
    mailboxes.ItemAs<TMailBox>(0)->ProtectedRefreshToken = DpapiProtect("first");
    const TMailBox checked = *mailboxes.ItemAs<TMailBox>(0);
    std::vector<std::string> asked;
    TMailOAuth oauth(mailboxes, [&](const TOAuthProvider&, const std::string& refreshToken) {
        asked.push_back(refreshToken);
        CopyMailboxes(mailboxes, edited);  // an edit applied meanwhile
        CopyMailboxes(edited, mailboxes);
        return TOAuthSignInResult{true, "access", "second", 3600, ""};
    });
    std::string token, error;
    ASSERT_TRUE(oauth.AccessToken(checked, token, error)) << error;
    EXPECT_TRUE(oauth.AccessToken(checked, token, error));  // in memory until it runs out
    EXPECT_EQ(token, "access");
    // Forgotten (a server refused it), it is renewed with the token the settings keep now.
    oauth.Forget(checked.Id);
    const TMailBox nextCheck = *MailboxById(mailboxes, checked.Id);
    EXPECT_TRUE(oauth.AccessToken(nextCheck, token, error));
    EXPECT_EQ(asked, (std::vector<std::string>{"first", "second"}));
}
