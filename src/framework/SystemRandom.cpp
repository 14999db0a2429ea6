#include "SystemRandom.h"

#include <windows.h>
#include <wincrypt.h>

std::string SystemRandomBytes(std::size_t count)
{
    HCRYPTPROV provider = 0;
    if (!CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT | CRYPT_SILENT))
        return "";
    std::string bytes(count, '\0');
    const bool ok = CryptGenRandom(provider, static_cast<DWORD>(count), reinterpret_cast<BYTE*>(&bytes[0])) != 0;
    CryptReleaseContext(provider, 0);
    return ok ? bytes : std::string();
}
