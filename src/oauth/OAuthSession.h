// A mailbox's OAuth 2.0 tokens while the program runs: the access token is
// kept in memory only, until shortly before it expires; then the refresh
// token gets a new one. A refresh the provider refuses (invalid_grant) means
// the user must sign in again: the session says so and asks nothing more of
// the provider until then, so a revoked sign-in never loops.
#pragma once

#include <ctime>
#include <functional>
#include <string>

#include "OAuthSignIn.h"

enum TOAuthStatus { oauthNotSignedIn, oauthSignedIn, oauthExpired };

// The mailbox's error line when its sign-in must be done again.
extern const char* const OAuthSignInExpiredLine;
// An access token is renewed this long before its end, so that it does not
// expire in the middle of a check.
constexpr long OAuthExpiryMargin = 60;

// Asks the provider for a new access token (OAuthRefresh, or a test's own).
using TOAuthRefresher = std::function<TOAuthSignInResult(const TOAuthProvider&, const std::string& refreshToken)>;

class TOAuthSession {
public:
    explicit TOAuthSession(TOAuthRefresher refresher) : refresher_(std::move(refresher)) {}

    // After a sign-in in the editor (the refresh token itself is stored by the caller).
    void SignedIn(const TOAuthSignInResult& result, std::time_t now);
    // Forgets the access token (a new sign-in, a changed provider).
    void Forget();
    // The status the editor shows, given whether a refresh token is stored.
    TOAuthStatus Status(bool refreshTokenStored) const;
    // An access token for a check at `now`: the one in memory while it
    // lasts, else one got with `refreshToken`. False with the error line.
    bool AccessToken(const TOAuthProvider& provider, const std::string& refreshToken, std::time_t now,
                     std::string& token, std::string& errorLine);
    // Whether the token in hand lasts at `now`.
    bool Valid(std::time_t now) const { return !access_.empty() && now + OAuthExpiryMargin < expires_; }

private:
    void Keep(const TOAuthSignInResult& result, std::time_t now);

    TOAuthRefresher refresher_;
    std::string access_;
    std::time_t expires_ = 0;
    bool expired_ = false;
};
