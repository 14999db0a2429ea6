#include "SettingsTable.h"

#include "../model/unitProcessEmail.h"
#include "Settings.h"
#include "SettingsValues.h"

namespace {
using TSetting = TSettingRow<TSettings>;

// A value stored through an encoding and read back through its decoding.
template <class T>
TSetting Coded(const char* section, const char* name, TSettingKind kind, T defaultValue, T TSettings::*field,
               std::string (*encode)(T), T (*decode)(const std::string&, T))
{
    return {section, name, kind, encode(defaultValue),
            [field, encode](const TSettings& settings) { return encode(settings.*field); },
            [field, decode, defaultValue](TSettings& settings, const std::string& text) {
                settings.*field = decode(text, defaultValue);
            }};
}

TSetting Integer(const char* section, const char* name, int defaultValue, int TSettings::*field)
{
    return Coded(section, name, TSettingKind::Integer, defaultValue, field, EncodeInteger, DecodeInteger);
}

TSetting Boolean(const char* section, const char* name, bool defaultValue, bool TSettings::*field)
{
    return Coded(section, name, TSettingKind::Boolean, defaultValue, field, EncodeBoolean, DecodeBoolean);
}

TSetting Text(const char* section, const char* name, std::string TSettings::*field)
{
    return {section, name, TSettingKind::Text, "", [field](const TSettings& settings) { return settings.*field; },
            [field](TSettings& settings, const std::string& text) { settings.*field = text; }};
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

const std::vector<TSettingRow<TSettings>>& SettingsTable()
{
    using S = TSettings;
    static const std::vector<TSetting> table = {
        Integer("General", "ConfigDblClick", 0, &S::ConfigDblClick),
        Boolean("General", "ListStayOnTop", false, &S::ListStayOnTop),
        Boolean("General", "AddressIp", false, &S::AddressIp),
        Boolean("General", "French", false, &S::French),
        Boolean("General", "TaskPopup", true, &S::TaskPopup),
        Text("General", "EmailProgram", &S::EmailProgram),

        Boolean("Popup", "KillerActive", true, &S::KillerActive),
        Integer("Popup", "Interval", DefaultInterval, &S::Interval),
        Boolean("Popup", "SoundOnKill", false, &S::SoundOnKill),
        Text("Popup", "SoundFile", &S::SoundFile),
        Integer("Popup", "Counter", 0, &S::Counter),

        Boolean("Email", "MailNotification", false, &S::MailNotification),
        Integer("Email", "IntervalEmail", DefaultIntervalEmail, &S::IntervalEmail),
        Boolean("Email", "SoundOnEmail", false, &S::SoundOnEmail),
        Text("Email", "SoundFileEmail", &S::SoundFileEmail),
        Text("Email", "VideoFileEmail", &S::VideoFileEmail),
        Boolean("Email", "NoBorderVideo", false, &S::NoBorderVideo),
        Integer("Email", "EmailLines", DefaultEmailLines, &S::EmailLines),
        Boolean("Email", "BalloonNotification", true, &S::BalloonNotification),

        Boolean("Spam", "SpamKillerActive", true, &S::SpamKillerActive),
        Boolean("Spam", "SoundOnKillSpam", false, &S::SoundOnKillSpam),
        Text("Spam", "SoundFileSpam", &S::SoundFileSpam),
        Integer("Spam", "CounterSpam", 0, &S::CounterSpam),

        {"Mailboxes", "Number", TSettingKind::MailboxCount, "0",
         [](const S& settings) { return EncodeInteger(settings.Mailboxes.Count()); }, nullptr},

        Integer("Video", "Top", DefaultWindowTop, &S::VideoTop),
        Integer("Video", "Left", DefaultWindowLeft, &S::VideoLeft),
        Integer("Mailboxes", "Top", DefaultWindowTop, &S::MailboxesTop),
        Integer("Mailboxes", "Left", DefaultWindowLeft, &S::MailboxesLeft),
        Integer("Mailboxes", "Width", DefaultMailboxesWidth, &S::MailboxesWidth),
        Integer("Mailboxes", "Height", DefaultMailboxesHeight, &S::MailboxesHeight),
        Boolean("Mailboxes", "Header", false, &S::MailboxesHeader),
        Integer("Mailboxes", "Grid", DefaultMailboxesGrid, &S::MailboxesGrid),
        Integer("Mailboxes", "Col1", DefaultMailboxesColumns[0], &S::MailboxesCol1),
        Integer("Mailboxes", "Col2", DefaultMailboxesColumns[1], &S::MailboxesCol2),
        Integer("Mailboxes", "Col3", DefaultMailboxesColumns[2], &S::MailboxesCol3),
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
        {"", "Auth", TSettingKind::Integer, EncodeInteger(MailboxAuthPassword),
         [](const TMailBox& mailbox) { return EncodeInteger(mailbox.Auth); },
         [](TMailBox& mailbox, const std::string& text) { mailbox.Auth = DecodeMailboxAuth(text); }},
        MailboxText("AuthorizationUrl", &TMailBox::AuthorizationUrl),
        MailboxText("TokenUrl", &TMailBox::TokenUrl),
        MailboxText("Scope", &TMailBox::Scope),
        MailboxText("ClientId", &TMailBox::ClientId),
        MailboxText("ClientSecret", &TMailBox::ProtectedClientSecret),
        MailboxText("RefreshToken", &TMailBox::ProtectedRefreshToken),
    };
    return table;
}
