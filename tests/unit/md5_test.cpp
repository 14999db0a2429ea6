#include <gtest/gtest.h>

#include <string>

#include "net/MD5.h"
#include "net/Pop3Parse.h"

TEST(MD5, Rfc1321TestSuite)
{
    EXPECT_EQ(MD5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(MD5Hex("a"), "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(MD5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(MD5Hex("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(MD5Hex("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
    EXPECT_EQ(MD5Hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(MD5Hex("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
              "57edf4a22be3c955ac49da2e2107b67a");
}

// Lengths around the 56-byte padding boundary and the 64-byte block size
// take the one-block and the two-block padding paths.
TEST(MD5, LengthsAroundPaddingBoundary_MatchKnownDigests)
{
    EXPECT_EQ(MD5Hex(std::string(55, 'a')), "ef1772b6dff9a122358552954ad0df65");
    EXPECT_EQ(MD5Hex(std::string(56, 'a')), "3b0c8ac703f828b04c6c197006d17218");
    EXPECT_EQ(MD5Hex(std::string(57, 'a')), "652b906d60af96844ebd21b674f35e93");
    EXPECT_EQ(MD5Hex(std::string(63, 'a')), "b06521f39153d618550606be297466d5");
    EXPECT_EQ(MD5Hex(std::string(64, 'a')), "014842d480b571495a4a0363793f7367");
    EXPECT_EQ(MD5Hex(std::string(65, 'a')), "c743a45e0d2e6a95cb859adae0248435");
    EXPECT_EQ(MD5Hex(std::string(119, 'a')), "8a7bd0732ed6a28ce75f6dabc90e1613");
    EXPECT_EQ(MD5Hex(std::string(120, 'a')), "5f61c0ccad4cac44c75ff505e1f1e537");
    EXPECT_EQ(MD5Hex(std::string(128, 'a')), "e510683b3f5ffe4093d021808bc6ff70");
}

TEST(MD5, MillionBytes_MatchKnownDigest)
{
    EXPECT_EQ(MD5Hex(std::string(1000000, 'a')), "7707d6ae4e027c70eea2a935c2296f21");
}

TEST(MD5, HighBytesAreTakenUnsigned)
{
    std::string allBytes;
    for (int i = 0; i < 256; ++i)
        allBytes += char(i);
    EXPECT_EQ(MD5Hex(allBytes), "e2c865db4162bed963bfaa9ef6ac18f0");
}

TEST(MD5, InputInPieces_SameDigestAsOnePiece)
{
    std::string data;
    for (int i = 0; i < 1000; ++i)
        data += char('A' + (i * 7) % 53);
    const std::string whole = MD5Hex(data);

    for (std::size_t piece : {1u, 3u, 55u, 63u, 64u, 65u, 127u, 999u}) {
        TMD5 md5;
        for (std::size_t at = 0; at < data.size(); at += piece)
            md5.Update(data.substr(at, piece));
        EXPECT_EQ(MD5DigestToHex(md5.Final()), whole) << "pieces of " << piece;
    }
}

TEST(MD5, EmptyPiecesChangeNothing)
{
    TMD5 md5;
    md5.Update("");
    md5.Update("ab");
    md5.Update(nullptr, 0);
    md5.Update("c");
    EXPECT_EQ(MD5DigestToHex(md5.Final()), "900150983cd24fb0d6963f7d28e17f72");
}

TEST(MD5, InitAfterFinal_StartsAFreshDigest)
{
    TMD5 md5;
    md5.Update("something else");
    md5.Final();
    md5.Init();
    md5.Update("abc");
    EXPECT_EQ(MD5DigestToHex(md5.Final()), "900150983cd24fb0d6963f7d28e17f72");
}

TEST(MD5, DigestBytesAndHexAgree)
{
    TMD5 md5;
    md5.Update("abc");
    const TMD5Digest digest = md5.Final();
    EXPECT_EQ(digest[0], 0x90);
    EXPECT_EQ(digest[15], 0x72);
    EXPECT_EQ(MD5DigestToHex(digest), "900150983cd24fb0d6963f7d28e17f72");
}

TEST(ApopDigest, Rfc1939Example_TimestampThenPassword)
{
    EXPECT_EQ(Pop3ApopDigest("<1896.697170952@dbc.mtview.ca.us>", "tanstaaf"),
              "c4c9334bac560ecc979e58001b3e22fb");
}

TEST(ApopDigest, PasswordIsNotTrimmed)
{
    EXPECT_NE(Pop3ApopDigest("<1896.697170952@dbc.mtview.ca.us>", "tanstaaf "),
              "c4c9334bac560ecc979e58001b3e22fb");
    EXPECT_EQ(Pop3ApopDigest("<a>", " pw "), MD5Hex("<a> pw "));
}
