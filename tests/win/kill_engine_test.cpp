#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "framework/Application.h"
#include "framework/Files.h"
#include "framework/Locale.h"
#include "message_box_watcher.h"
#include "model/unitProcessKillWatch.h"
#include "model/unitProcessWindowFacts.h"
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

// The popup rules act on other programs' windows only: wintool (beside the
// tests) opens them and logs, from its side, what happened to each.
namespace {
class TTargetProgram {
public:
    explicit TTargetProgram(const std::vector<std::string>& windows)
    {
        static int runs = 0;
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        log_ = std::string(temp) + "rules-target-" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(++runs) + ".log";
        DeleteFileA(log_.c_str());
        std::string command = "\"" + ExecutableDirectory() + "wintool.exe\" open \"" + log_ + "\" 60";
        for (const std::string& window : windows)
            command += " \"" + window + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        command_ = command;
        started_ = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_);
    }
    ~TTargetProgram()
    {
        if (started_) {
            TerminateProcess(process_.hProcess, 0);
            WaitForSingleObject(process_.hProcess, 5000);
            CloseHandle(process_.hThread);
            CloseHandle(process_.hProcess);
        }
        DeleteFileA(log_.c_str());
    }

    // Read as wintool writes it, shared: the program keeps it open.
    std::string Log() const
    {
        std::string bytes;
        if (FILE* file = std::fopen(log_.c_str(), "rb")) {
            char chunk[4096];
            for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
                bytes.append(chunk, n);
            std::fclose(file);
        }
        // Its lines end in CR LF: a text file of the C library under Windows.
        bytes.erase(std::remove(bytes.begin(), bytes.end(), '\r'), bytes.end());
        return bytes;
    }
    // Whether a line "MS EVENT TEXT" came within the deadline, the thread's messages running meanwhile.
    bool Saw(const std::string& event, const std::string& text, DWORD timeoutMs = 5000) const
    {
        return PumpUntil([&] { return Log().find(" " + event + " " + text + "\n") != std::string::npos; }, timeoutMs);
    }
    bool Ready() const { return started_ && Saw("ready", "", 20000); }
    // What was started, for a failure's message.
    const std::string& Command() const { return command_; }

private:
    std::string command_;
    std::string log_;
    bool started_ = false;
    PROCESS_INFORMATION process_ = {};
};

TPopupRule Rule(const std::string& pattern, TPopupAction action, const std::string& program = "",
                const std::string& button = "")
{
    TPopupRule rule;
    rule.TitlePattern = pattern;
    rule.Action = action;
    rule.Program = program;
    rule.Button = button;
    return rule;
}

// The killer as the program runs it, without its forms.
struct TRulesKiller {
    TApplication timerOwner{"PopupRulesTest"};
    TWindowList killList{LocaleCompareText};
    TPopupRules rules{LocaleCompareText, LocaleUpperText};
    std::vector<TPopupActionEntry> reported;
    TKillWatch watch{timerOwner, killList, rules, [this](const TPopupActionEntry& entry) { reported.push_back(entry); }};
};
}  // namespace

TEST(PopupRules, EachActionIsSeenByTheTargetWindow_OncePerAppearance)
{
    const std::string id = std::to_string(GetCurrentProcessId());
    TTargetProgram target({"visible:Rules Close " + id, "visible:Rules Minimise " + id, "visible:Rules Hide " + id,
                           "dialog:Rules Update " + id});
    ASSERT_TRUE(target.Ready()) << target.Command() << "\n" << target.Log();
    TRulesKiller killer;
    killer.rules.Add(Rule("RULES CLOSE *", TPopupAction::Close));
    killer.rules.Add(Rule("rules minimise " + id, TPopupAction::Minimise));
    killer.rules.Add(Rule("Rules Hid? *", TPopupAction::Hide));
    const int press = killer.rules.Add(Rule("*Update " + id, TPopupAction::PressButton, "WINTOOL.EXE", "Later"));
    killer.watch.Sweep();
    EXPECT_TRUE(target.Saw("close", "Rules Close " + id));
    EXPECT_TRUE(target.Saw("minimised", "Rules Minimise " + id));
    EXPECT_TRUE(target.Saw("hidden", "Rules Hide " + id));
    EXPECT_TRUE(target.Saw("pressed", "&Later Rules Update " + id));
    EXPECT_EQ(target.Log().find("pressed Install now"), std::string::npos);
    ASSERT_EQ(killer.reported.size(), 4u);
    EXPECT_EQ(killer.rules.Find(press)->Hits, 1);
    for (const TPopupActionEntry& entry : killer.reported) {
        EXPECT_EQ(entry.Program, "wintool.exe") << entry.Title;
        EXPECT_FALSE(entry.Refused);
        EXPECT_NE(entry.RuleId, 0);
    }
    // The minimised window is still there: the next ticks leave it alone.
    killer.watch.Sweep();
    killer.watch.Sweep();
    EXPECT_EQ(killer.reported.size(), 4u);
}

