#include "message_box_watcher.h"

namespace {
struct TSearch {
    HWND found = nullptr;
};

BOOL CALLBACK FindOwnDialog(HWND hwnd, LPARAM lParam)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char className[32] = {};
    GetClassNameA(hwnd, className, sizeof className);
    if (pid == GetCurrentProcessId() && IsWindowVisible(hwnd) && lstrcmpA(className, "#32770") == 0) {
        reinterpret_cast<TSearch*>(lParam)->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectStaticText(HWND hwnd, LPARAM lParam)
{
    char className[32] = {};
    GetClassNameA(hwnd, className, sizeof className);
    char text[1024] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    if (lstrcmpiA(className, "Static") == 0 && text[0])
        *reinterpret_cast<std::string*>(lParam) = text;
    return TRUE;
}
}  // namespace

TMessageBoxWatcher::TMessageBoxWatcher(WORD answer) : answer_(answer), thread_([this] { Watch(); }) {}

TMessageBoxWatcher::~TMessageBoxWatcher()
{
    stop_ = true;
    thread_.join();
}

std::vector<TSeenBox> TMessageBoxWatcher::Seen()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
}

void TMessageBoxWatcher::Watch()
{
    while (!stop_) {
        TSearch search;
        EnumWindows(FindOwnDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            TSeenBox box;
            char caption[256] = {};
            GetWindowTextA(search.found, caption, sizeof caption);
            box.caption = caption;
            EnumChildWindows(search.found, CollectStaticText, reinterpret_cast<LPARAM>(&box.text));
            {
                std::lock_guard<std::mutex> lock(mutex_);
                seen_.push_back(box);
            }
            PostMessageA(search.found, WM_COMMAND, answer_, 0);
            // Wait for it to go so it is not recorded twice.
            for (int i = 0; i < 200 && IsWindow(search.found) && IsWindowVisible(search.found); ++i)
                Sleep(10);
        }
        Sleep(20);
    }
}
