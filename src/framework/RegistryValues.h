// How values are written as registry texts and read back from them. Every
// value is stored as text: integers in decimal, booleans as "1" and "0".
#pragma once

#include <string>

// Decimal text with a minus sign for negative values and no leading zeros.
std::string EncodeInteger(int value);
// "1" for true, "0" for false.
std::string EncodeBoolean(bool value);

// The value of `text` as a signed 32-bit integer: an optional sign followed by
// decimal digits and nothing else. Empty text, spaces, any other character and
// values outside the 32-bit range give `defaultValue`.
int DecodeInteger(const std::string& text, int defaultValue);
// Read as an integer whose default is 1 or 0; true exactly when it is not 0,
// so "2" and "-1" are true and a word such as "yes" gives the default.
bool DecodeBoolean(const std::string& text, bool defaultValue);
