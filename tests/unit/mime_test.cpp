#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/EmailDetails.h"
#include "mime/MimeBody.h"
#include "mime/MimeCharset.h"
#include "mime/MimeHeader.h"
#include "mime/Pop3HeaderWords.h"

namespace {
// A stand-in for the platform's converter that shows what it was handed:
// "[code page:hex bytes]"; it knows no GB18030 and no ISO-8859-8, as Wine.
bool ShowConversion(unsigned codePage, const std::string& bytes, std::string& utf8)
{
    if (codePage == 54936 || codePage == 28598)
        return false;
    static const char hex[] = "0123456789abcdef";
    utf8 = "[" + std::to_string(codePage) + ":";
    for (unsigned char byte : bytes)
        utf8 += std::string(1, hex[byte >> 4]) + hex[byte & 15];
    utf8 += "]";
    return true;
}

std::string Decoded(unsigned codePage, const std::string& bytes)
{
    std::string utf8;
    EXPECT_TRUE(DecodeCodePage(codePage, bytes, ShowConversion, utf8)) << codePage;
    return utf8;
}

const char kFffd[] = "\xEF\xBF\xBD";
}  // namespace

TEST(DecodeCodePage, WhatThePlatformLacksIsDecodedHereTheRestHandedToIt)
{
    EXPECT_EQ(Decoded(1251, "\xD0\xE5"), "[1251:d0e5]");
    EXPECT_EQ(Decoded(65001, "Caf\xC3\xA9 \xF0\x9F\x98\x80 \xFF"), std::string("Café 😀 ") + kFffd);
    EXPECT_EQ(Decoded(1252, "5\x80"), "5€");
    EXPECT_EQ(Decoded(28606, "\xAA\xA4"), "Ș€");       // ISO-8859-16
    EXPECT_EQ(Decoded(28604, "\xA1\xFF"), "Ḃÿ");       // ISO-8859-14
    EXPECT_EQ(Decoded(28600, "\xBD\xFF"), "―ĸ");       // ISO-8859-10
    std::string utf8;
    EXPECT_FALSE(DecodeCodePage(28598, "x", ShowConversion, utf8));
    EXPECT_FALSE(DecodeCodePage(1251, "x", nullptr, utf8));
}

TEST(DecodeCodePage, Iso2022JpTwoByteRunsGoToThePlatformAsEucJp)
{
    EXPECT_EQ(Decoded(50220, "\x1B$BF|K\\8l\x1B(B abc"), "[20932:c6fccbdcb8ec] abc");
    EXPECT_EQ(Decoded(50220, "\x1B(I6E\x1B(Bx"), "ｶﾅx");
    EXPECT_EQ(Decoded(50220, "\x1B$(D\"/"), "[20932:8fa2af]");  // JIS X 0212
    // A lone byte of a pair, an unknown escape and an 8-bit byte are U+FFFD.
    EXPECT_EQ(Decoded(50220, "\x1B$BF|K"), std::string("[20932:c6fc]") + kFffd);
    EXPECT_EQ(Decoded(50220, "a\x1B$Zb\xA4"), std::string("a") + kFffd + "$Zb" + kFffd);
}

TEST(DecodeCodePage, Gb18030WithoutItsCodePage_GbkPlusThePlanesBeyondTheBmp)
{
    EXPECT_EQ(Decoded(54936, "\xD6\xD0\xCE\xC4\x94\x39\xFC\x36!"), "[936:d6d0cec4]😀[936:21]");
    EXPECT_EQ(Decoded(54936, "\x81\x30\x81\x30"), kFffd);  // in the BMP: the platform's table is needed
}

