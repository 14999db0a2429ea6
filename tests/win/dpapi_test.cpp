#include <gtest/gtest.h>

#include <string>

#include "framework/Dpapi.h"
#include "framework/SystemRandom.h"

TEST(Dpapi, ProtectedSecret_ReadsBackAndHoldsNoClearText)
{
    const std::string secret = "1//0refresh-token-\xC3\xA9";
    const std::string stored = DpapiProtect(secret);
    ASSERT_EQ(stored.rfind("dpapi:", 0), 0u);
    EXPECT_EQ(stored.find("refresh-token"), std::string::npos);
    EXPECT_NE(DpapiProtect(secret), stored) << "each protection is salted";
    std::string back;
    ASSERT_TRUE(DpapiUnprotect(stored, back));
    EXPECT_EQ(back, secret);
}

TEST(Dpapi, ClearOrDamagedValues_AreNotSecrets)
{
    std::string back = "left over";
    EXPECT_FALSE(DpapiUnprotect("1//0refresh-token", back));
    EXPECT_TRUE(back.empty());
    EXPECT_FALSE(DpapiUnprotect("dpapi:", back));
    EXPECT_FALSE(DpapiUnprotect("dpapi:not base64!", back));
    EXPECT_FALSE(DpapiUnprotect("dpapi:AAAA", back)) << "not a blob";
}

TEST(SystemRandom, Bytes_DifferEachTime)
{
    const std::string a = SystemRandomBytes(32), b = SystemRandomBytes(32);
    EXPECT_EQ(a.size(), 32u);
    EXPECT_NE(a, b);
}