TEST(PopupRules, ProgramMustMatch_KillListComesFirst)
{
    const std::string id = std::to_string(GetCurrentProcessId());
    TTargetProgram target({"refuse:Rules Program " + id, "refuse:Rules Listed " + id});
    ASSERT_TRUE(target.Ready()) << target.Command() << "\n" << target.Log();
    TRulesKiller killer;
    killer.killList.Add("Rules Listed " + id);
    killer.rules.Add(Rule("Rules * " + id, TPopupAction::Minimise, "other.exe"));
    killer.rules.Add(Rule("Rules Listed*", TPopupAction::Hide));
    killer.watch.Sweep();
    EXPECT_TRUE(target.Saw("close", "Rules Listed " + id));
    ASSERT_EQ(killer.reported.size(), 1u);
    EXPECT_EQ(killer.reported[0].RuleId, 0);
    EXPECT_EQ(target.Log().find("minimised"), std::string::npos);
    EXPECT_EQ(target.Log().find("hidden"), std::string::npos);
    // The listed window refuses: the next tick asks it again, a repeat the log leaves out.
    killer.watch.Sweep();
    ASSERT_EQ(killer.reported.size(), 2u);
    EXPECT_FALSE(killer.reported[0].Repeated);
    EXPECT_TRUE(killer.reported[1].Repeated);

    const TPopupRule wanted = Rule("Rules Program " + id, TPopupAction::Minimise, "WinTool.exe");
    const std::vector<TWindowFacts> open = OpenWindowsMatching(wanted);
    ASSERT_EQ(open.size(), 1u);
    EXPECT_EQ(open[0].Program, "wintool.exe");
    EXPECT_EQ(open[0].WindowClass, "WinToolWindow");
    killer.rules.Items()[0].Program = "wintool.exe";
    killer.watch.Sweep();
    EXPECT_TRUE(target.Saw("minimised", "Rules Program " + id));
}

TEST(PopupRules, NeverTheProgramsOwnWindowsNorTheShells)
{
    TTestWindows windows;
    const std::string title = Unique("Rules Own");
    HWND own = windows.Make(title);
    HWND taskbar = windows.Make(title, 0, nullptr, true, "Shell_TrayWnd");
    TRulesKiller killer;
    killer.rules.Add(Rule("Rules Own*", TPopupAction::Close));
    TPopupRule byClass = Rule("", TPopupAction::Close);
    byClass.WindowClass = "Shell_TrayWnd";
    killer.rules.Add(byClass);
    killer.watch.Sweep();
    TTestWindows::Deliver();
    EXPECT_EQ(TTestWindows::closes().count(own), 0u);
    EXPECT_EQ(TTestWindows::closes().count(taskbar), 0u);
    EXPECT_TRUE(killer.reported.empty());
    EXPECT_TRUE(OpenWindowsMatching(killer.rules.Items()[0]).empty());
    EXPECT_TRUE(OpenWindowsMatching(byClass).empty());
    const TWindowFacts facts = WindowFactsOf(own);
    EXPECT_EQ(facts.Title, title);
    EXPECT_EQ(facts.WindowClass, "KillEngineTestWindow");
    EXPECT_EQ(facts.Program, "win_tests.exe");
}

