// Reading every setting from the registry into the settings at start-up and
// writing them back, row by row in the order of the settings table; once
// read, the settings are applied in that order, so the enabling rules see the
// settings they depend on.
#include <memory>

#include "../app/FileErrorBox.h"
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
                    setting.Set(settings_, text);
            }
        } else {
            ApplyDefaultSettings();
        }
    }
    ApplySettings();
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
    TakeMailboxes();
}

void TihmOptions::ApplyDefaultSettings()
{
    for (const auto& setting : SettingsTable())
        if (setting.Set)
            setting.Set(settings_, setting.Default);
}

void TihmOptions::SaveSettings()
{
    bool written = false;
    {
        TRegistryIniFile ini(RegistryKey);
        written = ini.IsOpen();
        // Every value is tried, also after one failed: a lost write costs only that value.
        if (written)
            for (const auto& setting : SettingsTable()) {
                written = ini.WriteString(setting.Section, setting.Name, setting.Get(settings_)) && written;
                if (setting.Kind == TSettingKind::MailboxCount)
                    written = SaveMailboxes(ini) && written;
            }
    }
    // Said once per save, not once per value.
    if (!written)
        ShowSettingsWriteErrorBox(RegistryKey);
    SaveSpamLists();
}

bool TihmOptions::SaveMailboxes(TRegistryIniFile& ini) const
{
    bool written = true;
    for (int i = 1; i <= Mailboxes.Count(); ++i) {
        const std::string section = MailboxSectionName(i);
        const TMailBox& mailbox = *Mailboxes.ItemAs<TMailBox>(i - 1);
        for (const auto& value : MailboxSettingsTable())
            written = ini.WriteString(section, value.Name, value.Get(mailbox)) && written;
    }
    return written;
}
