#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/HttpMessage.h"
#include "text/Base64.h"
#include "net/SaslOAuth.h"

TEST(SaslOAuth, CapaSaslLine_ChoosesOAuthBearerThenXOAuth2)
{
    EXPECT_EQ(SaslChooseMechanism({"TOP", "SASL PLAIN LOGIN XOAUTH2 OAUTHBEARER", "USER"}), saslOAuthBearer);
    EXPECT_EQ(SaslChooseMechanism({"sasl plain xoauth2"}), saslXOAuth2);
    EXPECT_EQ(SaslChooseMechanism({"SASL PLAIN XOAUTH2X", "XOAUTH2"}), saslNone);
    EXPECT_EQ(SaslChooseMechanism({}), saslNone);
    EXPECT_STREQ(SaslMechanismName(saslOAuthBearer), "OAUTHBEARER");
    EXPECT_STREQ(SaslMechanismName(saslXOAuth2), "XOAUTH2");
}

// Google's XOAUTH2 example, and RFC 7628 section 4.1 with its GS2 header.
TEST(SaslOAuth, InitialResponses_FollowEachMechanism)
{
    EXPECT_EQ(Base64Encode(SaslInitialResponse(saslXOAuth2, "someuser@example.com", "ya29.vF9dft4qmTc2Nvb3RlckBhdHRhdmlzdGEuY29tCg", "", 0)),
              "dXNlcj1zb21ldXNlckBleGFtcGxlLmNvbQFhdXRoPUJlYXJlciB5YTI5LnZGOWRmdDRxbVRjMk52YjNSbGNrQmhkSFJoZG1semRH"
              "RXVZMjl0Q2cBAQ==");
    EXPECT_EQ(SaslInitialResponse(saslOAuthBearer, "user@example.com", "vF9dft4qmTc2Nvb3RlckBhbHRhdmlzdGEuY29tCg==",
                                  "server.example.com", 143),
              "n,a=user@example.com,\x01host=server.example.com\x01port=143\x01"
              "auth=Bearer vF9dft4qmTc2Nvb3RlckBhbHRhdmlzdGEuY29tCg==\x01\x01");
    EXPECT_EQ(SaslInitialResponse(saslOAuthBearer, "a,b=c", "t", "", 0), "n,a=a=2Cb=3Dc,\x01" "auth=Bearer t\x01\x01");
    EXPECT_EQ(SaslFailureAnswer(saslXOAuth2), "");
    EXPECT_EQ(SaslFailureAnswer(saslOAuthBearer), "AQ==");
}

TEST(HttpUrl, HttpsUrls_SplitAndOthersAreRefused)
{
    THttpUrl url;
    ASSERT_TRUE(HttpParseHttpsUrl("https://login.microsoftonline.com/common/oauth2/v2.0/token", url));
    EXPECT_EQ(url.Host, "login.microsoftonline.com");
    EXPECT_EQ(url.Port, 443);
    EXPECT_EQ(url.Target, "/common/oauth2/v2.0/token");
    ASSERT_TRUE(HttpParseHttpsUrl("HTTPS://auth.test:8443?x=1#f", url));
    EXPECT_EQ(url.Host, "auth.test");
    EXPECT_EQ(url.Port, 8443);
    EXPECT_EQ(url.Target, "/?x=1");
    for (const char* bad : {"http://auth.test/token", "https://", "https://:1/", "https://u@auth.test/",
                            "https://auth.test:0/", "https://auth.test:65536/", "https://auth.test/a b",
                            "https://auth.test:x/"})
        EXPECT_FALSE(HttpParseHttpsUrl(bad, url)) << bad;
    url = THttpUrl();
    url.Host = "auth.test";
    url.Port = 8443;
    url.Target = "/token";
    EXPECT_EQ(HttpFormPost(url, "a=b"),
              "POST /token HTTP/1.1\r\nHost: auth.test:8443\r\nContent-Type: application/x-www-form-urlencoded\r\n"
              "Accept: application/json\r\nUser-Agent: SkarnVale\r\nContent-Length: 3\r\nConnection: close\r\n\r\na=b");
}

TEST(HttpResponse, AnswersByLengthChunksOrClose_AreWholeOnlyWhenTheyEnd)
{
    const std::string byLength = "HTTP/1.1 400 Bad Request\r\nContent-Type: application/json\r\ncontent-length: 5\r\n\r\n{\"a\"}";
    for (std::size_t cut = 0; cut < byLength.size(); ++cut) {
        THttpResponseReader reader;
        EXPECT_EQ(reader.Feed(byLength.substr(0, cut)), httpIncomplete) << cut;
        EXPECT_EQ(reader.Feed(byLength.substr(cut)), httpComplete) << cut;
        EXPECT_EQ(reader.Status(), 400);
        EXPECT_EQ(reader.Body(), "{\"a\"}");
        EXPECT_EQ(reader.ContentType(), "application/json");
    }
    THttpResponseReader chunked;
    EXPECT_EQ(chunked.Feed("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3;x=y\r\nabc\r\n2\r\nde\r\n0\r\n"),
              httpIncomplete);
    EXPECT_EQ(chunked.Feed("\r\n"), httpComplete);
    EXPECT_EQ(chunked.Body(), "abcde");
    THttpResponseReader untilClose;
    EXPECT_EQ(untilClose.Feed("HTTP/1.0 200 OK\r\n\r\nbody"), httpIncomplete);
    EXPECT_EQ(untilClose.Closed(), httpComplete);
    EXPECT_EQ(untilClose.Body(), "body");
    THttpResponseReader cut;
    EXPECT_EQ(cut.Feed("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nshort"), httpIncomplete);
    EXPECT_EQ(cut.Closed(), httpBad);
}

TEST(HttpResponse, MalformedOrOversizedAnswers_AreBad)
{
    for (const char* bad : {"SMTP 200 OK\r\n\r\n", "HTTP/1.1 2000 OK\r\n\r\n", "HTTP/1.1 100 Continue\r\n\r\n",
                            "HTTP/1.1 200 OK\r\nno colon\r\n\r\n",
                            "HTTP/1.1 200 OK\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\n",
                            "HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip\r\n\r\n",
                            "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n",
                            "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nabc\r\n"}) {
        THttpResponseReader reader;
        EXPECT_EQ(reader.Feed(bad), httpBad) << bad;
    }
    THttpResponseReader huge;
    EXPECT_EQ(huge.Feed("HTTP/1.1 200 OK\r\nContent-Length: 99999999\r\n\r\n"), httpBad);
    THttpResponseReader flood;
    EXPECT_EQ(flood.Feed(std::string(HttpMaxResponse + 1, 'x')), httpBad);
}
