#include "test_mailbox_window.h"

#include <atomic>
#include <thread>

#include "framework/Files.h"
#include "framework/InputQuery.h"
#include "app/unitGlobal.h"

namespace {
using MailboxMenu = MailboxWindowTest;

struct TMenuState {
    bool deleteMessage, deleteSpam, addSubject, addSubjectEdit, addExp, viewHeader, reload, emailProgram;
    bool operator==(const TMenuState& o) const
    {
        return deleteMessage == o.deleteMessage && deleteSpam == o.deleteSpam && addSubject == o.addSubject &&
               addSubjectEdit == o.addSubjectEdit && addExp == o.addExp && viewHeader == o.viewHeader &&
               reload == o.reload && emailProgram == o.emailProgram;
    }
};

void PrintTo(const TMenuState& s, std::ostream* os)
{
    *os << s.deleteMessage << s.deleteSpam << s.addSubject << s.addSubjectEdit << s.addExp << s.viewHeader
        << s.reload << s.emailProgram;
}

TMenuState MenuAfterPopup()
{
    ihmMailbox->mnpGridPopup();
    TihmMailbox& m = *ihmMailbox;
    return {m.mnpDeleteMessage().Enabled(), m.mnpDeleteSPAM().Enabled(),  m.mnpAddSubject().Enabled(),
            m.mnpAddSubjectEdit().Enabled(), m.mnpAddExp().Enabled(),     m.mnpViewHeader().Enabled(),
            m.mnpReload().Enabled(),         m.mnpEmailProgram().Enabled()};
}

// Plays the user of the subject edition dialog from another thread, while
// the window's thread runs the dialog's modal loop.
class TQueryAnswer {
public:
    // `newText` null: cancel; otherwise type it and press OK.
    TQueryAnswer(const char* caption, const char* newText)
        : thread_([this, caption, newText] { Answer(caption, newText); })
    {
    }
    ~TQueryAnswer() { thread_.join(); }
    std::string Seen() const { return seen_; }
    bool Found() const { return found_; }

private:
    void Answer(const char* caption, const char* newText)
    {
        HWND dialog = nullptr;
        for (DWORD start = GetTickCount(); !dialog && GetTickCount() - start < 5000; Sleep(10))
            dialog = FindWindowA("#32770", caption);
        if (!dialog)
            return;
        HWND edit = FindWindowExA(dialog, nullptr, "Edit", nullptr);
        char text[512] = {};
        GetWindowTextA(edit, text, sizeof text);
        seen_ = text;
        found_ = true;
        if (newText) {
            SetWindowTextA(edit, newText);
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        } else {
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    }

    std::string seen_;
    std::atomic<bool> found_{false};
    std::thread thread_;
};
}  // namespace

TEST_F(MailboxMenu, NoEmail_OffersOnlyViewHeaderReloadAndAnExistingEmailProgram)
{
    ihmMailbox->FillMailGrid();
    ihmOptions->SetEmailProgram(ExecutablePath());
    EXPECT_EQ(MenuAfterPopup(), (TMenuState{false, false, false, false, false, true, true, true}));
    ihmOptions->SetEmailProgram(ExecutableDirectory() + "no-such-mailer.exe");
    EXPECT_EQ(MenuAfterPopup(), (TMenuState{false, false, false, false, false, true, true, false}));
}

TEST_F(MailboxMenu, WithEmails_EnablesEveryAction)
{
    AddEmail("home", 1, " a@example.org", " One");
    ihmMailbox->FillMailGrid();
    ihmOptions->SetEmailProgram(ExecutablePath());
    EXPECT_EQ(MenuAfterPopup(), (TMenuState{true, true, true, true, true, true, true, true}));
}

TEST_F(MailboxMenu, WhileBusy_NoDeleteAddOrReload)
{
    AddEmail("home", 1, " a@example.org", " One");
    ihmMailbox->FillMailGrid();
    ihmOptions->SetEmailProgram("");
    ihmMain->Mail.Busy = true;
    EXPECT_EQ(MenuAfterPopup(), (TMenuState{false, false, false, false, false, true, false, false}));
    ihmMailbox->mnpAddSubjectClick();  // a handler reached anyway changes nothing
    ihmMain->Mail.Busy = false;
    EXPECT_EQ(ihmOptions->zdsSubject.Text(), "");
}

TEST_F(MailboxMenu, Items_AreInMenuOrderWithSeparators)
{
    std::vector<std::string> names;
    for (const auto& item : ihmMailbox->mnpGrid.Items())
        names.push_back(item->IsSeparator() ? "-" : item->Caption);
    EXPECT_EQ(names, (std::vector<std::string>{"Erase this message", "Erase all SPAM messages", "Deleted SPAM...",
                                               "-", "Add this subject to SPAM list",
                                               "Edit and add this subject to SPAM list",
                                               "Add this expeditor to SPAM list", "Never SPAM from this sender", "-",
                                               "View header", "-",
                                               "Reload list", "-", "Start Email program"}));
}

TEST_F(MailboxMenu, AddSubject_NewSubject_AppendsItAsTheLastLine)
{
    ihmOptions->SetSpamSubjects("casino\r\nlottery");
    AddEmail("home", 1, " a@example.org", " Cheap Pills");
    ihmMailbox->FillMailGrid();
    ihmMailbox->mnpAddSubjectClick();
    EXPECT_EQ(ihmOptions->zdsSubject.Lines(), (std::vector<std::string>{"casino", "lottery", " Cheap Pills"}));
}

TEST_F(MailboxMenu, AddSubject_SameSubjectInOtherCase_SaysItIsAlreadyOnTheList)
{
    TMessageBoxWatcher watcher;
    ihmOptions->SetSpamSubjects(" cheap PILLS");
    AddEmail("home", 1, " a@example.org", " Cheap Pills");
    ihmMailbox->FillMailGrid();
    ihmMailbox->mnpAddSubjectClick();
    ASSERT_TRUE(PumpUntil([&] { return !watcher.Seen().empty(); }));
    EXPECT_EQ(watcher.Seen()[0].text, "This subject is already on SPAM list");
    EXPECT_EQ(ihmOptions->zdsSubject.Text(), " cheap PILLS");
}

TEST_F(MailboxMenu, AddSubject_TheSelectedRowsSubjectIsTaken)
{
    AddEmail("home", 1, " a@example.org", " First");
    AddEmail("home", 2, " b@example.org", " Second");
    ihmMailbox->FillMailGrid();
    Grid().SetSelected(1);
    ihmMailbox->mnpAddSubjectClick();
    EXPECT_EQ(ihmOptions->zdsSubject.Lines(), std::vector<std::string>{" Second"});
}

TEST_F(MailboxMenu, AddExpeditor_AlreadyThere_SaysSoAndAddsNothing)
{
    TMessageBoxWatcher watcher;
    ihmOptions->SetSpamAddresses("DEALS@spam.example");
    AddEmail("home", 1, " Spammer <deals@spam.example>", " Offer");
    ihmMailbox->FillMailGrid();
    ihmMailbox->mnpAddExpClick();
    ASSERT_TRUE(PumpUntil([&] { return !watcher.Seen().empty(); }));
    EXPECT_EQ(watcher.Seen()[0].text, "This expeditor is already on SPAM list");
    EXPECT_EQ(ihmOptions->zdsEmail.Text(), "DEALS@spam.example");
}

TEST_F(MailboxMenu, AddExpeditor_FromWithoutAngleBrackets_AddsTheWholeValue)
{
    AddEmail("home", 1, " plain@example.org", " Offer");
    ihmMailbox->FillMailGrid();
    ihmMailbox->mnpAddExpClick();
    EXPECT_EQ(ihmOptions->zdsEmail.Lines(), std::vector<std::string>{" plain@example.org"});
}

TEST_F(MailboxMenu, ExpeditorEntry_TakesTheTextBetweenTheFirstBrackets)
{
    EXPECT_EQ(ExpeditorEntry(" Ann <ann@example.org>"), "ann@example.org");
    EXPECT_EQ(ExpeditorEntry(" Ann <ann@example.org"), "ann@example.org");
    EXPECT_EQ(ExpeditorEntry(" x>y <a@b> <c@d>"), "a@b");
    EXPECT_EQ(ExpeditorEntry(" no brackets"), " no brackets");
    EXPECT_EQ(ExpeditorEntry(""), "");
}

TEST_F(MailboxMenu, EditSubject_Cancelled_AddsNothing)
{
    AddEmail("home", 1, " a@example.org", " Win a prize");
    ihmMailbox->FillMailGrid();
    {
        TQueryAnswer answer("Subject edition", nullptr);
        ihmMailbox->mnpAddSubjectEditClick();
        EXPECT_TRUE(answer.Found());
        EXPECT_EQ(answer.Seen(), " Win a prize");
    }
    EXPECT_EQ(ihmOptions->zdsSubject.Text(), "");
}

TEST_F(MailboxMenu, EditSubject_EditedText_IsAddedAsTyped)
{
    ihmOptions->SetSpamSubjects("casino");
    AddEmail("home", 1, " a@example.org", " Win a prize");
    ihmMailbox->FillMailGrid();
    {
        TQueryAnswer answer("Subject edition", "Win a");
        ihmMailbox->mnpAddSubjectEditClick();
        EXPECT_TRUE(answer.Found());
    }
    EXPECT_EQ(ihmOptions->zdsSubject.Lines(), (std::vector<std::string>{"casino", "Win a"}));
    COLORREF color = 0;
    EXPECT_TRUE(ihmMailbox->zdsGridDrawCell(0, color));
    EXPECT_EQ(color, RGB(255, 0, 0));
}

TEST_F(MailboxMenu, EditSubject_ConfirmedEmpty_AddsAnEmptyLineThatMarksNothing)
{
    ihmOptions->SetSpamSubjects("casino");
    AddEmail("home", 1, " a@example.org", " Win a prize");
    ihmMailbox->FillMailGrid();
    {
        TQueryAnswer answer("Subject edition", "");
        ihmMailbox->mnpAddSubjectEditClick();
        EXPECT_TRUE(answer.Found());
    }
    EXPECT_EQ(ihmOptions->zdsSubject.Lines(), (std::vector<std::string>{"casino", ""}));
    COLORREF color = 0;
    EXPECT_FALSE(ihmMailbox->zdsGridDrawCell(0, color));
}

TEST_F(MailboxMenu, InputQuery_ShowsPromptAndInitialText)
{
    std::string text = "initial";
    std::string prompt;
    std::thread reader([&prompt] {
        HWND dialog = nullptr;
        for (DWORD start = GetTickCount(); !dialog && GetTickCount() - start < 5000; Sleep(10))
            dialog = FindWindowA("#32770", "Caption here");
        if (!dialog)
            return;
        HWND label = FindWindowExA(dialog, nullptr, "Static", nullptr);
        char buffer[128] = {};
        GetWindowTextA(label, buffer, sizeof buffer);
        prompt = buffer;
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    });
    const bool confirmed = InputQuery("Caption here", "Prompt here", text);
    reader.join();
    EXPECT_FALSE(confirmed);
    EXPECT_EQ(text, "initial");
    EXPECT_EQ(prompt, "Prompt here");
}

TEST_F(MailboxMenu, Reload_EmptiesTheGridAndChecksAgain)
{
    AddEmail("home", 1, " a@example.org", " One");
    AddEmail("home", 2, " b@example.org", " Two");
    ihmMailbox->FillMailGrid();
    ihmMailbox->zdsMail.SetText("old log");
    ihmMailbox->mnpReloadClick();
    EXPECT_TRUE(PumpUntil([] { return !ihmMain->Mail.Busy; }));
    EXPECT_EQ(ihmMain->Mail.Emails.Count(), 0);
    ASSERT_EQ(Grid().RowCount(), 1);
    EXPECT_EQ(Grid().Cell(2, 0), "");
    EXPECT_EQ(ihmMailbox->zdsMail.Text().find("old log"), std::string::npos);
}

TEST_F(MailboxMenu, Memo_AppendLine_NoLeadingEmptyLineAndNo32KCut)
{
    TMemo& log = ihmMailbox->zdsMail;
    log.SetText("");
    log.AppendLine("first");
    log.AppendLine("");
    log.AppendLine("third");
    EXPECT_EQ(log.Text(), "first\r\n\r\nthird");
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{"first", "", "third"}));

    const std::string line(99, 'x');
    for (int i = 0; i < 1000; ++i)
        log.AppendLine(line);
    EXPECT_EQ(log.Lines().size(), 1003u);
    EXPECT_EQ(log.Lines().back(), line);
}

