#include <gtest/gtest.h>

#include "model/unitProcessKillList.h"
#include "model/unitProcessKillRecords.h"

namespace {
TWindowList Load(const std::string& bytes)
{
    TWindowList list;
    for (const std::string& line : ParseKillListLines(bytes))
        list.Add(line);
    return list;
}
}  // namespace

TEST(KillListFile, CaseDuplicateDropped_SavedSortedWithCrLf)
{
    TWindowList list = Load("Foo\r\nfoo\r\nBar\r\n");
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0], "Bar");
    EXPECT_EQ(list[1], "Foo");
    EXPECT_EQ(FormatKillList(list), "Bar\r\nFoo\r\n");
}

TEST(KillListFile, EmptyLineIsAnEntryAndSavedBack)
{
    TWindowList list = Load("B\r\n\r\nA\r\n");
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[0], "");
    EXPECT_EQ(FormatKillList(list), "\r\nA\r\nB\r\n");
}

TEST(KillListFile, LfOnlyFile_LoadsOneEntryWithTheLfs)
{
    TWindowList list = Load("one\ntwo\n");
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0], "one\ntwo\n");
}

TEST(KillListFile, CrAloneEndsALineAndLfAfterItIsSkipped)
{
    EXPECT_EQ(ParseKillListLines("a\rb\r\nc"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(ParseKillListLines("a\r\n\nb"), (std::vector<std::string>{"a", "\nb"}));
}

TEST(KillListFile, CtrlZEndsTheFile)
{
    EXPECT_EQ(ParseKillListLines("a\r\nb\x1A" "c\r\nd\r\n"), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(ParseKillListLines("\x1A" "a\r\n").empty());
}

TEST(KillListFile, EmptyFileIsAnEmptyList_FinalLineWithoutEndStillCounts)
{
    EXPECT_TRUE(ParseKillListLines("").empty());
    EXPECT_EQ(ParseKillListLines("last"), (std::vector<std::string>{"last"}));
    EXPECT_EQ(ParseKillListLines("\r\n"), (std::vector<std::string>{""}));
}

TEST(KillListFile, LinesHaveNoLengthLimit_BytesKeptUnchanged)
{
    const std::string longLine(100000, 'x');
    const std::string accented = "Fen\xEAtre \xE9" "cran";
    TWindowList list = Load(longLine + "\r\n" + accented + "\r\n");
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0], accented);
    EXPECT_EQ(list[1], longLine);
    EXPECT_EQ(FormatKillList(list), accented + "\r\n" + longLine + "\r\n");
}

TEST(KillList, LookupIsWholeTitleCaseInsensitive)
{
    TWindowList list = Load("Special Offer\r\n");
    EXPECT_TRUE(IsInKillList(list, "SPECIAL OFFER"));
    EXPECT_FALSE(IsInKillList(list, "Offer"));
    EXPECT_FALSE(IsInKillList(list, "Special Offer "));
    EXPECT_FALSE(IsInKillList(list, "Special Offer - Browser"));
}

TEST(KillList, AddingAPresentTitleInOtherCaseChangesNothing)
{
    TWindowList list;
    EXPECT_TRUE(list.Add("Popup"));
    EXPECT_FALSE(list.Add("POPUP"));
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0], "Popup");
}

TEST(KillList, BinarySearchFindsEveryEntryOfALargeList)
{
    TWindowList list;
    for (int i = 0; i < 2000; ++i)
        list.Add("Window " + std::to_string(i * 7919 % 2000));
    ASSERT_EQ(list.Count(), 2000);
    for (int i = 1; i < list.Count(); ++i)
        ASSERT_LT(AsciiCompareText(list[i - 1], list[i]), 0);
    for (int i = 0; i < 2000; ++i)
        ASSERT_EQ(list.IndexOf("WINDOW " + std::to_string(i)) >= 0, true) << i;
    EXPECT_EQ(list.IndexOf("Window 2000"), -1);
}

TEST(KillList, Title255CharactersMatchesOnlyAnEntryOfThoseCharacters)
{
    const std::string seen(255, 'T');
    TWindowList list;
    list.Add(seen + "more");
    EXPECT_FALSE(IsInKillList(list, seen));
    list.Add(seen);
    EXPECT_TRUE(IsInKillList(list, seen));
}

TEST(KillList, RememberedAnswersFollowEveryChangeOfTheList)
{
    TWindowList list;
    EXPECT_FALSE(IsInKillList(list, "Popup"));
    list.Add("POPUP");
    EXPECT_TRUE(IsInKillList(list, "Popup"));
    list.Delete(list.IndexOf("popup"));
    EXPECT_FALSE(IsInKillList(list, "Popup"));
    list.Add("Popup");
    list.Clear();
    EXPECT_FALSE(IsInKillList(list, "Popup"));
    for (int i = 0; i < 5000; ++i)  // more titles than are remembered at once
        EXPECT_FALSE(IsInKillList(list, "Window " + std::to_string(i)));
}

TEST(KillAppearances, OneAppearanceAskedOnceByEvents_TickSkipsItOnceThenAsksEveryTick)
{
    TKillAppearances asked;
    EXPECT_TRUE(asked.AskFromEvent(1));
    EXPECT_FALSE(asked.AskFromEvent(1));  // a second event of the same appearance
    asked.BeginSweep();
    EXPECT_FALSE(asked.AskFromSweep(1));  // the event's request stands for this tick
    EXPECT_TRUE(asked.AskFromSweep(2));   // a window the events did not see
    asked.EndSweep();
    EXPECT_FALSE(asked.AskFromEvent(2));  // the tick asked it in this appearance
    asked.BeginSweep();
    EXPECT_TRUE(asked.AskFromSweep(1));  // still there a tick later: asked again
    asked.EndSweep();                     // window 2 is gone
    EXPECT_TRUE(asked.AskFromEvent(2));
    asked.Forget(1);  // hidden, renamed or created anew
    EXPECT_TRUE(asked.AskFromEvent(1));
}

TEST(RelookSchedule, EachDelayOnceAcrossTheTickWrap_ReplacedOrRemovedWindowsNotTwice)
{
    TRelookSchedule relooks;
    const std::uint32_t created = 0xFFFFFFF0u;  // 16 ms before the tick count wraps
    relooks.Add(7, created - 100);
    relooks.Add(7, created);  // created again: its looks start over
    relooks.Add(8, created);
    relooks.Remove(8);
    const auto& delays = TRelookSchedule::Delays();
    EXPECT_EQ(relooks.WaitFrom(created), static_cast<long>(delays[0]));
    EXPECT_TRUE(relooks.TakeDue(created + delays[0] - 1).empty());
    for (std::uint32_t delay : delays)
        EXPECT_EQ(relooks.TakeDue(created + delay), std::vector<TWindowKey>{7});
    EXPECT_EQ(relooks.WaitFrom(created), -1);
    for (TWindowKey w = 0; w <= TRelookSchedule::MaxWaiting; ++w)
        relooks.Add(w, 0);
    const auto due = relooks.TakeDue(delays[0]);
    ASSERT_EQ(due.size(), TRelookSchedule::MaxWaiting);
    EXPECT_EQ(due.front(), 1u);  // the oldest made room
}
