// The providers a mailbox can sign in with, as data: what choosing one in
// the mailbox editor fills in. "Other" leaves everything to the user.
#pragma once

#include <cstddef>

enum TOAuthProviderKind { providerPassword, providerMicrosoft, providerGoogle, providerOther };

struct TOAuthPreset {
    TOAuthProviderKind Kind;
    const char* AuthorizationUrl;
    const char* TokenUrl;
    const char* Scope;
    const char* Server;
    const char* Port;
};

// The preset of a kind; null for the password and "Other" choices, which fill nothing in.
const TOAuthPreset* OAuthPresetOf(TOAuthProviderKind kind);
// The kind whose preset has these URLs; providerOther when none has.
TOAuthProviderKind OAuthKindOf(const char* authorizationUrl, const char* tokenUrl);
