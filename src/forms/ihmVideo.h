// The new-mail video window: a hidden form of the system, created once at start-up.
#pragma once

#include "../framework/Form.h"

class TihmVideo : public TForm {
public:
    TihmVideo();
};

extern TihmVideo* ihmVideo;
