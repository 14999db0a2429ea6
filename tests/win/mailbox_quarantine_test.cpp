// The "Deleted SPAM" window on the real system windows: records and copies
// written into the quarantine folder of the data folder, read back through
// the window's grid and acted on through its buttons; and the grid menu's
// item that puts a message's sender on the allow list.
#include "test_mailbox_window.h"

#include <windows.h>

#include "app/unitLanguage.h"
#include "framework/Files.h"
#include "framework/FolderFiles.h"
#include "framework/WideText.h"
#include "mail/QuarantineName.h"
#include "mail/QuarantineRecord.h"

namespace {
const char kNewestBase[] = "20261202-100000_Home_b2";
const char kOlderBase[] = "20261201-090000_Work_a1";
const char kDamagedBase[] = "20261130-080000_Home_c3";
// A copy whose record a crash lost: the record is not flushed, the copy is.
const char kLoneCopyBase[] = "20261129-070000_Home_d4";
// Bytes a text conversion would change: a lone LF, a dot-started line, a NUL, Latin-1.
const char kOlderCopyBytes[] = "From: Deals <deals@spam.example>\r\nSubject: Cheap watches\r\n\r\n"
                               "..dotted\nlone lf\r\n\0\xE9nd\r\n";
const std::string kOlderCopy(kOlderCopyBytes, sizeof kOlderCopyBytes - 1);

class MailboxQuarantine : public MailboxWindowTest {
protected:
    void SetUp() override
    {
        MailboxWindowTest::SetUp();
        folder_ = TihmQuarantine::Folder();
        CreateDirectoryW(Widen(folder_).c_str(), nullptr);
        EmptyFolder();
    }
    void TearDown() override
    {
        EmptyFolder();
        RemoveDirectoryW(Widen(folder_).c_str());
        if (!savedAs_.empty())
            DeleteFileW(Widen(savedAs_).c_str());
        MailboxWindowTest::TearDown();
    }

    void EmptyFolder()
    {
        for (const TFolderFile& file : ListFolderFiles(folder_, ""))
            DeleteFileW(Widen(folder_ + file.Name).c_str());
    }

    void Write(const std::string& name, const std::string& bytes)
    {
        ASSERT_TRUE(WriteFileReplacing(folder_ + name, bytes)) << name;
    }

    // Two copies with their records, and a record that is no record.
    void WriteThreeRecords()
    {
        TQuarantineRecord older;
        older.Deleted = "2026-12-01 09:00:00";
        older.Mailbox = "Work";
        older.Sender = "Deals <deals@spam.example>";
        older.Subject = "Cheap watches";
        older.Reason = {TSpamListKind::Subjects, "watches"};
        // A record that names another file: the view must not follow it.
        older.Copy = "20261202-100000_Home_b2.eml";
        older.Size = static_cast<long long>(kOlderCopy.size());
        Write(QuarantineRecordName(kOlderBase), FormatQuarantineRecord(older));
        Write(QuarantineCopyName(kOlderBase), kOlderCopy);

        TQuarantineRecord newest;
        newest.Deleted = "2026-12-02 10:00:00";
        newest.Mailbox = "Home";
        newest.Sender = "news@letters.example";
        newest.Subject = "Weekly news";
        newest.Reason = {TSpamListKind::Addresses, "letters.example"};
        newest.Copy = QuarantineCopyName(kNewestBase);
        Write(QuarantineRecordName(kNewestBase), FormatQuarantineRecord(newest));
        Write(QuarantineCopyName(kNewestBase), "From: news@letters.example\r\n\r\nnews\r\n");

        Write(QuarantineRecordName(kDamagedBase), std::string("garbage\x01line\r\nSender: x@y.example\r\n"));
    }

    static TihmQuarantine& View() { return ihmMailbox->quarantine; }

    static std::vector<std::string> Row(int row)
    {
        std::vector<std::string> cells;
        for (int column = 0; column < TihmQuarantine::ColumnCount; ++column)
            cells.push_back(View().zdsCopies.Cell(column, row));
        return cells;
    }

    static void Click(TButton& button) { SendMessageW(button.Handle(), BM_CLICK, 0, 0); }

    std::string folder_;
    std::string savedAs_;
};

int CountLines(const std::string& text, const std::string& line)
{
    int count = 0;
    for (const std::string& each : SplitLines(text))
        count += each == line;
    return count;
}
}  // namespace

TEST_F(MailboxQuarantine, NoCopyYet_ShowsAnEmptyListWithItsHeadingsAndTheActionsOff)
{
    ihmMailbox->mnpDeletedSpamClick();
    ASSERT_TRUE(PumpUntil([] { return View().Visible(); }));
    EXPECT_EQ(View().zdsCopies.RowCount(), 0);
    EXPECT_FALSE(View().btnOpen.Enabled());
    EXPECT_FALSE(View().btnSaveAs.Enabled());
    EXPECT_FALSE(View().btnNotSpam.Enabled());
    const std::vector<int> every = {0, 1, 2, 3, 4};
    EXPECT_EQ(HeadingsShownWithin(View().zdsCopies.Handle(), every), every);
}

