#include "Pop3ProtPump.h"

#include <windows.h>

#include "framework/Application.h"

bool Pop3PumpMessages(bool repost, int& exitCode)
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            exitCode = static_cast<int>(msg.wParam);
            if (repost)
                PostQuitMessage(exitCode);
            return true;
        }
        TApplication::Dispatch(msg);  // the forms' keys work during a conversation too
    }
    return false;
}
