#include "Registry.h"

#include "RegistryValues.h"
#include "WideText.h"

namespace {
TScopedRegKey OpenSection(HKEY key, const std::string& section, REGSAM access)
{
    HKEY subKey = nullptr;
    if (!key || RegOpenKeyExW(key, Widen(section).c_str(), 0, access, &subKey) != ERROR_SUCCESS)
        return TScopedRegKey();
    return TScopedRegKey(subKey);
}

TScopedRegKey CreateSection(HKEY key, const std::string& section)
{
    HKEY subKey = nullptr;
    if (!key || RegCreateKeyExW(key, Widen(section).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                &subKey, nullptr) != ERROR_SUCCESS)
        return TScopedRegKey();
    return TScopedRegKey(subKey);
}

bool IsTextType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }
}  // namespace

TRegistryIniFile::TRegistryIniFile(const std::string& keyPath)
{
    const size_t start = keyPath.find_first_not_of('\\');
    const std::string relative = start == std::string::npos ? std::string() : keyPath.substr(start);
    key_ = CreateSection(HKEY_CURRENT_USER, relative);
}

bool TRegistryIniFile::ReadText(const std::string& section, const std::string& name, std::string& text) const
{
    TScopedRegKey sectionKey = OpenSection(key_.get(), section, KEY_READ);
    if (!sectionKey)
        return false;
    // The value may change size between the two calls; ask again until the
    // buffer holds all of it.
    const std::wstring wideName = Widen(name);
    std::wstring data;
    for (;;) {
        DWORD type = 0;
        DWORD size = 0;
        LONG status = RegQueryValueExW(sectionKey.get(), wideName.c_str(), nullptr, &type, nullptr, &size);
        if (status != ERROR_SUCCESS || !IsTextType(type))
            return false;
        data.assign(size / sizeof(wchar_t) + 1, L'\0');
        status = RegQueryValueExW(sectionKey.get(), wideName.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(&data[0]), &size);
        if (status == ERROR_MORE_DATA)
            continue;
        if (status != ERROR_SUCCESS || !IsTextType(type))
            return false;
        // An odd byte count leaves half a character, which is dropped.
        data.resize(size / sizeof(wchar_t));
        break;
    }
    // The text ends at its terminating zero; data written without one is taken whole.
    const size_t zero = data.find(L'\0');
    text = Narrow(zero == std::wstring::npos ? data : data.substr(0, zero));
    return true;
}

std::string TRegistryIniFile::ReadString(const std::string& section, const std::string& name,
                                         const std::string& defaultValue) const
{
    std::string text;
    return ReadText(section, name, text) ? text : defaultValue;
}

int TRegistryIniFile::ReadInteger(const std::string& section, const std::string& name, int defaultValue) const
{
    std::string text;
    return ReadText(section, name, text) ? DecodeInteger(text, defaultValue) : defaultValue;
}

bool TRegistryIniFile::ReadBool(const std::string& section, const std::string& name, bool defaultValue) const
{
    std::string text;
    return ReadText(section, name, text) ? DecodeBoolean(text, defaultValue) : defaultValue;
}

bool TRegistryIniFile::WriteString(const std::string& section, const std::string& name, const std::string& value)
{
    TScopedRegKey sectionKey = CreateSection(key_.get(), section);
    if (!sectionKey)
        return false;
    // c_str() supplies the terminating zero that the size counts.
    const std::wstring wide = Widen(value);
    return RegSetValueExW(sectionKey.get(), Widen(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(wide.c_str()),
                          static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool TRegistryIniFile::WriteInteger(const std::string& section, const std::string& name, int value)
{
    return WriteString(section, name, EncodeInteger(value));
}

bool TRegistryIniFile::WriteBool(const std::string& section, const std::string& name, bool value)
{
    return WriteString(section, name, EncodeBoolean(value));
}

bool TRegistryIniFile::SectionExists(const std::string& section) const
{
    return OpenSection(key_.get(), section, KEY_READ) != nullptr;
}

bool TRegistryIniFile::ValueExists(const std::string& section, const std::string& name) const
{
    std::string text;
    return ReadText(section, name, text);
}
