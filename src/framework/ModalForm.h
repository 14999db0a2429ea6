// A form used as a dialog: shown over its owner, which takes no input
// meanwhile, while the thread's messages run until the form is hidden.
#pragma once

#include "Controls.h"
#include "Form.h"

// Returns once `done` holds (the form's own buttons set it), the form is
// hidden (its close box) or the program is told to terminate; the owner, when
// there is one, is enabled again and, when visible, made active again, then
// the form is hidden. `focus` takes the keyboard first.
void ShowModal(TForm& form, HWND owner, TControl& focus, const bool& done);