TEST_F(MailboxQuarantine, NoFolderAtAll_ShowsAnEmptyList)
{
    RemoveDirectoryW(Widen(folder_).c_str());
    ihmMailbox->mnpDeletedSpamClick();
    ASSERT_TRUE(PumpUntil([] { return View().Visible(); }));
    EXPECT_EQ(View().zdsCopies.RowCount(), 0);
}

TEST_F(MailboxQuarantine, Records_ListedNewestFirstWithTheirFieldsAndTheDamagedOneLast)
{
    WriteThreeRecords();
    Write(QuarantineCopyName(kLoneCopyBase), "From: lone@spam.example\r\n\r\nbody\r\n");
    ihmMailbox->mnpDeletedSpamClick();
    ASSERT_TRUE(PumpUntil([] { return View().Visible(); }));
    ASSERT_EQ(View().zdsCopies.RowCount(), 4);
    EXPECT_EQ(Row(0), (std::vector<std::string>{"2026-12-02 10:00:00", "Home", "news@letters.example", "Weekly news",
                                                 "SPAM senders list: letters.example"}));
    EXPECT_EQ(Row(1), (std::vector<std::string>{"2026-12-01 09:00:00", "Work", "Deals <deals@spam.example>",
                                                 "Cheap watches", "SPAM subjects list: watches"}));
    EXPECT_EQ(Row(2), (std::vector<std::string>{"2026-11-30 08:00:00", "", "", "garbage line", "(unreadable record)"}));
    EXPECT_EQ(Row(3), (std::vector<std::string>{"2026-11-29 07:00:00", "", "", "", "(unreadable record)"}));
    EXPECT_EQ(View().zdsCopies.Selected(), 0);
    EXPECT_TRUE(View().btnOpen.Enabled());
}

TEST_F(MailboxQuarantine, DeletionNotConfirmed_SaidInTheDeletedColumnInTheInterfacesLanguage)
{
    TQuarantineRecord record;
    record.Deleted = "2026-12-03 10:00:00";
    record.Confirmed = false;
    record.Mailbox = "Home";
    record.Sender = "deals@spam.example";
    record.Subject = "Still on the server";
    record.Reason = {TSpamListKind::Addresses, "spam.example"};
    const std::string base = "20261203-100000_Home_0123456789abcdef";
    Write(QuarantineRecordName(base), FormatQuarantineRecord(record));
    Write(QuarantineCopyName(base), "From: deals@spam.example\r\n\r\nx\r\n");
    WriteThreeRecords();
    ihmMailbox->mnpDeletedSpamClick();
    ASSERT_TRUE(PumpUntil([] { return View().Visible(); }));
    ASSERT_EQ(View().zdsCopies.RowCount(), 4);
    EXPECT_EQ(Row(0), (std::vector<std::string>{"(not confirmed)", "Home", "deals@spam.example", "Still on the server",
                                                 "SPAM senders list: spam.example"}));
    EXPECT_EQ(Row(1)[0], "2026-12-02 10:00:00");
    ApplyFrenchTexts();
    EXPECT_EQ(View().zdsCopies.Cell(0, 0), "(non confirm\xC3\xA9)");
    ApplyEnglishTexts();
}

TEST_F(MailboxQuarantine, Open_TakesTheCopyOfTheRecordFilesOwnNameNotTheOneItNames)
{
    WriteThreeRecords();
    ihmMailbox->mnpDeletedSpamClick();
    std::vector<std::string> opened;
    View().OpenCopy = [&opened](const std::string& path) {
        opened.push_back(path);
        return true;
    };
    View().zdsCopies.SetSelected(1);
    Click(View().btnOpen);
    EXPECT_EQ(opened, std::vector<std::string>{folder_ + QuarantineCopyName(kOlderBase)});
}

TEST_F(MailboxQuarantine, SaveAs_WritesTheCopysBytesUnchanged)
{
    WriteThreeRecords();
    ihmMailbox->mnpDeletedSpamClick();
    savedAs_ = ExecutableDirectory() + "saved-copy-" + std::to_string(GetCurrentProcessId()) + ".eml";
    std::string proposed;
    View().AskSavePath = [this, &proposed](std::string& path) {
        proposed = path;
        path = savedAs_;
        return true;
    };
    View().zdsCopies.SetSelected(1);
    Click(View().btnSaveAs);
    EXPECT_EQ(proposed, QuarantineCopyName(kOlderBase));
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(savedAs_, bytes));
    EXPECT_EQ(bytes, kOlderCopy);
}

