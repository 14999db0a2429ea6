// Header values as people wrote them: the encoded words of mail headers
// (=?charset?B?...?= and =?charset?Q?...?=) decoded and brought into the
// ANSI code page (1252) that all text of the system uses.
#pragma once

#include <functional>
#include <string>

// Converts `bytes` written in Windows code page `codePage` to code page 1252,
// with a visible replacement for characters 1252 lacks; false when that code
// page cannot be converted. The platform supplies it.
using TCodePageConverter = std::function<bool(unsigned codePage, const std::string& bytes, std::string& ansi)>;

// Code page 1252, which raw 8-bit header bytes are taken to be written in.
constexpr unsigned AnsiCodePage = 1252;

// The Windows code page for a MIME charset name (any letter case; a language
// suffix "*lang" ignored), or 0 for a charset that is not decoded.
unsigned Pop3CharsetCodePage(const std::string& charset);

// One unfolded header value for people. Encoded words in B and Q are decoded;
// white space between adjacent encoded words goes, and adjacent words of one
// charset are converted together, so that a character split between them
// survives. A malformed word, or one in a charset that is not decoded or that
// `convert` refuses, stays as written. Other bytes are taken as code page
// 1252. Control characters are made visible: TAB as a space, others as '?'.
std::string Pop3DecodeHeaderText(const std::string& value, const TCodePageConverter& convert);
