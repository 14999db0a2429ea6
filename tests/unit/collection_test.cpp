#include <gtest/gtest.h>

#include "model/ClassesPerso.h"
#include "model/unitProcessEmail.h"

namespace {
std::unique_ptr<TMyItem> Item(const std::string& name) { return std::make_unique<TMyItem>(name); }

std::vector<std::string> Names(const TMyCollection& c)
{
    std::vector<std::string> names;
    for (int i = 0; i < c.Count(); ++i)
        names.push_back(c.Items(i)->Name);
    return names;
}

// Counts destructions so ownership can be observed.
struct TCountedItem : TMyItem {
    TCountedItem(const std::string& name, std::vector<std::string>& log) : TMyItem(name), log_(log) {}
    ~TCountedItem() override { log_.push_back(Name); }
    std::vector<std::string>& log_;
};
}  // namespace

TEST(MyCollection, Unsorted_KeepsInsertionOrderAndDuplicates)
{
    TMyCollection c;
    c.Add(Item("b"));
    c.Add(Item("a"));
    c.Add(Item("b"));
    EXPECT_EQ(Names(c), (std::vector<std::string>{"b", "a", "b"}));
}

TEST(MyCollection, SortedIgnore_DropsCaseInsensitiveDuplicateAndLeavesItWithCaller)
{
    TMyCollection c;
    c.SetSorted(true);
    EXPECT_TRUE(c.Add(Item("Foo")));
    auto duplicate = Item("foo");
    EXPECT_FALSE(c.Add(std::move(duplicate)));
    ASSERT_NE(duplicate, nullptr);
    EXPECT_EQ(duplicate->Name, "foo");
    EXPECT_TRUE(c.Add(Item("bar")));
    EXPECT_EQ(Names(c), (std::vector<std::string>{"bar", "Foo"}));
}

TEST(MyCollection, SortedAccept_StoresEqualKeysNextToEachOther)
{
    TMyCollection c;
    c.SetDuplicates(TDuplicates::Accept);
    c.SetSorted(true);
    for (const char* name : {"m", "z", "a", "M", "b"})
        c.Add(Item(name));
    ASSERT_EQ(c.Count(), 5);
    EXPECT_EQ(c.Items(0)->Name, "a");
    EXPECT_EQ(c.Items(1)->Name, "b");
    EXPECT_EQ(AsciiCompareText(c.Items(2)->Name, "m"), 0);
    EXPECT_EQ(AsciiCompareText(c.Items(3)->Name, "m"), 0);
    EXPECT_EQ(c.Items(4)->Name, "z");
}

TEST(MyCollection, KeyIsNameAtAddTime_LaterRenameDoesNotMoveIt)
{
    TMyCollection c;
    c.SetSorted(true);
    c.Add(Item("b"));
    c.Items(0)->Name = "zzz";
    c.Add(Item("c"));
    EXPECT_EQ(c.Keys(0), "b");
    EXPECT_EQ(c.Items(1)->Name, "c");
}

TEST(MyCollection, SwitchingSortedOn_SortsAtOnceWithThePassedOrder)
{
    // A reversed order proves the collection uses the comparison it was given.
    TMyCollection c([](const std::string& a, const std::string& b) { return -AsciiCompareText(a, b); });
    for (const char* name : {"b", "c", "a"})
        c.Add(Item(name));
    c.SetSorted(true);
    EXPECT_EQ(Names(c), (std::vector<std::string>{"c", "b", "a"}));
}

TEST(MyCollection, ItemsOutOfRange_RaisesIndexOutOfBounds)
{
    TMyCollection c;
    c.Add(Item("only"));
    try {
        c.Items(1);
        FAIL() << "no error raised";
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "Index out of bounds 1");
    }
    EXPECT_THROW(c.Items(-1), EListError);
    EXPECT_THROW(c.Delete(5), EListError);
}

TEST(MyCollection, Clear_DestroysItemsInOrderAndSwitchesSortingOff)
{
    std::vector<std::string> destroyed;
    TMyCollection c;
    c.SetSorted(true);
    c.Add(std::make_unique<TCountedItem>("b", destroyed));
    c.Add(std::make_unique<TCountedItem>("a", destroyed));
    c.Clear();
    EXPECT_EQ(c.Count(), 0);
    EXPECT_FALSE(c.Sorted());
    EXPECT_EQ(destroyed, (std::vector<std::string>{"a", "b"}));
    c.Add(Item("z"));
    c.Add(Item("y"));
    EXPECT_EQ(Names(c), (std::vector<std::string>{"z", "y"}));
}

TEST(MyCollection, Delete_DetachesWithoutDestroying)
{
    std::vector<std::string> destroyed;
    auto mailbox = std::make_unique<TMailBox>();
    TMailBox* raw = mailbox.get();
    {
        TMyCollection mailboxes;
        mailboxes.Add(std::move(mailbox));
        mailboxes.Add(std::make_unique<TCountedItem>("other", destroyed));
        std::unique_ptr<TMyItem> detached = mailboxes.Delete(0);
        EXPECT_EQ(detached.get(), raw);
        EXPECT_EQ(mailboxes.Count(), 1);
        raw->MailboxName = "still usable";
        EXPECT_EQ(raw->MailboxName, "still usable");
    }
    EXPECT_EQ(destroyed, (std::vector<std::string>{"other"}));
}
