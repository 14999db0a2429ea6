// The browser's visit to the loopback redirect (RFC 8252 section 7.3): the
// request head it sends, read into the authorization response of RFC 6749
// section 4.1.2, and the short page it gets back.
#pragma once

#include <cstddef>
#include <string>

// A request head larger than this is refused: a redirect is one short line.
constexpr std::size_t OAuthRedirectMaxHead = 16 * 1024;

enum TOAuthRedirectStatus {
    redirectIncomplete,  // the head has not ended yet: read more
    redirectCode,        // code and state came
    redirectError,       // the provider said why not (error, error_description)
    redirectOther,       // not the redirect: another path or method, a favicon, junk
};

struct TOAuthRedirect {
    TOAuthRedirectStatus Status = redirectIncomplete;
    std::string Code;
    std::string State;
    std::string Error;
    std::string ErrorDescription;
};

// Reads what the browser sent so far.
TOAuthRedirect OAuthReadRedirect(const std::string& received);
// The HTTP answer with a small HTML page saying `text` (UTF-8).
std::string OAuthRedirectPage(int status, const std::string& text);
