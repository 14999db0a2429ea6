// Where the settings live between runs: the registry values of the settings
// table under one key of HKEY_CURRENT_USER, and the spam lists' files (beside
// the executable or in the user's folder: framework/DataFolder.h). Loading,
// saving and the defaults need no window: what failed is returned, and the
// caller says so to the user.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct TSettings;

// What a load or a save could not do.
struct TSettingsStoreResult {
    // Save: false when the key could not be opened or a value not written.
    bool RegistryWritten = true;
    // The list files that exist but could not be read (their paths), and
    // those that could not be written (their names, as DataFolder.h takes them).
    std::vector<std::string> UnreadFiles;
    std::vector<std::string> UnwrittenFiles;
    bool Ok() const { return RegistryWritten && UnreadFiles.empty() && UnwrittenFiles.empty(); }
};

class TSettingsStore {
public:
    // Below HKEY_CURRENT_USER.
    static constexpr const char* DefaultKey = "\\Software\\SkarnVale";
    explicit TSettingsStore(std::string key = DefaultKey) : Key(std::move(key)) {}

    std::string Key;

    // Every setting read into `settings`, the mailboxes and the spam lists
    // among them: a missing value reads as its default, and a key that can be
    // neither opened nor created gives the default of every value.
    TSettingsStoreResult Load(TSettings& settings) const;
    // Every value written back, also after one failed (a lost write costs
    // only that value), and the spam lists' files.
    TSettingsStoreResult Save(const TSettings& settings) const;
    // The values of the mailbox at `index` of the settings' list alone, in
    // its section: a value that changed while the program runs (a renewed
    // token) is on disk at once. True when every value was written.
    bool SaveMailbox(const TSettings& settings, int index) const;
    // The default of every value of the settings table.
    static void SetDefaults(TSettings& settings);
};
