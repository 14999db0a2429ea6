#include "LEDBitmap.h"

#include <algorithm>

TLEDBitmap* TLEDBitmap::instance_ = nullptr;

TLEDBitmap::TLEDBitmap()
    : bitmap_(static_cast<HBITMAP>(
          LoadImageW(GetModuleHandleW(nullptr), L"LED_PICS", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)))
{
    const SIZE size = BitmapSize(bitmap_.get());
    if (size.cx <= 0 || size.cy <= 0)
        return;
    width_ = size.cx;
    height_ = size.cy;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> bits(static_cast<size_t>(width_) * height_);
    TWindowDC screen;
    if (!GetDIBits(screen.Handle(), bitmap_.get(), 0, static_cast<UINT>(height_), bits.data(), &info,
                   DIB_RGB_COLORS))
        return;
    pixels_.resize(bits.size());
    for (size_t i = 0; i < bits.size(); ++i) {
        const std::uint32_t c = bits[i] & 0xFFFFFF;
        pixels_[i] = ((c & 0xFF) << 16) | (c & 0xFF00) | (c >> 16);
    }
    transparent_ = pixels_[static_cast<size_t>(height_ - 1) * width_];
}

TLEDBitmap& TLEDBitmap::Acquire(TLED* led)
{
    if (!instance_)
        instance_ = new TLEDBitmap();
    instance_->leds_.push_back(led);
    return *instance_;
}

void TLEDBitmap::Release(TLED* led)
{
    if (!instance_)
        return;
    auto& leds = instance_->leds_;
    leds.erase(std::remove(leds.begin(), leds.end(), led), leds.end());
    if (leds.empty()) {
        delete instance_;
        instance_ = nullptr;
    }
}

std::vector<std::uint32_t> TLEDBitmap::Cell(int column, int row, COLORREF background) const
{
    std::vector<std::uint32_t> cell(CellWidth * CellHeight, background);
    const int left = column * CellWidth, top = row * CellHeight;
    if (left + CellWidth > width_ || top + CellHeight > height_)
        return cell;
    for (int y = 0; y < CellHeight; ++y)
        for (int x = 0; x < CellWidth; ++x) {
            const std::uint32_t c = pixels_[static_cast<size_t>(top + y) * width_ + left + x];
            cell[y * CellWidth + x] = c == transparent_ ? background : c;
        }
    return cell;
}
