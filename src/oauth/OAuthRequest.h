// The requests of a native app's sign-in (RFC 6749 with PKCE, RFC 7636, and
// the loopback redirect of RFC 8252): the authorization URL the browser
// opens, and the bodies posted to the token endpoint. Randomness comes from
// the caller, so that the platform's generator is used and tests are exact.
#pragma once

#include <string>

// What a mailbox knows of its provider.
struct TOAuthProvider {
    std::string AuthorizationUrl;
    std::string TokenUrl;
    std::string Scope;
    std::string ClientId;
    std::string ClientSecret;  // empty for a public client
};

// The code verifier from 32 random bytes: 43 characters of base64url.
std::string OAuthCodeVerifier(const std::string& randomBytes);
// BASE64URL(SHA256(verifier)), the S256 challenge.
std::string OAuthS256Challenge(const std::string& verifier);
// A state value from random bytes, unguessable and safe in a URL.
std::string OAuthState(const std::string& randomBytes);
// http://127.0.0.1:PORT/
std::string OAuthLoopbackRedirect(int port);

// The authorization URL with response_type=code, client_id, redirect_uri,
// scope, state and the S256 challenge added to what its query already holds.
std::string OAuthAuthorizationUrl(const TOAuthProvider& provider, const std::string& redirectUri,
                                  const std::string& state, const std::string& challenge);
// The form bodies of the authorization_code and refresh_token grants; the
// client secret goes in the body only when there is one.
std::string OAuthCodeRequestBody(const TOAuthProvider& provider, const std::string& code,
                                 const std::string& redirectUri, const std::string& verifier);
std::string OAuthRefreshRequestBody(const TOAuthProvider& provider, const std::string& refreshToken);
