#include "Dpi.h"

namespace {
// The DPI functions of Windows 10, looked up once: the program also runs
// where user32 does not have them.
template <typename Function>
Function User32Function(const char* name)
{
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

UINT ScreenDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}
}  // namespace

UINT WindowDpi(HWND hwnd)
{
    using TGetDpiForWindow = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Function<TGetDpiForWindow>("GetDpiForWindow");
    if (getDpiForWindow && hwnd) {
        const UINT dpi = getDpiForWindow(hwnd);
        if (dpi > 0)
            return dpi;
    }
    return ScreenDpi();
}

UINT SystemDpi()
{
    using TGetDpiForSystem = UINT(WINAPI*)();
    static const auto getDpiForSystem = User32Function<TGetDpiForSystem>("GetDpiForSystem");
    const UINT dpi = getDpiForSystem ? getDpiForSystem() : 0;
    return dpi > 0 ? dpi : ScreenDpi();
}

RECT FrameForClient(const RECT& client, DWORD style, DWORD exStyle, UINT dpi)
{
    using TAdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = User32Function<TAdjustForDpi>("AdjustWindowRectExForDpi");
    RECT frame = client;
    if (!adjustForDpi || !adjustForDpi(&frame, style, FALSE, exStyle, dpi))
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    return frame;
}

int SystemMetricForDpi(int index, UINT dpi)
{
    using TMetricForDpi = int(WINAPI*)(int, UINT);
    static const auto metricForDpi = User32Function<TMetricForDpi>("GetSystemMetricsForDpi");
    // Before Windows 10 the metrics are the system DPI's: scaled from there.
    return metricForDpi ? metricForDpi(index, dpi)
                        : MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}
