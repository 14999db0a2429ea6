// A list box whose items carry a second text, drawn in a column of its own at
// the right. The item's text stays the first column alone, so finding,
// selecting and reading an item work as in any list box.
#pragma once

#include "Controls.h"

class TTwoColumnListBox : public TListBox {
public:
    // `sideWidth`: the right column's width, in 96-DPI pixels.
    TTwoColumnListBox(TContainer& parent, const TBounds& bounds, int itemHeight, int sideWidth);

    // The right column's text of an item, asked as the item is drawn.
    std::function<std::string(int index)> OnSideText;
    bool HandleDrawItem(const DRAWITEMSTRUCT& draw) override;

private:
    int sideWidth_;
};
