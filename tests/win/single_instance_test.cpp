#include <gtest/gtest.h>

#include "app/Divers.h"
#include "framework/Application.h"

namespace {
std::string UniqueName(const char* base) { return std::string(base) + std::to_string(GetCurrentProcessId()); }

}  // namespace

TEST(IsAlreadyRunning, FirstCopyIsAlone_LaterCallsFindTheSemaphore)
{
    const std::string name = UniqueName("SkarnvaleGuardA");
    EXPECT_FALSE(IsAlreadyRunning(name, false, nullptr));
    EXPECT_TRUE(IsAlreadyRunning(name, false, nullptr));
    EXPECT_TRUE(IsAlreadyRunning(name, false, nullptr));  // the first handle stays open
}

TEST(IsAlreadyRunning, ShowsOtherCopysWindowFoundWithCaseIgnored_NeverItsOwn)
{
    const std::string name = UniqueName("SkarnvaleGuardB");
    TApplication own(name);
    TApplication otherCopy(UniqueName("SKARNVALEguardb"));  // as another process would have it
    HWND other = otherCopy.Handle();
    ASSERT_FALSE(IsWindowVisible(other));
    ASSERT_FALSE(IsAlreadyRunning(name, true, &own));
    EXPECT_EQ(own.Title(), name);  // the first copy keeps its title
    EXPECT_TRUE(IsAlreadyRunning(name, true, &own));
    EXPECT_EQ(own.Title(), "ZZZ");
    EXPECT_TRUE(IsWindowVisible(other));
    EXPECT_FALSE(IsWindowVisible(own.Handle()));
}

TEST(IsAlreadyRunning, OtherCopyNotFound_StillAnswersTrueAndShowsNothing)
{
    const std::string name = UniqueName("SkarnvaleGuardC");
    TApplication own(name);
    ASSERT_FALSE(IsAlreadyRunning(name, true, &own));
    EXPECT_TRUE(IsAlreadyRunning(name, true, &own));
    EXPECT_FALSE(IsWindowVisible(own.Handle()));
}
