// The program's positions, sizes and font heights are 96-DPI pixels; a window
// on a screen of another DPI gets them scaled by its DPI.
#pragma once

#include <windows.h>

constexpr UINT kDesignDpi = 96;

// The window's DPI: GetDpiForWindow where user32 has it (Windows 10 1607 and
// later, Wine), else the screen's.
UINT WindowDpi(HWND hwnd);
// The DPI new top-level windows get before they exist: the system's.
UINT SystemDpi();
// A 96-DPI length at `dpi`, rounded to the nearest pixel.
inline int ScaleToDpi(int value, UINT dpi) { return MulDiv(value, static_cast<int>(dpi), kDesignDpi); }
// The frame of a window whose client area is `client` at `dpi`
// (AdjustWindowRectExForDpi where it exists).
RECT FrameForClient(const RECT& client, DWORD style, DWORD exStyle, UINT dpi);
// The system metric at `dpi` (GetSystemMetricsForDpi where it exists).
int SystemMetricForDpi(int index, UINT dpi);
