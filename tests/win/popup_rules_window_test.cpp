// The popup rules' windows driven as a user does: the rules window and its
// editor (add, edit, turn off and on, delete; the refusals; the question
// when a rule would act on open windows), the windows list's menu that makes
// a rule from an open window, and its log of actions.
#include <gtest/gtest.h>

#include <functional>

#include "app/unitLanguage.h"
#include "forms/ihmAppList.h"
#include "graphic_capture.h"
#include "message_box_watcher.h"
#include "message_pump.h"
#include "model/unitProcessWindowFacts.h"
#include "model/unitProcessWindows.h"

namespace {
const char* kTargetClass = "RuleTargetWindow";

// A visible top-level window of the test's own.
struct TTarget {
    explicit TTarget(const std::string& title)
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kTargetClass;
        RegisterClassA(&wc);
        hwnd = CreateWindowExA(0, kTargetClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 100, 50,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~TTarget() { DestroyWindow(hwnd); }
    HWND hwnd;
};

// Windows of another program, the tests' wintool beside this one: the rules
// never act on the program's own windows, nor ask about them.
struct TOtherWindows {
    explicit TOtherWindows(const std::vector<std::string>& titles)
    {
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring folder(self);
        folder.resize(folder.find_last_of(L"\\/") + 1);
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        std::wstring command = L"\"" + folder + L"wintool.exe\" open \"" + temp + L"rule-windows.log\" 60";
        for (const std::string& title : titles)
            command += L" \"normal:" + std::wstring(title.begin(), title.end()) + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        started = CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
        for (const std::string& title : titles)
            started = started && PumpUntil([&title] { return FindWindowA("WinToolWindow", title.c_str()) != nullptr; });
    }
    ~TOtherWindows()
    {
        if (!process.hProcess)
            return;
        TerminateProcess(process.hProcess, 0);
        WaitForSingleObject(process.hProcess, 5000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    bool started = false;
    PROCESS_INFORMATION process = {};
};

std::string Unique(const std::string& text) { return text + " " + std::to_string(GetCurrentProcessId()); }

// Runs `step` inside the editor's own message loop, once the editor shows,
// as the user's hands would.
std::function<void()> pendingStep;
TihmRuleEditor* stepEditor = nullptr;
// A timer procedure of its own: the 32-bit platform calls it as stdcall, which a lambda is not.
void CALLBACK RunPendingStep(HWND, UINT, UINT_PTR id, DWORD)
{
    if (!stepEditor->Visible() || !pendingStep)
        return;
    KillTimer(nullptr, id);
    std::function<void()> step = std::move(pendingStep);
    pendingStep = nullptr;
    step();
}

void WhenEditorShows(TihmRuleEditor& editor, std::function<void()> step)
{
    pendingStep = std::move(step);
    stepEditor = &editor;
    SetTimer(nullptr, 0, 20, RunPendingStep);
}

void Type(TihmRuleEditor& editor, const std::string& title, const std::string& program, const std::string& windowClass)
{
    editor.edTitle.SetText(title);
    editor.edProgram.SetText(program);
    editor.edClass.SetText(windowClass);
}

class PopupRulesWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.Rules = &rules;
        host.Log = &log;
        host.SaveRules = [this] { ++saves; };
        host.FactsOf = [](HWND hwnd) { return WindowFactsOf(hwnd); };
        host.OpenWindowsMatching = [](const TPopupRule& rule) { return OpenWindowsMatching(rule); };
        dialog.ConnectRules(host);
    }

    std::string Cell(int column, int row) { return dialog.rules.CellText(column, row); }

