// A picture control that shows one icon of the program's own resources at
// its full size, loaded again at each DPI.
#pragma once

#include "Controls.h"
#include "Icon.h"

class TIconImage : public TControl {
public:
    // `resourceName` is loaded at width x height; the picture stays empty
    // when the resource is missing.
    TIconImage(TContainer& parent, const TBounds& bounds, const char* resourceName);
    HICON Picture() const { return icon_.Handle(); }
    // The icon loaded again at the size the control was scaled to.
    void DpiChanged() override;

private:
    void ShowIcon(int left, int top, int width, int height);

    const char* resourceName_;
    TIcon icon_;
};
