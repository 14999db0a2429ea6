// What the kill tick costs with 200 popup rules and 300 open windows of
// another program, none of them matching (every rule is tried on every
// window), under Wine:
//   bench_popup_sweep_wine.exe [WINDOWS RULES SWEEPS]
// A second copy of this program (another process) opens the windows. Prints
// the first tick (every window's program asked, every rule tried), then the
// median and worst of the ticks that follow, with the rules and with the
// kill list alone, right after an edit of the rules, and of whole sweeps;
// the rules' own share; and how many ticks pass before a long-known window
// renamed into a listed title is asked to close.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Files.h"
#include "framework/Locale.h"
#include "model/unitProcessKillWatch.h"

namespace {
int OpenWindows(int count)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"BenchDocument";
    RegisterClassW(&wc);
    for (int i = 0; i < count; ++i)
        CreateWindowExW(0, L"BenchDocument", (L"Document " + std::to_wstring(i) + L" - Editor").c_str(),
                        WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10 + i % 40, 10 + i % 40, 200, 100, nullptr, nullptr,
                        wc.hInstance, nullptr);
    HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, L"PopupSweepBenchReady");
    SetEvent(ready);
    CloseHandle(ready);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// A tick of the kill timer, or a look at every window.
double TimeTick(TKillWatch& watch, bool whole)
{
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    if (whole)
        watch.Sweep();
    else
        watch.Tick();
    QueryPerformanceCounter(&end);
    return Milliseconds(start, end);
}

struct TOpened {
    DWORD process;
    std::vector<TWindowFacts> facts;
    std::vector<HWND> handles;
};

BOOL CALLBACK CollectFacts(HWND hwnd, LPARAM opened)
{
    auto* into = reinterpret_cast<TOpened*>(opened);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process == into->process && IsWindowVisible(hwnd)) {
        into->facts.push_back(WindowFactsOf(hwnd));
        into->handles.push_back(hwnd);
    }
    return TRUE;
}

// The rules' own share of a sweep: their answers for every window.
double TimeMatches(const TPopupRules& rules, const std::vector<TWindowFacts>& windows)
{
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    int matched = 0;
    for (const TWindowFacts& window : windows)
        matched += rules.Match(window) >= 0;
    QueryPerformanceCounter(&end);
    return matched ? -1.0 : Milliseconds(start, end);
}

void Report(const char* what, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    std::printf("%s: median %.2f ms, worst %.2f ms (%zu sweeps)\n", what, times[times.size() / 2], times.back(),
                times.size());
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "windows") == 0)
        return OpenWindows(std::atoi(argv[2]));
    const int windows = argc == 4 ? std::atoi(argv[1]) : 300;
    const int ruleCount = argc == 4 ? std::atoi(argv[2]) : 200;
    const int sweeps = argc == 4 ? std::atoi(argv[3]) : 50;

    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, L"PopupSweepBenchReady");
    std::string command = "\"" + ExecutablePath() + "\" windows " + std::to_string(windows);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION opener = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &opener))
        return 1;
    WaitForSingleObject(ready, 60000);

    TApplication application("PopupSweepBench");
    TWindowList killList(LocaleCompareText);
    for (int i = 0; i < 20; ++i)
        killList.Add("Special offer " + std::to_string(i));
    TPopupRules rules(LocaleCompareText, LocaleUpperText);
    for (int i = 0; i < ruleCount; ++i) {
        TPopupRule rule;
        // Wildcards at both ends, a program or a class: what users write.
        rule.TitlePattern = i % 3 == 0 ? "*Offer " + std::to_string(i) + "*" : "Update ? of " + std::to_string(i);
        rule.Program = i % 3 == 1 ? "setup" + std::to_string(i) + ".exe" : "";
        rule.WindowClass = i % 3 == 2 ? "Dialog" + std::to_string(i) : "";
        rule.Action = static_cast<TPopupAction>(i % 3);
        rules.Add(rule);
    }
    int actions = 0;
    TKillWatch watch(application, killList, rules, [&actions](const TPopupActionEntry&) { ++actions; });

    std::printf("%d windows of another program, %d rules, %d kill-list titles\n", windows, ruleCount, killList.Count());
    std::printf("first tick (every window new: every program asked, every rule tried): %.2f ms\n",
                TimeTick(watch, false));
    std::vector<double> ticks, edited, killListOnly, whole;
    for (int i = 0; i < sweeps; ++i)
        ticks.push_back(TimeTick(watch, false));
    for (int i = 0; i < sweeps; ++i)
        whole.push_back(TimeTick(watch, true));
    for (int i = 0; i < sweeps; ++i) {
        rules.Items()[0].Enabled = i % 2 == 0;  // an edit: every window is looked at again
        edited.push_back(TimeTick(watch, false));
    }
    for (TPopupRule& rule : rules.Items())
        rule.Enabled = false;
    TimeTick(watch, false);
    for (int i = 0; i < sweeps; ++i)
        killListOnly.push_back(TimeTick(watch, false));
    TOpened opened{opener.dwProcessId, {}, {}};
    EnumWindows(CollectFacts, reinterpret_cast<LPARAM>(&opened));
    for (TPopupRule& rule : rules.Items())
        rule.Enabled = true;
    TimeTick(watch, false);
    std::vector<double> answers, answersAfterEdit;
    for (int i = 0; i < sweeps; ++i) {
        rules.Items()[0].Hits = 0;
        answersAfterEdit.push_back(TimeMatches(rules, opened.facts));
        answers.push_back(TimeMatches(rules, opened.facts));
    }
    Report("ticks with the rules", ticks);
    Report("ticks right after an edit of the rules (every window looked at)", edited);
    Report("ticks with the kill list alone", killListOnly);
    Report("whole sweeps, every window looked at (a change of the kill list)", whole);
    std::printf("the rules' own share, their answers for the %zu windows:\n", opened.facts.size());
    Report("  at a sweep", answers);
    Report("  at the first sweep after an edit", answersAfterEdit);
    const int quiet = actions;
    // Long-known windows renamed into a listed title, one at a time: how many
    // ticks pass before the killer asks each to close.
    std::vector<double> renamed;
    for (std::size_t i = 0; i < opened.handles.size() && renamed.size() < 10; i += opened.handles.size() / 10 + 1) {
        const int before = actions;
        SetWindowTextW(opened.handles[i], L"Special offer 7");
        int ticksTaken = 0;
        while (actions == before && ticksTaken < 1000) {
            watch.Tick();
            ++ticksTaken;
        }
        renamed.push_back(ticksTaken);
    }
    std::sort(renamed.begin(), renamed.end());
    std::printf("a long-known window renamed into a listed title: asked to close at tick %.0f (median), %.0f (worst) "
                "of %zu windows renamed\n", renamed[renamed.size() / 2], renamed.back(), renamed.size());
    std::printf("actions while nothing matched: %d (none expected)\n", quiet);
    const int actionsExpected = static_cast<int>(renamed.size());
    actions -= quiet + actionsExpected;
    TerminateProcess(opener.hProcess, 0);
    CloseHandle(opener.hThread);
    CloseHandle(opener.hProcess);
    return quiet == 0 && actions == 0 ? 0 : 1;
}
