// Full checks of a mailbox through CheckAllMailboxes, as the program runs
// them: the system's windows, the mailbox from the command line, the messages
// read from a real server. For each check: messages per second, the CPU
// seconds of the check and the growth of the process's peak committed memory.
// Without more arguments: one check, then, for the floor under this system,
// 1,000 NOOPs through the client and 1,000 through a plain blocking socket.
// With STAGING and NEW (folders): a first check, a second one with nothing
// new, then the files of STAGING are moved into NEW (the Maildir's) and a
// third check reads them.
//   bench_mail_check_wine.exe SERVER USER PASSWORD [STAGING NEW]
#include <winsock.h>
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <memory>
#include <string>

#include "app/SystemWindows.h"
#include "app/ihmMain.h"
#include "framework/Application.h"
#include "settings/ihmOptions.h"

namespace {
double CpuSeconds()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto seconds = [](const FILETIME& t) {
        return ((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

PROCESS_MEMORY_COUNTERS Memory()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

void NoopRoundTrips(TSyncPop3Cli& pop, char** argv)
{
    pop.Host = argv[1];
    pop.Port = "110";
    pop.UserName = argv[2];
    pop.PassWord = argv[3];
    pop.ConnectSync();
    pop.UserSync();
    pop.PassSync();
    double cpu = CpuSeconds();
    DWORD start = GetTickCount();
    for (int i = 0; i < 1000; ++i)
        pop.NoopSync();
    std::printf("client NOOP round_trips=1000 ms=%lu cpu_seconds=%.3f\n", GetTickCount() - start, CpuSeconds() - cpu);
    pop.QuitSync();

    WSADATA data;
    WSAStartup(0x0101, &data);
    SOCKET raw = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in where = {};
    where.sin_family = AF_INET;
    where.sin_port = htons(110);
    where.sin_addr.s_addr = inet_addr(argv[1]);
    char reply[4096];
    if (connect(raw, reinterpret_cast<sockaddr*>(&where), sizeof where) == 0 && recv(raw, reply, sizeof reply, 0) > 0) {
        cpu = CpuSeconds();
        start = GetTickCount();
        for (int i = 0; i < 1000; ++i) {
            send(raw, "NOOP\r\n", 6, 0);
            recv(raw, reply, sizeof reply, 0);
        }
        std::printf("blocking-socket NOOP round_trips=1000 ms=%lu cpu_seconds=%.3f\n", GetTickCount() - start,
                    CpuSeconds() - cpu);
    }
    closesocket(raw);
    WSACleanup();
}

void Check(const char* label)
{
    const SIZE_T committedBefore = Memory().PagefileUsage;
    const double cpuBefore = CpuSeconds();
    const DWORD start = GetTickCount();
    ihmMain->CheckAllMailboxes(false);
    const double seconds = (GetTickCount() - start) / 1000.0;
    const double cpu = CpuSeconds() - cpuBefore;
    const SIZE_T peakGrowth = Memory().PeakPagefileUsage - committedBefore;

    long long fetched = 0;
    for (int i = 0; i < ihmMain->Emails.Count(); ++i) {
        const TEmail* email = ihmMain->Emails.ItemAs<TEmail>(i);
        fetched += static_cast<long long>(email->Header.size() * 2 + email->Body.size());
    }
    std::printf("skarnvale check=%s messages=%d seconds=%.3f messages_per_second=%.0f cpu_seconds=%.3f "
                "peak_memory_growth_bytes=%llu header_and_body_bytes=%lld\n",
                label, ihmMain->Emails.Count(), seconds, ihmMain->Emails.Count() / (seconds > 0 ? seconds : 0.001),
                cpu, static_cast<unsigned long long>(peakGrowth), fetched);
    std::fflush(stdout);
}

// Moves every file of `from` into `to`, as a delivery would.
void Deliver(const std::string& from, const std::string& to)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((from + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            MoveFileA((from + "\\" + found.cFileName).c_str(), (to + "\\" + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4 && argc != 6) {
        std::fprintf(stderr, "usage: bench_mail_check_wine SERVER USER PASSWORD [STAGING NEW]\n");
        return 2;
    }
    TApplication application("MailCheckBench");
    Application = &application;
    auto windows = std::make_unique<TSystemWindows>();
    ihmOptions->RegistryKey = "\\Software\\SkarnValeMailCheckBench";
    auto mailbox = std::make_unique<TMailBox>();
    mailbox->MailboxName = "Bench";
    mailbox->Server = argv[1];
    mailbox->User = argv[2];
    mailbox->Password = argv[3];
    ihmOptions->Mailboxes.Add(std::move(mailbox));

    if (argc == 6) {
        Check("first");
        Check("nothing_new");
        Deliver(argv[4], argv[5]);
        Check("ten_new");
    } else {
        Check("first");
        NoopRoundTrips(ihmMain->utlPop, argv);
    }
    windows.reset();
    Application = nullptr;
    return 0;
}