TEST_F(MailboxQuarantine, SaveAs_Cancelled_WritesNothing)
{
    WriteThreeRecords();
    ihmMailbox->mnpDeletedSpamClick();
    savedAs_ = ExecutableDirectory() + "unsaved-copy-" + std::to_string(GetCurrentProcessId()) + ".eml";
    View().AskSavePath = [](std::string&) { return false; };
    Click(View().btnSaveAs);
    EXPECT_FALSE(FileExists(savedAs_));
}

TEST_F(MailboxQuarantine, NotSpam_PutsTheSendersAddressOnTheAllowListOnce)
{
    TMessageBoxWatcher watcher;
    windows->Settings().SpamAllowed = "friend@example.org";
    WriteThreeRecords();
    ihmMailbox->mnpDeletedSpamClick();
    View().zdsCopies.SetSelected(1);
    View().zdsCopiesClick();
    ASSERT_TRUE(View().btnNotSpam.Enabled());
    Click(View().btnNotSpam);
    EXPECT_EQ(windows->Settings().SpamAllowed, "friend@example.org\r\ndeals@spam.example");

    Click(View().btnNotSpam);
    ASSERT_TRUE(PumpUntil([&] { return !watcher.Seen().empty(); }));
    EXPECT_EQ(watcher.Seen()[0].text, "This sender is already on the list of senders never SPAM");
    EXPECT_EQ(CountLines(windows->Settings().SpamAllowed, "deals@spam.example"), 1);
}

TEST_F(MailboxQuarantine, NotSpam_OnADamagedRecordWithoutSender_IsOff)
{
    WriteThreeRecords();
    ihmMailbox->mnpDeletedSpamClick();
    View().zdsCopies.SetSelected(2);
    View().zdsCopiesClick();
    EXPECT_FALSE(View().btnNotSpam.Enabled());
    View().btnNotSpamClick();
    EXPECT_EQ(windows->Settings().SpamAllowed, "");
}

TEST_F(MailboxQuarantine, GridMenu_NeverSpam_AddsTheSelectedSendersAddress)
{
    AddEmail("home", 1, " a@example.org", " First");
    AddEmail("home", 2, " Bob <bob@news.example>", " Second");
    ihmMailbox->FillMailGrid();
    Grid().SetSelected(1);
    ihmMailbox->mnpGridPopup();
    ASSERT_TRUE(ihmMailbox->mnpNeverSpam().Enabled());
    ihmMailbox->mnpNeverSpamClick();
    EXPECT_EQ(windows->Settings().SpamAllowed, "bob@news.example");
}

TEST_F(MailboxQuarantine, GridMenu_NoEmail_NeverSpamOffDeletedSpamOn)
{
    ihmMailbox->FillMailGrid();
    ihmMailbox->mnpGridPopup();
    EXPECT_FALSE(ihmMailbox->mnpNeverSpam().Enabled());
    EXPECT_TRUE(ihmMailbox->mnpDeletedSpam().Enabled());
}

TEST_F(MailboxQuarantine, French_TheWindowsTextsFollowTheLanguage)
{
    ApplyFrenchTexts();
    EXPECT_EQ(View().Caption(), "SPAM effac\xC3\xA9s");
    EXPECT_EQ(View().btnNotSpam.Text(), "Pas du SPAM");
    EXPECT_EQ(ihmMailbox->mnpNeverSpam().Caption, "Jamais de SPAM de cet exp\xC3\xA9" "diteur");
    ApplyEnglishTexts();
    EXPECT_EQ(View().Caption(), "Deleted SPAM");
}

// Copies written together and flushed together: a name already taken is
// refused without touching the file there, the last one can be taken back,
// and the others are on the disk with their bytes.
TEST_F(MailboxQuarantine, FlushedFiles_RefuseATakenNameDropTheLastAndKeepTheRest)
{
    const std::string first = folder_ + "one.eml", second = folder_ + "two.eml";
    Write("taken.eml", "earlier");
    TFlushedFiles files;
    ASSERT_TRUE(files.Write(first, kOlderCopy));
    EXPECT_FALSE(files.Write(folder_ + "taken.eml", "later"));
    ASSERT_TRUE(files.Write(second, "dropped"));
    files.DropLast();
    EXPECT_FALSE(FileExists(second));
    EXPECT_EQ(files.Pending(), 1u);
    EXPECT_TRUE(files.Flush().empty());
    EXPECT_EQ(files.Pending(), 0u);
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(first, bytes));
    EXPECT_EQ(bytes, kOlderCopy);
    ASSERT_TRUE(ReadFileBytes(folder_ + "taken.eml", bytes));
    EXPECT_EQ(bytes, "earlier");
}
