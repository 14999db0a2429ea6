#include <gtest/gtest.h>

#include <map>
#include <string>

#include "oauth/OAuthEncoding.h"
#include "text/Base64.h"
#include "oauth/OAuthJson.h"
#include "oauth/OAuthRedirect.h"
#include "oauth/OAuthRequest.h"

namespace {
std::string Bytes(std::initializer_list<int> values)
{
    std::string out;
    for (int v : values)
        out += static_cast<char>(v);
    return out;
}

TOAuthProvider TestProvider()
{
    TOAuthProvider provider;
    provider.AuthorizationUrl = "https://auth.test/authorize";
    provider.TokenUrl = "https://auth.test/token";
    provider.Scope = "https://mail.google.com/";
    provider.ClientId = "id 1";
    return provider;
}
}  // namespace

// RFC 4648 section 10.
TEST(Base64, StandardVectors_EncodeAndDecode)
{
    const char* pairs[][2] = {{"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},        {"foo", "Zm9v"},
                              {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}};
    for (const auto& pair : pairs) {
        EXPECT_EQ(Base64Encode(pair[0]), pair[1]);
        std::string decoded;
        EXPECT_TRUE(Base64Decode(pair[1], decoded));
        EXPECT_EQ(decoded, pair[0]);
    }
    std::string decoded;
    EXPECT_FALSE(Base64Decode("Zm9", decoded));
    EXPECT_FALSE(Base64Decode("Zm=v", decoded));
    EXPECT_FALSE(Base64Decode("Zm9v\r\n", decoded));
    EXPECT_EQ(Base64UrlEncode(Bytes({0xFB, 0xFF})), "-_8");
}

// RFC 7636 appendix B: the example's random octets, verifier and challenge.
TEST(OAuthPkce, RfcExample_GivesItsVerifierAndChallenge)
{
    const std::string random = Bytes({116, 24, 223, 180, 151, 153, 224, 37, 79, 250, 96, 125, 216, 173, 187, 186,
                                      22, 212, 37, 77, 105, 214, 191, 240, 91, 88, 5, 88, 83, 132, 141, 121});
    const std::string verifier = OAuthCodeVerifier(random);
    EXPECT_EQ(verifier, "dBjftJeZ4CVP-mB92K27uhbUJU1p1r_wW1gFWFOEjXk");
    EXPECT_EQ(OAuthS256Challenge(verifier), "E9Melhoa2OwvFrEMTJguCHaoeK1t8URWbuGJSstw-cM");
}

TEST(OAuthQuery, ComposedFields_ParseBackToTheSameValues)
{
    const TQueryFields fields{{"scope", "https://outlook.office.com/POP.AccessAsUser.All offline_access"},
                              {"a&b", "c=d+e%"}, {"empty", ""}, {"utf8", "\xC3\xA9t\xC3\xA9"}};
    const std::string query = ComposeQuery(fields);
    EXPECT_EQ(query.find(' '), std::string::npos);
    EXPECT_NE(query.find("scope=https%3A%2F%2Foutlook.office.com%2FPOP.AccessAsUser.All%20offline_access"),
              std::string::npos);
    EXPECT_EQ(ParseQuery(query), fields);
    std::string value;
    EXPECT_TRUE(QueryValue(ParseQuery("x=1&code=a+b%2x&x=2"), "code", value));
    EXPECT_EQ(value, "a b%2x");
    EXPECT_TRUE(QueryValue(ParseQuery("x=1&&x=2"), "x", value));
    EXPECT_EQ(value, "1");
    EXPECT_FALSE(QueryValue(ParseQuery("codex=1"), "code", value));
}

TEST(OAuthRequest, AuthorizationUrl_CarriesCodeFlowWithS256AndLoopback)
{
    TOAuthProvider provider = TestProvider();
    const std::string url =
        OAuthAuthorizationUrl(provider, OAuthLoopbackRedirect(49152), "st-1", "E9Melhoa2OwvFrEMTJguCHaoeK1t8URWbuGJSstw-cM");
    EXPECT_EQ(url,
              "https://auth.test/authorize?response_type=code&client_id=id%201"
              "&redirect_uri=http%3A%2F%2F127.0.0.1%3A49152%2F&scope=https%3A%2F%2Fmail.google.com%2F&state=st-1"
              "&code_challenge=E9Melhoa2OwvFrEMTJguCHaoeK1t8URWbuGJSstw-cM&code_challenge_method=S256");
    provider.AuthorizationUrl = "https://login.test/common/authorize?prompt=select_account#frag";
    provider.Scope.clear();
    const std::string withQuery = OAuthAuthorizationUrl(provider, "http://127.0.0.1:1/", "s", "c");
    EXPECT_EQ(withQuery.find("https://login.test/common/authorize?prompt=select_account&response_type=code"), 0u);
    EXPECT_EQ(withQuery.find("scope"), std::string::npos);
    EXPECT_EQ(withQuery.find('#'), std::string::npos);
}

TEST(OAuthRequest, TokenBodies_NameGrantAndSecretOnlyWhenThereIsOne)
{
    TOAuthProvider provider = TestProvider();
    EXPECT_EQ(OAuthCodeRequestBody(provider, "c/1", "http://127.0.0.1:5/", "ver"),
              "grant_type=authorization_code&code=c%2F1&redirect_uri=http%3A%2F%2F127.0.0.1%3A5%2F"
              "&code_verifier=ver&client_id=id%201");
    EXPECT_EQ(OAuthRefreshRequestBody(provider, "r t"), "grant_type=refresh_token&refresh_token=r%20t&client_id=id%201");
    provider.ClientSecret = "s&cret";
    EXPECT_EQ(OAuthRefreshRequestBody(provider, "r"),
              "grant_type=refresh_token&refresh_token=r&client_id=id%201&client_secret=s%26cret");
}

TEST(Json, Object_GivesItsScalarMembersAndSkipsNestedOnes)
{
    std::map<std::string, std::string> m;
    ASSERT_TRUE(JsonReadObject(" {\"a\": \"x\\\"\\u00e9\\ud83d\\ude00\\n\", \"n\": -12.5e+3, \"t\": true, "
                               "\"z\": null, \"o\": {\"deep\": [1, {\"k\": []}, \"s\"]}, \"a\": \"second\"}\r\n",
                               m));
    EXPECT_EQ(m["a"], "x\"\xC3\xA9\xF0\x9F\x98\x80\n");
    EXPECT_EQ(m["n"], "-12.5e+3");
    EXPECT_EQ(m["t"], "true");
    EXPECT_EQ(m["z"], "null");
    EXPECT_EQ(m.count("o"), 0u);
    EXPECT_EQ(m.count("deep"), 0u);
    EXPECT_TRUE(JsonReadObject("{}", m));
    EXPECT_TRUE(m.empty());
}

TEST(Json, MalformedOrHostileInput_IsRefused)
{
    std::map<std::string, std::string> m;
    const char* bad[] = {"", "[]", "{", "{\"a\":}", "{\"a\":1,}", "{\"a\" 1}", "{a:1}", "{\"a\":01}",
                         "{\"a\":\"\x01\"}", "{\"a\":\"\\x\"}", "{\"a\":\"\\ud800\"}", "{\"a\":\"\\udc00\"}",
                         "{\"a\":\"\xC3\"}", "{\"a\":tru}", "{\"a\":1} x", "{\"a\":1}{}", "{\"a\":-}",
                         "{\"a\":1.}"};
    for (const char* text : bad) {
        EXPECT_FALSE(JsonReadObject(text, m)) << text;
        EXPECT_TRUE(m.empty());
    }
    EXPECT_TRUE(JsonReadObject("{\"a\":" + std::string(16, '[') + std::string(16, ']') + "}", m));
    EXPECT_FALSE(JsonReadObject("{\"a\":" + std::string(17, '[') + std::string(17, ']') + "}", m));
    EXPECT_FALSE(JsonReadObject("{\"a\":\"" + std::string(JsonMaxInput, 'x') + "\"}", m));
}

TEST(OAuthTokenReply, Answers_GiveTokenOrTheEndpointsError)
{
    TOAuthTokenReply ok = OAuthReadTokenReply(
        "{\"access_token\":\"at.1\",\"token_type\":\"bearer\",\"expires_in\":3599,\"refresh_token\":\"rt\"}");
    EXPECT_TRUE(ok.Ok);
    EXPECT_EQ(ok.AccessToken, "at.1");
    EXPECT_EQ(ok.RefreshToken, "rt");
    EXPECT_EQ(ok.ExpiresIn, 3599);
    EXPECT_EQ(OAuthReadTokenReply("{\"access_token\":\"a\",\"token_type\":\"Bearer\",\"expires_in\":\"60\"}").ExpiresIn,
              60);
    const TOAuthTokenReply refused =
        OAuthReadTokenReply("{\"error\":\"invalid_grant\",\"error_description\":\"revoked\"}");
    EXPECT_FALSE(refused.Ok);
    EXPECT_EQ(refused.Error, "invalid_grant");
    EXPECT_EQ(refused.ErrorDescription, "revoked");
    EXPECT_FALSE(OAuthReadTokenReply("<html>").Ok);
    EXPECT_FALSE(OAuthReadTokenReply("{\"access_token\":\"a\",\"token_type\":\"mac\"}").Ok);
    // A token that could end a command line is refused, not sent.
    const TOAuthTokenReply injected =
        OAuthReadTokenReply("{\"access_token\":\"a\\r\\nDELE 1\",\"token_type\":\"Bearer\"}");
    EXPECT_FALSE(injected.Ok);
    EXPECT_TRUE(injected.AccessToken.empty());
}

TEST(OAuthRedirect, BrowserRequest_GivesCodeAndStateOrWhyNot)
{
    EXPECT_EQ(OAuthReadRedirect("GET /?code=abc%2F1&state=s1 HTTP/1.1\r\nHost: 127.0.0.1").Status,
              redirectIncomplete);
    const TOAuthRedirect got =
        OAuthReadRedirect("GET /?code=abc%2F1&state=s1&session_state=x HTTP/1.1\r\nHost: 127.0.0.1:5\r\n\r\n");
    EXPECT_EQ(got.Status, redirectCode);
    EXPECT_EQ(got.Code, "abc/1");
    EXPECT_EQ(got.State, "s1");
    const TOAuthRedirect denied =
        OAuthReadRedirect("GET /?error=access_denied&error_description=no+thanks&state=s1 HTTP/1.1\r\n\r\n");
    EXPECT_EQ(denied.Status, redirectError);
    EXPECT_EQ(denied.Error, "access_denied");
    EXPECT_EQ(denied.ErrorDescription, "no thanks");
    EXPECT_EQ(OAuthReadRedirect("GET /favicon.ico HTTP/1.1\r\n\r\n").Status, redirectOther);
    EXPECT_EQ(OAuthReadRedirect("POST /?code=a&state=s HTTP/1.1\r\n\r\n").Status, redirectOther);
    EXPECT_EQ(OAuthReadRedirect("GET /?state=s HTTP/1.1\r\n\r\n").Status, redirectOther);
    EXPECT_EQ(OAuthReadRedirect(std::string(OAuthRedirectMaxHead + 1, 'G')).Status, redirectOther);
    const std::string page = OAuthRedirectPage(200, "You can close this window <now>");
    EXPECT_EQ(page.find("HTTP/1.1 200 OK\r\n"), 0u);
    EXPECT_NE(page.find("You can close this window &lt;now&gt;"), std::string::npos);
    const std::size_t body = page.find("\r\n\r\n") + 4;
    EXPECT_NE(page.find("Content-Length: " + std::to_string(page.size() - body) + "\r\n"), std::string::npos);
}
