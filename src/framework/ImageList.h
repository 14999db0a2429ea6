// A list of images taken from the program's icon resources, as the menus
// show them beside their items: at the small-icon size of the system's DPI
// (16 x 16 at 96 DPI).
#pragma once

#include <windows.h>

#include <vector>

class TImageList {
public:
    explicit TImageList(const std::vector<const char*>& iconResources);
    ~TImageList();
    TImageList(const TImageList&) = delete;
    TImageList& operator=(const TImageList&) = delete;

    int Count() const { return static_cast<int>(bitmaps_.size()); }
    // The side of every image, in pixels.
    int Size() const { return size_; }
    // The image as a 32-bit bitmap with transparency, owned by the list; null
    // for an index outside the list.
    HBITMAP Bitmap(int index) const;

private:
    int size_;
    std::vector<HBITMAP> bitmaps_;
};

// The small-icon side the shell asks for at the system's DPI: 16, 20, 24, 32.
int SmallImageSize();
