#include "TBNArea.h"

#include <cstddef>
#include <cstring>

#include "../framework/WideText.h"

// The shell is always handed the first form of its record: the tip field is
// 64 UTF-16 units and the size is 152 in the 32-bit build (168 with 64-bit handles).
static_assert(NOTIFYICONDATAW_V1_SIZE == (sizeof(void*) == 4 ? 152 : 168),
              "first form of the notification-icon record");
static_assert(TTBNArea::MaxTipLength + 1 ==
                  (NOTIFYICONDATAW_V1_SIZE - offsetof(NOTIFYICONDATAW, szTip)) / sizeof(wchar_t),
              "the first form's tip field holds 63 units and the zero");

namespace {
const char kTrayWindowClass[] = "TSkarnValeTrayWindow";
const UINT kIconId = 1;  // one icon per component window
const UINT kAllFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
}  // namespace

TTBNArea::TTrayWindow::TTrayWindow(TTBNArea& owner) : owner_(owner)
{
    RegisterClassOnce(kTrayWindowClass);
    CreateHandle(kTrayWindowClass, "", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0, nullptr);
}

bool TTBNArea::TTrayWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (owner_.TrayWndProc(message, lParam)) {
        result = 0;
        return true;
    }
    return TWindowBase::HandleMessage(message, wParam, lParam, result);
}

TTBNArea::TTBNArea()
    : callbackMessage_(RegisterWindowMessageW(L"NSM_NewTNIMessage")),
      taskbarCreatedMessage_(RegisterWindowMessageW(L"TaskbarCreated")),
      window_(*this)
{
}

TTBNArea::~TTBNArea()
{
    if (present_)
        SendNotifyIcon(NIM_DELETE, kAllFlags);
    SetPopupMenuL(nullptr);
    SetPopupMenuR(nullptr);
}

void TTBNArea::Loaded()
{
    if (!enabled_ || present_)
        return;
    present_ = true;
    SendNotifyIcon(NIM_ADD, kAllFlags);
}

void TTBNArea::SetPopupMenuL(TMenuPopup* menu) { ReferTo(popupMenuL_, menu); }

void TTBNArea::SetPopupMenuR(TMenuPopup* menu) { ReferTo(popupMenuR_, menu); }

void TTBNArea::ReferTo(TMenuPopup*& slot, TMenuPopup* menu)
{
    TMenuPopup* old = slot;
    slot = menu;
    if (old && old != popupMenuL_ && old != popupMenuR_)
        old->RemoveReferrer(this);
    if (menu)
        menu->AddReferrer(this);
}

void TTBNArea::MenuGone(TMenuPopup* removed)
{
    if (!removed)
        return;
    if (popupMenuL_ == removed)
        popupMenuL_ = nullptr;
    if (popupMenuR_ == removed)
        popupMenuR_ = nullptr;
    removed->RemoveReferrer(this);
}

void TTBNArea::SetIcon(const TIcon& icon)
{
    if (&icon == &icon_)
        return;
    SetIcon(icon.Handle());
}

void TTBNArea::SetIcon(HICON icon)
{
    if (icon && icon == icon_.Handle())
        return;
    if (!Changing(ckIcon))
        return;
    icon_.Assign(icon);
    if (!present_)
        return;
    SendNotifyIcon(NIM_MODIFY, NIF_ICON);
    Change(ckIcon);
}

void TTBNArea::SetTip(const std::string& tip)
{
    if (tip == tip_)
        return;
    if (!Changing(ckTip))
        return;
    tip_ = tip;
    if (!present_)
        return;
    SendNotifyIcon(NIM_MODIFY, NIF_TIP);
    // The tip is set from the check cycle; a faulty handler must not end it.
    try {
        Change(ckTip);
    } catch (...) {
    }
}

void TTBNArea::SetEnabled(bool value)
{
    if (value == enabled_)
        return;
    enabled_ = value;
    present_ = value;
    SendNotifyIcon(value ? NIM_ADD : NIM_DELETE, kAllFlags);
}

void TTBNArea::Change(TChangeKind kind)
{
    if (OnChange)
        OnChange(*this, kind);
}

bool TTBNArea::Changing(TChangeKind kind)
{
    bool allowChange = true;
    if (OnChanging)
        OnChanging(*this, kind, allowChange);
    return allowChange;
}

void TTBNArea::LeftClick()
{
    if (popupMenuL_)
        PopupAtCursor(*popupMenuL_);
    else if (OnLeftClick)
        OnLeftClick(*this);
}

void TTBNArea::RightClick()
{
    if (popupMenuL_ && popupOnBoth_)
        PopupAtCursor(*popupMenuL_);
    else if (popupMenuR_)
        PopupAtCursor(*popupMenuR_);
    else if (OnRightClick)
        OnRightClick(*this);
}

void TTBNArea::DblClick()
{
    if (OnDblClick)
        OnDblClick(*this);
}

bool TTBNArea::TrayWndProc(UINT message, LPARAM lParam)
{
    if (message == taskbarCreatedMessage_) {
        // A restarted task bar has lost every icon; without ours the program
        // could no longer be reached at all.
        if (present_)
            SendNotifyIcon(NIM_ADD, kAllFlags);
        return false;
    }
    if (message != callbackMessage_)
        return false;
    switch (LOWORD(lParam)) {
    case WM_LBUTTONDOWN:
        LeftClick();
        break;
    case WM_LBUTTONDBLCLK:
        DblClick();
        break;
    case WM_RBUTTONDOWN:
        RightClick();
        break;
    default:  // moves, releases and the middle button mean nothing here
        break;
    }
    return true;
}

void TTBNArea::SendNotifyIcon(DWORD message, UINT flags)
{
    NOTIFYICONDATAW data;
    std::memset(&data, 0, sizeof data);
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = Handle();
    data.uID = kIconId;
    data.uFlags = flags;
    data.uCallbackMessage = callbackMessage_;
    data.hIcon = icon_.Handle();
    const std::wstring tip = Widen(tip_);
    size_t length = tip.size() < MaxTipLength ? tip.size() : MaxTipLength;
    // A character outside the BMP is not cut in half.
    if (length < tip.size() && length > 0 && tip[length - 1] >= 0xD800 && tip[length - 1] < 0xDC00)
        --length;
    std::memcpy(data.szTip, tip.data(), length * sizeof(wchar_t));
    data.szTip[length] = L'\0';
    ShellNotifyIcon(message, data);
}

BOOL TTBNArea::ShellNotifyIcon(DWORD message, NOTIFYICONDATAW& data) { return Shell_NotifyIconW(message, &data); }

void TTBNArea::PopupAtCursor(TMenuPopup& menu)
{
    POINT at = {0, 0};
    GetCursorPos(&at);
    SetForegroundWindow(Handle());
    menu.Popup(Handle(), at.x, at.y);
    // Lets the menu close properly when the user clicks outside it.
    PostMessageW(nullptr, WM_NULL, 0, 0);
}
