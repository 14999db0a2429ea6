#include "Registry.h"

#include "RegistryValues.h"

namespace {
TScopedRegKey OpenSection(HKEY key, const std::string& section, REGSAM access)
{
    HKEY subKey = nullptr;
    if (!key || RegOpenKeyExA(key, section.c_str(), 0, access, &subKey) != ERROR_SUCCESS)
        return TScopedRegKey();
    return TScopedRegKey(subKey);
}

TScopedRegKey CreateSection(HKEY key, const std::string& section)
{
    HKEY subKey = nullptr;
    if (!key || RegCreateKeyExA(key, section.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
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
    std::string data;
    for (;;) {
        DWORD type = 0;
        DWORD size = 0;
        LONG status = RegQueryValueExA(sectionKey.get(), name.c_str(), nullptr, &type, nullptr, &size);
        if (status != ERROR_SUCCESS || !IsTextType(type))
            return false;
        data.assign(size + 1, '\0');
        status = RegQueryValueExA(sectionKey.get(), name.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(&data[0]), &size);
        if (status == ERROR_MORE_DATA)
            continue;
        if (status != ERROR_SUCCESS || !IsTextType(type))
            return false;
        data.resize(size);
        break;
    }
    // The text ends at its terminating zero; data written without one is taken whole.
    const size_t zero = data.find('\0');
    text = zero == std::string::npos ? data : data.substr(0, zero);
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
    return RegSetValueExA(sectionKey.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
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
