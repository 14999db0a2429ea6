#include "SettingsSecret.h"

TStoredSecret ReadStoredSecret(const std::string& stored, const ISecretCodec& codec)
{
    TStoredSecret read;
    if (!codec.IsProtected(stored))
        read.Secret = stored;
    else if (!codec.Unprotect(stored, read.Secret)) {
        read.Secret.clear();
        read.Unreadable = stored;
    }
    return read;
}

std::string StoredSecretText(const std::string& secret, const std::string& unreadable, const ISecretCodec& codec)
{
    return secret.empty() ? unreadable : codec.Protect(secret);
}
