// Answers the message boxes the code under test opens: a background thread
// presses a button (OK unless told: IDYES, IDNO) on every dialog of this
// process and records its caption and text.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "message_pump.h"

struct TSeenBox {
    std::string caption;
    std::string text;
};

class TMessageBoxWatcher {
public:
    explicit TMessageBoxWatcher(WORD answer = IDOK);
    ~TMessageBoxWatcher();
    std::vector<TSeenBox> Seen();

private:
    void Watch();

    WORD answer_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<TSeenBox> seen_;
    std::thread thread_;
};
