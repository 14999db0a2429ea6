#include "Dpapi.h"

#include <windows.h>
#include <wincrypt.h>

#include "../text/Base64.h"

namespace {
// Names the kind of value, so that a blob is never taken for clear text.
const char Prefix[] = "dpapi:";

std::string TakeBlob(DATA_BLOB& blob)
{
    std::string bytes(reinterpret_cast<const char*>(blob.pbData), blob.cbData);
    SecureZeroMemory(blob.pbData, blob.cbData);
    LocalFree(blob.pbData);
    return bytes;
}
}  // namespace

std::string DpapiProtect(const std::string& secret)
{
    DATA_BLOB in{static_cast<DWORD>(secret.size()), reinterpret_cast<BYTE*>(const_cast<char*>(secret.data()))};
    DATA_BLOB out{};
    if (!CryptProtectData(&in, L"SkarnVale", nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out))
        return "";
    return Prefix + Base64Encode(TakeBlob(out));
}

bool DpapiIsProtected(const std::string& stored) { return stored.compare(0, sizeof Prefix - 1, Prefix) == 0; }

bool DpapiUnprotect(const std::string& stored, std::string& secret)
{
    secret.clear();
    std::string bytes;
    if (!DpapiIsProtected(stored) || !Base64Decode(stored.substr(sizeof Prefix - 1), bytes) ||
        bytes.empty())
        return false;
    DATA_BLOB in{static_cast<DWORD>(bytes.size()), reinterpret_cast<BYTE*>(&bytes[0])};
    DATA_BLOB out{};
    if (!CryptUnprotectData(&in, nullptr, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out))
        return false;
    secret = TakeBlob(out);
    return true;
}
