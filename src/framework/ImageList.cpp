#include "ImageList.h"

#include "Dpi.h"
#include "Icon.h"

namespace {
// Draws the icon into a top-down 32-bit DIB whose untouched pixels stay transparent.
HBITMAP BitmapOfIcon(HICON icon, int size)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (!bitmap)
        return nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    SelectObject(dc, previous);
    DeleteDC(dc);
    // Icons of 16 colours carry no alpha: make every drawn pixel opaque.
    ICONINFO iconInfo = {};
    if (GetIconInfo(icon, &iconInfo)) {
        BITMAP mask = {};
        GetObjectW(iconInfo.hbmMask, sizeof mask, &mask);
        std::vector<unsigned char> maskBits(static_cast<size_t>(mask.bmWidthBytes) * mask.bmHeight);
        GetBitmapBits(iconInfo.hbmMask, static_cast<LONG>(maskBits.size()), maskBits.data());
        auto* pixels = static_cast<DWORD*>(bits);
        for (int y = 0; y < size && y < mask.bmHeight; ++y)
            for (int x = 0; x < size && x < mask.bmWidth; ++x) {
                const bool transparent = maskBits[y * mask.bmWidthBytes + x / 8] & (0x80 >> (x % 8));
                pixels[y * size + x] = transparent ? 0 : (pixels[y * size + x] | 0xFF000000);
            }
        DeleteObject(iconInfo.hbmMask);
        DeleteObject(iconInfo.hbmColor);
    }
    return bitmap;
}
}  // namespace

int SmallImageSize() { return SystemMetricForDpi(SM_CXSMICON, SystemDpi()); }

TImageList::TImageList(const std::vector<const char*>& iconResources) : size_(SmallImageSize())
{
    for (const char* name : iconResources) {
        TIcon icon = TIcon::Load(name, size_);
        bitmaps_.push_back(icon.Empty() ? nullptr : BitmapOfIcon(icon.Handle(), size_));
    }
}

TImageList::~TImageList()
{
    for (HBITMAP bitmap : bitmaps_)
        if (bitmap)
            DeleteObject(bitmap);
}

HBITMAP TImageList::Bitmap(int index) const
{
    return index >= 0 && index < Count() ? bitmaps_[static_cast<size_t>(index)] : nullptr;
}