    TPopupRules rules;
    TPopupActionLog log;
    TPopupRulesHost host;
    int saves = 0;
    TihmAppList dialog;
    TihmRules& window = dialog.rules;
    TihmRuleEditor& editor = dialog.rules.editor;
};
}  // namespace

TEST_F(PopupRulesWindows, AddEditTurnOffAndOnDelete_EachShownAndSaved)
{
    window.ShowRules();
    WhenEditorShows(editor, [this] {
        Type(editor, "Setup *", " setup.exe ", "");
        editor.grpAction.SetItemIndex(3);
        editor.grpActionClick();
        EXPECT_TRUE(editor.edButton.Enabled());
        editor.edButton.SetText("Later");
        PostMessageA(editor.edButton.Handle(), WM_KEYDOWN, VK_RETURN, 0);  // Enter in a field saves
    });
    window.btnAddClick();
    ASSERT_EQ(rules.Items().size(), 1u);
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(Cell(0, 0), "on");
    EXPECT_EQ(Cell(1, 0), "Setup *");
    EXPECT_EQ(Cell(2, 0), "setup.exe");  // a program name is taken without its spaces
    EXPECT_EQ(Cell(4, 0), "Press \"Later\"");
    EXPECT_EQ(Cell(5, 0), "0");
    EXPECT_EQ(window.zdsRules.Selected(), 0);

    WhenEditorShows(editor, [this] {
        EXPECT_EQ(editor.edTitle.Text(), "Setup *");
        editor.edClass.SetText("#32770");
        editor.grpAction.SetItemIndex(1);
        editor.btnOKClick();
    });
    rules.Items()[0].Hits = 4;  // counted by the killer while the editor is open
    window.btnEditClick();
    EXPECT_EQ(Cell(3, 0), "#32770");
    EXPECT_EQ(Cell(4, 0), "Minimise");
    EXPECT_EQ(Cell(5, 0), "4");
    EXPECT_EQ(rules.Items()[0].Button, "");  // the button's text goes with its action
    EXPECT_EQ(saves, 2);

    window.btnToggleClick();
    EXPECT_EQ(Cell(0, 0), "off");
    window.btnToggleClick();
    EXPECT_EQ(Cell(0, 0), "on");
    EXPECT_EQ(saves, 4);

    {
        TMessageBoxWatcher no(IDNO);
        window.btnDeleteClick();
        ASSERT_EQ(no.Seen().size(), 1u);
        EXPECT_EQ(no.Seen()[0].text, "Delete the rule \"Setup *\" setup.exe #32770?");
    }
    EXPECT_EQ(rules.Items().size(), 1u);
    TMessageBoxWatcher yes(IDYES);
    window.btnDeleteClick();
    EXPECT_TRUE(rules.Items().empty());
    EXPECT_EQ(window.zdsRules.RowCount(), 0);
    EXPECT_EQ(saves, 5);
    EXPECT_FALSE(window.btnEdit.Enabled());
}

TEST_F(PopupRulesWindows, RuleThatNamesNoWindow_RefusedWithAWarningAndTheEditorStays)
{
    TMessageBoxWatcher watcher;
    WhenEditorShows(editor, [this, &watcher] {
        Type(editor, "**", "", " ");
        editor.btnOKClick();
        EXPECT_TRUE(editor.Visible());
        editor.edTitle.SetText("Setup");
        editor.grpAction.SetItemIndex(3);  // a button to press, but which?
        editor.btnOKClick();
        EXPECT_TRUE(editor.Visible());
        PostMessageA(editor.edTitle.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);  // Escape leaves, nothing saved
    });
    window.btnAddClick();
    EXPECT_TRUE(rules.Items().empty());
    EXPECT_EQ(saves, 0);
    const auto seen = watcher.Seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].caption, "Avertissement");
    EXPECT_EQ(seen[0].text, "This rule would act on every window: give a title pattern other than *, a program or "
                            "a window class.");
    EXPECT_EQ(seen[1].text, "Give the text of the button to press.");
}

TEST_F(PopupRulesWindows, RuleMatchingOpenWindows_NamesThemNoGoesBackYesSaves)
{
    TOtherWindows windows({Unique("Rule Target A"), Unique("Rule Target B")});
    ASSERT_TRUE(windows.started);
    std::vector<TSeenBox> seen;
    WhenEditorShows(editor, [this, &seen] {
        Type(editor, "rule target ?*", "wintool.exe", "");
        {
            TMessageBoxWatcher no(IDNO);
            editor.btnOKClick();
            seen = no.Seen();
        }
        EXPECT_TRUE(editor.Visible());
        TMessageBoxWatcher yes(IDYES);
        editor.btnOKClick();
    });
    window.btnAddClick();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "Confirmation");
    const std::string& text = seen[0].text;
    EXPECT_EQ(text.rfind("This rule matches 2 open windows:\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("\r\n    " + Unique("Rule Target A") + "\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n    " + Unique("Rule Target B") + "\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - 8), "Save it?");
    ASSERT_EQ(rules.Items().size(), 1u);
    EXPECT_EQ(saves, 1);
}

TEST_F(PopupRulesWindows, CloseWindowsLikeThis_OpensTheEditorOnTheWindowsTitleProgramAndClass)
{
    const std::string title = Unique("Annoying Setup");
    TTarget target(title);
    dialog.Show();
    dialog.RefreshActiveWindows();
    const int row = dialog.zdsCurrentProcess.IndexOfExact(title);  // the title alone, the program beside it
    ASSERT_GE(row, 0);
    EXPECT_EQ(dialog.ShownWindow(row)->Program, "win_tests.exe");
    dialog.zdsCurrentProcess.SetItemIndex(row);
    dialog.mnpWindowsPopup();
    EXPECT_TRUE(dialog.mnpCloseLike().Enabled());
    WhenEditorShows(editor, [this, &title] {
        EXPECT_EQ(editor.edTitle.Text(), title);
        EXPECT_EQ(editor.edProgram.Text(), "win_tests.exe");
        EXPECT_EQ(editor.edClass.Text(), kTargetClass);
        EXPECT_EQ(editor.grpAction.ItemIndex(), 0);
        EXPECT_TRUE(editor.chkEnabled.Checked());
        EXPECT_FALSE(IsWindowEnabled(dialog.Handle()));  // the editor is modal over the list
        TMessageBoxWatcher yes(IDYES);  // it matches the window it was made from
        editor.btnOKClick();
    });
    dialog.mnpCloseLikeClick();
    EXPECT_TRUE(IsWindowEnabled(dialog.Handle()));
    ASSERT_EQ(rules.Items().size(), 1u);
    EXPECT_EQ(rules.Items()[0].TitlePattern, title);
    EXPECT_EQ(rules.Items()[0].WindowClass, kTargetClass);
    EXPECT_EQ(saves, 1);
}

