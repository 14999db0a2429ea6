// A small JSON reader (RFC 8259) for the answers of a token endpoint: one
// object whose members of interest are strings and numbers. Nested values
// are checked and skipped; input is bounded in size and depth, so that a
// hostile answer costs little and parses to an error, never a crash.
#pragma once

#include <cstddef>
#include <map>
#include <string>

constexpr std::size_t JsonMaxInput = 64 * 1024;
// Arrays and objects nested inside the answer's object, at most.
constexpr int JsonMaxDepth = 16;

// The top-level members of a JSON object whose values are strings, numbers
// or literals, as text (strings decoded, numbers and true/false/null as
// written); false for anything that is not one well-formed object.
bool JsonReadObject(const std::string& text, std::map<std::string, std::string>& members);

// What a token endpoint answered (RFC 6749 sections 5.1 and 5.2).
struct TOAuthTokenReply {
    bool Ok = false;                  // an access token of type Bearer came
    std::string AccessToken;
    std::string RefreshToken;         // empty when none came
    long ExpiresIn = 0;               // seconds, 0 when not said
    std::string Error;                // "invalid_grant", ... or a description of a bad answer
    std::string ErrorDescription;
};

TOAuthTokenReply OAuthReadTokenReply(const std::string& body);
