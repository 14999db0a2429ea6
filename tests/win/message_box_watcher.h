// Answers the message boxes the code under test opens: a background thread
// presses OK on every dialog of this process and records its caption and text.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct TSeenBox {
    std::string caption;
    std::string text;
};

class TMessageBoxWatcher {
public:
    TMessageBoxWatcher();
    ~TMessageBoxWatcher();
    std::vector<TSeenBox> Seen();

private:
    void Watch();

    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<TSeenBox> seen_;
    std::thread thread_;
};

// Dispatches this thread's messages until `done` answers true or `ms` pass.
template <class TCondition>
bool PumpUntil(TCondition done, DWORD ms = 3000)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done())
            return true;
        if (GetTickCount() - start > ms)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}
