// The spam list files beside the executable, read and written byte for byte.
#include <gtest/gtest.h>

#include "framework/Files.h"
#include "message_box_watcher.h"
#include "system_fixture.h"

namespace {
std::string AddressFile() { return ExecutableDirectory() + "skarnvale.mail"; }
std::string SubjectFile() { return ExecutableDirectory() + "skarnvale.sub"; }

void Write(const std::string& path, const std::string& bytes) { ASSERT_TRUE(WriteFileReplacing(path, bytes)); }

std::string Read(const std::string& path)
{
    std::string bytes;
    ReadFileBytes(path, bytes);
    return bytes;
}

class SpamListsTest : public SystemTest {
protected:
    void SetUp() override
    {
        Remove();
        SystemTest::SetUp();
    }
    void TearDown() override
    {
        SystemTest::TearDown();
        Remove();
    }
    static void Remove()
    {
        DeleteFileA(AddressFile().c_str());
        DeleteFileA(SubjectFile().c_str());
        DeleteFileA((ExecutableDirectory() + "skarnvale.allow").c_str());
    }
};
}  // namespace

TEST_F(SpamListsTest, Load_SortsDropsCaseDuplicatesAndEmptyLinesThenSavesCrLf)
{
    Write(AddressFile(), "Viagra\r\n\r\nviagra\r\nCasino\r\n");
    ihmMain->LoadSettings();
    EXPECT_EQ(ihmOptions->zdsEmail.Text(), "Casino\r\nViagra");
    EXPECT_EQ(ihmOptions->zdsSubject.Text(), "");  // no subject file: an empty list
    ihmMain->SaveSettings();
    EXPECT_EQ(Read(AddressFile()), "Casino\r\nViagra\r\n");
    EXPECT_EQ(Read(SubjectFile()), "\r\n");
}

TEST_F(SpamListsTest, SubjectFileWithoutAddressFile_LoadsSubjectsOnly)
{
    Write(SubjectFile(), "win big\rLottery\x1Aignored\r\n");
    ihmMain->LoadSettings();
    EXPECT_EQ(ihmOptions->zdsSubject.Text(), "Lottery\r\nwin big");
    EXPECT_EQ(ihmOptions->zdsEmail.Text(), "");
}

TEST_F(SpamListsTest, Save_WritesTheFieldsUnchangedAndLeavesNoTemporaryFile)
{
    ihmOptions->SetSpamAddresses("b@x\r\n\r\nA@y");
    ihmOptions->SetSpamSubjects("Promo %s");
    windows->Settings().SpamAllowed = "news@example.com\r\nexample.org";
    ihmMain->SaveSettings();
    EXPECT_EQ(Read(AddressFile()), "b@x\r\n\r\nA@y\r\n");
    EXPECT_EQ(Read(SubjectFile()), "Promo %s\r\n");
    EXPECT_EQ(Read(ExecutableDirectory() + "skarnvale.allow"), "news@example.com\r\nexample.org\r\n");
    windows->Settings().SpamAllowed.clear();
    ihmMain->LoadSettings();  // read back sorted, as the spam lists are
    EXPECT_EQ(windows->Settings().SpamAllowed, "example.org\r\nnews@example.com");
    int files = 0;
    for (const char* pattern : {"skarnvale.mail*", "skarnvale.sub*", "skarnvale.allow*", "*.tmp"}) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((ExecutableDirectory() + pattern).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            continue;
        do
            ++files;
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    EXPECT_EQ(files, 3);
}

TEST_F(SpamListsTest, UnreadableFile_ShowsReadErrorWithItsPathAndTheFieldStaysEmpty)
{
    Write(AddressFile(), "casino\r\n");
    // Held open without sharing by another program: it cannot be read.
    HANDLE held = CreateFileA(AddressFile().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    TMessageBoxWatcher watcher;
    ihmMain->LoadSettings();
    CloseHandle(held);
    EXPECT_EQ(ihmOptions->zdsEmail.Text(), "");
    bool seen = false;
    for (const TSeenBox& box : watcher.Seen())
        seen = seen || box.text == "Read error on file '" + AddressFile() + "'";
    EXPECT_TRUE(seen);
}

TEST_F(SpamListsTest, AllowFile_ShowsInItsOwnFieldAndWhatIsTypedThereIsSaved)
{
    const std::string allowFile = ExecutableDirectory() + "skarnvale.allow";
    Write(allowFile, "news.example\r\nboss@work.example\r\n");
    ihmMain->LoadSettings();
    EXPECT_EQ(ihmOptions->zdsAllowed.Text(), "boss@work.example\r\nnews.example");
    EXPECT_EQ(ihmOptions->zdsEmail.Text(), "");
    // A multi-line edit says nothing of a text set by a program: the change is the user's.
    ihmOptions->zdsAllowed.SetText("letters.example");
    ihmOptions->zdsAllowed.OnChange();
    EXPECT_EQ(windows->Settings().SpamAllowed, "letters.example");
    ihmMain->SaveSettings();
    EXPECT_EQ(Read(allowFile), "letters.example\r\n");
}

TEST_F(SpamListsTest, KeepDaysField_ShowsThirtyAndWhatIsTypedBecomesTheSetting)
{
    ihmMain->LoadSettings();
    EXPECT_EQ(ihmOptions->zdsSpamKeepDays.Text(), "30");
    EXPECT_EQ(ihmOptions->lblSpamKeepDays.Text(), "Keep deleted SPAM for N days");
    ihmOptions->zdsSpamKeepDays.SetText("0");
    EXPECT_EQ(windows->Settings().SpamKeepDays, 0);
    ihmOptions->SetFrench(true);
    EXPECT_EQ(ihmOptions->lblSpamKeepDays.Text(), "Conserver les SPAM effac\xC3\xA9s N jours");
    EXPECT_EQ(ihmOptions->lblAllowed.Text(), "Jamais SPAM : exp\xC3\xA9" "diteurs et domaines");
}