// Five windows on the kill list and five a rule hides, made at once: the
// window events alone (no tick runs here) act on every one.
TEST(PopupRules, BurstOfNewWindowsIsActedOnByTheWindowEvents)
{
    const std::string id = std::to_string(GetCurrentProcessId());
    TRulesKiller killer;
    killer.killList.Add("Burst Listed " + id);
    killer.rules.Add(Rule("Burst Rule * " + id, TPopupAction::Hide));
    ASSERT_TRUE(killer.watch.SetActive(true));
    std::vector<std::string> windows;
    for (int i = 0; i < 5; ++i) {
        windows.push_back("visible:Burst Listed " + id);
        windows.push_back("visible:Burst Rule " + std::to_string(i) + " " + id);
    }
    TTargetProgram target(windows);
    ASSERT_TRUE(target.Ready()) << target.Command() << "\n" << target.Log();
    EXPECT_TRUE(PumpUntil([&] { return killer.reported.size() >= 10; }, 5000)) << target.Log();
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(target.Saw("hidden", "Burst Rule " + std::to_string(i) + " " + id));
    const auto closes = [&] {
        const std::string log = target.Log();
        int count = 0;
        for (std::size_t at = 0; (at = log.find(" close Burst Listed " + id, at)) != std::string::npos; ++at)
            ++count;
        return count;
    };
    EXPECT_TRUE(PumpUntil([&] { return closes() == 5; }, 5000)) << target.Log();
    killer.watch.SetActive(false);
}

// The timer's tick among hundreds of another program's windows: a long-known
// window renamed into a listed title is asked within a turn through them all,
// and a window that refuses to close is asked at every tick, whether the kill
// list or a close rule matched it; the rule's hits and log count it once.
TEST(KillTick, AmongManyWindows_RenamedOneIsAskedWithinATurn_StubbornOnesAtEveryTick)
{
    const std::string id = std::to_string(GetCurrentProcessId());
    const std::string stubbornTitle = "Tick Stubborn " + id, renamedTitle = "Tick Renamed " + id;
    const std::string ruledTitle = "Tick Ruled " + id;
    std::vector<std::string> opened;
    for (int i = 0; i < 300; ++i)
        opened.push_back("refuse:Tick Plain " + std::to_string(i) + " " + id);
    opened.push_back("refuse:" + stubbornTitle);
    opened.push_back("refuse:" + ruledTitle);
    TTargetProgram target(opened);
    ASSERT_TRUE(target.Ready()) << target.Command() << "\n" << target.Log();
    TRulesKiller killer;
    killer.killList.Add(stubbornTitle);
    killer.killList.Add(renamedTitle);
    const int rule = killer.rules.Add(Rule("tick ruled *", TPopupAction::Close));
    const auto asked = [&killer](const std::string& title) {
        return std::count_if(killer.reported.begin(), killer.reported.end(),
                             [&title](const TPopupActionEntry& entry) { return entry.Title == title; });
    };
    const auto closesSeen = [&target](const std::string& title) {
        const std::string log = target.Log(), line = " close " + title + "\n";
        int count = 0;
        for (std::size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1))
            ++count;
        return count;
    };
    killer.watch.Tick();
    killer.watch.Tick();
    ASSERT_EQ(asked(stubbornTitle), 2);
    HWND renamed = FindWindowA(nullptr, ("Tick Plain 150 " + id).c_str());
    ASSERT_NE(renamed, nullptr);
    SetWindowTextA(renamed, renamedTitle.c_str());
    int ticks = 0;
    while (asked(renamedTitle) == 0 && ticks < 100) {
        killer.watch.Tick();
        ++ticks;
    }
    EXPECT_EQ(asked(renamedTitle), 1);
    EXPECT_LE(ticks, 300 / 8 + 1);
    EXPECT_EQ(asked(stubbornTitle), 2 + ticks);
    killer.watch.Tick();
    EXPECT_EQ(asked(renamedTitle), 2);  // it refuses too: asked again at the next tick
    EXPECT_EQ(asked(ruledTitle), asked(stubbornTitle));
    EXPECT_TRUE(PumpUntil([&] { return closesSeen(ruledTitle) == 3 + ticks; }))
        << closesSeen(ruledTitle) << " requests seen of " << 3 + ticks;
    EXPECT_EQ(std::count_if(killer.reported.begin(), killer.reported.end(),
                            [](const TPopupActionEntry& entry) { return entry.RuleId != 0 && !entry.Repeated; }),
              1);
    EXPECT_EQ(killer.rules.Find(rule)->Hits, 1);
}
