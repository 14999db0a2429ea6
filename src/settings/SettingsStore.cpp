// The registry half of the settings store: row by row of the settings table,
// each mailbox's section right after the row that counts them.
#include "SettingsStore.h"

#include <memory>
#include <utility>

#include "../framework/Dpapi.h"
#include "../framework/Registry.h"
#include "../model/unitProcessEmail.h"
#include "Settings.h"
#include "SettingsSecret.h"
#include "SettingsStoreLists.h"
#include "SettingsTable.h"
#include "SettingsValues.h"

namespace {
// The passwords protected for the current Windows user. A refusal to protect
// one is remembered: that value is then not written (what was stored stays,
// never the clear text) and the save reports it.
class TDpapiSecrets : public ISecretCodec {
public:
    std::string Protect(const std::string& secret) const override
    {
        std::string stored = DpapiProtect(secret);
        refused_ = refused_ || stored.empty();
        return stored;
    }
    bool IsProtected(const std::string& stored) const override { return DpapiIsProtected(stored); }
    bool Unprotect(const std::string& stored, std::string& secret) const override
    {
        return DpapiUnprotect(stored, secret);
    }
    // Whether Protect was refused since the last call.
    bool TakeRefusal() const { return std::exchange(refused_, false); }

private:
    mutable bool refused_ = false;
};

// The mailbox sections 1 to `count`, appended to the settings' mailboxes.
void LoadMailboxes(const TRegistryIniFile& ini, int count, TSettings& settings)
{
    const TDpapiSecrets secrets;
    const auto table = MailboxSettingsTable(secrets);
    for (int i = 1; i <= count; ++i) {
        const std::string section = MailboxSectionName(i);
        auto mailbox = std::make_unique<TMailBox>();
        for (const auto& value : table)
            value.Set(*mailbox, ini.ReadString(section, value.Name, value.Default));
        settings.Mailboxes.Add(std::move(mailbox));
    }
}

// True when every value was written.
bool SaveMailboxSection(TRegistryIniFile& ini, const TMailBox& mailbox, int number)
{
    const std::string section = MailboxSectionName(number);
    const TDpapiSecrets secrets;
    bool written = true;
    for (const auto& value : MailboxSettingsTable(secrets)) {
        const std::string text = value.Get(mailbox);
        written = !secrets.TakeRefusal() && ini.WriteString(section, value.Name, text) && written;
    }
    return written;
}
}  // namespace

TSettingsStoreResult TSettingsStore::Load(TSettings& settings) const
{
    TSettingsStoreResult result;
    settings.Mailboxes.Clear();
    {
        TRegistryIniFile ini(Key);
        if (ini.IsOpen()) {
            for (const auto& setting : SettingsTable()) {
                const std::string text = ini.ReadString(setting.Section, setting.Name, setting.Default);
                if (setting.Kind == TSettingKind::MailboxCount)
                    LoadMailboxes(ini, DecodeInteger(text, 0), settings);
                else
                    setting.Set(settings, text);
            }
        } else {
            SetDefaults(settings);
        }
    }
    LoadSpamLists(settings, result);
    return result;
}

TSettingsStoreResult TSettingsStore::Save(const TSettings& settings) const
{
    TSettingsStoreResult result;
    {
        TRegistryIniFile ini(Key);
        bool written = ini.IsOpen();
        if (written)
            for (const auto& setting : SettingsTable()) {
                written = ini.WriteString(setting.Section, setting.Name, setting.Get(settings)) && written;
                if (setting.Kind == TSettingKind::MailboxCount)
                    for (int i = 0; i < settings.Mailboxes.Count(); ++i)
                        written = SaveMailboxSection(ini, *settings.Mailboxes.ItemAs<TMailBox>(i), i + 1) && written;
            }
        result.RegistryWritten = written;
    }
    SaveSpamLists(settings, result);
    return result;
}

bool TSettingsStore::SaveMailbox(const TSettings& settings, int index) const
{
    if (index < 0 || index >= settings.Mailboxes.Count())
        return false;
    TRegistryIniFile ini(Key);
    return ini.IsOpen() && SaveMailboxSection(ini, *settings.Mailboxes.ItemAs<TMailBox>(index), index + 1);
}

void TSettingsStore::SetDefaults(TSettings& settings)
{
    for (const auto& setting : SettingsTable())
        if (setting.Set)
            setting.Set(settings, setting.Default);
    settings.Mailboxes.Clear();
}
