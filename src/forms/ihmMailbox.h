// The mailboxes window: a hidden form of the system, created once at start-up.
#pragma once

#include "../framework/Form.h"

class TihmMailbox : public TForm {
public:
    TihmMailbox();
};

extern TihmMailbox* ihmMailbox;
