#include "SaslOAuth.h"

#include "../text/Base64.h"

namespace {
std::string Upper(std::string text)
{
    for (char& c : text)
        c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    return text;
}

// RFC 5801's saslname: ',' and '=' escaped in the authorization identity.
std::string SaslName(const std::string& user)
{
    std::string out;
    for (char c : user) {
        if (c == ',')
            out += "=2C";
        else if (c == '=')
            out += "=3D";
        else
            out += c;
    }
    return out;
}
}  // namespace

TSaslMechanism SaslChooseMechanism(const std::vector<std::string>& capabilities)
{
    bool xoauth2 = false, oauthBearer = false;
    for (const std::string& line : capabilities) {
        const std::string upper = Upper(line);
        if (upper.compare(0, 5, "SASL ") != 0)
            continue;
        std::size_t start = 5;
        while (start < upper.size()) {
            std::size_t end = upper.find(' ', start);
            if (end == std::string::npos)
                end = upper.size();
            const std::string word = upper.substr(start, end - start);
            xoauth2 = xoauth2 || word == "XOAUTH2";
            oauthBearer = oauthBearer || word == "OAUTHBEARER";
            start = end + 1;
        }
    }
    return oauthBearer ? saslOAuthBearer : xoauth2 ? saslXOAuth2 : saslNone;
}

const char* SaslMechanismName(TSaslMechanism mechanism)
{
    return mechanism == saslOAuthBearer ? "OAUTHBEARER" : mechanism == saslXOAuth2 ? "XOAUTH2" : "";
}

std::string SaslInitialResponse(TSaslMechanism mechanism, const std::string& user, const std::string& token,
                                const std::string& host, int port)
{
    const std::string auth = "auth=Bearer " + token + "\x01";
    if (mechanism == saslXOAuth2)
        return "user=" + user + "\x01" + auth + "\x01";
    if (mechanism != saslOAuthBearer)
        return "";
    std::string response = "n,a=" + SaslName(user) + ",\x01";
    if (!host.empty())
        response += "host=" + host + "\x01";
    if (port > 0)
        response += "port=" + std::to_string(port) + "\x01";
    return response + auth + "\x01";
}

std::string SaslFailureAnswer(TSaslMechanism mechanism)
{
    return mechanism == saslOAuthBearer ? Base64Encode("\x01") : "";
}
