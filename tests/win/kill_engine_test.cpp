#include <gtest/gtest.h>

#include <map>
#include <set>

#include "framework/Locale.h"
#include "message_box_watcher.h"
#include "model/unitProcessWindows.h"

namespace {
// Real top-level windows that record the close requests they get.
class TTestWindows {
public:
    TTestWindows()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "KillEngineTestWindow";
        RegisterClassA(&wc);
        // The classes of the shell's windows, for windows of the test's own.
        for (const char* shellClass : {"Shell_TrayWnd", "Progman", "WorkerW"}) {
            wc.lpszClassName = shellClass;
            RegisterClassA(&wc);
        }
        closes().clear();
    }
    ~TTestWindows()
    {
        for (HWND h : created_)
            if (IsWindow(h))
                DestroyWindow(h);
    }

    HWND Make(const std::string& title, DWORD exStyle = 0, HWND owner = nullptr, bool visible = true,
              const char* className = "KillEngineTestWindow")
    {
        HWND h = CreateWindowExA(exStyle, className, title.c_str(), WS_OVERLAPPEDWINDOW, 50, 50, 200,
                                 100, owner, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (visible)
            ShowWindow(h, SW_SHOWNOACTIVATE);
        created_.push_back(h);
        return h;
    }

    static std::map<HWND, int>& closes()
    {
        static std::map<HWND, int> counts;
        return counts;
    }

    // Delivers the posted close messages.
    static void Deliver()
    {
        PumpUntil([] { return false; }, 150);
    }

private:
    // Closing is refused: the windows stay so they can be counted again.
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l)
    {
        if (m == WM_CLOSE) {
            ++closes()[h];
            return 0;
        }
        return DefWindowProcA(h, m, w, l);
    }
    std::vector<HWND> created_;
};

std::string Unique(const std::string& base) { return base + " " + std::to_string(GetCurrentProcessId()); }

int Tick(const TWindowList& list)
{
    int kills = 0;
    KillPopups(list, [&kills] { ++kills; });
    TTestWindows::Deliver();
    return kills;
}
}  // namespace

TEST(KillPopups, ListedVisibleWindowIsAskedToClose_CaseIgnored_NoSubstringMatch)
{
    TTestWindows windows;
    HWND listed = windows.Make(Unique("Special Offer"));
    HWND longer = windows.Make(Unique("Special Offer") + " - Browser");
    TWindowList list(LocaleCompareText);
    std::string upper = Unique("SPECIAL OFFER");
    list.Add(upper);
    EXPECT_EQ(Tick(list), 1);
    EXPECT_EQ(TTestWindows::closes()[listed], 1);
    EXPECT_EQ(TTestWindows::closes().count(longer), 0u);
}

TEST(KillPopups, HiddenToolUntitledAndAppOwnedWindowsAreNeverClosed)
{
    TTestWindows windows;
    const std::string title = Unique("Never Close");
    HWND hidden = windows.Make(title, 0, nullptr, false);
    HWND tool = windows.Make(title, WS_EX_TOOLWINDOW);
    HWND owner = windows.Make(Unique("Owner Main Window"));
    HWND owned = windows.Make(title, 0, owner);
    HWND untitled = windows.Make("");
    TWindowList list(LocaleCompareText);
    list.Add(title);
    list.Add("");  // an empty entry matches no window
    EXPECT_EQ(Tick(list), 0);
    for (HWND h : {hidden, tool, owned, untitled})
        EXPECT_EQ(TTestWindows::closes().count(h), 0u);
}