namespace {
// Drives the menu that a right click opens: waits for it, then sends keys to it.
class TMenuKeys {
public:
    explicit TMenuKeys(std::vector<WPARAM> keys) : thread_([this, keys] { Press(keys); }) {}
    ~TMenuKeys() { thread_.join(); }
    bool Opened() const { return opened_; }

private:
    void Press(const std::vector<WPARAM>& keys)
    {
        HWND menu = nullptr;
        for (DWORD start = GetTickCount(); !menu && GetTickCount() - start < 5000; Sleep(10))
            menu = FindWindowA("#32768", nullptr);
        if (!menu || !IsWindowVisible(menu))
            return;
        opened_ = true;
        // Posted messages keep their order: the menu loop reads them one by one.
        for (WPARAM key : keys)
            PostMessageA(menu, WM_KEYDOWN, key, 0);
    }

    std::atomic<bool> opened_{false};
    std::thread thread_;
};

void RightClickGrid()
{
    RECT grid = {};
    GetWindowRect(ihmMailbox->zdsGrid.Handle(), &grid);
    SendMessageA(ihmMailbox->zdsGrid.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(ihmMailbox->zdsGrid.Handle()),
                 MAKELPARAM(grid.left + 40, grid.top + 40));
}
}  // namespace

TEST_F(MailboxMenu, RightClickInGrid_OpensTheMenuWithFreshStatesAndRunsTheChosenItem)
{
    ihmOptions->SetEmailProgram("");
    ihmMailbox->FillMailGrid();
    ShowWindowAndWait();
    ihmMailbox->mnpReload().SetEnabled(false);  // stale: the opening computes it again
    {
        // Up from no choice goes to the last item: "Start Email program",
        // then "Reload list", then "View header" (separators are skipped).
        TMenuKeys keys({VK_UP, VK_UP, VK_UP, VK_RETURN});
        RightClickGrid();
        EXPECT_TRUE(keys.Opened());
    }
    EXPECT_TRUE(ihmMailbox->mnpReload().Enabled());
    EXPECT_FALSE(ihmMailbox->mnpDeleteMessage().Enabled());
    EXPECT_TRUE(ihmMailbox->mnpViewHeader().Checked());
}

