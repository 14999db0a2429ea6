// The sign-in of a native app (RFC 8252): the browser is sent to the
// provider's authorization URL with a PKCE S256 challenge, a random state and
// a loopback redirect to a port this program listens on; the browser's visit
// there brings the code, which is exchanged (with the verifier) at the token
// URL over HTTPS. Nothing is kept of a sign-in that fails or is abandoned.
#pragma once

#include <functional>
#include <string>

#include "OAuthRequest.h"

// Five minutes for the user to sign in at the provider.
constexpr unsigned OAuthSignInTimeoutMs = 5 * 60 * 1000;
// The token endpoint's own time to answer.
constexpr unsigned OAuthTokenTimeoutMs = 30 * 1000;

// The texts the browser is shown on the loopback page.
extern const char* const OAuthPageSignedIn;
extern const char* const OAuthPageRefused;

struct TOAuthSignInResult {
    bool Ok = false;
    std::string AccessToken;
    std::string RefreshToken;
    long ExpiresIn = 0;
    std::string Error;  // why not, in plain words
};

// Opens the browser at a URL; false when none could be started.
using TOAuthOpenBrowser = std::function<bool(const std::string& url)>;

TOAuthSignInResult OAuthSignIn(const TOAuthProvider& provider, const TOAuthOpenBrowser& openBrowser,
                               unsigned timeoutMs = OAuthSignInTimeoutMs);

// A new access token from a refresh token; the error "invalid_grant" means
// the user must sign in again.
TOAuthSignInResult OAuthRefresh(const TOAuthProvider& provider, const std::string& refreshToken);
