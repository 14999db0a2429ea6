// Single-byte charsets of mail that the platform cannot convert.
#pragma once

// The code points of bytes 0xA0 to 0xFF in `codePage`, when it is one of the
// ISO-8859 parts decoded by table; nullptr otherwise.
const char16_t* Iso8859UpperHalf(unsigned codePage);
