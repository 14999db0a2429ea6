// The encodings of OAuth 2.0 beyond base64 (text/Base64.h): the
// percent-encoding of URL queries and form bodies (RFC 3986, HTML forms).
#pragma once

#include <string>
#include <utility>
#include <vector>

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