TEST(Pop3DecodeHeaderText, EveryCharsetDecodesToUtf8AndRawBytesAreUtf8WhenValid)
{
    EXPECT_EQ(Pop3DecodeHeaderText("=?ISO-2022-JP?B?GyRCRnxLXDhsGyhCIGFiYw==?=", ShowConversion),
              "[20932:c6fccbdcb8ec] abc");
    EXPECT_EQ(Pop3DecodeHeaderText("=?GB18030?B?1tDOxJQ5/DY=?=", ShowConversion), "[936:d6d0cec4]😀");
    EXPECT_EQ(Pop3DecodeHeaderText("=?iso-8859-16?Q?=AA?=", ShowConversion), "Ș");
    EXPECT_EQ(Pop3DecodeHeaderText(" Сергей 😀 =?koi8-r?Q?=F0?=", ShowConversion), " Сергей 😀 [20866:f0]");
    EXPECT_EQ(Pop3DecodeHeaderText(" Caf\xE9 \x80", ShowConversion), " Café €");
}

TEST(MimeHeader, FieldsUnfoldedAndParametersQuotedOrInSectionsOrExtended)
{
    const std::string header = "Subject: x\r\ncontent-TYPE: multipart/mixed;\r\n\tboundary=\"a;b\"\r\nX: y\r\n";
    EXPECT_EQ(MimeHeaderField(header, "Content-Type"), "multipart/mixed;\tboundary=\"a;b\"");
    EXPECT_EQ(MimeHeaderField(header, "Content-Transfer-Encoding"), "");
    const TMimeContent type = ParseMimeContent(MimeHeaderField(header, "Content-Type"), ShowConversion);
    EXPECT_EQ(type.Type, "multipart/mixed");
    EXPECT_EQ(type.Param("boundary"), "a;b");
    const TMimeContent file = ParseMimeContent(
        "attachment; filename*0*=utf-8''%D0%9E%D1%82; filename*1*=%D1%87%D1%91%D1%82.pdf", ShowConversion);
    EXPECT_EQ(file.Param("filename"), "Отчёт.pdf");
}

TEST(MimeBody, TransferEncodingsUndone)
{
    EXPECT_EQ(DecodeQuotedPrintable("Caf=C3=A9 =\r\nau lait  \r\n=3D =ZZ\r\nend"), "Caf\xC3\xA9 au lait\r\n= =ZZ\r\nend");
    EXPECT_EQ(DecodeBase64Text("Q2Fm\r\nw6k=\r\nignored"), "Caf\xC3\xA9");
}

TEST(MimeBody, SinglePartTextDecodedFromItsEncodingAndCharset)
{
    const TMimeBodyText qp = DecodeMimeBody(
        "Content-Type: text/plain; charset=\"KOI8-R\"\r\nContent-Transfer-Encoding: quoted-printable\r\n",
        "=F0=D2=C9\r\nx=\r\ny\r\n", ShowConversion);
    EXPECT_EQ(qp.Text, "[20866:f0d2c90d0a78790d0a]");  // soft break joined, converted whole
    const TMimeBodyText utf8 = DecodeMimeBody("Content-Type: text/plain; charset=utf-8\r\n"
                                              "Content-Transfer-Encoding: base64\r\n",
                                              "0J/RgNC40LLQtdGCIPCfmIAK\r\n", ShowConversion);
    EXPECT_EQ(utf8.Text, "Привет 😀\r\n");
    EXPECT_TRUE(utf8.OtherParts.empty());
    EXPECT_FALSE(utf8.Cut);
    // No MIME at all: raw bytes, Windows-1252 when they are not UTF-8.
    EXPECT_EQ(DecodeMimeBody("Subject: x\r\n", "Caf\xE9\r\n", ShowConversion).Text, "Café\r\n");
}

