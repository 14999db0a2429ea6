// A top-level window of the system: created hidden, shown and hidden on
// demand, hidden again by its close box, with an optional key preview that
// sees keystrokes before its controls.
#pragma once

#include "Container.h"
#include "Font.h"
#include "Icon.h"

#include <functional>
#include <map>
#include <string>

class TControl;

struct TFormOptions {
    std::string caption;
    int clientWidth = 300;
    int clientHeight = 200;
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    DWORD exStyle = 0;
    bool centred = true;
    HWND owner = nullptr;  // the desktop window for forms owned by it
    const char* fontName = "MS Sans Serif";
    int fontHeight = -11;
    // The caption's and the task switcher's icon: the program's own.
    const char* iconName = "MAINICON";
};

class TForm : public TContainer {
public:
    explicit TForm(const TFormOptions& options);
    ~TForm() override;

    void Show();
    void Hide();
    bool Visible() const;
    void BringToFront();
    void FocusControl(TControl& control);

    std::string Caption() const;
    void SetCaption(const std::string& text);
    HFONT Font() const override { return font_.get(); }
    // The DPI the form is laid out at: the system's at its creation, then the
    // one each WM_DPICHANGED brings (the monitor it moved to).
    UINT Dpi() const override { return dpi_; }
    // The DPI of the form holding `hwnd`, else the window's own.
    static UINT DpiOf(HWND hwnd);
    // Lays the form out again at `dpi` in `frame`: the font made again at
    // that DPI, every child window moved and sized in proportion, each told
    // by WM_DPICHANGED_AFTERPARENT, then OnDpiChanged.
    void ApplyDpi(UINT dpi, const RECT& frame);
    std::function<void()> OnDpiChanged;
    // True while ApplyDpi runs: the DPI is the new one, sizes may be the old.
    bool ChangingDpi() const { return changingDpi_; }

    // Key preview: runs before the focused control sees WM_KEYDOWN; answer
    // true to swallow the key.
    std::function<bool(WPARAM key)> OnKeyDown;
    bool PreviewKeyDown(WPARAM key) { return OnKeyDown && OnKeyDown(key); }
    // The close box; the form only hides when none is set.
    std::function<void()> OnClose;
    // Runs when the form becomes the active window.
    std::function<void()> OnActivate;
    // Runs as the form is about to be shown, whether or not it becomes active.
    std::function<void()> OnShow;

    // The form that holds `hwnd` or one of its ancestors, if any.
    static TForm* FromChild(HWND hwnd);

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // A child's origin and size as they were at the DPI they were taken at,
    // and where the form last put them.
    struct TChildPlace {
        POINT origin{};
        UINT originDpi = 96;
        SIZE size{};
        UINT sizeDpi = 96;
        POINT placedOrigin{};
        SIZE placedSize{};
    };
    RECT ScaledPlace(HWND child, UINT old, UINT dpi, std::map<HWND, TChildPlace>& places) const;
    // The icons loaded at the sizes of the form's DPI.
    void LoadIcons();

    std::map<HWND, TChildPlace> childPlaces_;
    TScopedFont font_;
    std::string fontName_;
    int fontHeight_;
    UINT dpi_;
    const char* iconName_;
    bool changingDpi_ = false;
    TIcon smallIcon_;
    TIcon largeIcon_;
};
