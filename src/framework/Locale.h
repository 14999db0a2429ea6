// The user's locale-aware, case-insensitive text order.
#pragma once

#include <string>

// Negative, zero or positive, from CompareStringA in the user's default locale
// with case ignored.
int LocaleCompareText(const std::string& a, const std::string& b);
