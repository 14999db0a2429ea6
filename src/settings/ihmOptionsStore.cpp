// Reading every setting from the registry at start-up and writing it back,
// row by row in the order of the settings table, so the setters' enabling
// rules see the settings they depend on.
#include <memory>

#include "../framework/Registry.h"
#include "../model/unitProcessEmail.h"
#include "SettingsTable.h"
#include "SettingsValues.h"
#include "ihmOptions.h"

void TihmOptions::LoadSettings()
{
    {
        TRegistryIniFile ini(RegistryKey);
        if (ini.IsOpen()) {
            for (const auto& setting : SettingsTable()) {
                const std::string text = ini.ReadString(setting.Section, setting.Name, setting.Default);
                if (setting.Kind == TSettingKind::MailboxCount)
                    LoadMailboxes(ini, DecodeInteger(text, 0));
                else
                    setting.Set(*this, text);
            }
        } else {
            ApplyDefaultSettings();
        }
    }
    LoadSpamLists();
}

void TihmOptions::LoadMailboxes(const TRegistryIniFile& ini, int count)
{
    for (int i = 1; i <= count; ++i) {
        const std::string section = MailboxSectionName(i);
        auto mailbox = std::make_unique<TMailBox>();
        for (const auto& value : MailboxSettingsTable())
            value.Set(*mailbox, ini.ReadString(section, value.Name, value.Default));
        Mailboxes.Add(std::move(mailbox));
    }
    ShowMailboxNames();
}

void TihmOptions::ApplyDefaultSettings()
{
    for (const auto& setting : SettingsTable())
        if (setting.Set)
            setting.Set(*this, setting.Default);
}

void TihmOptions::SaveSettings()
{
    {
        TRegistryIniFile ini(RegistryKey);
        if (ini.IsOpen())
            for (const auto& setting : SettingsTable()) {
                ini.WriteString(setting.Section, setting.Name, setting.Get(*this));
                if (setting.Kind == TSettingKind::MailboxCount)
                    SaveMailboxes(ini);
            }
    }
    SaveSpamLists();
}

void TihmOptions::SaveMailboxes(TRegistryIniFile& ini) const
{
    for (int i = 1; i <= Mailboxes.Count(); ++i) {
        const std::string section = MailboxSectionName(i);
        const TMailBox& mailbox = *Mailboxes.ItemAs<TMailBox>(i - 1);
        for (const auto& value : MailboxSettingsTable())
            ini.WriteString(section, value.Name, value.Get(mailbox));
    }
}
