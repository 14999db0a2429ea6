// The portable half of case folding: A to Z lowered, every other byte kept.
// Text that is all ASCII needs no more; the platform folds the rest of
// Unicode (framework/CaseFold.h).
#pragma once

#include <string>

// Lowers A to Z only: the case folding where the platform's is not at hand.
std::string FoldAsciiCase(const std::string& text);
// Raises a to z only: how protocol keywords (IMAP's, SASL's) are compared.
std::string UpperAsciiCase(std::string text);
