#include "StartupEntry.h"

#include <windows.h>

#include "Registry.h"
#include "WideText.h"

namespace {
const wchar_t RunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t ApprovedKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

TScopedRegKey OpenKey(const wchar_t* key, REGSAM access)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, access, &opened) != ERROR_SUCCESS)
        return TScopedRegKey();
    return TScopedRegKey(opened);
}

// The value's bytes when its type is `type` or `otherType`.
bool ReadValue(const wchar_t* key, const std::wstring& name, DWORD type, DWORD otherType, std::string& bytes)
{
    TScopedRegKey opened = OpenKey(key, KEY_QUERY_VALUE);
    if (!opened)
        return false;
    // The value may grow between the two calls: asked again until it fits.
    for (;;) {
        DWORD found = 0;
        DWORD size = 0;
        if (RegQueryValueExW(opened.get(), name.c_str(), nullptr, &found, nullptr, &size) != ERROR_SUCCESS ||
            (found != type && found != otherType))
            return false;
        bytes.assign(size, '\0');
        const LONG status = RegQueryValueExW(opened.get(), name.c_str(), nullptr, &found,
                                             reinterpret_cast<BYTE*>(&bytes[0]), &size);
        if (status == ERROR_MORE_DATA)
            continue;
        if (status != ERROR_SUCCESS || (found != type && found != otherType))
            return false;
        bytes.resize(size);
        return true;
    }
}

bool WriteValue(const wchar_t* key, const std::wstring& name, DWORD type, const void* data, size_t size)
{
    HKEY opened = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &opened,
                        nullptr) != ERROR_SUCCESS)
        return false;
    TScopedRegKey scoped(opened);
    return RegSetValueExW(opened, name.c_str(), 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size)) ==
           ERROR_SUCCESS;
}

// True when the value is gone, or never was.
bool DeleteValue(const wchar_t* key, const std::wstring& name)
{
    TScopedRegKey opened = OpenKey(key, KEY_SET_VALUE);
    if (!opened)
        return true;
    const LONG status = RegDeleteValueW(opened.get(), name.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}
}  // namespace

bool TStartupEntry::ReadCommand(std::string& command) const
{
    // A REG_EXPAND_SZ command is read as written, unexpanded.
    std::string bytes;
    if (!ReadValue(RunKey, Widen(name_), REG_SZ, REG_EXPAND_SZ, bytes))
        return false;
    std::wstring wide(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    const size_t zero = wide.find(L'\0');
    command = Narrow(zero == std::wstring::npos ? wide : wide.substr(0, zero));
    return true;
}

bool TStartupEntry::WriteCommand(const std::string& command) const
{
    const std::wstring wide = Widen(command);
    return WriteValue(RunKey, Widen(name_), REG_SZ, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
}

bool TStartupEntry::Remove() const
{
    const bool run = DeleteValue(RunKey, Widen(name_));
    return DeleteValue(ApprovedKey, Widen(name_)) && run;
}

std::string TStartupEntry::ReadApproval() const
{
    std::string bytes;
    return ReadValue(ApprovedKey, Widen(name_), REG_BINARY, REG_BINARY, bytes) ? bytes : std::string();
}

bool TStartupEntry::WriteApproval(const std::string& bytes) const
{
    return WriteValue(ApprovedKey, Widen(name_), REG_BINARY, bytes.data(), bytes.size());
}
