// A modal one-line input box: a prompt, an edit holding the text, OK and
// Cancel. Built from an in-memory dialog template, so it needs no resource.
#pragma once

#include <string>

// Answers true when the user confirms with OK; `text` then holds what was
// typed. On Cancel or the close box `text` is left unchanged.
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& text);
