// Every registry value of the settings as one table. A row names the value,
// its kind and its default as stored, and reads and sets the field of the
// settings that holds it as that text; loading, saving and the defaults are
// loops over the rows, so a new value is one new row.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct TSettings;
class TMailBox;
class ISecretCodec;

enum class TSettingKind {
    Text,
    Integer,  // decimal text
    Boolean,  // "1" or "0"
    // An integer: how many mailbox sections follow, each with the values of
    // the mailbox table; they are read and written right after this row.
    MailboxCount,
};

template <class TOwner>
struct TSettingRow {
    const char* Section;  // empty for a value of a mailbox section
    const char* Name;
    TSettingKind Kind;
    std::string Default;  // the text a missing value reads as
    std::function<std::string(const TOwner&)> Get;
    // Takes the stored text, which the row decodes with its default.
    std::function<void(TOwner&, const std::string&)> Set;
};

// In the order of loading and saving, which is also the order in which the
// settings are applied: an enabling rule reads the settings applied before it.
const std::vector<TSettingRow<TSettings>>& SettingsTable();
// The values of each mailbox section, in the order they are read and written.
// The password is stored through `secrets` (settings/SettingsSecret.h): the
// mailbox holds it in clear, the registry only in its protected form. The
// rows refer to `secrets`, which outlives them.
std::vector<TSettingRow<TMailBox>> MailboxSettingsTable(const ISecretCodec& secrets);
