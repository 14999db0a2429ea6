#include "LED.h"

#include "LEDBitmap.h"

#include "../framework/Dpi.h"
#include "../framework/Form.h"

namespace {
TLEDColor NearestLampColor(COLORREF color)
{
    const COLORREF lamps[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(255, 255, 0), RGB(0, 0, 255)};
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < 4; ++i) {
        const long dr = GetRValue(color) - GetRValue(lamps[i]), dg = GetGValue(color) - GetGValue(lamps[i]),
                   db = GetBValue(color) - GetBValue(lamps[i]);
        const long distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return static_cast<TLEDColor>(best);
}

constexpr int kDisabledRow = 4;

// The picture's cell at `width` x `height`, each pixel taken from the one it
// covers: the lamp stays crisp at 144 and 192 DPI.
std::vector<std::uint32_t> Resampled(const std::vector<std::uint32_t>& cell, int width, int height)
{
    std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
                cell[static_cast<size_t>(y * TLEDBitmap::CellHeight / height) * TLEDBitmap::CellWidth +
                     static_cast<size_t>(x * TLEDBitmap::CellWidth / width)];
    return pixels;
}
}  // namespace

int TLED::LampWidth() const { return ScaleToDpi(TLEDBitmap::CellWidth, TForm::DpiOf(Handle())); }

int TLED::LampHeight() const { return ScaleToDpi(TLEDBitmap::CellHeight, TForm::DpiOf(Handle())); }

TLED::TLED(TContainer& parent, int left, int top, TLEDColor color)
    : TGraphicControl(parent, "TLED", {left, top, TLEDBitmap::CellWidth, TLEDBitmap::CellHeight}), color_(color)
{
    TLEDBitmap::Acquire(this);
}

TLED::TLED(TContainer& parent, int left, int top, COLORREF color)
    : TLED(parent, left, top, NearestLampColor(color))
{
}

TLED::~TLED() { TLEDBitmap::Release(this); }

void TLED::SetLit(bool value)
{
    if (lit_ == value)
        return;
    lit_ = value;
    Changed();
}

void TLED::SetColor(TLEDColor value)
{
    if (color_ == value)
        return;
    color_ = value;
    Changed();
}

void TLED::Changed()
{
    PaintNow();
    if (OnChangeState)
        OnChangeState();
}

void TLED::DrawLED(HDC dc)
{
    const TLEDBitmap* bitmap = TLEDBitmap::Current();
    if (!bitmap)
        return;
    const bool enabled = Enabled();
    const int column = enabled && lit_ ? 1 : 0;
    const int row = enabled ? static_cast<int>(color_) : kDisabledRow;
    const std::vector<std::uint32_t> cell = bitmap->Cell(column, row, ParentColor());
    const int width = LampWidth(), height = LampHeight();
    if (width == TLEDBitmap::CellWidth && height == TLEDBitmap::CellHeight)
        DrawPixels(dc, 0, 0, width, height, cell.data());
    else
        DrawPixels(dc, 0, 0, width, height, Resampled(cell, width, height).data());
}

bool TLED::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_WINDOWPOSCHANGING: {
        // Whatever bounds it is given, the lamp keeps the size of its
        // picture at its form's DPI.
        auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
        position->cx = LampWidth();
        position->cy = LampHeight();
        break;
    }
    case WM_ENABLE:
        if (OnChangeState)
            OnChangeState();
        PaintNow();
        result = 0;
        return true;
    default:
        break;
    }
    return TGraphicControl::HandleMessage(message, wParam, lParam, result);
}
