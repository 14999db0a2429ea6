// What a self-painted control draws, read back: the control paints into a
// memory bitmap through WM_PRINTCLIENT, so no screen is involved; or what a
// window shows on the screen, read from its own device context.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

#include "../support/lcd_cells.h"
#include "framework/Form.h"
#include "message_pump.h"

struct TCapture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Pixels the control leaves unpainted keep this colour.
constexpr COLORREF kUnpainted = RGB(255, 0, 255);

// A 32-bit bitmap of `width` x `height`, magenta until `paint` draws into it.
inline TCapture CaptureBitmap(int width, int height, const std::function<void(HDC)>& paint)
{
    TCapture capture;
    capture.width = width;
    capture.height = height;
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
    paint(dc);
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

inline TCapture CaptureClient(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    return CaptureBitmap(client.right, client.bottom, [window](HDC dc) {
        SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    });
}

// The client area as the screen shows it: what the window's last painting
// left there, with nothing asked of the window.
inline TCapture CaptureShown(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    return CaptureBitmap(client.right, client.bottom, [window, &client](HDC dc) {
        HDC shown = GetDC(window);
        BitBlt(dc, 0, 0, client.right, client.bottom, shown, 0, 0, SRCCOPY);
        ReleaseDC(window, shown);
    });
}

// The columns of a list view whose heading shows a caption on the screen: a
// few pixels at least of the button text's colour in the heading's cell, but
// not the whole cell (a header that never painted can read black). Only the
// cells the list view shows at least half of are looked at, in that part.
inline std::vector<int> HeadingsShowingCaption(HWND listView)
{
    HWND header = reinterpret_cast<HWND>(SendMessageA(listView, LVM_GETHEADER, 0, 0));
    const TCapture shown = CaptureShown(header);
    RECT seen = {};
    GetClientRect(listView, &seen);
    MapWindowPoints(listView, header, reinterpret_cast<POINT*>(&seen), 2);
    const COLORREF ink = GetSysColor(COLOR_BTNTEXT);
    const auto inkLike = [ink](COLORREF c) {
        return std::abs(GetRValue(c) - GetRValue(ink)) + std::abs(GetGValue(c) - GetGValue(ink)) +
                   std::abs(GetBValue(c) - GetBValue(ink)) <= 96;
    };
    std::vector<int> captioned;
    const int columns = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    for (int column = 0; column < columns; ++column) {
        RECT cell = {};
        SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&cell));
        const int left = std::max<int>(cell.left, seen.left);
        const int right = std::min<int>({cell.right, seen.right, shown.width});
        const int bottom = std::min<int>(cell.bottom, shown.height);
        if (2 * (right - left) < cell.right - cell.left || bottom <= cell.top)
            continue;
        int inked = 0;
        for (int y = cell.top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                inked += inkLike(shown.At(x, y)) ? 1 : 0;
        const int area = (right - left) * (bottom - cell.top);
        if (inked >= 5 && inked <= area / 2)
            captioned.push_back(column);
    }
    return captioned;
}

// The headings showing a caption as soon as they are the `expected` ones, or
// as they are when five seconds of painting did not bring them.
inline std::vector<int> HeadingsShownWithin(HWND listView, const std::vector<int>& expected)
{
    std::vector<int> shown;
    PumpUntil([&] { return (shown = HeadingsShowingCaption(listView)) == expected; }, 5000);
    return shown;
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
