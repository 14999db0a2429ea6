// One full check of a mailbox through CheckAllMailboxes, as the program runs
// it: the system's windows, the mailbox from the command line, the messages
// read from a real server. Prints messages per second, the CPU seconds of the
// check and the growth of the process's peak committed memory during it.
//   bench_mail_check_wine.exe SERVER USER PASSWORD
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <memory>

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
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_mail_check_wine SERVER USER PASSWORD\n");
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
    std::printf("skarnvale messages=%d seconds=%.3f messages_per_second=%.0f cpu_seconds=%.3f "
                "peak_memory_growth_bytes=%llu header_and_body_bytes=%lld\n",
                ihmMain->Emails.Count(), seconds, ihmMain->Emails.Count() / (seconds > 0 ? seconds : 0.001), cpu,
                static_cast<unsigned long long>(peakGrowth), fetched);
    windows.reset();
    Application = nullptr;
    return 0;
}
