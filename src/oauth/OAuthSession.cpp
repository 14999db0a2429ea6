#include "OAuthSession.h"

const char* const OAuthSignInExpiredLine = "sign-in expired, choose Sign in again";

namespace {
// A token said to last no time, or not said, is kept for an hour: the
// server's refusal is the last word anyway.
constexpr long DefaultLifetime = 3600;
}  // namespace

void TOAuthSession::Keep(const TOAuthSignInResult& result, std::time_t now)
{
    access_ = result.AccessToken;
    expires_ = now + (result.ExpiresIn > 0 ? result.ExpiresIn : DefaultLifetime);
    expired_ = false;
}

void TOAuthSession::SignedIn(const TOAuthSignInResult& result, std::time_t now) { Keep(result, now); }

void TOAuthSession::Forget()
{
    access_.clear();
    expires_ = 0;
    expired_ = false;
}

TOAuthStatus TOAuthSession::Status(bool refreshTokenStored) const
{
    if (expired_)
        return oauthExpired;
    return refreshTokenStored || !access_.empty() ? oauthSignedIn : oauthNotSignedIn;
}

bool TOAuthSession::AccessToken(const TOAuthProvider& provider, const std::string& refreshToken, std::time_t now,
                                std::string& token, std::string& errorLine)
{
    token.clear();
    if (Valid(now)) {
        token = access_;
        return true;
    }
    access_.clear();
    if (expired_ || refreshToken.empty()) {
        errorLine = expired_ ? OAuthSignInExpiredLine : "not signed in, choose Sign in";
        return false;
    }
    const TOAuthSignInResult refreshed = refresher_(provider, refreshToken);
    if (!refreshed.Ok) {
        if (refreshed.Error == "invalid_grant") {
            expired_ = true;
            errorLine = OAuthSignInExpiredLine;
        } else {
            errorLine = "token refresh failed: " + refreshed.Error;
        }
        return false;
    }
    Keep(refreshed, now);
    token = access_;
    return true;
}
