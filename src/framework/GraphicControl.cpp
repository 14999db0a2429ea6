#include "GraphicControl.h"

#include "GdiScoped.h"

#include <vector>

TGraphicControl::TGraphicControl(TContainer& parent, const char* className, const TBounds& bounds)
{
    RegisterClassOnce(className, CS_DBLCLKS);
    // Placed at the container's DPI; the widget sizes its own picture.
    CreateHandle(className, std::string(), WS_CHILD | WS_VISIBLE, 0, parent.Scale(bounds.left),
                 parent.Scale(bounds.top), parent.Scale(bounds.width), parent.Scale(bounds.height), parent.Handle());
}

bool TGraphicControl::Enabled() const { return IsWindowEnabled(Handle()) != FALSE; }

void TGraphicControl::SetEnabled(bool value) { EnableWindow(Handle(), value ? TRUE : FALSE); }

bool TGraphicControl::Visible() const { return (GetWindowLongPtrW(Handle(), GWL_STYLE) & WS_VISIBLE) != 0; }

void TGraphicControl::SetVisible(bool value) { ShowWindow(Handle(), value ? SW_SHOWNA : SW_HIDE); }

TBounds TGraphicControl::Bounds() const
{
    RECT rect = {};
    GetWindowRect(Handle(), &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(Handle()), reinterpret_cast<POINT*>(&rect), 2);
    return TBounds{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void TGraphicControl::SetBounds(const TBounds& bounds)
{
    SetWindowPos(Handle(), nullptr, bounds.left, bounds.top, bounds.width, bounds.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string TGraphicControl::Text() const { return GetWindowTextString(Handle()); }

void TGraphicControl::SetText(const std::string& text) { SetWindowTextString(Handle(), text); }

void TGraphicControl::PaintNow()
{
    TWindowDC dc(Handle());
    if (dc.Handle())
        Paint(dc.Handle());
}

COLORREF TGraphicControl::ParentColor() const
{
    // The parent says through the colour message it answers for static children.
    TMemoryDC dc;
    SetBkColor(dc.Handle(), GetSysColor(COLOR_BTNFACE));
    SendMessageW(GetParent(Handle()), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Handle()),
                 reinterpret_cast<LPARAM>(Handle()));
    return GetBkColor(dc.Handle());
}

void TGraphicControl::DrawPixels(HDC dc, int x, int y, int width, int height, const std::uint32_t* pixels)
{
    if (width <= 0 || height <= 0)
        return;
    // Device-independent pixels keep red in the third byte, where COLORREF keeps blue.
    std::vector<std::uint32_t> bits(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < bits.size(); ++i) {
        const std::uint32_t c = pixels[i];
        bits[i] = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                      static_cast<UINT>(height), bits.data(), &info, DIB_RGB_COLORS);
}

bool TGraphicControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(Handle(), &paint);
        Paint(dc);
        EndPaint(Handle(), &paint);
        result = 0;
        return true;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        result = 0;
        return true;
    case WM_ERASEBKGND:
        result = 1;  // Paint covers every pixel
        return true;
    case WM_LBUTTONUP:
        if (OnClick)
            OnClick();
        result = 0;
        return true;
    case WM_LBUTTONDBLCLK:
        if (OnDblClick)
            OnDblClick();
        result = 0;
        return true;
    default:
        return TWindowBase::HandleMessage(message, wParam, lParam, result);
    }
}
