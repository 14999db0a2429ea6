// What a self-painted control draws, read back: the control paints into a
// memory bitmap through WM_PRINTCLIENT, so no screen is involved.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "../support/lcd_cells.h"
#include "framework/Form.h"

struct TCapture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Pixels the control leaves unpainted keep this colour.
constexpr COLORREF kUnpainted = RGB(255, 0, 255);

inline TCapture CaptureClient(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    TCapture capture;
    capture.width = client.right;
    capture.height = client.bottom;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = capture.width;
    info.bmiHeader.biHeight = -capture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const auto* raw = static_cast<const std::uint32_t*>(bits);
    auto* fill = static_cast<std::uint32_t*>(bits);
    for (int i = 0; i < capture.width * capture.height; ++i)
        fill[i] = 0xFF00FF;  // magenta in either byte order
    SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    GdiFlush();
    for (int i = 0; i < capture.width * capture.height; ++i) {
        const std::uint32_t c = raw[i];
        capture.pixels.push_back(RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF));
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return capture;
}

// A plain form to put the controls on.
inline TFormOptions HostFormOptions()
{
    TFormOptions options;
    options.caption = "Graphic control test";
    options.clientWidth = 400;
    options.clientHeight = 200;
    return options;
}

// One 5 x 7 cell of a counter (2 x 2 dots, spacing 1, cells 2 apart, border
// space 3) read from its dots: black lit, grey unlit.
inline std::string ReadCounterCell(const TCapture& capture, int cell)
{
    return ReadLcdCell(5, 7, [&](int column, int row) {
        const COLORREF c = capture.At(4 + cell * 16 + column * 3, 4 + row * 3);
        return c == RGB(0, 0, 0) ? 1 : c == RGB(170, 170, 170) ? 0 : -1;
    });
}