// The taskbar, the desktop and the notification area are found by their
// class, and by the shell's process (here Wine's desktop process, which shows
// the notification area's window): never listed, never asked, whatever the list.
TEST(KillPopups, ShellWindowsAreNeverListedNorClosed)
{
    TTestWindows windows;
    const std::string title = Unique("Shell Window");
    HWND taskbar = windows.Make(title, 0, nullptr, true, "Shell_TrayWnd");
    HWND desktop = windows.Make(title, 0, nullptr, true, "Progman");
    HWND worker = windows.Make(title, 0, nullptr, true, "WorkerW");
    HWND plain = windows.Make(title);
    TWindowList list(LocaleCompareText);
    list.Add(title);
    EXPECT_EQ(Tick(list), 1);
    EXPECT_EQ(TTestWindows::closes()[plain], 1);
    for (HWND h : {taskbar, desktop, worker})
        EXPECT_EQ(TTestWindows::closes().count(h), 0u);

    TMyCollection listed;
    EnumerateWindows(listed);
    DWORD shellProcess = 0;
    GetWindowThreadProcessId(GetShellWindow(), &shellProcess);
    for (int i = 0; i < listed.Count(); ++i) {
        HWND h = listed.ItemAs<TWindow>(i)->Handle;
        EXPECT_TRUE(h != taskbar && h != desktop && h != worker);
        DWORD process = 0;
        GetWindowThreadProcessId(h, &process);
        EXPECT_TRUE(!shellProcess || process != shellProcess) << listed.ItemAs<TWindow>(i)->Title;
    }
}

TEST(KillPopups, DesktopOwnedWindowIsTreatedLikeAnUnownedOne)
{
    TTestWindows windows;
    const std::string title = Unique("Desktop Owned");
    HWND h = windows.Make(title);
    SetWindowLongPtrA(h, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(GetDesktopWindow()));
    const HWND owner = reinterpret_cast<HWND>(GetWindowLongPtrA(h, GWLP_HWNDPARENT));
    ASSERT_TRUE(owner == GetDesktopWindow() || owner == nullptr);
    TWindowList list(LocaleCompareText);
    list.Add(title);
    EXPECT_EQ(Tick(list), 1);
    EXPECT_EQ(TTestWindows::closes()[h], 1);
}

TEST(KillPopups, TwoWindowsWithOneTitleAreBothClosedAndCounted)
{
    TTestWindows windows;
    const std::string title = Unique("Twin Popup");
    HWND first = windows.Make(title);
    HWND second = windows.Make(title);
    TWindowList list(LocaleCompareText);
    list.Add(title);
    EXPECT_EQ(Tick(list), 2);
    EXPECT_EQ(TTestWindows::closes()[first], 1);
    EXPECT_EQ(TTestWindows::closes()[second], 1);
}

TEST(KillPopups, WindowThatRefusesToCloseIsCountedOnEveryTick)
{
    TTestWindows windows;
    const std::string title = Unique("Stubborn Popup");
    HWND h = windows.Make(title);
    TWindowList list(LocaleCompareText);
    list.Add(title);
    EXPECT_EQ(Tick(list), 1);
    EXPECT_EQ(Tick(list), 1);
    EXPECT_EQ(Tick(list), 1);
    EXPECT_EQ(TTestWindows::closes()[h], 3);
}

TEST(KillPopups, TitleLongerThan255IsSeenAsItsFirst255Characters)
{
    TTestWindows windows;
    const std::string seen = Unique("Long") + std::string(255, 'x');
    const std::string first255 = seen.substr(0, 255);
    HWND h = windows.Make(seen);
    TWindowList longer(LocaleCompareText);
    longer.Add(seen);
    EXPECT_EQ(Tick(longer), 0);
    TWindowList cut(LocaleCompareText);
    cut.Add(first255);
    EXPECT_EQ(Tick(cut), 1);
    EXPECT_EQ(TTestWindows::closes()[h], 1);
}

TEST(EnumerateWindows, ClearsTheCollectionAndKeepsZOrderItems)
{
    TTestWindows windows;
    const std::string title = Unique("Enumerated");
    windows.Make(title);
    TMyCollection collection;
    collection.Add(std::make_unique<TMyItem>("stale entry"));
    EnumerateWindows(collection);
    bool sawStale = false, sawOurs = false;
    for (int i = 0; i < collection.Count(); ++i) {
        const auto* w = collection.ItemAs<TWindow>(i);
        sawStale |= w->Name == "stale entry";
        sawOurs |= w->Title == title && w->Name == title && IsWindow(w->Handle);
    }
    EXPECT_FALSE(sawStale);
    EXPECT_TRUE(sawOurs);
}
