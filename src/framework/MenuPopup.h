// What the tray icon needs from a popup menu: pop it up at a screen point,
// returning once it is closed, and tell every referrer when it goes away, so
// none keeps a dangling reference.
#pragma once

#include <windows.h>

#include <functional>
#include <set>

class TMenuPopup;

// Whoever keeps a pointer to a menu and must drop it when the menu goes.
class TMenuReferrer {
public:
    virtual void MenuGone(TMenuPopup* menu) = 0;

protected:
    ~TMenuReferrer() = default;
};

class TMenuPopup {
public:
    TMenuPopup() = default;
    virtual ~TMenuPopup();
    TMenuPopup(const TMenuPopup&) = delete;
    TMenuPopup& operator=(const TMenuPopup&) = delete;

    // Shows the menu at (x, y) in screen coordinates and returns when it is
    // closed. `foreground` is the window the caller has just made the
    // foreground window; a menu without a window of its own owns the
    // tracking with it, so a click elsewhere dismisses the menu.
    virtual void Popup(HWND foreground, int x, int y) = 0;

    void AddReferrer(TMenuReferrer* referrer) { referrers_.insert(referrer); }
    void RemoveReferrer(TMenuReferrer* referrer) { referrers_.erase(referrer); }

private:
    std::set<TMenuReferrer*> referrers_;
};

// A plain menu handle, not owned. The chosen command is posted as WM_COMMAND
// to `commandWindow` once the menu has closed, so it reaches its handler
// through the ordinary message queue.
class TMenuHandlePopup : public TMenuPopup {
public:
    TMenuHandlePopup(HMENU menu, HWND commandWindow) : menu_(menu), commandWindow_(commandWindow) {}

    HMENU Menu() const { return menu_; }
    // Runs just before the menu shows, to enable or check its items.
    std::function<void()> OnPopup;

    void Popup(HWND foreground, int x, int y) override;

private:
    HMENU menu_;
    HWND commandWindow_;
};