namespace {
const char kMultipartHeader[] = "Subject: report\r\nContent-Type: multipart/mixed; boundary=\"outer\"\r\n";
const char kMultipartBody[] =
    "This is a multi-part message in MIME format.\r\n"
    "--outer\r\n"
    "Content-Type: multipart/alternative; boundary=inner\r\n"
    "\r\n"
    "--inner\r\n"
    "Content-Type: text/plain; charset=utf-8\r\n"
    "Content-Transfer-Encoding: quoted-printable\r\n"
    "\r\n"
    "Bonjour =C3=A0 tous\r\n"
    "--inner\r\n"
    "Content-Type: text/html; charset=utf-8\r\n"
    "\r\n"
    "<p>Bonjour</p>\r\n"
    "--inner--\r\n"
    "--outer\r\n"
    "Content-Type: application/pdf; name=\"=?utf-8?B?0J7RgtGH0ZHRgi5wZGY=?=\"\r\n"
    "Content-Disposition: attachment\r\n"
    "Content-Transfer-Encoding: base64\r\n"
    "\r\n"
    "JVBERi0=\r\n"
    "--outer\r\n"
    "Content-Type: text/plain\r\n"
    "Content-Disposition: attachment; filename=notes.txt\r\n"
    "\r\n"
    "second text\r\n"
    "--outer--\r\n";
}  // namespace

TEST(MimeBody, MultipartShowsItsFirstPlainTextPartAndNamesTheOthers)
{
    const TMimeBodyText body = DecodeMimeBody(kMultipartHeader, kMultipartBody, ShowConversion);
    EXPECT_EQ(body.Text, "Bonjour \xC3\xA0 tous");
    EXPECT_EQ(body.OtherParts, (std::vector<std::string>{"text/html", "Отчёт.pdf", "notes.txt"}));
    EXPECT_FALSE(body.Cut);
}

TEST(MimeBody, AMultipartBodyCutBeforeItsEndSaysSo)
{
    const std::string body = kMultipartBody;
    const TMimeBodyText cut = DecodeMimeBody(kMultipartHeader, body.substr(0, body.find("<p>")), ShowConversion);
    EXPECT_EQ(cut.Text, "Bonjour \xC3\xA0 tous");
    EXPECT_EQ(cut.OtherParts, (std::vector<std::string>{"text/html"}));
    EXPECT_TRUE(cut.Cut);
    // Cut before any part: no text, and nothing invented.
    const TMimeBodyText none = DecodeMimeBody(kMultipartHeader, "preamble\r\n", ShowConversion);
    EXPECT_EQ(none.Text, "");
    EXPECT_TRUE(none.OtherParts.empty());
    EXPECT_TRUE(none.Cut);
    // A part named only by a type that is not UTF-8 is still named in UTF-8.
    const TMimeBodyText odd = DecodeMimeBody("Content-Type: \x84\xFF/x\r\n", "body\r\n", ShowConversion);
    EXPECT_EQ(odd.OtherParts, (std::vector<std::string>{"\xE2\x80\x9E\xC3\xBF/x"}));
}

TEST(EmailDetails, DecodedFieldsOtherPartsThenHeaderOnDemandAndBody)
{
    TEmail email;
    email.From = " =?utf-8?B?0KHQtdGA0LPQtdC5?= <s@example.ru>";
    email.To = " me@example.org";
    email.Subject = " =?iso-8859-16?Q?=AA?=";
    DecodeEmailFields(email, ShowConversion);
    email.Size = "1234 bytes";
    email.Header = std::string(kMultipartHeader) + "Date: Tue, 1 Dec 2026 14:05:00 +0100\r\n\r\n";
    email.Body = kMultipartBody;
    const std::string shown = FormatEmailDetails(email, false, ShowConversion);
    EXPECT_EQ(shown, "From :  Сергей <s@example.ru>\r\nTo :  me@example.org\r\n"
                     "Date : Tue, 1 Dec 2026 14:05:00 +0100\r\nSubject :  Ș\r\nSize : 1234 bytes\r\n"
                     "Attachments : \r\ntext/html\r\nОтчёт.pdf\r\nnotes.txt\r\n\r\nBonjour \xC3\xA0 tous");
    EXPECT_EQ(FormatEmailDetails(email, true, ShowConversion),
              shown.substr(0, shown.find("Bonjour")) + email.Header + "Bonjour \xC3\xA0 tous");
}
