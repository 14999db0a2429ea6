// A list of 16 x 16 images taken from the program's icon resources, as the
// menus show them beside their items.
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
    // The image as a 32-bit bitmap with transparency, owned by the list; null
    // for an index outside the list.
    HBITMAP Bitmap(int index) const;

private:
    std::vector<HBITMAP> bitmaps_;
};
