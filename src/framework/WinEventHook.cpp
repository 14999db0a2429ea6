#include "WinEventHook.h"

#include <map>

namespace {
// The callback carries no context of its own: each hook handle leads back to its object.
std::map<HWINEVENTHOOK, TWinEventHook*>& Owners()
{
    static std::map<HWINEVENTHOOK, TWinEventHook*> owners;
    return owners;
}

// Two ranges rather than one: the events between HIDE and NAMECHANGE
// (location changes above all) come in floods and say nothing about a new window.
const DWORD kEventRanges[][2] = {
    {EVENT_OBJECT_CREATE, EVENT_OBJECT_HIDE},
    {EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE},
};
}  // namespace

bool TWinEventHook::SetActive(bool value)
{
    if (value == Active())
        return true;
    if (!value) {
        for (HWINEVENTHOOK hook : hooks_) {
            UnhookWinEvent(hook);
            Owners().erase(hook);
        }
        hooks_.clear();
        return true;
    }
    bool complete = true;
    for (const auto& range : kEventRanges) {
        HWINEVENTHOOK hook = SetWinEventHook(range[0], range[1], nullptr, Deliver, 0, 0,
                                             WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
        if (!hook) {
            complete = false;
            continue;
        }
        hooks_.push_back(hook);
        Owners()[hook] = this;
    }
    return complete;
}

void CALLBACK TWinEventHook::Deliver(HWINEVENTHOOK hook, DWORD event, HWND hwnd, LONG idObject, LONG idChild,
                                     DWORD, DWORD)
{
    // Only the window itself, not its caret, scroll bars or other parts; and
    // only top-level windows (a process's message-only and IME windows raise
    // events too).
    if (idObject != OBJID_WINDOW || idChild != CHILDID_SELF || !hwnd || GetAncestor(hwnd, GA_ROOT) != hwnd)
        return;
    // Wine 8 reports the process's own windows despite WINEVENT_SKIPOWNPROCESS.
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process == GetCurrentProcessId())
        return;
    auto owner = Owners().find(hook);
    if (owner != Owners().end() && owner->second->OnWindowEvent)
        owner->second->OnWindowEvent(event, hwnd);
}
