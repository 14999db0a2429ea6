// A certificate's extension as the platform decodes it, freed with the
// holder. Absent and unreadable are told apart: a certificate that names a
// CRL the program cannot read is not one that names none.
#pragma once

#include <windows.h>
#include <wincrypt.h>

#include <memory>

struct TLocalFree {
    void operator()(void* block) const { LocalFree(block); }
};

template <typename T>
struct TCertExtension {
    bool Present = false;  // the certificate has it
    std::unique_ptr<T, TLocalFree> Value;  // null when absent or unreadable
};

template <typename T>
TCertExtension<T> DecodeCertExtension(PCCERT_CONTEXT certificate, const char* oid, LPCSTR structType)
{
    TCertExtension<T> decoded;
    const CERT_INFO* info = certificate->pCertInfo;
    PCERT_EXTENSION extension = CertFindExtension(oid, info->cExtension, info->rgExtension);
    if (!extension)
        return decoded;
    decoded.Present = true;
    T* value = nullptr;
    DWORD size = 0;
    if (CryptDecodeObjectEx(X509_ASN_ENCODING, structType, extension->Value.pbData, extension->Value.cbData,
                            CRYPT_DECODE_ALLOC_FLAG, nullptr, &value, &size))
        decoded.Value.reset(value);
    return decoded;
}
