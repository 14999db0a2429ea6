#include <gtest/gtest.h>

#include "framework/Application.h"

namespace {
bool* quitFlag = nullptr;
int timerTicks = 0;

void CALLBACK RequestQuitAfterFiveTicks(HWND, UINT, UINT_PTR, DWORD)
{
    if (++timerTicks >= 5)
        *quitFlag = true;
}

double ProcessCpuSeconds()
{
    FILETIME creation, exit, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return ((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}
}  // namespace

TEST(MessageLoop, PostedQuitMessage_DoesNotEndLoop_OnlyQuitRequestedDoes)
{
    TApplication application("LoopTest");
    bool quitRequested = false;
    quitFlag = &quitRequested;
    timerTicks = 0;
    PostQuitMessage(0);
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, RequestQuitAfterFiveTicks);
    application.Run(quitRequested);
    KillTimer(nullptr, timer);
    EXPECT_EQ(timerTicks, 5);  // the loop went on after the quit message, and stopped at the flag
}

TEST(MessageLoop, IdleLoop_SleepsInsteadOfSpinning)
{
    TApplication application("IdleTest");
    bool quitRequested = false;
    quitFlag = &quitRequested;
    timerTicks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 200, RequestQuitAfterFiveTicks);
    const double cpuBefore = ProcessCpuSeconds();
    const DWORD start = GetTickCount();
    application.Run(quitRequested);
    const double wall = (GetTickCount() - start) / 1000.0;
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    KillTimer(nullptr, timer);
    ASSERT_GE(wall, 0.9);
    // A polling loop would burn the whole second; a waiting one uses next to nothing.
    EXPECT_LT(cpu, 0.25 * wall) << "cpu " << cpu << " s over " << wall << " s";
}

TEST(MessageLoop, EndOfSession_AnsweredYesThenSavedOnceAndTheLoopEnds)
{
    TApplication application("SessionTest");
    int saves = 0;
    application.OnEndSession = [&] {
        ++saves;
        EXPECT_FALSE(application.Terminated()) << "saved before the waits unwind";
    };
    EXPECT_EQ(SendMessageW(application.Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    // Another program refused: the session goes on, and so does the program.
    SendMessageW(application.Handle(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    EXPECT_EQ(saves, 0);
    EXPECT_FALSE(application.Terminated());
    SendMessageW(application.Handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    SendMessageW(application.Handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(saves, 1);
    EXPECT_TRUE(application.Terminated());
    const bool neverSet = false;
    application.Run(neverSet);  // returns: the session's end terminated it
}
