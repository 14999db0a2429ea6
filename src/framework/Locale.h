// The user's locale-aware, case-insensitive text order.
#pragma once

#include <string>

// Negative, zero or positive: the user's default locale with case ignored over
// all of Unicode; texts the locale finds equal are also told apart by their
// upper-cased code units, so characters the locale gives no weight still count.
int LocaleCompareText(const std::string& a, const std::string& b);
// The time separator of the user's locale (":" when it cannot be read).
std::string LocaleTimeSeparator();
// `text` upper-cased over all of Unicode, code unit by code unit: texts that
// LocaleCompareText finds equal come out byte for byte equal, so a test on
// these forms can turn away what the comparison would (TTextFold).
std::string LocaleUpperText(const std::string& text);
