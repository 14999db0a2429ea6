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
}  // namespace

TOAuthProvider MailboxOAuthProvider(const TMailBox& mailBox)
{
    return {mailBox.AuthorizationUrl, mailBox.TokenUrl, mailBox.Scope, mailBox.ClientId,
            Unprotected(mailBox.ProtectedClientSecret)};
}

std::shared_ptr<TOAuthSession> TMailOAuth::Session(int id)
{
    std::shared_ptr<TOAuthSession>& session = sessions_[id];
    if (!session) {
        session = std::make_shared<TOAuthSession>(
            [this, id](const TOAuthProvider& provider, const std::string& refreshToken) {
                TOAuthSignInResult result = refresh_(provider, refreshToken);
                if (result.Ok && result.RefreshToken != refreshToken)
                    StoreRenewedToken(id, result.RefreshToken);
                return result;
            });
    }
    return session;
}

void TMailOAuth::StoreRenewedToken(int id, const std::string& refreshToken)
{
    // Looked up once the provider answered: the options dialog may have put
    // new mailboxes in the settings meanwhile, or removed this one.
    TMailBox* mailBox = MailboxById(mailboxes_, id);
    if (!mailBox)
        return;
    StoreRefreshToken(*mailBox, refreshToken);
    if (TokenStored)
        TokenStored(id);
}

TOAuthStatus TMailOAuth::Status(const TMailBox& mailBox) const
{
    const bool stored = !mailBox.ProtectedRefreshToken.empty();
    const auto session = sessions_.find(mailBox.Id);
    return session != sessions_.end() ? session->second->Status(stored) : stored ? oauthSignedIn : oauthNotSignedIn;
}

bool TMailOAuth::SignIn(TMailBox& mailBox, std::string& error)
{
    const TOAuthSignInResult result = OAuthSignIn(MailboxOAuthProvider(mailBox), ShellOpenUrl, OAuthSignInTimeoutMs);
    if (!result.Ok) {
        error = result.Error;
        return false;
    }
    // Without a refresh token the sign-in lasts as long as its access token.
    mailBox.ProtectedRefreshToken.clear();
    StoreRefreshToken(mailBox, result.RefreshToken);
    Session(mailBox.Id)->SignedIn(result, std::time(nullptr));
    return true;
}

bool TMailOAuth::AccessToken(const TMailBox& mailBox, std::string& token, std::string& errorLine)
{
    const std::shared_ptr<TOAuthSession> session = Session(mailBox.Id);
    return session->AccessToken(MailboxOAuthProvider(mailBox), Unprotected(mailBox.ProtectedRefreshToken),
                                std::time(nullptr), token, errorLine);
}

void TMailOAuth::Forget(int id)
{
    const auto session = sessions_.find(id);
    if (session != sessions_.end())
        session->second->Forget();
}

void TMailOAuth::KeepOnly(const std::set<int>& ids)
{
    for (auto session = sessions_.begin(); session != sessions_.end();)
        session = ids.count(session->first) ? std::next(session) : sessions_.erase(session);
}
