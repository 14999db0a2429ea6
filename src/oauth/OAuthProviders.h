// The providers a mailbox can sign in with, as data: what choosing one in
// the mailbox editor fills in. "Other" leaves everything to the user.
#pragma once

#include <cstddef>

// iCloud has no OAuth 2.0 for mail: its preset fills in the IMAP server of
// a mailbox that signs in with an app password.
enum TOAuthProviderKind { providerPassword, providerMicrosoft, providerGoogle, providerOther, providerICloud };

struct TOAuthPreset {
    TOAuthProviderKind Kind;
    const char* AuthorizationUrl;
    const char* TokenUrl;
    const char* Scope;
    const char* Server;  // POP3, TLS from the first byte
    const char* Port;
    const char* ImapServer;  // IMAP, TLS from the first byte
    const char* ImapPort;
};

// The preset of a kind; null for the password and "Other" choices, which fill nothing in.
const TOAuthPreset* OAuthPresetOf(TOAuthProviderKind kind);
// The kind whose preset has these URLs; providerOther when none has.
TOAuthProviderKind OAuthKindOf(const char* authorizationUrl, const char* tokenUrl);
