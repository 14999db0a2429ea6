// How soon a listed popup of another program is asked to close: the system's
// windows with the killer on, and a second copy of this program (another
// process) creating COUNT visible windows with a listed title one after
// another, each timed from its CreateWindowEx to the WM_CLOSE it receives.
// Mode "events" runs the killer as the program does (window events and the
// 500 ms tick); mode "sweep" the tick alone.
//   bench_kill_latency_wine.exe events|sweep COUNT LOGFILE
// The maker writes "MS popup MADE" per window to LOGFILE: the milliseconds
// from the call of CreateWindowEx to WM_CLOSE (-1: none within 5 s), and to
// the return of CreateWindowEx. This program prints the kills it counted.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "app/SystemWindows.h"
#include "app/ihmMain.h"
#include "framework/Application.h"
#include "framework/Files.h"
#include "settings/ihmOptions.h"

namespace {
const char kTitle[] = "Bench Popup";

// Pumps messages until `done` or `deadline` (a tick count).
template <typename Done>
void PumpUntil(Done done, DWORD deadline)
{
    MSG msg;
    while (!done() && static_cast<LONG>(deadline - GetTickCount()) > 0) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, deadline - GetTickCount(), QS_ALLINPUT);
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
}

LARGE_INTEGER popupClosed;  // when the popup in hand received WM_CLOSE; 0 until then

LRESULT CALLBACK PopupProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        QueryPerformanceCounter(&popupClosed);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

int MakePopups(int count, const char* logPath)
{
    FILE* log = std::fopen(logPath, "a");
    if (!log)
        return 2;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PopupProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "BenchPopup";
    RegisterClassA(&wc);
    LARGE_INTEGER frequency, created, made;
    QueryPerformanceFrequency(&frequency);
    const auto ms = [&](const LARGE_INTEGER& t) {
        return static_cast<long>((t.QuadPart - created.QuadPart) * 1000 / frequency.QuadPart);
    };
    for (int i = 0; i < count; ++i) {
        // Pauses spread over a tick's length, so that a timed sweep meets the
        // windows at every point of its period.
        PumpUntil([] { return false; }, GetTickCount() + static_cast<DWORD>(i * 137 % 500));
        popupClosed.QuadPart = 0;
        QueryPerformanceCounter(&created);
        HWND hwnd = CreateWindowExA(0, "BenchPopup", kTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 240, 120,
                                    nullptr, nullptr, wc.hInstance, nullptr);
        QueryPerformanceCounter(&made);
        PumpUntil([] { return popupClosed.QuadPart != 0; }, GetTickCount() + 5000);
        std::fprintf(log, "%ld popup %ld\n", popupClosed.QuadPart ? ms(popupClosed) : -1L, ms(made));
        DestroyWindow(hwnd);
    }
    std::fclose(log);
    return 0;
}

int RunKiller(bool sweepAlone, const char* count, const char* logPath)
{
    TApplication application("KillLatencyBench");
    Application = &application;
    auto windows = std::make_unique<TSystemWindows>();
    ihmOptions->SetInterval(500);
    ihmOptions->SetKillerActive(true);
    if (sweepAlone)
        ihmMain->utlKillWatch.SetActive(false);
    ihmMain->KillList.Add(kTitle);

    std::string command = std::string("\"") + ExecutablePath() + "\" popups " + count + " \"" + logPath + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION maker = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &maker)) {
        std::fprintf(stderr, "cannot start %s\n", command.c_str());
        return 1;
    }
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
    if (argc == 4 && std::strcmp(argv[1], "popups") == 0)
        return MakePopups(std::atoi(argv[2]), argv[3]);
    const bool sweepAlone = argc == 4 && std::strcmp(argv[1], "sweep") == 0;
    if (argc != 4 || (!sweepAlone && std::strcmp(argv[1], "events") != 0)) {
        std::fprintf(stderr, "usage: bench_kill_latency_wine events|sweep COUNT LOGFILE\n");
        return 2;
    }
    return RunKiller(sweepAlone, argv[2], argv[3]);
}
