// The charsets of mail brought to UTF-8, the program's text: which Windows
// code page a MIME charset name stands for, and the decoding of bytes in it.
// What the platform converts is asked of a converter it supplies; what it
// lacks (ISO-2022-JP, three ISO-8859 parts, the four-byte GB18030 planes
// without code page 54936) is decoded here.
#pragma once

#include <functional>
#include <string>

// Converts `bytes` written in Windows code page `codePage` to UTF-8, with
// U+FFFD for each byte sequence that cannot be decoded; false when the
// platform does not know that code page. The platform supplies it.
using TCodePageConverter = std::function<bool(unsigned codePage, const std::string& bytes, std::string& utf8)>;

namespace CodePage {
constexpr unsigned Utf8 = 65001;
// Raw 8-bit header bytes that are not UTF-8 are taken to be written in it.
constexpr unsigned Windows1252 = 1252;
constexpr unsigned Gbk = 936;
constexpr unsigned Gb18030 = 54936;
constexpr unsigned EucJp = 20932;
constexpr unsigned Iso2022Jp = 50220;
// ISO-8859-10, -14 and -16 have no Windows code page; these numbers, where
// the series would put them, name the tables decoded here.
constexpr unsigned Iso8859_10 = 28600;
constexpr unsigned Iso8859_14 = 28604;
constexpr unsigned Iso8859_16 = 28606;
}  // namespace CodePage

// The code page for a MIME charset name (any letter case, '-' and '_'
// ignored, a language suffix "*lang" ignored), or 0 for a charset that is
// not decoded.
unsigned Pop3CharsetCodePage(const std::string& charset);

// `bytes` in `codePage` as UTF-8; every sequence that cannot be decoded is
// U+FFFD. False when neither this module nor `convert` knows the code page.
bool DecodeCodePage(unsigned codePage, const std::string& bytes, const TCodePageConverter& convert,
                    std::string& utf8);

// Header or body bytes written without a charset: UTF-8 when they are valid
// UTF-8, else Windows-1252.
std::string RawTextToUtf8(const std::string& bytes);
