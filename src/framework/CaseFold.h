// Letter case removed over all of Unicode, through the platform's tables:
// what the spam test compares, so that "Реклама" finds "реклама".
#pragma once

#include <string>

// `utf8` with every letter in lower case by the invariant locale's rules
// (not only A to Z); everything else unchanged, U+FFFD included.
std::string FoldCase(const std::string& utf8);
