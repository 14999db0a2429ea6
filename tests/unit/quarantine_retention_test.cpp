#include <gtest/gtest.h>

#include "mail/QuarantineRetention.h"

namespace {
constexpr long long Day = 24 * 60 * 60;
constexpr long long Now = 1000 * Day;

std::vector<std::string> Names(const std::vector<TQuarantineEntry>& entries)
{
    std::vector<std::string> names;
    for (const TQuarantineEntry& entry : entries)
        names.push_back(entry.Name);
    return names;
}

using Names_t = std::vector<std::string>;
}  // namespace

TEST(QuarantineRetention, OlderThanTheDaysToKeep_RemovedOldestFirst)
{
    const std::vector<TQuarantineEntry> entries = {
        {"recent", Now - 2 * Day, 10}, {"old", Now - 31 * Day, 10}, {"older", Now - 90 * Day, 10},
        {"edge", Now - 30 * Day, 10}};
    EXPECT_EQ(Names(QuarantineToRemove(entries, Now, {})), (Names_t{"older", "old"}));
}

TEST(QuarantineRetention, OverTheCap_OldestRemovedUntilTheRestFits)
{
    const std::vector<TQuarantineEntry> entries = {
        {"c", Now - 1 * Day, 60}, {"a", Now - 3 * Day, 60}, {"b", Now - 2 * Day, 60}};
    EXPECT_EQ(Names(QuarantineToRemove(entries, Now, {30, 120})), (Names_t{"a"}));
    EXPECT_EQ(Names(QuarantineToRemove(entries, Now, {30, 119})), (Names_t{"a", "b"}));
    EXPECT_EQ(Names(QuarantineToRemove(entries, Now, {30, 180})), Names_t{});
}

TEST(QuarantineRetention, ZeroDays_CopiesOffButNoneRemovedForAge)
{
    const std::vector<TQuarantineEntry> entries = {{"old", Now - 400 * Day, 10}};
    EXPECT_FALSE(QuarantineCopiesOn({0, 100}));
    EXPECT_TRUE(QuarantineToRemove(entries, Now, {0, 100}).empty());
    EXPECT_EQ(Names(QuarantineToRemove(entries, Now, {0, 5})), (Names_t{"old"}));
}

TEST(QuarantineRetention, ClockSetBack_FutureCopiesKept_AndNoCapMeansNone)
{
    const std::vector<TQuarantineEntry> entries = {{"future", Now + 50 * Day, 1LL << 40}};
    EXPECT_TRUE(QuarantineToRemove(entries, Now, {30, 0}).empty());
    EXPECT_EQ(Names(QuarantineToRemove(entries, Now, {30, 1})), (Names_t{"future"}));
}

TEST(QuarantineRetention, SameSecond_OrderedByName)
{
    const std::vector<TQuarantineEntry> entries = {{"b", Now - 40 * Day, 1}, {"a", Now - 40 * Day, 1}};
    EXPECT_EQ(Names(QuarantineToRemove(entries, Now, {})), (Names_t{"a", "b"}));
}
