// How a secret of the settings (a mailbox's password) is kept in the
// registry: in a protected form that only the user who wrote it can open,
// never in clear. The store passes the platform's protection (DPAPI); the
// rules of reading and writing the stored text are here.
#pragma once

#include <string>

class ISecretCodec {
public:
    virtual ~ISecretCodec() = default;
    // The protected form of `secret`; empty when the platform refuses.
    virtual std::string Protect(const std::string& secret) const = 0;
    // True when `stored` has the protected form, whether it opens or not.
    virtual bool IsProtected(const std::string& stored) const = 0;
    // The secret back; false when it does not open (another user's, damaged).
    virtual bool Unprotect(const std::string& stored, std::string& secret) const = 0;
};

// What a stored secret gives. A protected form opens to its secret. Text in
// no protected form was written in clear by an earlier version: it is the
// secret. A protected form that does not open gives no secret, and is kept
// as `Unreadable` so that it is written back unchanged rather than lost.
struct TStoredSecret {
    std::string Secret;
    std::string Unreadable;
};
TStoredSecret ReadStoredSecret(const std::string& stored, const ISecretCodec& codec);

// The text to store for `secret`: its protected form; with no secret, the
// unreadable text kept (or nothing). Empty when the platform refused to
// protect it: a secret is never written in clear.
std::string StoredSecretText(const std::string& secret, const std::string& unreadable, const ISecretCodec& codec);
