#include "MailOAuth.h"

#include <ctime>

#include "../framework/Dpapi.h"
#include "../framework/ShellOpen.h"
#include "../model/unitProcessEmail.h"

namespace {
std::string Unprotected(const std::string& stored)
{
    std::string secret;
    return DpapiUnprotect(stored, secret) ? secret : std::string();
}

// Keeps a new refresh token the provider gave, protected, in place of the old.
void StoreRefreshToken(TMailBox& mailBox, const std::string& refreshToken)
{
    if (refreshToken.empty())
        return;
    const std::string stored = DpapiProtect(refreshToken);
    if (!stored.empty())
        mailBox.ProtectedRefreshToken = stored;
}

// The mailbox whose token is being renewed: sessions are shared by a
// mailbox and the options dialog's copy of it, so none holds a mailbox.
TMailBox* renewing = nullptr;
}  // namespace

TOAuthProvider MailboxOAuthProvider(const TMailBox& mailBox)
{
    return {mailBox.AuthorizationUrl, mailBox.TokenUrl, mailBox.Scope, mailBox.ClientId,
            Unprotected(mailBox.ProtectedClientSecret)};
}

TOAuthSession& MailboxOAuthSession(TMailBox& mailBox)
{
    if (!mailBox.OAuth) {
        mailBox.OAuth = std::make_shared<TOAuthSession>(
            [](const TOAuthProvider& provider, const std::string& refreshToken) {
                TOAuthSignInResult result = OAuthRefresh(provider, refreshToken);
                if (result.Ok && renewing && result.RefreshToken != refreshToken)
                    StoreRefreshToken(*renewing, result.RefreshToken);
                return result;
            });
    }
    return *mailBox.OAuth;
}

TOAuthStatus MailboxOAuthStatus(const TMailBox& mailBox)
{
    const bool stored = !mailBox.ProtectedRefreshToken.empty();
    return mailBox.OAuth ? mailBox.OAuth->Status(stored) : stored ? oauthSignedIn : oauthNotSignedIn;
}

bool SignInMailbox(TMailBox& mailBox, std::string& error, unsigned timeoutMs)
{
    const TOAuthSignInResult result = OAuthSignIn(MailboxOAuthProvider(mailBox), ShellOpenUrl, timeoutMs);
    if (!result.Ok) {
        error = result.Error;
        return false;
    }
    // Without a refresh token the sign-in lasts as long as its access token.
    mailBox.ProtectedRefreshToken.clear();
    StoreRefreshToken(mailBox, result.RefreshToken);
    MailboxOAuthSession(mailBox).SignedIn(result, std::time(nullptr));
    return true;
}

bool MailboxAccessToken(TMailBox& mailBox, std::string& token, std::string& errorLine)
{
    TMailBox* const outer = renewing;
    renewing = &mailBox;
    const bool ok = MailboxOAuthSession(mailBox).AccessToken(MailboxOAuthProvider(mailBox),
                                                              Unprotected(mailBox.ProtectedRefreshToken),
                                                              std::time(nullptr), token, errorLine);
    renewing = outer;
    return ok;
}
