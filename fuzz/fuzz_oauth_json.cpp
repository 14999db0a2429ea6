// Answers of a token endpoint: the JSON reader and the token reply built on it.
// A reply is either a token fit for a command line or an error, never both.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

#include "text/Utf8Text.h"
#include "oauth/OAuthJson.h"

namespace {
void Check(bool condition)
{
    if (!condition)
        std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::map<std::string, std::string> members;
    if (JsonReadObject(text, members)) {
        Check(text.find('{') != std::string::npos);
        for (const auto& member : members)
            Check(IsValidUtf8(member.first) && IsValidUtf8(member.second));
    } else {
        Check(members.empty());
    }
    const TOAuthTokenReply reply = OAuthReadTokenReply(text);
    Check(reply.Ok == reply.Error.empty());
    if (reply.Ok) {
        Check(!reply.AccessToken.empty());
        for (char c : reply.AccessToken + reply.RefreshToken)
            Check(c > 0x20 && c < 0x7F);
        Check(reply.ExpiresIn >= 0);
    } else {
        Check(reply.AccessToken.empty() && reply.RefreshToken.empty());
    }
    return 0;
}
