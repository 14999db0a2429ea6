// The on/off lamp of the options dialog: lit or dark, enabled or not, and a
// double-click that the dialog turns into the matching toggle.
#pragma once

#include "../framework/Controls.h"

class TLED : public TControl {
public:
    TLED(TContainer& parent, int left, int top, COLORREF color);

    bool Lit() const { return lit_; }
    void SetLit(bool value);
    COLORREF Color() const { return color_; }
    void SetEnabledState(bool value);

    std::function<void()> OnDblClick;
    bool HandleCommand(WORD code) override;

private:
    void Show();

    COLORREF color_;
    bool lit_ = false;
};
