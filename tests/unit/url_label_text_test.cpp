#include <gtest/gtest.h>

#include "widgets/UrlLabelText.h"

namespace {
TUrlParts Parts(TUrlType type, const std::string& url)
{
    TUrlParts parts;
    parts.type = type;
    parts.url = url;
    return parts;
}
}  // namespace

TEST(UrlLabelText, EachScheme_PutsItsPrefixBeforeTheAddress)
{
    const struct {
        TUrlType type;
        const char* expected;
    } cases[] = {
        {utFile, "file://host/x"},     {utFtp, "ftp://host/x"},     {utGopher, "gopher://host/x"},
        {utHttp, "http://host/x"},     {utHttps, "https://host/x"}, {utMail, "mailto:host/x"},
        {utNews, "news:host/x"},       {utTelnet, "telnet:host/x"}, {utWais, "wais:host/x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ComposeFullUrl(Parts(c.type, "host/x")), c.expected) << c.expected;
}

TEST(UrlLabelText, AddressWithItsOwnScheme_StillGetsThePrefix)
{
    EXPECT_EQ(ComposeFullUrl(Parts(utHttp, "http://skarnvale.example.org")), "http://http://skarnvale.example.org");
    EXPECT_EQ(ComposeFullUrl(Parts(utMail, "mailto:author@example.org")), "mailto:mailto:author@example.org");
    EXPECT_EQ(ComposeFullUrl(Parts(utFile, "file://c:/x")), "file://file://c:/x");
}

TEST(UrlLabelText, CustomScheme_UsesItsTextVerbatim)
{
    TUrlParts parts = Parts(utCustom, "skarnvale.example.org");
    parts.customPrefix = "irc://";
    EXPECT_EQ(ComposeFullUrl(parts), "irc://skarnvale.example.org");
}

TEST(UrlLabelText, CustomWithEmptyScheme_LeavesTheAddressUnchanged)
{
    EXPECT_EQ(ComposeFullUrl(Parts(utCustom, "https://skarnvale.example.org")), "https://skarnvale.example.org");
    EXPECT_EQ(ComposeFullUrl(Parts(utCustom, "")), "");
}

TEST(UrlLabelText, EmptyAddress_GivesThePrefixAlone)
{
    EXPECT_EQ(ComposeFullUrl(Parts(utHttp, "")), "http://");
    EXPECT_EQ(ComposeFullUrl(Parts(utMail, "")), "mailto:");
}

TEST(UrlLabelText, MailWithSubject_AppendsItAfterSubjectField)
{
    TUrlParts parts = Parts(utMail, "author@example.org");
    parts.mailSubject = "Hello there";
    EXPECT_EQ(ComposeFullUrl(parts), "mailto:author@example.org?Subject=Hello there");
}

TEST(UrlLabelText, MailWithBodyOnly_StartsTheQueryWithBody)
{
    TUrlParts parts = Parts(utMail, "author@example.org");
    parts.mailBody = "Some text";
    EXPECT_EQ(ComposeFullUrl(parts), "mailto:author@example.org?Body=Some text");
}

TEST(UrlLabelText, MailWithSubjectAndBody_JoinsThemWithAmpersand)
{
    TUrlParts parts = Parts(utMail, "author@example.org");
    parts.mailSubject = "S&x";
    parts.mailBody = "B?y";
    EXPECT_EQ(ComposeFullUrl(parts), "mailto:author@example.org?Subject=S&x&Body=B?y");
}

TEST(UrlLabelText, SubjectAndBodyOnOtherSchemes_AreIgnored)
{
    TUrlParts parts = Parts(utHttp, "skarnvale.example.org");
    parts.mailSubject = "S";
    parts.mailBody = "B";
    EXPECT_EQ(ComposeFullUrl(parts), "http://skarnvale.example.org");
}

TEST(UrlLabelText, ShowHintOn_GivesTheAddress)
{
    EXPECT_EQ(HintForShowUrlHint(true, "typed by hand", "http://a"), "http://a");
}

TEST(UrlLabelText, ShowHintOff_ClearsOnlyAHintEqualToTheAddress)
{
    EXPECT_EQ(HintForShowUrlHint(false, "http://a", "http://a"), "");
    EXPECT_EQ(HintForShowUrlHint(false, "typed by hand", "http://a"), "typed by hand");
    EXPECT_EQ(HintForShowUrlHint(false, "", "http://a"), "");
}