// A message whose mailbox the options removed since the check is kept, and the log says why.
TEST_F(MailboxMenu, DeleteMessageOfAMailboxRemovedInTheOptions_LogsWhyAndKeepsIt)
{
    ihmMain->LoadSettings();
    ihmOptions->btnAddClick();
    AddEmail("home", 2, " a@example.org", " Hello").MailboxId = ihmOptions->Mailboxes.ItemAs<TMailBox>(0)->Id;
    ihmOptions->zdsMailboxList.SetItemIndex(0);
    ihmOptions->btnDeleteClick();
    ihmMailbox->FillMailGrid();
    ihmMailbox->zdsGrid.SetSelected(0);
    ihmMailbox->mnpDeleteMessageClick();
    EXPECT_EQ(MailLines(), (std::vector<std::string>{"Error during 'home' message delete : the mailbox was "
                                                     "removed from the options (DELE 2)"}));
    EXPECT_EQ(ihmMain->Mail.Emails.Count(), 1);
}

TEST_F(MailboxMenu, DeleteSpam_WithNoSpam_LogsTheStartAndEndLinesOnly)
{
    AddEmail("home", 1, " a@example.org", " Hello");
    ihmMailbox->FillMailGrid();
    ihmMailbox->mnpDeleteSPAMClick();
    EXPECT_TRUE(PumpUntil([] { return !ihmMain->Mail.Busy; }));
    EXPECT_EQ(MailLines(), (std::vector<std::string>{MsgSpamStart, MsgSpamEnd}));
    EXPECT_EQ(ihmMain->Mail.Emails.Count(), 1);
}
