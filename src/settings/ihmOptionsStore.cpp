// Reading every setting from the registry at start-up and writing it back,
// in one fixed order, so the setters' enabling rules see the settings they
// depend on.
#include "../framework/Registry.h"
#include "../forms/ihmMailbox.h"
#include "../model/unitProcessEmail.h"
#include "SettingsValues.h"
#include "ihmOptions.h"

void TihmOptions::LoadSettings()
{
    {
        TRegistryIniFile ini(RegistryKey);
        if (ini.IsOpen()) {
            SetConfigDblClick(ini.ReadInteger("General", "ConfigDblClick", 0));
            SetListStayOnTop(ini.ReadBool("General", "ListStayOnTop", false));
            SetAddressIp(ini.ReadBool("General", "AddressIp", false));
            SetFrench(ini.ReadBool("General", "French", false));
            SetTaskPopup(ini.ReadBool("General", "TaskPopup", true));
            SetEmailProgram(ini.ReadString("General", "EmailProgram", ""));

            SetKillerActive(ini.ReadBool("Popup", "KillerActive", true));
            SetInterval(ini.ReadInteger("Popup", "Interval", 500));
            SetSoundOnKill(ini.ReadBool("Popup", "SoundOnKill", false));
            SetSoundFile(ini.ReadString("Popup", "SoundFile", ""));
            SetCounter(ini.ReadInteger("Popup", "Counter", 0));

            SetMailNotification(ini.ReadBool("Email", "MailNotification", false));
            SetIntervalEmail(ini.ReadInteger("Email", "IntervalEmail", 10));
            SetSoundOnEmail(ini.ReadBool("Email", "SoundOnEmail", false));
            SetSoundFileEmail(ini.ReadString("Email", "SoundFileEmail", ""));
            SetVideoFileEmail(ini.ReadString("Email", "VideoFileEmail", ""));
            SetNoBorderVideo(ini.ReadBool("Email", "NoBorderVideo", false));
            SetEmailLines(ini.ReadInteger("Email", "EmailLines", 100));

            SetSpamKillerActive(ini.ReadBool("Spam", "SpamKillerActive", true));
            SetSoundOnKillSpam(ini.ReadBool("Spam", "SoundOnKillSpam", false));
            SetSoundFileSpam(ini.ReadString("Spam", "SoundFileSpam", ""));
            SetCounterSpam(ini.ReadInteger("Spam", "CounterSpam", 0));

            const int number = ini.ReadInteger("Mailboxes", "Number", 0);
            for (int i = 1; i <= number; ++i) {
                const std::string section = MailboxSectionName(i);
                auto mailbox = std::make_unique<TMailBox>();
                mailbox->MailboxName = ini.ReadString(section, "Name", "");
                mailbox->Server = ini.ReadString(section, "Server", "");
                mailbox->User = ini.ReadString(section, "User", "");
                mailbox->Password = ini.ReadString(section, "Password", "");
                mailbox->Port = DecodeMailboxPort(ini.ReadString(section, "Port", "110"));
                mailbox->Security = DecodeMailboxSecurity(ini.ReadString(section, "Security", "0"));
                mailbox->Fingerprint = ini.ReadString(section, "Fingerprint", "");
                Mailboxes.Add(std::move(mailbox));
            }
            ShowMailboxNames();

            SetVideoTop(ini.ReadInteger("Video", "Top", 20));
            SetVideoLeft(ini.ReadInteger("Video", "Left", 20));
            SetMailboxesTop(ini.ReadInteger("Mailboxes", "Top", 20));
            SetMailboxesLeft(ini.ReadInteger("Mailboxes", "Left", 20));
            SetMailboxesWidth(ini.ReadInteger("Mailboxes", "Width", TihmMailbox::DefaultWidth));
            SetMailboxesHeight(ini.ReadInteger("Mailboxes", "Height", TihmMailbox::DefaultHeight));
            SetMailboxesHeader(ini.ReadBool("Mailboxes", "Header", false));
            SetMailboxesGrid(ini.ReadInteger("Mailboxes", "Grid", 100));
            SetMailboxesCol1(ini.ReadInteger("Mailboxes", "Col1", 60));
            SetMailboxesCol2(ini.ReadInteger("Mailboxes", "Col2", 150));
            SetMailboxesCol3(ini.ReadInteger("Mailboxes", "Col3", 300));
        } else {
            ApplyDefaultSettings();
        }
    }
    LoadSpamLists();
}

