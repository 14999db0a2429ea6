#include "SettingsTable.h"

#include "../model/unitProcessEmail.h"
#include "Settings.h"
#include "SettingsSecret.h"
#include "SettingsValues.h"

namespace {
using TSetting = TSettingRow<TSettings>;

// The settings as a new structure holds them: each default is written once,
// on its field, and the table reads it from there.
const TSettings& Defaults()
{
    static const TSettings defaults;
    return defaults;
}

const TMailBox& MailboxDefaults()
{
    static const TMailBox defaults;
    return defaults;
}

// A value stored through an encoding and read back through its decoding.
template <class T>
TSetting Coded(const char* section, const char* name, TSettingKind kind, T TSettings::*field,
               std::string (*encode)(T), T (*decode)(const std::string&, T))
{
    const T defaultValue = Defaults().*field;
    return {section, name, kind, encode(defaultValue),
            [field, encode](const TSettings& settings) { return encode(settings.*field); },
            [field, decode, defaultValue](TSettings& settings, const std::string& text) {
                settings.*field = decode(text, defaultValue);
            }};
}

TSetting Integer(const char* section, const char* name, int TSettings::*field)
{
    return Coded(section, name, TSettingKind::Integer, field, EncodeInteger, DecodeInteger);
}

TSetting Boolean(const char* section, const char* name, bool TSettings::*field)
{
    return Coded(section, name, TSettingKind::Boolean, field, EncodeBoolean, DecodeBoolean);
}

TSetting Text(const char* section, const char* name, std::string TSettings::*field)
{
    return {section, name, TSettingKind::Text, Defaults().*field,
            [field](const TSettings& settings) { return settings.*field; },
            [field](TSettings& settings, const std::string& text) { settings.*field = text; }};
}

// A mailbox value read back through `decode`, when it has one.
TSettingRow<TMailBox> MailboxText(const char* name, std::string TMailBox::*field,
                                  std::string (*decode)(const std::string&) = nullptr)
{
    return {"", name, TSettingKind::Text, MailboxDefaults().*field, [field](const TMailBox& mailbox) { return mailbox.*field; },
            [field, decode](TMailBox& mailbox, const std::string& text) {
                mailbox.*field = decode ? decode(text) : text;
            }};
}

// The Password value: protected in the registry, in clear in the mailbox.
// One that does not open stays as it was stored until a password is typed.
TSettingRow<TMailBox> MailboxPassword(const ISecretCodec& secrets)
{
    return {"", "Password", TSettingKind::Text, MailboxDefaults().Password,
            [&secrets](const TMailBox& mailbox) {
                return StoredSecretText(mailbox.Password, mailbox.UnreadablePassword, secrets);
            },
            [&secrets](TMailBox& mailbox, const std::string& text) {
                TStoredSecret read = ReadStoredSecret(text, secrets);
                mailbox.Password = std::move(read.Secret);
                mailbox.UnreadablePassword = std::move(read.Unreadable);
            }};
}

// The Security value: a value that names no mode is kept as it was stored
// and written back unchanged until the user chooses one.
TSettingRow<TMailBox> MailboxSecurity()
{
    return {"", "Security", TSettingKind::Integer, EncodeInteger(MailboxDefaults().Security),
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
        Integer("General", "ConfigDblClick", &S::ConfigDblClick),
        Boolean("General", "ListStayOnTop", &S::ListStayOnTop),
        Boolean("General", "AddressIp", &S::AddressIp),
        Boolean("General", "French", &S::French),
        Boolean("General", "TaskPopup", &S::TaskPopup),
        Text("General", "EmailProgram", &S::EmailProgram),

        Boolean("Popup", "KillerActive", &S::KillerActive),
        Integer("Popup", "Interval", &S::Interval),
        Boolean("Popup", "SoundOnKill", &S::SoundOnKill),
        Text("Popup", "SoundFile", &S::SoundFile),
        Integer("Popup", "Counter", &S::Counter),

        Boolean("Email", "MailNotification", &S::MailNotification),
        Integer("Email", "IntervalEmail", &S::IntervalEmail),
        Boolean("Email", "SoundOnEmail", &S::SoundOnEmail),
        Text("Email", "SoundFileEmail", &S::SoundFileEmail),
        Text("Email", "VideoFileEmail", &S::VideoFileEmail),
        Boolean("Email", "NoBorderVideo", &S::NoBorderVideo),
        Integer("Email", "EmailLines", &S::EmailLines),
        Boolean("Email", "BalloonNotification", &S::BalloonNotification),

        Boolean("Spam", "SpamKillerActive", &S::SpamKillerActive),
        Boolean("Spam", "SoundOnKillSpam", &S::SoundOnKillSpam),
        Text("Spam", "SoundFileSpam", &S::SoundFileSpam),
        Integer("Spam", "CounterSpam", &S::CounterSpam),
        Integer("Spam", "SpamKeepDays", &S::SpamKeepDays),
        Integer("Spam", "SpamCopiesCapMB", &S::SpamCopiesCapMB),

        {"Mailboxes", "Number", TSettingKind::MailboxCount, "0",
         [](const S& settings) { return EncodeInteger(settings.Mailboxes.Count()); }, nullptr},

        Integer("Video", "Top", &S::VideoTop),
        Integer("Video", "Left", &S::VideoLeft),
        Integer("Mailboxes", "Top", &S::MailboxesTop),
        Integer("Mailboxes", "Left", &S::MailboxesLeft),
        Integer("Mailboxes", "Width", &S::MailboxesWidth),
        Integer("Mailboxes", "Height", &S::MailboxesHeight),
        Boolean("Mailboxes", "Header", &S::MailboxesHeader),
        Integer("Mailboxes", "Grid", &S::MailboxesGrid),
        Integer("Mailboxes", "Col1", &S::MailboxesCol1),
        Integer("Mailboxes", "Col2", &S::MailboxesCol2),
        Integer("Mailboxes", "Col3", &S::MailboxesCol3),
    };
    return table;
}

std::vector<TSettingRow<TMailBox>> MailboxSettingsTable(const ISecretCodec& secrets)
{
    return {
        MailboxText("Name", &TMailBox::MailboxName),
        MailboxText("Server", &TMailBox::Server),
        MailboxText("User", &TMailBox::User),
        MailboxPassword(secrets),
        MailboxText("Port", &TMailBox::Port, DecodeMailboxPort),
        MailboxSecurity(),
        MailboxText("Fingerprint", &TMailBox::Fingerprint),
        {"", "Auth", TSettingKind::Integer, EncodeInteger(MailboxDefaults().Auth),
         [](const TMailBox& mailbox) { return EncodeInteger(mailbox.Auth); },
         [](TMailBox& mailbox, const std::string& text) { mailbox.Auth = DecodeMailboxAuth(text); }},
        MailboxText("AuthorizationUrl", &TMailBox::AuthorizationUrl),
        MailboxText("TokenUrl", &TMailBox::TokenUrl),
        MailboxText("Scope", &TMailBox::Scope),
        MailboxText("ClientId", &TMailBox::ClientId),
        MailboxText("ClientSecret", &TMailBox::ProtectedClientSecret),
        MailboxText("RefreshToken", &TMailBox::ProtectedRefreshToken),
        {"", "Protocol", TSettingKind::Integer, EncodeInteger(MailboxDefaults().Protocol),
         [](const TMailBox& mailbox) { return EncodeInteger(mailbox.Protocol); },
         [](TMailBox& mailbox, const std::string& text) { mailbox.Protocol = DecodeMailboxProtocol(text); }},
        MailboxText("Folder", &TMailBox::Folder, DecodeMailboxFolder),
    };
}
