// The encodings of OAuth 2.0 and SASL: base64 (RFC 4648 section 4), its URL
// form without padding (section 5, as PKCE and state use it), and the
// percent-encoding of URL queries and form bodies (RFC 3986, HTML forms).
#pragma once

#include <string>
#include <utility>
#include <vector>

std::string Base64Encode(const std::string& bytes);
// False for text that is not base64 (padding required, no white space).
bool Base64Decode(const std::string& text, std::string& bytes);
std::string Base64UrlEncode(const std::string& bytes);

// Every byte but RFC 3986's unreserved ones as %XX.
std::string PercentEncode(const std::string& text);
// %XX and, as in forms, '+' as a space; a '%' without two hex digits stays as it is.
std::string PercentDecode(const std::string& text);

using TQueryFields = std::vector<std::pair<std::string, std::string>>;
// name=value pairs joined by '&', both percent-encoded.
std::string ComposeQuery(const TQueryFields& fields);
// The pairs of a query or form body, decoded; a part without '=' has an empty value.
TQueryFields ParseQuery(const std::string& query);
// The value of the first field named `name`; false when there is none.
bool QueryValue(const TQueryFields& fields, const std::string& name, std::string& value);
