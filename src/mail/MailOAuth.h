// The mailboxes' OAuth 2.0 sessions while the program runs, kept by mailbox
// Id: the access token a check logs in with, the browser sign-in from the
// editor, and the renewal with the refresh token the settings keep. The
// refresh token and the client secret are kept protected (DPAPI) on the
// mailbox and are unprotected only for the request that needs them.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "../oauth/OAuthSession.h"

class TMailBox;
class TMyCollection;

// The provider of the mailbox, its client secret in clear for a request.
TOAuthProvider MailboxOAuthProvider(const TMailBox& mailBox);

class TMailOAuth {
public:
    // The settings' mailboxes: a refresh token the provider renews is stored
    // on the one of its Id, whatever copy the check in hand works on. The
    // provider is asked with `refresh` (a test's own stands in for it).
    explicit TMailOAuth(TMyCollection& mailboxes, TOAuthRefresher refresh = OAuthRefresh)
        : mailboxes_(mailboxes), refresh_(std::move(refresh))
    {
    }

    // What the editor shows of the mailbox's sign-in.
    TOAuthStatus Status(const TMailBox& mailBox) const;
    // Signs in through the browser; on success the new refresh token is
    // stored protected on `mailBox` and the access token kept for its Id.
    // False with the reason otherwise.
    bool SignIn(TMailBox& mailBox, std::string& error);
    // An access token for a check, refreshed when the one in memory has run
    // out; false with the error line.
    bool AccessToken(const TMailBox& mailBox, std::string& token, std::string& errorLine);
    // Forgets the access token of a mailbox (refused by its server, another
    // provider chosen): the next check gets a new one first.
    void Forget(int id);
    // Drops the sessions of mailboxes no longer configured.
    void KeepOnly(const std::set<int>& ids);
    // Told the Id of a settings' mailbox once a renewed refresh token is on
    // it: a provider that rotates its tokens may refuse the old one at the
    // next start, so the new one is written to disk at once.
    std::function<void(int id)> TokenStored;

private:
    // Held by the caller for the whole request: a session dropped meanwhile
    // lives until it returns.
    std::shared_ptr<TOAuthSession> Session(int id);
    void StoreRenewedToken(int id, const std::string& refreshToken);

    TMyCollection& mailboxes_;
    TOAuthRefresher refresh_;
    std::map<int, std::shared_ptr<TOAuthSession>> sessions_;
};