void TihmOptions::ApplyDefaultSettings()
{
    SetConfigDblClick(0);
    SetListStayOnTop(false);
    SetAddressIp(false);
    SetFrench(false);
    SetTaskPopup(true);
    SetKillerActive(true);
    SetInterval(500);
    SetCounter(0);
    SetMailNotification(false);
    SetIntervalEmail(10);
    SetEmailLines(100);
    SetSpamKillerActive(true);
    SetCounterSpam(0);
    SetVideoTop(20);
    SetVideoLeft(20);
    SetMailboxesTop(20);
    SetMailboxesLeft(20);
    SetMailboxesWidth(TihmMailbox::DefaultWidth);
    SetMailboxesHeight(TihmMailbox::DefaultHeight);
}

void TihmOptions::SaveSettings()
{
    {
        TRegistryIniFile ini(RegistryKey);
        if (ini.IsOpen()) {
            ini.WriteInteger("General", "ConfigDblClick", ConfigDblClick());
            ini.WriteBool("General", "ListStayOnTop", ListStayOnTop());
            ini.WriteBool("General", "AddressIp", AddressIp());
            ini.WriteBool("General", "French", French());
            ini.WriteBool("General", "TaskPopup", TaskPopup());
            ini.WriteString("General", "EmailProgram", EmailProgram());

            ini.WriteBool("Popup", "KillerActive", KillerActive());
            ini.WriteInteger("Popup", "Interval", Interval());
            ini.WriteBool("Popup", "SoundOnKill", SoundOnKill());
            ini.WriteString("Popup", "SoundFile", SoundFile());
            ini.WriteInteger("Popup", "Counter", Counter());

            ini.WriteBool("Email", "MailNotification", MailNotification());
            ini.WriteInteger("Email", "IntervalEmail", IntervalEmail());
            ini.WriteBool("Email", "SoundOnEmail", SoundOnEmail());
            ini.WriteString("Email", "SoundFileEmail", SoundFileEmail());
            ini.WriteString("Email", "VideoFileEmail", VideoFileEmail());
            ini.WriteBool("Email", "NoBorderVideo", NoBorderVideo());
            ini.WriteInteger("Email", "EmailLines", EmailLines());

            ini.WriteBool("Spam", "SpamKillerActive", SpamKillerActive());
            ini.WriteBool("Spam", "SoundOnKillSpam", SoundOnKillSpam());
            ini.WriteString("Spam", "SoundFileSpam", SoundFileSpam());
            ini.WriteInteger("Spam", "CounterSpam", CounterSpam());

            ini.WriteInteger("Mailboxes", "Number", Mailboxes.Count());
            for (int i = 1; i <= Mailboxes.Count(); ++i) {
                const std::string section = MailboxSectionName(i);
                const TMailBox* mailbox = Mailboxes.ItemAs<TMailBox>(i - 1);
                ini.WriteString(section, "Name", mailbox->MailboxName);
                ini.WriteString(section, "Server", mailbox->Server);
                ini.WriteString(section, "User", mailbox->User);
                ini.WriteString(section, "Password", mailbox->Password);
                ini.WriteString(section, "Port", mailbox->Port);
                ini.WriteInteger(section, "Security", mailbox->Security);
                ini.WriteString(section, "Fingerprint", mailbox->Fingerprint);
            }

            ini.WriteInteger("Video", "Top", VideoTop());
            ini.WriteInteger("Video", "Left", VideoLeft());
            ini.WriteInteger("Mailboxes", "Top", MailboxesTop());
            ini.WriteInteger("Mailboxes", "Left", MailboxesLeft());
            ini.WriteInteger("Mailboxes", "Width", MailboxesWidth());
            ini.WriteInteger("Mailboxes", "Height", MailboxesHeight());
            ini.WriteBool("Mailboxes", "Header", MailboxesHeader());
            ini.WriteInteger("Mailboxes", "Grid", MailboxesGrid());
            ini.WriteInteger("Mailboxes", "Col1", MailboxesCol1());
            ini.WriteInteger("Mailboxes", "Col2", MailboxesCol2());
            ini.WriteInteger("Mailboxes", "Col3", MailboxesCol3());
        }
    }
    SaveSpamLists();
}