TEST_F(PopupRulesWindows, LogOfActions_NewestFirstAndItsMenuTurnsTheRuleOff)
{
    TPopupRule rule;
    rule.Program = "setup.exe";
    const int id = rules.Add(rule);
    log.Add({"2026-12-10 08:00:00", TPopupAction::Close, "Listed", "app.exe", 0, ""});
    log.Add({"2026-12-10 08:00:05", TPopupAction::Hide, "Installer", "setup.exe", id, "\"*\" setup.exe"});
    log.Add({"2026-12-10 08:00:09", TPopupAction::Close, "Elevated", "admin.exe", id, "\"*\" setup.exe", true});
    dialog.PopupActionLogged();
    EXPECT_EQ(dialog.zdsActions.ColumnCaption(4), "Rule");
    ASSERT_EQ(dialog.zdsActions.RowCount(), 3);
    EXPECT_EQ(dialog.zdsActions.Cell(1, 0), "cannot act on Elevated (administrator)");
    EXPECT_EQ(dialog.zdsActions.Cell(0, 1), "2026-12-10 08:00:05");
    EXPECT_EQ(dialog.zdsActions.Cell(1, 1), "Hide");
    EXPECT_EQ(dialog.zdsActions.Cell(3, 1), "setup.exe");
    EXPECT_EQ(dialog.zdsActions.Cell(4, 1), "\"*\" setup.exe");
    EXPECT_EQ(dialog.zdsActions.Cell(4, 2), "kill list");

    dialog.zdsActions.SetSelected(2);
    dialog.mnpActionsPopup();
    EXPECT_FALSE(dialog.mnpRuleOff().Enabled());  // the kill list is no rule
    dialog.zdsActions.SetSelected(1);
    dialog.zdsActionsClick();
    // A line logged meanwhile: the selection stays on the line the user chose.
    log.Add({"2026-12-10 08:00:12", TPopupAction::Close, "Listed", "app.exe", 0, ""});
    dialog.PopupActionLogged();
    EXPECT_EQ(dialog.zdsActions.Selected(), 2);
    dialog.mnpActionsPopup();
    EXPECT_TRUE(dialog.mnpRuleOff().Enabled());
    dialog.mnpRuleOffClick();
    EXPECT_FALSE(rules.Find(id)->Enabled);
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(Cell(0, 0), "off");
    dialog.mnpActionsPopup();
    EXPECT_FALSE(dialog.mnpRuleOff().Enabled());  // off already
}

TEST_F(PopupRulesWindows, GridHeadings_ShowTheirCaptionsOnTheScreen)
{
    TPopupRule rule;
    rule.Program = "setup.exe";
    const int id = rules.Add(rule);
    log.Add({"2026-12-10 08:00:05", TPopupAction::Hide, "Installer", "setup.exe", id, "\"*\" setup.exe"});
    dialog.PopupActionLogged();
    dialog.Show();
    // The log is narrower than its columns: of the last one only a sliver shows.
    const std::vector<int> logShown = {0, 1, 2, 3};
    EXPECT_EQ(HeadingsShownWithin(dialog.zdsActions.Handle(), logShown), logShown);
    dialog.Hide();

    window.ShowRules();
    const std::vector<int> every = {0, 1, 2, 3, 4, 5, 6};
    EXPECT_EQ(HeadingsShownWithin(window.zdsRules.Handle(), every), every);
}

TEST_F(PopupRulesWindows, French_RewritesTheRuleWindowsTheirMenusAndTheirQuestions)
{
    ihmAppList = &dialog;  // the text tables reach the windows list through it
    ApplyTexts(TLanguage::French);
    EXPECT_EQ(window.Caption(), "R\xC3\xA8gles des popups");
    EXPECT_EQ(window.zdsRules.ColumnCaption(1), "Mod\xC3\xA8le de titre");
    EXPECT_EQ(editor.grpAction.ItemCaption(1), "R\xC3\xA9" "duire");
    EXPECT_EQ(dialog.mnpCloseLike().Caption, "Fermer les fen\xC3\xAAtres comme celle-ci...");
    EXPECT_EQ(MatchQuestion({TWindowFacts{"Setup", "setup.exe", "#32770"}}, dialog.RuleTexts),
              "Cette r\xC3\xA8gle correspond \xC3\xA0 une fen\xC3\xAAtre ouverte :\r\n\r\n    Setup\r\n\r\nL'enregistrer ?");
    ApplyTexts(TLanguage::English);
    EXPECT_EQ(window.btnToggle.Text(), "On / off");
    ihmAppList = nullptr;
}
