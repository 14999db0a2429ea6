// The rule windows' rows of the windows list's text table, bound to their
// controls and to the texts that are no control's caption.
#pragma once

#include "../app/unitLanguage.h"
#include "PopupRulesHost.h"
#include "ihmRules.h"

void AddRuleTextSetters(TihmRules& rules, TPopupRuleTexts& texts, TTextSetters& setters);
