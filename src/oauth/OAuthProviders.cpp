#include "OAuthProviders.h"

#include <cstring>

namespace {
// Microsoft's identity platform for work, school and personal accounts
// ("common"), and Google's endpoints for installed apps.
const TOAuthPreset Presets[] = {
    {providerMicrosoft, "https://login.microsoftonline.com/common/oauth2/v2.0/authorize",
     "https://login.microsoftonline.com/common/oauth2/v2.0/token",
     "https://outlook.office.com/POP.AccessAsUser.All https://outlook.office.com/IMAP.AccessAsUser.All offline_access", "outlook.office365.com", "995",
     "outlook.office365.com", "993"},
    {providerGoogle, "https://accounts.google.com/o/oauth2/v2/auth", "https://oauth2.googleapis.com/token",
     "https://mail.google.com/", "pop.gmail.com", "995", "imap.gmail.com", "993"},
    {providerICloud, "", "", "", "", "", "imap.mail.me.com", "993"},
};
}  // namespace

const TOAuthPreset* OAuthPresetOf(TOAuthProviderKind kind)
{
    for (const TOAuthPreset& preset : Presets)
        if (preset.Kind == kind)
            return &preset;
    return nullptr;
}

TOAuthProviderKind OAuthKindOf(const char* authorizationUrl, const char* tokenUrl)
{
    for (const TOAuthPreset& preset : Presets)
        if (*preset.AuthorizationUrl && std::strcmp(preset.AuthorizationUrl, authorizationUrl) == 0 && std::strcmp(preset.TokenUrl, tokenUrl) == 0)
            return preset.Kind;
    return providerOther;
}
