// Base64 (RFC 4648 section 4) as SASL, MIME bodies and the protected
// settings carry it, and its URL form without padding (section 5, as PKCE
// and OAuth's state use it).
#pragma once

#include <string>

std::string Base64Encode(const std::string& bytes);
// False for text that is not base64 (padding required, no white space).
bool Base64Decode(const std::string& text, std::string& bytes);
std::string Base64UrlEncode(const std::string& bytes);
