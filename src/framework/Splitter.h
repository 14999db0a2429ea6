// A horizontal bar between two stacked controls: dragging it with the mouse
// tells its owner where the user wants it, and the owner lays the controls out.
#pragma once

#include <functional>

#include "Controls.h"
#include "Window.h"

class TSplitter : public TWindowBase {
public:
    TSplitter(TWindowBase& parent, const TBounds& bounds);

    void SetBounds(const TBounds& bounds);
    bool Dragging() const { return dragging_; }

    // The bar's wanted top edge in the parent's client coordinates, on every
    // mouse move of a drag.
    std::function<void(int top)> OnMoved;

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void Track(LPARAM position);

    bool dragging_ = false;
    int grabOffset_ = 0;  // where in the bar the mouse took hold of it
};
