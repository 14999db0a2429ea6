// A server certificate's SHA-256 fingerprint as the user sees and pins it:
// 32 bytes in upper-case hexadecimal pairs joined by colons
// ("3A:0F:..."), the form browsers and openssl show.
#pragma once

#include <string>

#include "SHA256.h"

std::string FormatFingerprint(const TSHA256Digest& digest);

// True exactly when `pinned` names `digest`: 64 hexadecimal digits in any
// case, optionally separated by colons, blanks or dashes. Any other text
// (empty, too short, a stray character) pins nothing.
bool FingerprintMatches(const std::string& pinned, const TSHA256Digest& digest);

// True when `pinned` holds anything but separators: a pin, even a mistyped
// one, which then matches no certificate rather than none being pinned.
bool FingerprintPinned(const std::string& pinned);
