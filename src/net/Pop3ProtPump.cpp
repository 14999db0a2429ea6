#include "Pop3ProtPump.h"

#include <windows.h>

bool Pop3PumpMessages(bool repost, int& exitCode)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            exitCode = static_cast<int>(msg.wParam);
            if (repost)
                PostQuitMessage(exitCode);
            return true;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return false;
}
