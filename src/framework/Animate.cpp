#include "Animate.h"

#include <commctrl.h>

#include <stdexcept>

#include "Locale.h"
#include "WideText.h"

namespace {
// The class exists only once the common controls library has registered it,
// which must happen before the base class creates the window.
const char* AnimateClass()
{
    static const bool registered = [] {
        INITCOMMONCONTROLSEX init = {sizeof init, ICC_ANIMATE_CLASS};
        return InitCommonControlsEx(&init) != FALSE;
    }();
    (void)registered;
    return ANIMATE_CLASSA;
}

RECT WindowBounds(HWND hwnd)
{
    RECT r = {0, 0, 0, 0};
    GetWindowRect(hwnd, &r);
    return r;
}
}  // namespace

TAnimate::TAnimate(TContainer& parent, int left, int top)
    : TControl(parent, AnimateClass(), 0, 0, TBounds{left, top, 0, 0})
{
}

void TAnimate::SetFileName(const std::string& name)
{
    if (!fileName_.empty() && LocaleCompareText(name, fileName_) == 0)
        return;
    SetActive(false);
    SendMessageW(Handle(), ACM_OPENW, 0, 0);
    fileName_.clear();
    if (name.empty())
        return;
    const std::wstring path = Widen(name);
    if (!SendMessageW(Handle(), ACM_OPENW, 0, reinterpret_cast<LPARAM>(path.c_str())))
        throw std::runtime_error("Cannot open AVI file '" + name + "'");
    fileName_ = name;
}

void TAnimate::SetActive(bool value)
{
    if (value == active_)
        return;
    if (value) {
        if (fileName_.empty())
            return;
        // From the first frame to the last (0xFFFF), repeated without end (-1).
        if (SendMessageW(Handle(), ACM_PLAY, static_cast<WPARAM>(-1), MAKELPARAM(0, 0xFFFF)))
            active_ = true;
    } else {
        SendMessageW(Handle(), ACM_STOP, 0, 0);
        active_ = false;
    }
}

int TAnimate::Width() const
{
    const RECT r = WindowBounds(Handle());
    return r.right - r.left;
}

int TAnimate::Height() const
{
    const RECT r = WindowBounds(Handle());
    return r.bottom - r.top;
}

bool TAnimate::HandleCommand(WORD code)
{
    if (code == ACN_START) {
        if (OnStart)
            OnStart();
        return true;
    }
    if (code == ACN_STOP) {
        if (OnStop)
            OnStop();
        return true;
    }
    return false;
}
