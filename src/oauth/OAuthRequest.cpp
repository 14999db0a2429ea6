#include "OAuthRequest.h"

#include "OAuthEncoding.h"
#include "../text/Base64.h"
#include "../net/SHA256.h"

std::string OAuthCodeVerifier(const std::string& randomBytes) { return Base64UrlEncode(randomBytes); }

std::string OAuthS256Challenge(const std::string& verifier)
{
    const TSHA256Digest digest = SHA256(verifier.data(), verifier.size());
    return Base64UrlEncode(std::string(digest.begin(), digest.end()));
}

std::string OAuthState(const std::string& randomBytes) { return Base64UrlEncode(randomBytes); }

std::string OAuthLoopbackRedirect(int port) { return "http://127.0.0.1:" + std::to_string(port) + "/"; }

std::string OAuthAuthorizationUrl(const TOAuthProvider& provider, const std::string& redirectUri,
                                  const std::string& state, const std::string& challenge)
{
    TQueryFields fields{{"response_type", "code"}, {"client_id", provider.ClientId}, {"redirect_uri", redirectUri}};
    if (!provider.Scope.empty())
        fields.emplace_back("scope", provider.Scope);
    fields.emplace_back("state", state);
    fields.emplace_back("code_challenge", challenge);
    fields.emplace_back("code_challenge_method", "S256");
    // A provider's URL may carry parameters of its own (a tenant, a prompt).
    std::string url = provider.AuthorizationUrl;
    const std::size_t fragment = url.find('#');
    if (fragment != std::string::npos)
        url.erase(fragment);
    const char joint = url.find('?') == std::string::npos ? '?' : (url.back() == '?' || url.back() == '&') ? '\0' : '&';
    if (joint != '\0')
        url += joint;
    return url + ComposeQuery(fields);
}

namespace {
std::string WithClient(TQueryFields fields, const TOAuthProvider& provider)
{
    fields.emplace_back("client_id", provider.ClientId);
    if (!provider.ClientSecret.empty())
        fields.emplace_back("client_secret", provider.ClientSecret);
    return ComposeQuery(fields);
}
}  // namespace

std::string OAuthCodeRequestBody(const TOAuthProvider& provider, const std::string& code,
                                 const std::string& redirectUri, const std::string& verifier)
{
    return WithClient({{"grant_type", "authorization_code"}, {"code", code}, {"redirect_uri", redirectUri},
                       {"code_verifier", verifier}},
                      provider);
}

std::string OAuthRefreshRequestBody(const TOAuthProvider& provider, const std::string& refreshToken)
{
    return WithClient({{"grant_type", "refresh_token"}, {"refresh_token", refreshToken}}, provider);
}
