// The about box: a hidden form of the system, created once at start-up.
#pragma once

#include "../framework/Form.h"

class TihmAbout : public TForm {
public:
    TihmAbout();
};

extern TihmAbout* ihmAbout;
