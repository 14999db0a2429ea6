#include <gtest/gtest.h>

#include "app/unitLanguage.h"
#include "forms/ihmAppList.h"
#include "framework/Application.h"
#include "graphic_capture.h"

TEST(WindowsListDialog, CreatedHiddenTopmostWithCountOfThreeZeros)
{
    TihmAppList dialog;
    EXPECT_FALSE(dialog.Visible());
    EXPECT_EQ(dialog.Caption(), "Windows lists");
    EXPECT_TRUE(GetWindowLongA(dialog.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(dialog.zdsNumber.Text(), "000");
    RECT client;
    GetClientRect(dialog.Handle(), &client);
    EXPECT_EQ(client.right, 412);
    EXPECT_EQ(client.bottom, 570);  // the first design's 405 pixels and the log of actions
}

// A label sized to its text shows all of it: its last column holds no ink.
bool RightEdgeIsBlank(const TLabel& label)
{
    const TCapture capture = CaptureClient(label.Handle());
    const COLORREF background = capture.At(0, 0);
    for (int y = 0; y < capture.height; ++y)
        if (capture.At(capture.width - 1, y) != background)
            return false;
    return capture.width > 0;
}

TEST(WindowsListDialog, LabelsShowTheirWholeTextInBothLanguages)
{
    TihmAppList dialog;
    ihmAppList = &dialog;
    for (TLanguage language : {TLanguage::French, TLanguage::English}) {
        ApplyTexts(language);
        EXPECT_TRUE(RightEdgeIsBlank(dialog.lblCurrentProcess)) << dialog.lblCurrentProcess.Text();
        EXPECT_TRUE(RightEdgeIsBlank(dialog.lblSelectedProcess)) << dialog.lblSelectedProcess.Text();
    }
    ihmAppList = nullptr;
}

TEST(WindowsListDialog, EscapeInAListIsSeenByTheDialogAndHidesIt)
{
    TApplication application("EscapeTest");
    TihmAppList dialog;
    dialog.Show();
    SetFocus(dialog.zdsSelectedProcess.Handle());
    PostMessageA(dialog.zdsSelectedProcess.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    application.ProcessMessages();
    EXPECT_FALSE(dialog.Visible());
}

TEST(WindowsListDialog, OtherKeysLeaveItOpen)
{
    TApplication application("KeyTest");
    TihmAppList dialog;
    dialog.Show();
    PostMessageA(dialog.zdsSelectedProcess.Handle(), WM_KEYDOWN, 'A', 0);
    application.ProcessMessages();
    EXPECT_TRUE(dialog.Visible());
}

#include "framework/Files.h"
#include "message_box_watcher.h"
#include "system_fixture.h"

namespace {
using WindowsListCommands = SystemTest;

// A visible top-level window of the test's own that counts its close requests.
struct TTarget {
    explicit TTarget(const std::string& title)
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) CALLBACK -> LRESULT {
            if (m == WM_CLOSE) {
                ++closes;
                return 0;
            }
            return DefWindowProcA(h, m, w, l);
        };
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "WindowsListTarget";
        RegisterClassA(&wc);
        closes = 0;
        hwnd = CreateWindowExA(0, "WindowsListTarget", title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 100,
                               50, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~TTarget() { DestroyWindow(hwnd); }
    HWND hwnd;
    static inline int closes = 0;
};

int IndexOfTitle(const TListBox& list, const std::string& title) { return list.IndexOfExact(title); }
}  // namespace

TEST_F(WindowsListCommands, DoubleClickOnAnOpenWindow_ListsItClosesItAndCountsIt)
{
    // The killer's ticks off: on a slow run a tick would ask the refusing
    // target again, and only the double-click's own request is counted here.
    Ini().WriteBool("Popup", "KillerActive", false);
    ihmMain->LoadSettings();
    const std::string title = "Listed By Hand " + std::to_string(GetCurrentProcessId());
    TTarget target(title);
    ihmAppList->RefreshActiveWindows();
    const int row = IndexOfTitle(ihmAppList->zdsCurrentProcess, title);
    ASSERT_GE(row, 0);
    ihmAppList->Show();
    ihmAppList->zdsCurrentProcess.SetItemIndex(row);
    ihmAppList->zdsCurrentProcessDblClick();
    EXPECT_EQ(ihmAppList->zdsSelectedProcess.Items(ihmAppList->zdsSelectedProcess.Count() - 1), title);
    EXPECT_EQ(ihmAppList->zdsNumber.Text(), "1");
    EXPECT_EQ(ihmOptions->Counter(), 1);
    std::string saved;
    ReadFileBytes(GetKillListFileName(), saved);
    EXPECT_EQ(saved, title + "\r\n");
    // The close request arrives once messages are pumped, and this process
    // asked exactly once: every request the killer posts is counted, the
    // event path's and the tick's alike. A second request that reaches the
    // target on a loaded run comes from another process on the same desktop
    // (a test run alongside loads the kill-list file beside the executable,
    // where this title now stands), not from the program under test.
    EXPECT_TRUE(PumpUntil([] { return TTarget::closes > 0; }));
    EXPECT_EQ(ihmOptions->Counter(), 1);
    EXPECT_EQ(GetFocus(), ihmAppList->zdsSelectedProcess.Handle());
}

TEST_F(WindowsListCommands, OwnNameIsRefusedWithAWarning)
{
    TTarget target("Skarnvale");
    ihmAppList->RefreshActiveWindows();
    const int row = IndexOfTitle(ihmAppList->zdsCurrentProcess, "Skarnvale");
    ASSERT_GE(row, 0);
    ihmAppList->zdsCurrentProcess.SetItemIndex(row);
    TMessageBoxWatcher watcher;
    ihmAppList->zdsCurrentProcessDblClick();
    ASSERT_TRUE(PumpUntil([&] { return !watcher.Seen().empty(); }));
    EXPECT_EQ(watcher.Seen()[0].caption, "Avertissement");
    EXPECT_EQ(watcher.Seen()[0].text, "I think it's not a good idea :)");
    EXPECT_EQ(ihmMain->KillList.Count(), 0);
    EXPECT_FALSE(FileExists(GetKillListFileName()));
}

// The shell's windows are not offered; a window of another program that bears
// the title of one of them is refused like the program's own title.
TEST_F(WindowsListCommands, ShellWindowIsNotOfferedAndItsTitleIsRefusedWithAWarning)
{
    const std::string title = "Program Manager " + std::to_string(GetCurrentProcessId());
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "Progman";
    RegisterClassA(&wc);
    HWND desktop = CreateWindowExA(0, "Progman", title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 50,
                                   nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ihmAppList->RefreshActiveWindows();
    EXPECT_LT(IndexOfTitle(ihmAppList->zdsCurrentProcess, title), 0);

    TTarget target(title);
    ihmAppList->RefreshActiveWindows();
    const int row = IndexOfTitle(ihmAppList->zdsCurrentProcess, title);
    ASSERT_GE(row, 0);
    ihmAppList->zdsCurrentProcess.SetItemIndex(row);
    TMessageBoxWatcher watcher;
    ihmAppList->zdsCurrentProcessDblClick();
    ASSERT_TRUE(PumpUntil([&] { return !watcher.Seen().empty(); }));
    EXPECT_EQ(watcher.Seen()[0].text, "I think it's not a good idea :)");
    EXPECT_EQ(ihmMain->KillList.Count(), 0);
    EXPECT_EQ(TTarget::closes, 0);
    DestroyWindow(desktop);
}

TEST_F(WindowsListCommands, RefreshWithUnchangedTitles_KeepsTheSelection)
{
    const std::string title = "Keep Selected " + std::to_string(GetCurrentProcessId());
    TTarget target(title);
    ihmAppList->RefreshActiveWindows();
    const int row = IndexOfTitle(ihmAppList->zdsCurrentProcess, title);
    ASSERT_GE(row, 0);
    ihmAppList->zdsCurrentProcess.SetItemIndex(row);
    ihmAppList->RefreshActiveWindows();
    EXPECT_EQ(ihmAppList->zdsCurrentProcess.ItemIndex(), row);
    TTarget another("Newcomer " + std::to_string(GetCurrentProcessId()));  // the titles change
    ihmAppList->RefreshActiveWindows();
    const int selected = ihmAppList->zdsCurrentProcess.ItemIndex();
    ASSERT_GE(selected, 0);
    EXPECT_EQ(ihmAppList->zdsCurrentProcess.Items(selected), title);
}

TEST_F(WindowsListCommands, DoubleClickOnAListedEntry_TakesItOffWithoutWritingTheFile)
{
    AddToKillList(ihmMain->KillList, "First", ihmAppList);
    AddToKillList(ihmMain->KillList, "Second", ihmAppList);
    ihmAppList->zdsSelectedProcess.SetItemIndex(0);
    ihmAppList->zdsSelectedProcessDblClick();
    EXPECT_EQ(ihmMain->KillList.Count(), 1);
    EXPECT_EQ(ihmAppList->zdsSelectedProcess.Count(), 1);
    EXPECT_EQ(ihmAppList->zdsSelectedProcess.Items(0), "Second");
    EXPECT_EQ(ihmAppList->zdsNumber.Text(), "1");
    std::string saved;
    ReadFileBytes(GetKillListFileName(), saved);
    EXPECT_EQ(saved, "First\r\nSecond\r\n");
}

TEST_F(WindowsListCommands, DoubleClickWithNothingSelected_ChangesNothing)
{
    AddToKillList(ihmMain->KillList, "Only", ihmAppList);
    ihmAppList->zdsSelectedProcess.SetItemIndex(-1);
    ihmAppList->zdsSelectedProcessDblClick();
    EXPECT_EQ(ihmMain->KillList.Count(), 1);
    EXPECT_EQ(ihmAppList->zdsSelectedProcess.Count(), 1);
}

TEST(WindowsListDialog, RefusedWindowEvents_TheStatusLineSaysTheKillerOnlySweeps)
{
    TihmAppList dialog;
    EXPECT_EQ(dialog.lblEvents.Text(), "");
    dialog.ShowWindowEvents(false);
    EXPECT_EQ(dialog.lblEvents.Text(), "No window events: checked every tick only");
    dialog.ShowWindowEvents(true);
    EXPECT_EQ(dialog.lblEvents.Text(), "");
}
