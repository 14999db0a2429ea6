// The rules file, SkarnVale.rules: UTF-8 with a byte-order mark, a header
// line, then one rule per line, its columns separated by tabs. A line that
// cannot be read is kept, as it was, and written back in its place, so that
// nothing the user wrote is ever dropped.
#pragma once

#include <string>
#include <vector>

#include "PopupRule.h"

struct TPopupRuleFile {
    TPopupRules Rules;
    // The lines that could not be read, as they stood, with their line numbers
    // (from 1, the header included), for the one report at load.
    std::vector<std::pair<int, std::string>> Unreadable;
};

// Reads the bytes of a rules file into `file` (its Rules keep their compare;
// each rule read gets its Id through TPopupRules::Add).
void ParsePopupRuleFile(const std::string& bytes, TPopupRuleFile& file);
// The bytes of the file: BOM, header, the rules, then the unreadable lines,
// each line ended by CR LF.
std::string FormatPopupRuleFile(const TPopupRuleFile& file);
