// The on/off lamp of the options dialog: a 12 x 13 picture, lit or dark in
// one of four colours, an empty ring when disabled, and a double-click that
// the dialog turns into the matching toggle.
#pragma once

#include "../framework/GraphicControl.h"

enum TLEDColor { lcRed, lcGreen, lcYellow, lcBlue };

class TLED : public TGraphicControl {
public:
    TLED(TContainer& parent, int left, int top, TLEDColor color = lcRed);
    // The lamp colour nearest to `color` (pure red, green, yellow or blue).
    TLED(TContainer& parent, int left, int top, COLORREF color);
    ~TLED() override;

    bool Lit() const { return lit_; }
    void SetLit(bool value);
    TLEDColor Color() const { return color_; }
    void SetColor(TLEDColor value);
    void SetEnabledState(bool value) { SetEnabled(value); }

    // After Lit, Color or the enabled state changed.
    std::function<void()> OnChangeState;

protected:
    // Paints the cell of the current state.
    virtual void DrawLED(HDC dc);
    void Paint(HDC dc) override { DrawLED(dc); }
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void Changed();
    // The picture's 12 x 13 pixels at the form's DPI.
    int LampWidth() const;
    int LampHeight() const;

    bool lit_ = false;
    TLEDColor color_ = lcRed;
};
