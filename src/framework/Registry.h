// Ini-file-like access to a key of the current user's registry: sections are
// subkeys of the key, and every value is a string (REG_SZ) whatever its
// logical type, so that a user can read and edit each one by hand.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

struct TRegKeyCloser {
    void operator()(HKEY key) const
    {
        if (key)
            RegCloseKey(key);
    }
};
using TScopedRegKey = std::unique_ptr<std::remove_pointer<HKEY>::type, TRegKeyCloser>;

class TRegistryIniFile {
public:
    // Opens HKEY_CURRENT_USER\`keyPath` with full access, creating it when
    // missing; leading backslashes are ignored. The key stays open until the
    // object goes. When it can be neither opened nor created, every read gives
    // its default and every write fails.
    explicit TRegistryIniFile(const std::string& keyPath);

    bool IsOpen() const { return key_ != nullptr; }

    // A value of another type than a string counts as absent, as does a value
    // in a section that does not exist. Reading never creates a section.
    std::string ReadString(const std::string& section, const std::string& name,
                           const std::string& defaultValue) const;
    int ReadInteger(const std::string& section, const std::string& name, int defaultValue) const;
    bool ReadBool(const std::string& section, const std::string& name, bool defaultValue) const;

    // Each write creates the section when it is missing and stores the text
    // with its terminating zero. Answers false when the section or the value
    // could not be written.
    bool WriteString(const std::string& section, const std::string& name, const std::string& value);
    bool WriteInteger(const std::string& section, const std::string& name, int value);
    bool WriteBool(const std::string& section, const std::string& name, bool value);

    bool SectionExists(const std::string& section) const;
    // True when the value exists as a string.
    bool ValueExists(const std::string& section, const std::string& name) const;

private:
    // The text of a string value; false when the section or the value is
    // missing or the value is not a string.
    bool ReadText(const std::string& section, const std::string& name, std::string& text) const;

    TScopedRegKey key_;
};
