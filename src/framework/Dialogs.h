// Message boxes, captioned by their kind with the framework's own texts
// whatever the user-interface language.
#pragma once

#include <string>

enum class TMsgDlgType { Error, Information, Warning };

// Shows `text` with a single OK button; returns when the user closes the box.
void MessageDlg(const std::string& text, TMsgDlgType type);
// Shows `text` as a question with Yes and No buttons (No the default); true for Yes.
bool MessageDlgYesNo(const std::string& text);
