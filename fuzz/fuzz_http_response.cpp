// HTTP answers as they arrive, cut anywhere, and the browser's request to the
// loopback redirect: whole or not, a body never exceeds what came.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/HttpMessage.h"
#include "oauth/OAuthRedirect.h"

namespace {
void Check(bool condition)
{
    if (!condition)
        std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // The first byte says where the bytes are cut in two pieces.
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t cut = text.empty() ? 0 : data[0] % (text.size() + 1);
    THttpResponseReader whole, pieces;
    THttpReadStatus a = whole.Feed(text);
    if (a == httpIncomplete)
        a = whole.Closed();
    THttpReadStatus b = pieces.Feed(text.substr(0, cut));
    if (b == httpIncomplete)
        b = pieces.Feed(text.substr(cut));
    if (b == httpIncomplete)
        b = pieces.Closed();
    Check(a != httpIncomplete && b != httpIncomplete);
    if (a == httpComplete) {
        Check(whole.Body().size() <= text.size());
        Check(whole.Status() >= 200 && whole.Status() <= 599);
    }
    if (a == httpComplete && b == httpComplete)
        Check(whole.Body() == pieces.Body());

    const TOAuthRedirect redirect = OAuthReadRedirect(text);
    if (redirect.Status == redirectCode)
        Check(!redirect.Code.empty() && text.compare(0, 6, "GET /?") == 0);
    if (redirect.Status == redirectIncomplete)
        Check(text.find("\r\n\r\n") == std::string::npos && text.size() <= OAuthRedirectMaxHead);
    return 0;
}
