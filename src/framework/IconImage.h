// A picture control that shows one icon of the program's own resources at
// its full size.
#pragma once

#include "Controls.h"
#include "Icon.h"

class TIconImage : public TControl {
public:
    // `resourceName` is loaded at width x height; the picture stays empty
    // when the resource is missing.
    TIconImage(TContainer& parent, const TBounds& bounds, const char* resourceName);
    HICON Picture() const { return icon_.Handle(); }

private:
    TIcon icon_;
};
