// A mailbox's OAuth 2.0 sign-in and tokens: its provider as the settings
// hold it, the browser sign-in from the editor, and the access token a check
// logs in with. The refresh token and the client secret are kept protected
// (DPAPI) on the mailbox and are unprotected only for the request that
// needs them.
#pragma once

#include <string>

#include "../oauth/OAuthSession.h"

class TMailBox;

// The provider of the mailbox, its client secret in clear for a request.
TOAuthProvider MailboxOAuthProvider(const TMailBox& mailBox);
// The mailbox's session of tokens, made at first use.
TOAuthSession& MailboxOAuthSession(TMailBox& mailBox);
// What the editor shows of the mailbox's sign-in.
TOAuthStatus MailboxOAuthStatus(const TMailBox& mailBox);
// Signs in through the browser; on success the new refresh token is stored
// protected and the access token kept. False with the reason otherwise.
bool SignInMailbox(TMailBox& mailBox, std::string& error, unsigned timeoutMs = OAuthSignInTimeoutMs);
// An access token for a check, refreshed when the one in memory has run out
// (a new refresh token from the provider replaces the stored one); false
// with the error line.
bool MailboxAccessToken(TMailBox& mailBox, std::string& token, std::string& errorLine);
