// The body of a message as people read it: its transfer encoding
// (quoted-printable, base64) undone and its charset decoded to UTF-8; of a
// multipart message, the first plain-text part and the names of the others.
#pragma once

#include <string>
#include <vector>

#include "MimeCharset.h"

struct TMimeBodyText {
    // The text shown, CR LF ended lines, in UTF-8.
    std::string Text;
    // The other parts of a multipart message (or the one part of a message
    // that is not text): the file name each gives, else its content type.
    std::vector<std::string> OtherParts;
    // The body ends before the closing boundary of a multipart message: it
    // was cut (only the first lines of a message are read), so parts may be missing.
    bool Cut = false;
};

// `header`: the message's CR LF ended header lines; `body`: its body lines,
// CR LF ended, as far as they were read.
TMimeBodyText DecodeMimeBody(const std::string& header, const std::string& body, const TCodePageConverter& convert);

// Quoted-printable text decoded: "=XX" is a byte, '=' at a line end joins
// the lines, blanks at a line end go; a malformed '=' stays as written.
std::string DecodeQuotedPrintable(const std::string& text);
// Base64 text decoded; line breaks and characters outside the alphabet are
// skipped, padding or the end stops it.
std::string DecodeBase64Text(const std::string& text);
