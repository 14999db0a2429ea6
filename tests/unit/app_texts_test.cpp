#include <gtest/gtest.h>

#include "app/AddressText.h"
#include "app/ApplicationTitle.h"

TEST(ApplicationTitle, FileNameWithoutFolderAndExtension_RestLowerCased)
{
    EXPECT_EQ(ApplicationTitleOf("C:\\Program Files\\SkarnVale\\SkarnVale.exe"), "Skarnvale");
    EXPECT_EQ(ApplicationTitleOf("Z:/tmp/x/SKARNVALE.EXE"), "Skarnvale");
    EXPECT_EQ(ApplicationTitleOf("skarnVale.exe"), "skarnvale");  // the first character is kept as it is
    EXPECT_EQ(ApplicationTitleOf("C:\\a.b\\My.Tool.exe"), "My.tool");
}

TEST(AddressText, JoinsWithDashesAndLeavesOutTheExcludedAddress)
{
    EXPECT_EQ(JoinAddressText({"192.168.1.2", "10.0.0.10", "127.0.0.1"}), "192.168.1.2 - 127.0.0.1");
    EXPECT_EQ(JoinAddressText({"10.0.0.10", "192.168.1.2"}), "192.168.1.2");
    EXPECT_EQ(JoinAddressText({"10.0.0.10"}), "");
    EXPECT_EQ(JoinAddressText({}), "");
    EXPECT_EQ(JoinAddressText({"10.0.0.100"}), "10.0.0.100");
}
