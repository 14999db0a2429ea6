#include "LCD_Lab.h"

#include "../framework/Form.h"

void TLCDLabel::SetDotMatrix(TDotMatrix value)
{
    const TDotMatrix previous = settings_.DotMatrix;
    settings_.DotMatrix = value;
    if (value == CustomFont) {
        bool loaded = false;
        if (!filename_.empty()) {
            customFont_ = TLCDFont();
            loaded = LoadCustomFont();
        }
        if (!loaded)
            settings_.DotMatrix = previous == CustomFont ? mat5x7 : previous;
    }
    PaintNow();
}

void TLCDLabel::SetFilename(const std::string& value)
{
    filename_ = value;
    SetDotMatrix(CustomFont);
    PaintNow();
}

bool TLCDLabel::LoadCustomFont() { return LoadLCDFontFile(filename_, customFont_); }

const TLCDFont& TLCDLabel::Font() const
{
    if (settings_.DotMatrix == CustomFont && !customFont_.Glyphs.empty())
        return customFont_;
    return BuiltInFont(settings_.DotMatrix == CustomFont ? mat5x7 : settings_.DotMatrix);
}

TLCDGeometry TLCDLabel::Layout(TLCDSettings& drawn)
{
    // The form's DPI: the dots grow with the control's bounds.
    const UINT dpi = TForm::DpiOf(Handle());
    drawn = ScaledLCDSettings(settings_, static_cast<int>(dpi));
    LCDGeometry(settings_, Font());  // the 96-DPI dot size, as the properties answer it
    const TLCDGeometry geometry = LCDGeometry(drawn, Font());
    const TLCDSize current{Width(), Height()};
    // A new DPI keeps the cells: the bounds the form scaled are rounded and
    // may no longer hold the rounded dots, and the user changed no size.
    const bool dpiChanged = dpi != lastDpi_;
    lastDpi_ = dpi;
    const TLCDSize size = LCDLayout(drawn, geometry, current, dpiChanged ? current : lastPainted_);
    settings_.NoOfChars = drawn.NoOfChars;
    settings_.TextLines = drawn.TextLines;
    // Remembered before resizing, so the resize itself is not taken for a new size.
    lastPainted_ = size;
    if (size != current)
        SetWindowPos(Handle(), nullptr, 0, 0, size.Width, size.Height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return geometry;
}

void TLCDLabel::Paint(HDC dc)
{
    TLCDSettings drawn;
    const TLCDGeometry geometry = Layout(drawn);
    const TLCDFrameColors frame{GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW)};
    const TLCDPixels pixels = RenderLCD(drawn, geometry, Font(), caption_, lastPainted_.Width,
                                        lastPainted_.Height, Enabled(), frame);
    DrawPixels(dc, 0, 0, pixels.Width, pixels.Height, pixels.Pixels.data());
}

bool TLCDLabel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == WM_ENABLE) {
        PaintNow();
        result = 0;
        return true;
    }
    if (message == WM_WINDOWPOSCHANGED) {
        // A new size chooses the cells that fit, even while nothing is shown.
        const auto* position = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (!(position->flags & SWP_NOSIZE) && TLCDSize{position->cx, position->cy} != lastPainted_)
            PaintNow();
    }
    return TGraphicControl::HandleMessage(message, wParam, lParam, result);
}
