#include <gtest/gtest.h>

#include "framework/Application.h"

TEST(MessageLoop, PostedQuitMessage_DoesNotEndLoopOnlyQuitRequestedDoes)
{
    TApplication application("LoopTest");
    bool quitRequested = false;
    int ticks = 0;
    PostQuitMessage(0);
    // A timer keeps the loop busy for a few passes after the quit message, then asks to quit.
    UINT_PTR timer = SetTimer(application.Handle(), 77, 20, nullptr);
    ASSERT_NE(timer, 0u);
    struct Hook : TWindowBase {};
    MSG msg;
    (void)msg;
    // Drive the flag from a thread timer callback on the same thread.
    static bool* flag = &quitRequested;
    static int* count = &ticks;
    SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
        if (++*count >= 5)
            *flag = true;
    });
    application.Run(quitRequested);
    EXPECT_GE(ticks, 5);
    EXPECT_TRUE(quitRequested);
}
