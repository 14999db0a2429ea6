// The MIME fields of a message or of one of its parts: the content type with
// its parameters, the transfer encoding, the name of an attached file.
#pragma once

#include <map>
#include <string>

#include "MimeCharset.h"

// The unfolded value of the first field `name` (any letter case) among the
// CR LF ended header lines, without the blanks around it; empty when absent.
std::string MimeHeaderField(const std::string& header, const std::string& name);

struct TMimeContent {
    std::string Type;  // "type/subtype" in lower case
    // Parameters by lower-cased name. RFC 2231 sections are joined, and an
    // extended value (charset'language'%XX) is decoded to UTF-8.
    std::map<std::string, std::string> Params;
    std::string Param(const std::string& name) const;
};

// A Content-Type or Content-Disposition value; `type` stays empty when the
// value names none (or "type/subtype" when the field is malformed).
TMimeContent ParseMimeContent(const std::string& value, const TCodePageConverter& convert);
