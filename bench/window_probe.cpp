// How long SkarnVale's windows take to answer, from outside the program.
//   bench_window_probe.exe LOGFILE
// Sends WM_NULL to every top-level window of SkarnVale's thread (found by its
// TApplication window), each with SendMessageTimeout, again and again until
// that window is gone. Logs "UNIXMS WORSTMS" for each pass whose slowest
// answer took 20 ms or more, and prints the worst of all at the end.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM windows)
{
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(hwnd);
    return TRUE;
}

long long UnixMilliseconds()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const unsigned long long ticks = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return static_cast<long long>(ticks / 10000ULL - 11644473600000ULL);
}
}  // namespace

int main(int argc, char** argv)
{
    HWND application = argc == 2 ? FindWindowA("TApplication", "Skarnvale") : nullptr;
    if (!application)
        return 1;
    const DWORD thread = GetWindowThreadProcessId(application, nullptr);
    FILE* log = std::fopen(argv[1], "a");
    if (!log)
        return 2;
    DWORD worst = 0;
    while (IsWindow(application)) {
        std::vector<HWND> windows;
        EnumThreadWindows(thread, CollectWindow, reinterpret_cast<LPARAM>(&windows));
        DWORD passWorst = 0;
        for (HWND hwnd : windows) {
            const DWORD start = GetTickCount();
            DWORD_PTR answer = 0;
            SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &answer);
            passWorst = std::max(passWorst, GetTickCount() - start);
        }
        if (passWorst >= 20) {
            std::fprintf(log, "%lld %lu\n", UnixMilliseconds(), static_cast<unsigned long>(passWorst));
            std::fflush(log);
        }
        worst = std::max(worst, passWorst);
        Sleep(5);
    }
    std::fclose(log);
    std::printf("worst %lu ms\n", static_cast<unsigned long>(worst));
    return 0;
}
