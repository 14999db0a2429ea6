// The popup rules' file "SkarnVale.rules", beside the kill list and found by
// the same rules (DataFolder.h). Read once at start-up; written when the
// rules are edited and at the end, with the hit counts.
#pragma once

#include <string>

#include "PopupRuleFile.h"

inline constexpr char kPopupRulesFile[] = "SkarnVale.rules";
std::string GetPopupRulesFileName();

// Reads the file into `file` (whose Rules keep their comparison); a missing
// file leaves it empty. False when the file exists but could not be read whole.
bool LoadPopupRules(TPopupRuleFile& file);
// Rewrites the file whole: the rules and the lines kept unread in their places.
bool SavePopupRules(const TPopupRules& rules, const std::vector<std::pair<int, std::string>>& unreadable);
