// The lamp pictures all lamps share: the bitmap resource "LED_PICS", a grid
// of 2 columns (dark, lit) by 5 rows (red, green, yellow, blue, disabled) of
// 12 x 13 cells. It is loaded by the first lamp and freed with the last one.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "../framework/GdiScoped.h"

class TLED;

class TLEDBitmap {
public:
    static constexpr int CellWidth = 12;
    static constexpr int CellHeight = 13;

    // Registers `led`, loading the pictures when it is the first lamp.
    static TLEDBitmap& Acquire(TLED* led);
    // Unregisters `led`, freeing the pictures when it was the last lamp.
    static void Release(TLED* led);
    // The holder while any lamp lives, else null.
    static const TLEDBitmap* Current() { return instance_; }

    int LiveCount() const { return static_cast<int>(leds_.size()); }
    bool Loaded() const { return !pixels_.empty(); }
    // The colour of the picture's bottom-left pixel, shown as the parent's background.
    COLORREF TransparentColor() const { return transparent_; }
    // The pixels of one cell (0x00BBGGRR), with the transparent colour replaced by `background`.
    std::vector<std::uint32_t> Cell(int column, int row, COLORREF background) const;

private:
    TLEDBitmap();

    static TLEDBitmap* instance_;
    TScopedBitmap bitmap_;
    std::vector<std::uint32_t> pixels_;  // the whole picture, row by row from the top
    int width_ = 0;
    int height_ = 0;
    COLORREF transparent_ = 0;
    std::vector<TLED*> leds_;
};
