// The options dialog's texts in one language: its rows written into its
// controls and into its three file dialogs.
#pragma once

#include <string>
#include <vector>

#include "../app/unitLanguage.h"

class TihmOptions;

// Answers the keys of rows that found no control (none, once the dialog is whole).
std::vector<std::string> ApplyOptionsTexts(TihmOptions& form, TLanguage language);
