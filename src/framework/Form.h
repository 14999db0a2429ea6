// A top-level window of the system: created hidden, shown and hidden on
// demand, hidden again by its close box, with an optional key preview that
// sees keystrokes before its controls.
#pragma once

#include "Container.h"
#include "Font.h"

#include <functional>
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

    // Key preview: runs before the focused control sees WM_KEYDOWN; answer
    // true to swallow the key.
    std::function<bool(WPARAM key)> OnKeyDown;
    bool PreviewKeyDown(WPARAM key) { return OnKeyDown && OnKeyDown(key); }
    // The close box; the form only hides when none is set.
    std::function<void()> OnClose;
    // Runs when the form becomes the active window.
    std::function<void()> OnActivate;

    // The form that holds `hwnd` or one of its ancestors, if any.
    static TForm* FromChild(HWND hwnd);

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    TScopedFont font_;
};
