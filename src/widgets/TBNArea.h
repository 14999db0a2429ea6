// The system's icon in the notification area of the task bar: one icon with
// its tip, present in the shell while Enabled, kept up to date when the icon
// or tip changes, and the mouse actions on it turned into events or popup
// menus. The owning form holds it as a member, so it dies with the form.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

#include "../framework/Icon.h"
#include "../framework/MenuPopup.h"
#include "../framework/Window.h"

enum TChangeKind { ckIcon = 0, ckTip = 1 };

class TTBNArea : private TMenuReferrer {
public:
    using TNotifyEvent = std::function<void(TTBNArea& sender)>;
    using TChangeEvent = std::function<void(TTBNArea& sender, TChangeKind kind)>;
    using TChangingEvent = std::function<void(TTBNArea& sender, TChangeKind kind, bool& allowChange)>;

    // The longest tip the shell's record holds; longer tips are cut there.
    static constexpr size_t MaxTipLength = 63;

    // Creates the hidden message window and the empty icon; the icon is not
    // in the shell until Loaded.
    TTBNArea();
    virtual ~TTBNArea();
    TTBNArea(const TTBNArea&) = delete;
    TTBNArea& operator=(const TTBNArea&) = delete;

    // Called by the owner once it has set the initial properties: puts the
    // icon in the shell when Enabled.
    void Loaded();

    TMenuPopup* PopupMenuL() const { return popupMenuL_; }
    void SetPopupMenuL(TMenuPopup* menu);
    TMenuPopup* PopupMenuR() const { return popupMenuR_; }
    void SetPopupMenuR(TMenuPopup* menu);

    const TIcon& Icon() const { return icon_; }
    // Keeps a copy of `icon`; giving the component its own icon does nothing.
    void SetIcon(const TIcon& icon);
    void SetIcon(HICON icon);

    const std::string& Tip() const { return tip_; }
    void SetTip(const std::string& tip);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);

    bool PopupOnBoth() const { return popupOnBoth_; }
    void SetPopupOnBoth(bool value) { popupOnBoth_ = value; }

    TChangeEvent OnChange;
    TChangingEvent OnChanging;
    TNotifyEvent OnLeftClick;
    TNotifyEvent OnRightClick;
    TNotifyEvent OnDblClick;

    // The hidden window that receives the shell's callbacks.
    HWND Handle() const { return window_.Handle(); }
    // The number under which the shell reports mouse actions, shared by every instance.
    UINT CallbackMessage() const { return callbackMessage_; }


protected:
    virtual void Change(TChangeKind kind);
    virtual bool Changing(TChangeKind kind);
    virtual void LeftClick();
    virtual void RightClick();
    virtual void DblClick();

    // The one call to the shell; its answer is not acted upon.
    virtual BOOL ShellNotifyIcon(DWORD message, NOTIFYICONDATAW& data);

private:
    // A menu referred to as PopupMenuL or PopupMenuR is being destroyed.
    void MenuGone(TMenuPopup* removed) override;

    class TTrayWindow : public TWindowBase {
    public:
        explicit TTrayWindow(TTBNArea& owner);

    protected:
        bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    private:
        TTBNArea& owner_;
    };

    bool TrayWndProc(UINT message, LPARAM lParam);
    void SendNotifyIcon(DWORD message, UINT flags);
    void PopupAtCursor(TMenuPopup& menu);
    void ReferTo(TMenuPopup*& slot, TMenuPopup* menu);

    TMenuPopup* popupMenuL_ = nullptr;
    TMenuPopup* popupMenuR_ = nullptr;
    TIcon icon_;
    std::string tip_;
    bool enabled_ = true;
    // In the shell: after Loaded or Enabled became true, until Enabled becomes
    // false. Icon and tip changes made before are kept for the add.
    bool present_ = false;
    bool popupOnBoth_ = false;
    UINT callbackMessage_;
    UINT taskbarCreatedMessage_;
    TTrayWindow window_;
};
