// GDI objects and device-context states that clean up after themselves, so
// painting code never deletes an object or restores a selection by hand.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

struct TGdiObjectDeleter {
    void operator()(HGDIOBJ object) const
    {
        if (object)
            DeleteObject(object);
    }
};
template <typename Handle>
using TScopedGdiObject = std::unique_ptr<typename std::remove_pointer<Handle>::type, TGdiObjectDeleter>;
using TScopedBitmap = TScopedGdiObject<HBITMAP>;
using TScopedBrush = TScopedGdiObject<HBRUSH>;
using TScopedPen = TScopedGdiObject<HPEN>;

// A memory device context compatible with `reference` (the screen when null).
class TMemoryDC {
public:
    explicit TMemoryDC(HDC reference = nullptr) : dc_(CreateCompatibleDC(reference)) {}
    ~TMemoryDC()
    {
        if (dc_)
            DeleteDC(dc_);
    }
    TMemoryDC(const TMemoryDC&) = delete;
    TMemoryDC& operator=(const TMemoryDC&) = delete;
    HDC Handle() const { return dc_; }

private:
    HDC dc_;
};

// The device context of a window (the screen when null), released on leaving.
class TWindowDC {
public:
    explicit TWindowDC(HWND window = nullptr) : window_(window), dc_(GetDC(window)) {}
    ~TWindowDC()
    {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    HDC Handle() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a device context and puts the previous one back on
// leaving. Declare it after the object it selects, so the object outlives it.
class TSelectObject {
public:
    TSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    ~TSelectObject()
    {
        if (previous_)
            SelectObject(dc_, previous_);
    }
    TSelectObject(const TSelectObject&) = delete;
    TSelectObject& operator=(const TSelectObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Keeps the text colour, background mode, brush colour and clipping of a
// device context as they were on entry.
class TSavedDCState {
public:
    explicit TSavedDCState(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    ~TSavedDCState()
    {
        if (saved_)
            RestoreDC(dc_, saved_);
    }
    TSavedDCState(const TSavedDCState&) = delete;
    TSavedDCState& operator=(const TSavedDCState&) = delete;

private:
    HDC dc_;
    int saved_;
};

// The width and height of a bitmap; 0 x 0 for none.
inline SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP info = {};
    if (!bitmap || !GetObjectW(bitmap, sizeof info, &info))
        return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}
