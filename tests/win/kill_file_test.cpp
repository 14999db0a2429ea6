#include <gtest/gtest.h>

#include "forms/ihmAppList.h"
#include "framework/AnsiCodePage.h"
#include "framework/Files.h"
#include "framework/Locale.h"
#include "message_box_watcher.h"
#include "model/unitProcessKillFile.h"
#include "system_fixture.h"

#include <utility>

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

// The test process runs on the machine's code page, Windows-1252 under the
// test session: a list the previous version wrote reads and saves the same.
TEST_F(KillListFileTest, CodePageFile_ReadAsUtf8AndSavedBackByteForByte)
{
    ASSERT_EQ(GetACP(), 1252u);
    const std::string old = "Caf\xE9 Offre\r\nPrix 5\x80\r\n";
    WriteRaw(path, old);
    ASSERT_TRUE(LoadKillList(list, nullptr));
    EXPECT_EQ(list.Entries(), (std::vector<std::string>{"Caf\xC3\xA9 Offre", "Prix 5\xE2\x82\xAC"}));
    ASSERT_TRUE(SaveKillList(list));
    EXPECT_EQ(ReadAll(path), old);
}

TEST_F(KillListFileTest, TitleOutsideTheCodePage_SavedAsUtf8WithMarkAndReadBack)
{
    ASSERT_TRUE(AddToKillList(list, "\xE5\xB9\xBF\xE5\x91\x8A", nullptr));  // two CJK characters
    ASSERT_TRUE(AddToKillList(list, "Caf\xC3\xA9", nullptr));
    const std::string saved = ReadAll(path);
    EXPECT_EQ(saved.substr(0, 3), "\xEF\xBB\xBF");
    TWindowList again{LocaleCompareText};
    ASSERT_TRUE(LoadKillList(again, nullptr));
    EXPECT_EQ(again.Entries(), list.Entries());
}

TEST(SystemAnsiCodePage, BestFitAndDefaultCharacter_NotExact)
{
    const TSystemAnsiCodePage page(1252);
    std::string bytes;
    EXPECT_FALSE(page.FromUtf8Exactly("\xD0\x9D", bytes));  // Cyrillic: the default character
    EXPECT_FALSE(page.FromUtf8Exactly("\xC4\x80", bytes));  // A with macron: best fit would give "A"
    EXPECT_TRUE(page.FromUtf8Exactly("\xE2\x82\xAC", bytes));
    EXPECT_EQ(bytes, "\x80");
    const TSystemAnsiCodePage russian(1251);
    EXPECT_EQ(russian.ToUtf8("\xCD\xEE"), "\xD0\x9D\xD0\xBE");
}

TEST(LocaleCompareText, UnicodeCaseIgnoredButEveryCharacterCounts)
{
    // Cyrillic in two letter cases, a tick and a cross, two different CJK words.
    EXPECT_EQ(LocaleCompareText("\xD0\x9D\xD0\xBE\xD0\xB2\xD0\xBE\xD1\x81\xD1\x82\xD0\xB8",
                                "\xD0\x9D\xD0\x9E\xD0\x92\xD0\x9E\xD0\xA1\xD0\xA2\xD0\x98"), 0);
    EXPECT_NE(LocaleCompareText("Angebot \xE2\x9C\x93", "Angebot \xE2\x9C\x97"), 0);
    EXPECT_NE(LocaleCompareText("\xE5\xB9\xBF\xE5\x91\x8A", "\xE9\x87\x8D\xE8\xA6\x81"), 0);
}

// The popup rules' file through the main form: read at its creation, a line
// it cannot read told once and kept on its line, the hits written at the end.
namespace {
const char kRulesHeader[] = "\xEF\xBB\xBFOn\tAction\tTitle\tProgram\tClass\tButton\tHits\tLastHit\r\n";

class PopupRulesFileTest : public SystemTest {
protected:
    void SetUp() override
    {
        path = ExecutableDirectory() + "SkarnVale.rules";
        WriteRaw(path, std::string(kRulesHeader) + "on\tclose\tAd*\t\t\t\t2\t2026-12-01 10:00:00\r\n" +
                           "on\tbogus\tNews\t\t\t\t0\t\r\n" + "off\tpress\tUpdate*\tsetup.exe\t\tLater\r\n");
        SystemTest::SetUp();
    }
    void TearDown() override
    {
        SystemTest::TearDown();
        DeleteFileA(path.c_str());
    }
    TMessageBoxWatcher watcher;  // made before the windows: the report comes while they are
    std::string path;
};
}  // namespace

TEST_F(PopupRulesFileTest, ReadAtStart_UnreadableLineToldOnceAndKept_HitsWrittenAtTheEnd)
{
    EXPECT_TRUE(PumpUntil([&] { return !watcher.Seen().empty(); }, 5000));
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_NE(watcher.Seen()[0].text.find("(lines 3)"), std::string::npos) << watcher.Seen()[0].text;
    ASSERT_EQ(ihmMain->PopupRules.Items().size(), 2u);
    const TPopupRule& ads = std::as_const(ihmMain->PopupRules).Items()[0];
    EXPECT_EQ(ads.Hits, 2);
    ihmMain->PopupRules.RecordHit(ads.Id, "2026-12-10 09:30:00");
    windows.reset();
    EXPECT_EQ(ReadAll(path), std::string(kRulesHeader) + "on\tclose\tAd*\t\t\t\t3\t2026-12-10 09:30:00\r\n" +
                                 "on\tbogus\tNews\t\t\t\t0\t\r\n" + "off\tpress\tUpdate*\tsetup.exe\t\tLater\t0\t\r\n");
}
