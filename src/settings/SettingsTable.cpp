#include "SettingsTable.h"

#include "../forms/ihmMailbox.h"
#include "../forms/ihmVideo.h"
#include "../model/unitProcessEmail.h"
#include "SettingsValues.h"
#include "ihmOptions.h"

namespace {
using TOptions = TihmOptions;
using TSetting = TSettingRow<TOptions>;

// A value stored through an encoding and read back through its decoding.
template <class T>
TSetting Coded(const char* section, const char* name, TSettingKind kind, T defaultValue, T (TOptions::*get)() const,
               void (TOptions::*set)(T), std::string (*encode)(T), T (*decode)(const std::string&, T))
{
    return {section, name, kind, encode(defaultValue),
            [get, encode](const TOptions& options) { return encode((options.*get)()); },
            [set, decode, defaultValue](TOptions& options, const std::string& text) {
                (options.*set)(decode(text, defaultValue));
            }};
}

TSetting Integer(const char* section, const char* name, int defaultValue, int (TOptions::*get)() const,
                 void (TOptions::*set)(int))
{
    return Coded(section, name, TSettingKind::Integer, defaultValue, get, set, EncodeInteger, DecodeInteger);
}

TSetting Boolean(const char* section, const char* name, bool defaultValue, bool (TOptions::*get)() const,
                 void (TOptions::*set)(bool))
{
    return Coded(section, name, TSettingKind::Boolean, defaultValue, get, set, EncodeBoolean, DecodeBoolean);
}

TSetting Text(const char* section, const char* name, std::string (TOptions::*get)() const,
              void (TOptions::*set)(const std::string&))
{
    return {section, name, TSettingKind::Text, "",
            [get](const TOptions& options) { return (options.*get)(); },
            [set](TOptions& options, const std::string& text) { (options.*set)(text); }};
}

// A mailbox value read back through `decode`, when it has one.
TSettingRow<TMailBox> MailboxText(const char* name, std::string TMailBox::*field, const char* defaultValue = "",
                                  std::string (*decode)(const std::string&) = nullptr)
{
    return {"", name, TSettingKind::Text, defaultValue, [field](const TMailBox& mailbox) { return mailbox.*field; },
            [field, decode](TMailBox& mailbox, const std::string& text) {
                mailbox.*field = decode ? decode(text) : text;
            }};
}

// The Security value: a value that names no mode is kept as it was stored
// and written back unchanged until the user chooses one.
TSettingRow<TMailBox> MailboxSecurity()
{
    return {"", "Security", TSettingKind::Integer, EncodeInteger(MailboxSecurityNone),
            [](const TMailBox& mailbox) {
                return mailbox.Security == MailboxSecurityUnknown ? mailbox.UnknownSecurity
                                                                  : EncodeInteger(mailbox.Security);
            },
            [](TMailBox& mailbox, const std::string& text) {
                mailbox.Security = DecodeMailboxSecurity(text);
                mailbox.UnknownSecurity = mailbox.Security == MailboxSecurityUnknown ? text : std::string();
            }};
}
}  // namespace

