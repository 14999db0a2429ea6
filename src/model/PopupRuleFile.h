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
// The bytes of the file: BOM, header, the rules, and the unreadable lines
// back on the lines they were read from, each line ended by CR LF.
// The columns: On (on|off), Action (close|minimise|hide|press), Title,
// Program, Class, Button, Hits, LastHit; texts escape tab, CR, LF and the
// backslash as \t \r \n \\. A line may end before Hits. Empty lines are
// dropped; a line with other columns, or a rule about every window, is
// unreadable.
std::string FormatPopupRuleFile(const TPopupRuleFile& file);
std::string FormatPopupRuleFile(const TPopupRules& rules, const std::vector<std::pair<int, std::string>>& unreadable);
