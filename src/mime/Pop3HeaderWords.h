// Header values as people wrote them: the encoded words of mail headers
// (=?charset?B?...?= and =?charset?Q?...?=) decoded, and everything brought
// into UTF-8, the text of the whole program.
#pragma once

#include <string>

#include "MimeCharset.h"

// One unfolded header value for people. Encoded words in B and Q are decoded;
// white space between adjacent encoded words goes, and adjacent words of one
// charset are converted together, so that a character split between them
// survives. A malformed word, or one in a charset that is not decoded or that
// `convert` refuses, stays as written. Other bytes are UTF-8 when the whole
// value is valid UTF-8, else Windows-1252. What cannot be decoded is U+FFFD.
// Control characters are made visible: TAB as a space, others as '?'.
std::string Pop3DecodeHeaderText(const std::string& value, const TCodePageConverter& convert);