const std::vector<TSettingRow<TihmOptions>>& SettingsTable()
{
    static const std::vector<TSetting> table = {
        Integer("General", "ConfigDblClick", 0, &TOptions::ConfigDblClick, &TOptions::SetConfigDblClick),
        Boolean("General", "ListStayOnTop", false, &TOptions::ListStayOnTop, &TOptions::SetListStayOnTop),
        Boolean("General", "AddressIp", false, &TOptions::AddressIp, &TOptions::SetAddressIp),
        Boolean("General", "French", false, &TOptions::French, &TOptions::SetFrench),
        Boolean("General", "TaskPopup", true, &TOptions::TaskPopup, &TOptions::SetTaskPopup),
        Text("General", "EmailProgram", &TOptions::EmailProgram, &TOptions::SetEmailProgram),

        Boolean("Popup", "KillerActive", true, &TOptions::KillerActive, &TOptions::SetKillerActive),
        Integer("Popup", "Interval", DefaultInterval, &TOptions::Interval, &TOptions::SetInterval),
        Boolean("Popup", "SoundOnKill", false, &TOptions::SoundOnKill, &TOptions::SetSoundOnKill),
        Text("Popup", "SoundFile", &TOptions::SoundFile, &TOptions::SetSoundFile),
        Integer("Popup", "Counter", 0, &TOptions::Counter, &TOptions::SetCounter),

        Boolean("Email", "MailNotification", false, &TOptions::MailNotification, &TOptions::SetMailNotification),
        Integer("Email", "IntervalEmail", DefaultIntervalEmail, &TOptions::IntervalEmail,
                &TOptions::SetIntervalEmail),
        Boolean("Email", "SoundOnEmail", false, &TOptions::SoundOnEmail, &TOptions::SetSoundOnEmail),
        Text("Email", "SoundFileEmail", &TOptions::SoundFileEmail, &TOptions::SetSoundFileEmail),
        Text("Email", "VideoFileEmail", &TOptions::VideoFileEmail, &TOptions::SetVideoFileEmail),
        Boolean("Email", "NoBorderVideo", false, &TOptions::NoBorderVideo, &TOptions::SetNoBorderVideo),
        Integer("Email", "EmailLines", DefaultEmailLines, &TOptions::EmailLines, &TOptions::SetEmailLines),

        Boolean("Spam", "SpamKillerActive", true, &TOptions::SpamKillerActive, &TOptions::SetSpamKillerActive),
        Boolean("Spam", "SoundOnKillSpam", false, &TOptions::SoundOnKillSpam, &TOptions::SetSoundOnKillSpam),
        Text("Spam", "SoundFileSpam", &TOptions::SoundFileSpam, &TOptions::SetSoundFileSpam),
        Integer("Spam", "CounterSpam", 0, &TOptions::CounterSpam, &TOptions::SetCounterSpam),

        {"Mailboxes", "Number", TSettingKind::MailboxCount, "0",
         [](const TOptions& options) { return EncodeInteger(options.Mailboxes.Count()); }, nullptr},

        Integer("Video", "Top", TihmVideo::DefaultTop, &TOptions::VideoTop, &TOptions::SetVideoTop),
        Integer("Video", "Left", TihmVideo::DefaultLeft, &TOptions::VideoLeft, &TOptions::SetVideoLeft),
        Integer("Mailboxes", "Top", TihmMailbox::DefaultTop, &TOptions::MailboxesTop, &TOptions::SetMailboxesTop),
        Integer("Mailboxes", "Left", TihmMailbox::DefaultLeft, &TOptions::MailboxesLeft,
                &TOptions::SetMailboxesLeft),
        Integer("Mailboxes", "Width", TihmMailbox::DefaultWidth, &TOptions::MailboxesWidth,
                &TOptions::SetMailboxesWidth),
        Integer("Mailboxes", "Height", TihmMailbox::DefaultHeight, &TOptions::MailboxesHeight,
                &TOptions::SetMailboxesHeight),
        Boolean("Mailboxes", "Header", false, &TOptions::MailboxesHeader, &TOptions::SetMailboxesHeader),
        Integer("Mailboxes", "Grid", TihmMailbox::DefaultGridHeight, &TOptions::MailboxesGrid,
                &TOptions::SetMailboxesGrid),
        Integer("Mailboxes", "Col1", TihmMailbox::DefaultColumnWidth(0), &TOptions::MailboxesCol1,
                &TOptions::SetMailboxesCol1),
        Integer("Mailboxes", "Col2", TihmMailbox::DefaultColumnWidth(1), &TOptions::MailboxesCol2,
                &TOptions::SetMailboxesCol2),
        Integer("Mailboxes", "Col3", TihmMailbox::DefaultColumnWidth(2), &TOptions::MailboxesCol3,
                &TOptions::SetMailboxesCol3),
    };
    return table;
}

const std::vector<TSettingRow<TMailBox>>& MailboxSettingsTable()
{
    static const std::vector<TSettingRow<TMailBox>> table = {
        MailboxText("Name", &TMailBox::MailboxName),
        MailboxText("Server", &TMailBox::Server),
        MailboxText("User", &TMailBox::User),
        MailboxText("Password", &TMailBox::Password),
        MailboxText("Port", &TMailBox::Port, "110", DecodeMailboxPort),
        MailboxSecurity(),
        MailboxText("Fingerprint", &TMailBox::Fingerprint),
    };
    return table;
}
