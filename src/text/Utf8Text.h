// UTF-8, the one representation of text inside the program: the checks and
// the code-point steps that the list files, the header decoder and the
// matching need, without any platform call.
#pragma once

#include <string>

// U+FFFD, what a byte sequence that cannot be decoded becomes.
constexpr char32_t ReplacementCharacter = 0xFFFD;

// True when `text` is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool IsValidUtf8(const std::string& text);
// True when a byte of `text` is outside ASCII.
bool HasNonAscii(const std::string& text);
// Appends `codePoint` encoded as UTF-8; a surrogate or a value above U+10FFFF
// is appended as U+FFFD.
void AppendUtf8(std::string& text, char32_t codePoint);
// The code point at `pos`, advancing `pos` past it; a malformed sequence
// reads as U+FFFD and advances one byte.
char32_t NextCodePoint(const std::string& text, std::size_t& pos);
// `text` with every malformed sequence replaced by U+FFFD.
std::string SanitizeUtf8(const std::string& text);
// Windows-1252 bytes as UTF-8; the five bytes 1252 leaves undefined keep
// their C1 control code point, as the platform's conversion does.
std::string Windows1252ToUtf8(const std::string& bytes);
