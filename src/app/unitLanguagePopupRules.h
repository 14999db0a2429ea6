// The message texts of the popup rules and their log, a table of the same
// rows as the messages table (unitLanguage.h).
#pragma once

#include <string>
#include <vector>

#include "../model/PopupRule.h"
#include "unitLanguage.h"

extern std::string MsgPopupCannotAct;        // "cannot act on %s (administrator)"
extern std::string MsgPopupRulesUnreadable;  // the one report of the rules file's unreadable lines
extern std::string MsgPopupKillList;         // the log's name of the kill list as a rule
extern std::string MsgPopupClose;
extern std::string MsgPopupMinimise;
extern std::string MsgPopupHide;
extern std::string MsgPopupPress;            // "press '%s'"

const std::vector<TMessageRow>& PopupRuleMessageTexts();
// The action in the current language, the button's text in place for a press.
std::string PopupActionText(TPopupAction action, const std::string& button);
