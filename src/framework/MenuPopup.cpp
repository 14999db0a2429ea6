#include "MenuPopup.h"

TMenuPopup::~TMenuPopup()
{
    // Each referrer drops its reference, which also takes it out of the set.
    while (!referrers_.empty())
        (*referrers_.begin())->MenuGone(this);
}

void TMenuHandlePopup::Popup(HWND foreground, int x, int y)
{
    if (OnPopup)
        OnPopup();
    const UINT command = static_cast<UINT>(TrackPopupMenu(
        menu_, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, x, y, 0, foreground, nullptr));
    if (command != 0 && commandWindow_)
        PostMessageW(commandWindow_, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}
