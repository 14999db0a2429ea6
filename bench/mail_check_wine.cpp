// Full checks of a mailbox through CheckAllMailboxes, as the program runs
// them: the system's windows, the mailbox from the command line, the messages
// read from a real server. For each check: messages per second, the CPU
// seconds of the check and the growth of the process's peak committed memory.
// Without more arguments: one check, then, for the floor under this system,
// 1,000 NOOPs through the client and 1,000 through a plain blocking socket.
// With STAGING and NEW (folders): a first check, a second one with nothing
// new, then the files of STAGING are moved into NEW (the Maildir's) and a
// third check reads them. With "sessions": 20 sessions opened (connect, and
// STLS when asked) and closed, the time to a session ready for USER each,
// then a first and a second check.
// SKARNVALE_BENCH_PORT, SKARNVALE_BENCH_SECURITY (0, 1 STLS, 2 TLS),
// SKARNVALE_BENCH_FINGERPRINT, SKARNVALE_BENCH_PROTOCOL (0 POP3, 1 IMAP) and
// SKARNVALE_BENCH_FOLDER set the mailbox's values of those names; with
// SKARNVALE_BENCH_IDLE=1 the watch keeps an IMAP session in IDLE after a
// check, as when the mail timer runs.
//   bench_mail_check_wine.exe SERVER USER PASSWORD [STAGING NEW | sessions]
#include <winsock.h>
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
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
    ihmMain->Mail.CheckAllMailboxes(false);
    const double seconds = (GetTickCount() - start) / 1000.0;
    const double cpu = CpuSeconds() - cpuBefore;
    // Wine's peak can lag behind the committed size it last reported: no
    // growth then, rather than a wrapped-around difference.
    const SIZE_T peak = Memory().PeakPagefileUsage;
    const SIZE_T peakGrowth = peak > committedBefore ? peak - committedBefore : 0;

    long long fetched = 0;
    for (int i = 0; i < ihmMain->Mail.Emails.Count(); ++i) {
        const TEmail* email = ihmMain->Mail.Emails.ItemAs<TEmail>(i);
        fetched += static_cast<long long>(email->Header.size() * 2 + email->Body.size());
    }
    std::printf("skarnvale check=%s messages=%d seconds=%.3f messages_per_second=%.0f cpu_seconds=%.3f "
                "peak_memory_growth_bytes=%llu header_and_body_bytes=%lld\n",
                label, ihmMain->Mail.Emails.Count(), seconds, ihmMain->Mail.Emails.Count() / (seconds > 0 ? seconds : 0.001),
                cpu, static_cast<unsigned long long>(peakGrowth), fetched);
    std::fflush(stdout);
}

std::string EnvText(const char* name, const char* otherwise)
{
    const char* value = std::getenv(name);
    return value ? value : otherwise;
}

// Sessions opened as the check opens them, up to the point where USER
// would be sent: the cost of TLS's handshake and certificate check.
void OpenSessions(const TMailBox& mailbox)
{
    TSyncPop3Cli& pop = ihmMain->Mail.Pop;
    pop.Host = mailbox.Server;
    pop.Port = mailbox.Port;
    pop.Security = static_cast<TPop3Security>(mailbox.Security);
    pop.Fingerprint = mailbox.Fingerprint;
    constexpr int Sessions = 20;
    double total = 0, first = 0;
    for (int i = 0; i < Sessions; ++i) {
        LARGE_INTEGER frequency, start, end;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        const bool ready = pop.ConnectSync() && (pop.Security != pop3SecStartTls || pop.StlsSync());
        QueryPerformanceCounter(&end);
        const double ms = (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
        if (!ready) {
            std::printf("session %d failed: %s\n", i + 1, pop.ErrorMessage().c_str());
            return;
        }
        (i == 0 ? first : total) += ms;
        pop.QuitSync();
    }
    std::printf("sessions security=%d port=%s count=%d first_ms=%.1f later_mean_ms=%.2f\n", mailbox.Security,
                mailbox.Port.c_str(), Sessions, first, total / (Sessions - 1));
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
    const bool sessions = argc == 5 && std::string(argv[4]) == "sessions";
    if (argc != 4 && argc != 6 && !sessions) {
        std::fprintf(stderr, "usage: bench_mail_check_wine SERVER USER PASSWORD [STAGING NEW | sessions]\n");
        return 2;
    }
    TApplication application("MailCheckBench");
    Application = &application;
    auto windows = std::make_unique<TSystemWindows>();
    ihmMain->Store.Key = "\\Software\\SkarnValeMailCheckBench";
    auto mailbox = std::make_unique<TMailBox>();
    mailbox->MailboxName = "Bench";
    mailbox->Server = argv[1];
    mailbox->User = argv[2];
    mailbox->Password = argv[3];
    mailbox->Port = EnvText("SKARNVALE_BENCH_PORT", "110");
    mailbox->Security = std::atoi(EnvText("SKARNVALE_BENCH_SECURITY", "0").c_str());
    mailbox->Fingerprint = EnvText("SKARNVALE_BENCH_FINGERPRINT", "");
    mailbox->Protocol = std::atoi(EnvText("SKARNVALE_BENCH_PROTOCOL", "0").c_str());
    mailbox->Folder = EnvText("SKARNVALE_BENCH_FOLDER", "INBOX");
    ihmMain->Mail.SetIdleWatch(EnvText("SKARNVALE_BENCH_IDLE", "0") == "1");
    const TMailBox& box = *mailbox;
    ihmOptions->Mailboxes.Add(std::move(mailbox));

    if (sessions) {
        OpenSessions(box);
        Check("first");
        Check("nothing_new");
    } else if (argc == 6) {
        Check("first");
        Check("nothing_new");
        Deliver(argv[4], argv[5]);
        Check("ten_new");
    } else {
        Check("first");
        NoopRoundTrips(ihmMain->Mail.Pop, argv);
    }
    // A session left in IDLE says LOGOUT before the program ends, as at Quit.
    ihmMain->Mail.RequestQuit();
    windows.reset();
    Application = nullptr;
    return 0;
}
