// The counter display of the options dialog: a caption of digits.
#pragma once

#include "../framework/Controls.h"

class TLCDLabel : public TControl {
public:
    TLCDLabel(TContainer& parent, const TBounds& bounds);
    std::string Caption() const { return Text(); }
    void SetCaption(const std::string& caption) { SetText(caption); }
};
