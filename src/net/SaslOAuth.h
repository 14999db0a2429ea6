// The SASL mechanisms that carry an OAuth 2.0 bearer token: OAUTHBEARER (RFC
// 7628, with its GS2 header) and Google's and Microsoft's XOAUTH2. Each gives
// the initial response of the AUTH command (base64 on the wire, RFC 5034)
// and the answer to a failure challenge, after which the server ends the
// exchange with its error. They belong to the mail protocols that carry them
// (the POP3 client here): OAuth only supplies the token, and its sign-in
// reaches down to this floor's sockets and HTTP, never the other way.
#pragma once

#include <string>
#include <vector>

enum TSaslMechanism { saslNone, saslXOAuth2, saslOAuthBearer };

// The mechanism to use from the server's capabilities (CAPA lines): the
// standard OAUTHBEARER where the SASL line offers it, else XOAUTH2, else none.
TSaslMechanism SaslChooseMechanism(const std::vector<std::string>& capabilities);
// The name on the AUTH command line.
const char* SaslMechanismName(TSaslMechanism mechanism);

// The initial response, not yet base64-encoded.
std::string SaslInitialResponse(TSaslMechanism mechanism, const std::string& user, const std::string& token,
                                const std::string& host, int port);
// The client's answer to a challenge that reports a failure, base64-encoded
// as sent: XOAUTH2 an empty response, OAUTHBEARER the byte %x01.
std::string SaslFailureAnswer(TSaslMechanism mechanism);
