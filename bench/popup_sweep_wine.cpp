// What the kill tick's sweep costs with 200 popup rules and 300 open windows
// of another program, none of them matching (every rule is tried on every
// window), under Wine:
//   bench_popup_sweep_wine.exe [WINDOWS RULES SWEEPS]
// A second copy of this program (another process) opens the windows. Prints
// the first sweep (every window's program asked, every rule tried), then the
// median and worst of the sweeps that follow, with the rules and with the
// kill list alone, and of sweeps right after an edit of the rules.
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

double TimeSweep(TKillWatch& watch)
{
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    watch.Sweep();
    QueryPerformanceCounter(&end);
    return Milliseconds(start, end);
}

struct TOpened {
    DWORD process;
    std::vector<TWindowFacts> facts;
};

BOOL CALLBACK CollectFacts(HWND hwnd, LPARAM opened)
{
    auto* into = reinterpret_cast<TOpened*>(opened);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process == into->process && IsWindowVisible(hwnd))
        into->facts.push_back(WindowFactsOf(hwnd));
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
    std::printf("first sweep (every program asked, every rule tried): %.2f ms\n", TimeSweep(watch));
    std::vector<double> withRules, edited, killListOnly;
    for (int i = 0; i < sweeps; ++i)
        withRules.push_back(TimeSweep(watch));
    for (int i = 0; i < sweeps; ++i) {
        rules.Items()[0].Hits = 0;  // any edit: the rules' answers are asked again
        edited.push_back(TimeSweep(watch));
    }
    for (TPopupRule& rule : rules.Items())
        rule.Enabled = false;
    for (int i = 0; i < sweeps; ++i)
        killListOnly.push_back(TimeSweep(watch));
    TOpened opened{opener.dwProcessId, {}};
    EnumWindows(CollectFacts, reinterpret_cast<LPARAM>(&opened));
    for (TPopupRule& rule : rules.Items())
        rule.Enabled = true;
    std::vector<double> answers, answersAfterEdit;
    for (int i = 0; i < sweeps; ++i) {
        rules.Items()[0].Hits = 0;
        answersAfterEdit.push_back(TimeMatches(rules, opened.facts));
        answers.push_back(TimeMatches(rules, opened.facts));
    }
    Report("sweeps with the rules", withRules);
    Report("sweeps right after an edit of the rules", edited);
    Report("sweeps with the kill list alone", killListOnly);
    std::printf("the rules' own share, their answers for the %zu windows:\n", opened.facts.size());
    Report("  at a sweep", answers);
    Report("  at the first sweep after an edit", answersAfterEdit);
    std::printf("actions: %d (none expected)\n", actions);
    TerminateProcess(opener.hProcess, 0);
    CloseHandle(opener.hThread);
    CloseHandle(opener.hProcess);
    return actions == 0 ? 0 : 1;
}
