// How soon listed popups of another program are asked to close, SkarnVale
// beside a minimal reference killer, in the same run:
//   bench_popup_latency_wine.exe skarnvale|reference single|burst|series|late ROUNDS LOGFILE
// "skarnvale" runs the system's windows with the killer on (window events
// and the 500 ms tick) and the title on the kill list; "reference" is the
// least a killer can do: an out-of-context hook on the creation, showing and
// renaming of windows that posts WM_CLOSE when the title is the listed one.
// Each starts a second copy of this program (another process) that creates,
// per round, one window ("single"), five at the same instant from five
// threads ("burst"), five in a row from one thread ("series"), visible and
// titled from CreateWindowEx on, or five made hidden and shown 300 ms later
// ("late", timed from the ShowWindow call), and logs
// "MS popup MADE POSTED" per window, in milliseconds from the call of its
// CreateWindowEx: to the WM_CLOSE it received (-1: none within 5 s), to that
// call's return, and to the posting of the WM_CLOSE. The first is what the
// user sees: a window goes when it reads its WM_CLOSE, which it cannot do
// before CreateWindowEx returns (20-40 ms under Wine here, an X window each).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/SystemWindows.h"
#include "app/ihmMain.h"
#include "framework/Application.h"
#include "framework/Files.h"
#include "settings/ihmOptions.h"

namespace {
const wchar_t kTitle[] = L"Bench Popup";
const int kBurst = 5;

template <typename Done>
void PumpUntil(Done done, DWORD deadline)
{
    MSG msg;
    while (!done() && static_cast<LONG>(deadline - GetTickCount()) > 0) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, deadline - GetTickCount(), QS_ALLINPUT);
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
}

// One window of a round, timed.
struct TPopup {
    HANDLE start;
    DWORD called = 0, made = 0, posted = 0, received = 0;
    bool closed = false;
};

// The windows of one thread: made one after the other, then their messages
// read; with `showAfter`, made hidden and shown that many milliseconds later
// (without the showing's event, as under Wine), each timed from its showing.
struct TPopupThread {
    HANDLE start;
    std::vector<TPopup*> popups;
    DWORD showAfter = 0;
};

LRESULT CALLBACK PopupProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        auto* popup = reinterpret_cast<TPopup*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (popup && !popup->closed) {
            popup->received = GetTickCount();
            popup->posted = static_cast<DWORD>(GetMessageTime());
            popup->closed = true;
        }
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

DWORD WINAPI MakeSome(void* argument)
{
    auto* made = static_cast<TPopupThread*>(argument);
    WaitForSingleObject(made->start, INFINITE);
    std::vector<HWND> windows;
    for (TPopup* popup : made->popups) {
        popup->called = GetTickCount();
        HWND hwnd = CreateWindowExW(0, L"BenchPopup", kTitle, WS_OVERLAPPEDWINDOW | (made->showAfter ? 0 : WS_VISIBLE),
                                    100, 100, 240, 120, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        popup->made = GetTickCount();
        // A WM_CLOSE posted before the pointer was set is read after it, in the loop below.
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(popup));
        windows.push_back(hwnd);
    }
    if (made->showAfter) {
        PumpUntil([] { return false; }, GetTickCount() + made->showAfter);
        for (std::size_t i = 0; i < windows.size(); ++i) {
            made->popups[i]->called = GetTickCount();
            ShowWindow(windows[i], SW_SHOWNOACTIVATE);
            made->popups[i]->made = GetTickCount();
        }
    }
    PumpUntil(
        [made] {
            for (const TPopup* popup : made->popups)
                if (!popup->closed)
                    return false;
            return true;
        },
        GetTickCount() + 5000);
    for (HWND hwnd : windows)
        DestroyWindow(hwnd);
    return 0;
}

