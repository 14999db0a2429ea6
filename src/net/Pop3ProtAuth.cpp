// The POP3 client's AUTH request (RFC 5034) with an OAuth 2.0 bearer token:
// CAPA tells the mechanisms, AUTH carries the initial response, and a
// failure challenge is answered so that the server's -ERR ends the request.
// The token is sent only inside TLS and never shown.
#include "Pop3Prot.h"

#include <cstdlib>

#include "../text/Base64.h"
#include "Pop3Parse.h"

namespace {
// The port number for OAUTHBEARER's port field; 0 (left out) for a service name.
int PortNumber(const std::string& port)
{
    const std::string text = Pop3Trim(port);
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return std::atoi(text.c_str());
}
}  // namespace

void TCustomPop3Cli::Auth()
{
    CheckReady();
    CheckConnected();
    const TRequestRule& rule = *FindRequest(pop3ReqAuth);
    if (!InStatesOf(rule))
        ProtocolViolation(std::string("-ERR ") + rule.Word + " command invalid now");
    if (!socket_->TlsActive())
        ProtocolViolation(Pop3OAuthNeedsTls);
    if (AccessToken.empty())
        ProtocolViolation("-ERR AUTH refused: no access token");
    if (!chainRunning_)
        requestType_ = pop3ReqAuth;
    requestDone_ = false;
    authStep_ = AuthCapa;
    authChallenges_ = 0;
    // Always asked: capabilities heard before TLS are forgotten, and a login
    // changes what a server offers.
    const TRequestRule& capa = *FindRequest(pop3ReqCapa);
    SendCommand(pop3ReqAuth, capa.Word, StateAfter(capa), capa.Alone);
}

void TCustomPop3Cli::ContinueAuth(WORD error)
{
    if (authStep_ == AuthCapa && error == 0 && connected_ && clientState_ != pop3Aborting) {
        SendAuth();
        return;
    }
    if (authStep_ == AuthCapa && error != 0 && connected_ && clientState_ != pop3Aborting) {
        FailAuth(500, "-ERR the server does not offer OAuth sign-in (SASL XOAUTH2 or OAUTHBEARER)");
        return;
    }
    // The session ended or was aborted under the request: its own text stays.
    FailAuth(error != 0 ? error : 500, "");
}

void TCustomPop3Cli::SendAuth()
{
    const TSaslMechanism offered = SaslChooseMechanism(capabilities_);
    TSaslMechanism mechanism = OAuthMechanism != saslNone ? OAuthMechanism : offered;
    if (offered == saslNone) {
        FailAuth(500, "-ERR the server does not offer OAuth sign-in (SASL XOAUTH2 or OAUTHBEARER)");
        return;
    }
    authStep_ = AuthCommand;
    authMechanism_ = mechanism;
    SetClientState(pop3InternalIdle);  // between two commands of one request
    const std::string name = SaslMechanismName(mechanism);
    const std::string response = Base64Encode(
        SaslInitialResponse(mechanism, Pop3Trim(UserName), AccessToken, Pop3Trim(Host), PortNumber(Port)));
    const std::string withResponse = "AUTH " + name + " " + response;
    // A command with its initial response fits in 255 octets with its line
    // end (RFC 5034 section 4); a longer one, as the big providers' tokens
    // make it, waits for the server's empty challenge instead.
    if (withResponse.size() + 2 <= 255) {
        authPendingResponse_.clear();
        SendCommand(pop3ReqAuth, withResponse, pop3Transaction, nullptr, "AUTH " + name + " (token not shown)");
    } else {
        authPendingResponse_ = response;
        SendCommand(pop3ReqAuth, "AUTH " + name, pop3Transaction, nullptr);
    }
    next_ = &TCustomPop3Cli::AuthReply;
}

void TCustomPop3Cli::AuthReply(const TPop3Line& line)
{
    Display("< " + line.Text);
    if (line.Continuation)
        return;
    const std::string& text = line.Text;
    // "+ " (or a lone "+") is a challenge, which here only ever reports why
    // the token was refused; "+OK" is the login.
    if (text == "+" || text.compare(0, 2, "+ ") == 0) {
        // Without an initial response the first challenge asks for it. The
        // next is answered as the mechanism says; a server that asks again
        // gets the exchange cancelled ("*").
        if (!authPendingResponse_.empty()) {
            Display("> (token not shown)");
            socket_->SendStr(authPendingResponse_ + "\r\n");
            authPendingResponse_.clear();
            return;
        }
        const std::string answer = authChallenges_++ == 0 ? SaslFailureAnswer(authMechanism_) : "*";
        Display("> " + answer);
        socket_->SendStr(answer + "\r\n");
        return;
    }
    authStep_ = AuthNone;
    authPendingResponse_.clear();
    statusCode_ = Pop3ReplyStatus(text);
    if (statusCode_ != 0) {
        errorCode_ = statusCode_;
        FillErrorMessage(text);
        ReplyDone(static_cast<WORD>(errorCode_));
        return;
    }
    errorCode_ = 0;
    // What was offered before the login may change after it.
    capaKnown_ = false;
    capabilities_.clear();
    SetProtocolState(pop3Transaction);
    ReplyDone(0);
}

void TCustomPop3Cli::FailAuth(WORD error, const std::string& text)
{
    authStep_ = AuthNone;
    authPendingResponse_.clear();
    FailChainedRequest(error, text);
}
