#include "OAuthSignIn.h"

#include <memory>
#include <vector>

#include "../net/HttpsPost.h"
#include "OAuthJson.h"
#include "OAuthRedirect.h"
#include "../net/WSocket.h"
#include "framework/SystemRandom.h"

const char* const OAuthPageSignedIn = "Signed in to SkarnVale. You can close this window.";
const char* const OAuthPageRefused = "SkarnVale refused this sign-in: it does not belong to the sign-in in progress.";

namespace {
// The loopback listener and the browser's connections to it, each read
// until its request head is whole.
class TRedirectListener {
public:
    explicit TRedirectListener(std::string state) : state_(std::move(state))
    {
        listener_.SetLocalAddr("127.0.0.1");
        listener_.SetLocalPort("0");
        listener_.OnSessionAvailable = [this](TCustomWSocket*, WORD error) {
            if (error == 0)
                Accept();
        };
        listener_.Listen();
        port_ = std::stoi(listener_.LocalPort());
    }
    ~TRedirectListener()
    {
        listener_.OnSessionAvailable = nullptr;
        // An answered browser gets its page (a graceful close); the others are cut.
        for (auto& c : connections_) {
            c->socket.OnDataAvailable = nullptr;
            if (c->answered)
                c->socket.Close();
            else
                c->socket.Abort();
        }
        listener_.Close();
    }

    int Port() const { return port_; }
    bool Done() const { return done_; }
    const bool& DoneFlag() const { return done_; }
    const TOAuthRedirect& Result() const { return result_; }
    bool StateRefused() const { return stateRefused_; }
    TWSocket& Waiter() { return listener_; }

private:
    struct TConnection {
        TWSocket socket;
        std::string received;
        bool answered = false;
    };

    void Accept()
    {
        const SOCKET s = listener_.Accept();
        if (s == INVALID_SOCKET)
            return;
        // A browser opens a few connections; more is not a browser.
        if (connections_.size() >= 16) {
            TWSocket extra;
            extra.Dup(s);
            extra.Abort();
            return;
        }
        connections_.push_back(std::make_unique<TConnection>());
        TConnection* c = connections_.back().get();
        c->socket.OnDataAvailable = [this, c](TCustomWSocket*, WORD) { Read(*c); };
        c->socket.Dup(s);
    }

    void Read(TConnection& c)
    {
        char buffer[2048];
        const int count = c.socket.Receive(buffer, sizeof buffer);
        if (count <= 0 || c.answered)
            return;
        c.received.append(buffer, static_cast<std::size_t>(count));
        const TOAuthRedirect redirect = OAuthReadRedirect(c.received);
        if (redirect.Status == redirectIncomplete)
            return;
        c.answered = true;
        if (redirect.Status == redirectOther || done_) {
            c.socket.SendStr(OAuthRedirectPage(404, "Not found."));
            c.socket.CloseDelayed();
            return;
        }
        // An answer with another state is no answer to this sign-in (RFC
        // 6749 section 10.12): it ends the sign-in, refused.
        if (redirect.State != state_) {
            stateRefused_ = true;
            c.socket.SendStr(OAuthRedirectPage(400, OAuthPageRefused));
        } else {
            c.socket.SendStr(OAuthRedirectPage(200, redirect.Status == redirectCode
                                                        ? OAuthPageSignedIn
                                                        : "The sign-in did not succeed. You can close this window."));
        }
        c.socket.CloseDelayed();
        result_ = redirect;
        done_ = true;
    }

    std::string state_;
    TWSocket listener_;
    std::vector<std::unique_ptr<TConnection>> connections_;
    int port_ = 0;
    bool done_ = false;
    bool stateRefused_ = false;
    TOAuthRedirect result_;
};

TOAuthSignInResult FromTokenAnswer(const THttpsAnswer& answer)
{
    TOAuthSignInResult result;
    if (!answer.Ok) {
        result.Error = answer.Error;
        return result;
    }
    const TOAuthTokenReply reply = OAuthReadTokenReply(answer.Body);
    if (!reply.Ok) {
        result.Error = reply.Error;
        if (reply.Error.empty() || answer.Status == 200)
            result.Error = reply.Error.empty() ? "HTTP " + std::to_string(answer.Status) : reply.Error;
        return result;
    }
    result.Ok = true;
    result.AccessToken = reply.AccessToken;
    result.RefreshToken = reply.RefreshToken;
    result.ExpiresIn = reply.ExpiresIn;
    return result;
}
}  // namespace

TOAuthSignInResult OAuthSignIn(const TOAuthProvider& provider, const TOAuthOpenBrowser& openBrowser,
                               unsigned timeoutMs)
{
    TOAuthSignInResult result;
    const std::string verifierBytes = SystemRandomBytes(32), stateBytes = SystemRandomBytes(16);
    if (verifierBytes.size() != 32 || stateBytes.size() != 16) {
        result.Error = "no random numbers from the system";
        return result;
    }
    const std::string verifier = OAuthCodeVerifier(verifierBytes);
    const std::string state = OAuthState(stateBytes);
    std::string redirectUri;
    try {
        TRedirectListener listener(state);
        redirectUri = OAuthLoopbackRedirect(listener.Port());
        const std::string url = OAuthAuthorizationUrl(provider, redirectUri, state, OAuthS256Challenge(verifier));
        if (!openBrowser(url)) {
            result.Error = "the browser could not be started";
            return result;
        }
        // The listener closes its port on the way out, whatever ended the wait.
        const int waited = listener.Waiter().WaitUntilReady(listener.DoneFlag(), timeoutMs);
        if (waited == WSocketErrorWaitTerminated) {
            result.Error = "the program is ending";
            return result;
        }
        if (waited != 0) {
            result.Error = "the sign-in was not completed in time";
            return result;
        }
        if (listener.StateRefused()) {
            result.Error = "the browser's answer does not belong to this sign-in (state)";
            return result;
        }
        if (listener.Result().Status != redirectCode) {
            result.Error = "the provider refused: " + listener.Result().Error +
                           (listener.Result().ErrorDescription.empty() ? "" : " (" + listener.Result().ErrorDescription + ")");
            return result;
        }
        const std::string body = OAuthCodeRequestBody(provider, listener.Result().Code, redirectUri, verifier);
        // The page is on its way to the browser before the exchange begins.
        result = FromTokenAnswer(HttpsPostForm(provider.TokenUrl, body, OAuthTokenTimeoutMs));
    } catch (const std::exception& e) {
        result = TOAuthSignInResult();
        result.Error = e.what();
    }
    return result;
}

TOAuthSignInResult OAuthRefresh(const TOAuthProvider& provider, const std::string& refreshToken)
{
    TOAuthSignInResult result =
        FromTokenAnswer(HttpsPostForm(provider.TokenUrl, OAuthRefreshRequestBody(provider, refreshToken), OAuthTokenTimeoutMs));
    // A refresh answer without a new refresh token keeps the old one (RFC 6749 section 6).
    if (result.Ok && result.RefreshToken.empty())
        result.RefreshToken = refreshToken;
    return result;
}
