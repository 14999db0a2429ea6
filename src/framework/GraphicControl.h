// A control with no system class behind it: a child window of a container
// that paints its whole client area itself and turns mouse clicks into
// events. The lamp and the dot-matrix display are built on it.
#pragma once

#include "Container.h"
#include "Controls.h"

#include <cstdint>
#include <functional>
#include <string>

class TGraphicControl : public TWindowBase {
public:
    bool Enabled() const;
    void SetEnabled(bool value);
    bool Visible() const;
    void SetVisible(bool value);
    // Position and size in the parent's client area.
    TBounds Bounds() const;
    void SetBounds(const TBounds& bounds);
    int Width() const { return Bounds().width; }
    int Height() const { return Bounds().height; }
    std::string Text() const;
    void SetText(const std::string& text);

    std::function<void()> OnClick;
    std::function<void()> OnDblClick;

protected:
    // `className` is registered once, with double-clicks.
    TGraphicControl(TContainer& parent, const char* className, const TBounds& bounds);

    // Paints the whole client area on `dc`; used for WM_PAINT, WM_PRINTCLIENT and PaintNow.
    virtual void Paint(HDC) {}
    // Paints at once on the window, without waiting for the next WM_PAINT.
    void PaintNow();
    // The background colour the parent gives its static children.
    COLORREF ParentColor() const;
    // Copies `pixels` (0x00BBGGRR, row by row from the top) to (x, y) of `dc`.
    static void DrawPixels(HDC dc, int x, int y, int width, int height, const std::uint32_t* pixels);

    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};