// "single": one window a round; "burst": five, from five threads at once;
// "series": five, one after the other from one thread, as one program opens
// them; "late": five made hidden at once and shown 300 ms later, as a program
// that readies its popups before it shows them, timed from their showing.
int MakePopups(const std::string& shape, int rounds, const char* logPath)
{
    FILE* log = std::fopen(logPath, "a");
    if (!log)
        return 2;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = PopupProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"BenchPopup";
    RegisterClassW(&wc);
    const int perRound = shape == "single" ? 1 : kBurst;
    const int threadCount = shape == "burst" || shape == "late" ? kBurst : 1;
    // The killer's start settles first.
    PumpUntil([] { return false; }, GetTickCount() + 1000);
    for (int round = 0; round < rounds; ++round) {
        // Pauses spread over a tick's length, so that a sweep meets the rounds at every point of its period.
        PumpUntil([] { return false; }, GetTickCount() + 300 + static_cast<DWORD>(round * 137 % 500));
        HANDLE start = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        std::vector<TPopup> made(static_cast<std::size_t>(perRound));
        std::vector<TPopupThread> makers(static_cast<std::size_t>(threadCount));
        for (std::size_t i = 0; i < made.size(); ++i)
            makers[i % makers.size()].popups.push_back(&made[i]);
        std::vector<HANDLE> threads;
        for (TPopupThread& maker : makers) {
            maker.start = start;
            maker.showAfter = shape == "late" ? 300 : 0;
            threads.push_back(CreateThread(nullptr, 0, MakeSome, &maker, 0, nullptr));
        }
        SetEvent(start);
        WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), TRUE, INFINITE);
        for (HANDLE thread : threads)
            CloseHandle(thread);
        CloseHandle(start);
        for (const TPopup& popup : made)
            std::fprintf(log, "%ld popup %ld %ld\n", popup.closed ? static_cast<long>(popup.received - popup.called) : -1L,
                         static_cast<long>(popup.made - popup.called),
                         popup.closed ? static_cast<long>(static_cast<LONG>(popup.posted - popup.called)) : -1L);
    }
    std::fclose(log);
    return 0;
}

// The reference: nothing but the hook and the title.
void CALLBACK ReferenceEvent(HWINEVENTHOOK, DWORD, HWND hwnd, LONG idObject, LONG idChild, DWORD, DWORD)
{
    if (idObject != OBJID_WINDOW || idChild != CHILDID_SELF || !hwnd)
        return;
    wchar_t title[256];
    if (GetWindowTextW(hwnd, title, 256) > 0 && std::wcscmp(title, kTitle) == 0)
        PostMessageW(hwnd, WM_CLOSE, 0, 0);
}

bool StartMaker(const char* shape, const char* rounds, const char* logPath, PROCESS_INFORMATION& maker)
{
    std::string command = std::string("\"") + ExecutablePath() + "\" make " + shape + " " + rounds + " \"" + logPath + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &maker))
        return true;
    std::fprintf(stderr, "cannot start %s\n", command.c_str());
    return false;
}

int RunReference(const char* shape, const char* rounds, const char* logPath)
{
    HWINEVENTHOOK hooks[] = {
        SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, nullptr, ReferenceEvent, 0, 0, WINEVENT_OUTOFCONTEXT),
        SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, ReferenceEvent, 0, 0,
                        WINEVENT_OUTOFCONTEXT),
    };
    PROCESS_INFORMATION maker = {};
    if (!StartMaker(shape, rounds, logPath, maker))
        return 1;
    MSG msg;
    while (MsgWaitForMultipleObjects(1, &maker.hProcess, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    for (HWINEVENTHOOK hook : hooks)
        UnhookWinEvent(hook);
    CloseHandle(maker.hThread);
    CloseHandle(maker.hProcess);
    return 0;
}

int RunSkarnVale(const char* shape, const char* rounds, const char* logPath)
{
    TApplication application("PopupLatencyBench");
    Application = &application;
    auto windows = std::make_unique<TSystemWindows>();
    ihmOptions->SetInterval(500);
    ihmOptions->SetKillerActive(true);
    ihmMain->KillList.Add("Bench Popup");
    PROCESS_INFORMATION maker = {};
    if (!StartMaker(shape, rounds, logPath, maker))
        return 1;
    while (MsgWaitForMultipleObjects(1, &maker.hProcess, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
        application.ProcessMessages();
    CloseHandle(maker.hThread);
    CloseHandle(maker.hProcess);
    std::printf("kills counted: %d\n", ihmOptions->Counter());
    windows.reset();
    Application = nullptr;
    return 0;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], "make") == 0)
        return MakePopups(argv[2], std::atoi(argv[3]), argv[4]);
    if (argc != 5 || (std::strcmp(argv[2], "single") != 0 && std::strcmp(argv[2], "burst") != 0 &&
                      std::strcmp(argv[2], "series") != 0 && std::strcmp(argv[2], "late") != 0)) {
        std::fprintf(stderr, "usage: bench_popup_latency_wine skarnvale|reference single|burst|series|late ROUNDS LOGFILE\n");
        return 2;
    }
    if (std::strcmp(argv[1], "reference") == 0)
        return RunReference(argv[2], argv[3], argv[4]);
    if (std::strcmp(argv[1], "skarnvale") == 0)
        return RunSkarnVale(argv[2], argv[3], argv[4]);
    return 2;
}
