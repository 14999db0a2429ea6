#include <gtest/gtest.h>

#include "forms/ihmAppList.h"
#include "framework/Files.h"
#include "framework/Locale.h"
#include "message_box_watcher.h"
#include "model/unitProcessKillFile.h"
#include "system_fixture.h"

namespace {
std::string ReadAll(const std::string& path)
{
    std::string bytes;
    ReadFileBytes(path, bytes);
    return bytes;
}

void WriteRaw(const std::string& path, const std::string& bytes)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

std::vector<std::string> Lower(const TihmAppList& dialog)
{
    std::vector<std::string> items;
    for (int i = 0; i < dialog.zdsSelectedProcess.Count(); ++i)
        items.push_back(dialog.zdsSelectedProcess.Items(i));
    return items;
}

class KillListFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = GetKillListFileName();
        DeleteFileA(path.c_str());
        RemoveDirectoryA((path + ".new").c_str());
    }
    void TearDown() override
    {
        DeleteFileA(path.c_str());
        RemoveDirectoryA((path + ".new").c_str());
    }
    std::string path;
    TihmAppList dialog;
    TWindowList list{LocaleCompareText};
};
}  // namespace

TEST_F(KillListFileTest, FileSitsBesideTheExecutable)
{
    EXPECT_EQ(path, ExecutableDirectory() + "SkarnVale.txt");
}

TEST_F(KillListFileTest, MissingFile_ListAndDialogUntouched)
{
    LoadKillList(list, &dialog);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(dialog.zdsNumber.Text(), "000");
}

TEST_F(KillListFileTest, Load_FillsDialogInListOrderWithPlainCount)
{
    WriteRaw(path, "Foo\r\nfoo\r\nBar\r\n");
    LoadKillList(list, &dialog);
    EXPECT_EQ(Lower(dialog), (std::vector<std::string>{"Bar", "Foo"}));
    EXPECT_EQ(dialog.zdsNumber.Text(), "2");
    SaveKillList(list);
    EXPECT_EQ(ReadAll(path), "Bar\r\nFoo\r\n");
}

TEST_F(KillListFileTest, EmptyListIsSavedAsAnEmptyFile)
{
    SaveKillList(list);
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(ReadAll(path), "");
}

TEST_F(KillListFileTest, Add_AppendsToDialogAndSaves_PresentTitleRewritesNothing)
{
    WriteRaw(path, "Zebra\r\n");
    LoadKillList(list, &dialog);
    AddToKillList(list, "Apple", &dialog);
    EXPECT_EQ(Lower(dialog), (std::vector<std::string>{"Zebra", "Apple"}));  // appended, not sorted
    EXPECT_EQ(dialog.zdsNumber.Text(), "2");
    EXPECT_EQ(ReadAll(path), "Apple\r\nZebra\r\n");

    WriteRaw(path, "changed outside\r\n");
    AddToKillList(list, "APPLE", &dialog);
    EXPECT_EQ(ReadAll(path), "changed outside\r\n");
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(dialog.zdsSelectedProcess.Count(), 2);
}

TEST_F(KillListFileTest, Remove_TakesEntryFromListAndFirstExactDialogItem_FileKeepsItUntilNextSave)
{
    WriteRaw(path, "One\r\nTwo\r\n");
    LoadKillList(list, &dialog);
    RemoveFromKillList(list, "one", &dialog);  // the list ignores case, the dialog does not
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(Lower(dialog), (std::vector<std::string>{"One", "Two"}));
    RemoveFromKillList(list, "Two", &dialog);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(Lower(dialog), (std::vector<std::string>{"One"}));
    EXPECT_EQ(dialog.zdsNumber.Text(), "0");
    EXPECT_EQ(ReadAll(path), "One\r\nTwo\r\n");
}

TEST_F(KillListFileTest, WorksWithoutADialog)
{
    AddToKillList(list, "Alone", nullptr);
    RemoveFromKillList(list, "Alone", nullptr);
    LoadKillList(list, nullptr);
    EXPECT_EQ(list.Count(), 1);
}

TEST_F(KillListFileTest, FailedSave_FailsAndKeepsThePreviousFileWhole)
{
    WriteRaw(path, "Old\r\n");
    // A directory where the new file has to be written makes the write fail.
    ASSERT_TRUE(CreateDirectoryA((path + ".new").c_str(), nullptr));
    list.Add("New");
    EXPECT_FALSE(SaveKillList(list));
    EXPECT_FALSE(AddToKillList(list, "Newer", &dialog));
    EXPECT_EQ(ReadAll(path), "Old\r\n");
}

namespace {
HANDLE LockedKillListFile(const std::string& path)
{
    WriteRaw(path, "Locked\r\n");
    return CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}
}  // namespace

TEST_F(KillListFileTest, UnreadableFile_FailsAndStillFillsTheDialog)
{
    HANDLE lock = LockedKillListFile(path);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    list.Add("Kept");
    EXPECT_FALSE(LoadKillList(list, &dialog));
    CloseHandle(lock);
    EXPECT_EQ(Lower(dialog), (std::vector<std::string>{"Kept"}));
    EXPECT_EQ(dialog.zdsNumber.Text(), "1");
}

// The main form reads the list as the program starts and writes it back at
// exit; a failure of either opens the error box.
TEST_F(SystemTest, KillListFile_UnreadableAtStartAndUnwritableAtExit_ShowErrorBoxes)
{
    const std::string path = GetKillListFileName();
    windows.reset();
    HANDLE lock = LockedKillListFile(path);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    TMessageBoxWatcher watcher;
    windows = std::make_unique<TSystemWindows>();
    CloseHandle(lock);
    ASSERT_TRUE(PumpUntil([&] { return watcher.Seen().size() == 1; }));
    EXPECT_EQ(watcher.Seen()[0].text, "Read error on file '" + path + "'");

    ASSERT_TRUE(CreateDirectoryA((path + ".new").c_str(), nullptr));
    windows.reset();
    RemoveDirectoryA((path + ".new").c_str());
    ASSERT_TRUE(PumpUntil([&] { return watcher.Seen().size() == 2; }));
    EXPECT_EQ(watcher.Seen()[1].caption, "Erreur");
    EXPECT_EQ(watcher.Seen()[1].text, "Write error on file '" + path + "'");
    EXPECT_EQ(ReadAll(path), "Locked\r\n");
}
