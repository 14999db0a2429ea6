#include "system_fixture.h"

#include "framework/Dpapi.h"
#include "model/unitProcessEmail.h"
#include "settings/Settings.h"
#include "settings/SettingsSecret.h"
#include "settings/SettingsStore.h"
#include "settings/SettingsTable.h"
#include "settings/SettingsValues.h"

namespace {
// The store alone, on settings of the test's own: no window is involved.
class SettingsStore : public SystemTest {
protected:
    TSettingsStore store{"\\" + TestKey()};
    TSettings settings;
};

const TMailBox& MailboxAt(const TSettings& settings, int index) { return *settings.Mailboxes.ItemAs<TMailBox>(index); }

// The platform's protection, as the store uses it.
class TDpapi : public ISecretCodec {
public:
    std::string Protect(const std::string& secret) const override { return DpapiProtect(secret); }
    bool IsProtected(const std::string& stored) const override { return DpapiIsProtected(stored); }
    bool Unprotect(const std::string& stored, std::string& secret) const override
    {
        return DpapiUnprotect(stored, secret);
    }
};
const TDpapi Dpapi;
}  // namespace

TEST_F(SettingsStore, EmptyRegistry_GivesTheDefaults)
{
    for (const auto& row : SettingsTable())
        if (row.Set)
            row.Set(settings, "7");
    EXPECT_TRUE(store.Load(settings).Ok());
    for (const auto& row : SettingsTable())
        EXPECT_EQ(row.Get(settings), row.Default) << row.Section << "/" << row.Name;
    EXPECT_EQ(settings.Mailboxes.Count(), 0);
    EXPECT_EQ(settings.Interval, 500);
    EXPECT_EQ(settings.IntervalEmail, 10);
    EXPECT_TRUE(settings.TaskPopup);
    // Big enough to show the columns and a few rows, above the window's 250 x 250 minimum.
    EXPECT_EQ(settings.MailboxesWidth, 560);
    EXPECT_EQ(settings.MailboxesHeight, 400);
}

// The registry layout written out once, independently of the table it
// checks: a renamed value, a moved row or a changed default fails here.
TEST_F(SettingsStore, Table_IsTheRegistryLayoutInItsOrderWithItsDefaults)
{
    const std::vector<std::vector<std::string>> layout = {
        {"General", "ConfigDblClick", "0"}, {"General", "ListStayOnTop", "0"}, {"General", "AddressIp", "0"},
        {"General", "French", "0"}, {"General", "TaskPopup", "1"}, {"General", "EmailProgram", ""},
        {"Popup", "KillerActive", "1"}, {"Popup", "Interval", "500"}, {"Popup", "SoundOnKill", "0"},
        {"Popup", "SoundFile", ""}, {"Popup", "Counter", "0"}, {"Email", "MailNotification", "0"},
        {"Email", "IntervalEmail", "10"}, {"Email", "SoundOnEmail", "0"}, {"Email", "SoundFileEmail", ""},
        {"Email", "VideoFileEmail", ""}, {"Email", "NoBorderVideo", "0"}, {"Email", "EmailLines", "100"},
        {"Email", "BalloonNotification", "1"},
        {"Spam", "SpamKillerActive", "1"}, {"Spam", "SoundOnKillSpam", "0"}, {"Spam", "SoundFileSpam", ""},
        {"Spam", "CounterSpam", "0"}, {"Spam", "SpamKeepDays", "30"}, {"Spam", "SpamCopiesCapMB", "200"},
        {"Mailboxes", "Number", "0"}, {"Video", "Top", "20"}, {"Video", "Left", "20"},
        {"Mailboxes", "Top", "20"}, {"Mailboxes", "Left", "20"},
        // Wider and taller than the first versions' 100 x 100, so that the columns and a few rows show.
        {"Mailboxes", "Width", "560"}, {"Mailboxes", "Height", "400"}, {"Mailboxes", "Header", "0"},
        {"Mailboxes", "Grid", "100"}, {"Mailboxes", "Col1", "60"}, {"Mailboxes", "Col2", "150"},
        {"Mailboxes", "Col3", "300"}};
    std::vector<std::vector<std::string>> table;
    for (const auto& row : SettingsTable())
        table.push_back({row.Section, row.Name, row.Default});
    EXPECT_EQ(table, layout);
    const std::vector<std::vector<std::string>> mailboxLayout = {{"Name", ""}, {"Server", ""}, {"User", ""},
                                                                  {"Password", ""}, {"Port", "110"},
                                                                  {"Security", "0"}, {"Fingerprint", ""},
                                                                  {"Auth", "0"}, {"AuthorizationUrl", ""},
                                                                  {"TokenUrl", ""}, {"Scope", ""},
                                                                  {"ClientId", ""}, {"ClientSecret", ""},
                                                                  {"RefreshToken", ""}, {"Protocol", "0"},
                                                                  {"Folder", "INBOX"}};
    std::vector<std::vector<std::string>> mailboxTable;
    for (const auto& value : MailboxSettingsTable(Dpapi))
        mailboxTable.push_back({value.Name, value.Default});
    EXPECT_EQ(mailboxTable, mailboxLayout);
}

namespace {
// A value other than the row's default, as the registry stores it: a number
// where the default is one (a port is text), text otherwise.
template <class TOwner>
std::string OtherThanDefault(const TSettingRow<TOwner>& row)
{
    if (row.Kind == TSettingKind::Boolean)
        return row.Default == "1" ? "0" : "1";
    if (row.Kind == TSettingKind::Integer || !row.Default.empty())
        return EncodeInteger(DecodeInteger(row.Default, 0) + 1);
    return std::string("C:\\Sons\\Fen\xC3\xAAtre \xD0\x97\xD0\xB2\xD1\x83\xD0\xBA ") + row.Name;
}
}  // namespace

TEST_F(SettingsStore, EveryRowSaved_IsStoredAsItsTextAndLoadedBack)
{
    for (const auto& row : SettingsTable())
        if (row.Set)
            row.Set(settings, OtherThanDefault(row));
    auto mailbox = std::make_unique<TMailBox>();
    for (const auto& value : MailboxSettingsTable(Dpapi))
        value.Set(*mailbox, OtherThanDefault(value));
    settings.Mailboxes.Add(std::move(mailbox));
    EXPECT_TRUE(store.Save(settings).RegistryWritten);

    TSettings loaded;
    store.Load(loaded);
    TRegistryIniFile ini = Ini();
    for (const auto& row : SettingsTable()) {
        if (!row.Set)
            continue;
        EXPECT_EQ(ini.ReadString(row.Section, row.Name, ""), OtherThanDefault(row)) << row.Section << "/" << row.Name;
        EXPECT_EQ(row.Get(loaded), OtherThanDefault(row)) << row.Section << "/" << row.Name;
    }
    EXPECT_EQ(ini.ReadString("Mailboxes", "Number", ""), "1");
    ASSERT_EQ(loaded.Mailboxes.Count(), 1);
    for (const auto& value : MailboxSettingsTable(Dpapi)) {
        // The password is stored protected, in a new form at each save.
        if (std::string(value.Name) == "Password") {
            EXPECT_TRUE(DpapiIsProtected(ini.ReadString("Mailbox1", value.Name, "")));
            EXPECT_EQ(MailboxAt(loaded, 0).Password, OtherThanDefault(value));
            continue;
        }
        EXPECT_EQ(ini.ReadString("Mailbox1", value.Name, ""), OtherThanDefault(value)) << value.Name;
        EXPECT_EQ(value.Get(MailboxAt(loaded, 0)), OtherThanDefault(value)) << value.Name;
    }
}

TEST_F(SettingsStore, KeyThatCannotBeOpened_GivesTheDefaultOfEveryRowAndCannotBeWritten)
{
    for (const auto& row : SettingsTable())
        if (row.Set)
            row.Set(settings, OtherThanDefault(row));
    settings.Mailboxes.Add(std::make_unique<TMailBox>());
    store.Key = "\\Software\\" + std::string(300, 'k');
    store.Load(settings);
    for (const auto& row : SettingsTable())
        if (row.Set)
            EXPECT_EQ(row.Get(settings), row.Default) << row.Section << "/" << row.Name;
    EXPECT_EQ(settings.Mailboxes.Count(), 0);
    settings.Mailboxes.Add(std::make_unique<TMailBox>());
    EXPECT_FALSE(store.Save(settings).RegistryWritten);
    EXPECT_FALSE(store.SaveMailbox(settings, 0));
}

TEST_F(SettingsStore, MailboxesAreReadUpToNumber_MissingSectionsGiveEmptyMailboxes)
{
    {
        TRegistryIniFile ini = Ini();
        ini.WriteString("Mailboxes", "Number", "3");
        ini.WriteString("Mailbox1", "Name", "Home");
        ini.WriteString("Mailbox1", "Server", "127.0.0.1");
        ini.WriteString("Mailbox1", "User", "me");
        ini.WriteString("Mailbox1", "Password", "secret");
        ini.WriteString("Mailbox1", "Port", "995");
        ini.WriteString("Mailbox1", "Security", "2");
        ini.WriteString("Mailbox1", "Fingerprint", "AB:CD");
        ini.WriteString("Mailbox1", "Protocol", "1");
        ini.WriteString("Mailbox1", "Folder", "Bo\xC3\xAEte/Re\xC3\xA7us");
        ini.WriteString("Mailbox2", "Security", "7");  // damaged, or a later version's
        ini.WriteString("Mailbox2", "Protocol", "9");
        ini.WriteString("Mailbox2", "Folder", "");
    }
    store.Load(settings);
    ASSERT_EQ(settings.Mailboxes.Count(), 3);
    const TMailBox& first = MailboxAt(settings, 0);
    EXPECT_EQ(first.MailboxName, "Home");
    EXPECT_EQ(first.Password, "secret");
    EXPECT_EQ(first.Port, "995");
    EXPECT_EQ(first.Security, 2);
    EXPECT_EQ(MailboxAt(settings, 1).Security, MailboxSecurityUnknown);
    EXPECT_EQ(MailboxAt(settings, 2).Server, "");
    EXPECT_EQ(MailboxAt(settings, 2).Security, MailboxSecurityNone);  // no value: in clear
    // IMAP where chosen; a missing or unknown protocol is POP3, a missing folder the inbox.
    EXPECT_EQ(first.Protocol, MailboxProtocolImap);
    EXPECT_EQ(first.Folder, "Bo\xC3\xAEte/Re\xC3\xA7us");
    EXPECT_EQ(MailboxAt(settings, 1).Protocol, MailboxProtocolPop3);
    EXPECT_EQ(MailboxAt(settings, 1).Folder, "INBOX");
    EXPECT_EQ(MailboxAt(settings, 2).Protocol, MailboxProtocolPop3);
    EXPECT_EQ(MailboxAt(settings, 2).Folder, "INBOX");
    store.Save(settings);
    EXPECT_EQ(Ini().ReadString("Mailbox1", "Protocol", ""), "1");
    EXPECT_EQ(Ini().ReadString("Mailbox1", "Folder", ""), "Bo\xC3\xAEte/Re\xC3\xA7us");
    EXPECT_EQ(Ini().ReadString("Mailbox3", "Protocol", ""), "0");
    EXPECT_EQ(Ini().ReadString("Mailbox1", "Fingerprint", ""), "AB:CD");
    EXPECT_EQ(Ini().ReadString("Mailbox2", "Security", ""), "7");  // kept until the user chooses
}

TEST_F(SettingsStore, FewerMailboxesSaved_StaleSectionsStayButAreNotLoaded)
{
    {
        TRegistryIniFile ini = Ini();
        ini.WriteString("Mailboxes", "Number", "3");
        for (const char* section : {"Mailbox1", "Mailbox2", "Mailbox3"})
            ini.WriteString(section, "Name", section);
    }
    store.Load(settings);
    settings.Mailboxes.Delete(2);
    settings.Mailboxes.Delete(1);
    store.Save(settings);
    TRegistryIniFile ini = Ini();
    EXPECT_EQ(ini.ReadString("Mailboxes", "Number", ""), "1");
    EXPECT_EQ(ini.ReadString("Mailbox3", "Name", ""), "Mailbox3");
    store.Load(settings);
    EXPECT_EQ(settings.Mailboxes.Count(), 1);
}

// A value that changes while the program runs (a renewed token) is written
// with its mailbox's section alone: the rest stays as it was on disk.
TEST_F(SettingsStore, OneMailboxSaved_WritesItsSectionAndNothingElse)
{
    for (const char* name : {"First", "Second"}) {
        auto mailbox = std::make_unique<TMailBox>();
        mailbox->MailboxName = name;
        settings.Mailboxes.Add(std::move(mailbox));
    }
    store.Save(settings);
    settings.Interval = 900;
    settings.Mailboxes.ItemAs<TMailBox>(0)->ProtectedRefreshToken = "dpapi:first";
    settings.Mailboxes.ItemAs<TMailBox>(1)->ProtectedRefreshToken = "dpapi:second";
    settings.Mailboxes.ItemAs<TMailBox>(1)->Port = "995";
    EXPECT_TRUE(store.SaveMailbox(settings, 1));
    EXPECT_FALSE(store.SaveMailbox(settings, 2));
    TRegistryIniFile ini = Ini();
    EXPECT_EQ(ini.ReadString("Mailbox2", "RefreshToken", ""), "dpapi:second");
    EXPECT_EQ(ini.ReadString("Mailbox2", "Port", ""), "995");
    EXPECT_EQ(ini.ReadString("Mailbox2", "Name", ""), "Second");
    EXPECT_EQ(ini.ReadString("Mailbox1", "RefreshToken", "none"), "");
    EXPECT_EQ(ini.ReadString("Popup", "Interval", ""), "500");
}

TEST_F(SettingsStore, BadlyStoredValues_ReadAsTheRulesSay)
{
    {
        TRegistryIniFile ini = Ini();
        ini.WriteString("Spam", "SpamKillerActive", "yes");  // not an integer: the default, true
        ini.WriteString("General", "AddressIp", "2");          // not 0: true
        ini.WriteString("Popup", "Interval", "12abc");         // the default, 500
        ini.WriteString("General", "ConfigDblClick", "9");     // no action
    }
    store.Load(settings);
    EXPECT_TRUE(settings.SpamKillerActive);
    EXPECT_TRUE(settings.AddressIp);
    EXPECT_EQ(settings.Interval, 500);
    EXPECT_EQ(settings.ConfigDblClick, 9);  // the dialog shows no action for it
}


// No save leaves a password in clear: one written in clear by an earlier
// version is read as it is and stored protected; a protected one that does
// not open here (another user's, damaged) gives no password and is kept.
TEST_F(SettingsStore, Passwords_AreNeverStoredInClearAndOldClearOnesAreReadAndProtected)
{
    const std::string othersBlob = "dpapi:" + std::string(40, 'A');
    {
        TRegistryIniFile ini = Ini();
        ini.WriteString("Mailboxes", "Number", "3");
        ini.WriteString("Mailbox1", "Password", "Old clear p\xC3\xA4ssword");
        ini.WriteString("Mailbox2", "Password", othersBlob);
    }
    store.Load(settings);
    ASSERT_EQ(settings.Mailboxes.Count(), 3);
    EXPECT_EQ(MailboxAt(settings, 0).Password, "Old clear p\xC3\xA4ssword");
    EXPECT_EQ(MailboxAt(settings, 1).Password, "");
    settings.Mailboxes.ItemAs<TMailBox>(2)->Password = "typed in the options";
    EXPECT_TRUE(store.Save(settings).RegistryWritten);

    TRegistryIniFile ini = Ini();
    const std::string first = ini.ReadString("Mailbox1", "Password", "");
    const std::string third = ini.ReadString("Mailbox3", "Password", "");
    EXPECT_TRUE(DpapiIsProtected(first)) << first;
    EXPECT_TRUE(DpapiIsProtected(third)) << third;
    EXPECT_EQ(first.find("Old clear"), std::string::npos);
    EXPECT_EQ(ini.ReadString("Mailbox2", "Password", ""), othersBlob);
    TSettings loaded;
    store.Load(loaded);
    EXPECT_EQ(MailboxAt(loaded, 0).Password, "Old clear p\xC3\xA4ssword");
    EXPECT_EQ(MailboxAt(loaded, 1).Password, "");
    EXPECT_EQ(MailboxAt(loaded, 1).UnreadablePassword, othersBlob);
    EXPECT_EQ(MailboxAt(loaded, 2).Password, "typed in the options");

    // One mailbox's section alone is written protected too.
    settings.Mailboxes.ItemAs<TMailBox>(0)->Password = "renewed";
    EXPECT_TRUE(store.SaveMailbox(settings, 0));
    const std::string renewed = Ini().ReadString("Mailbox1", "Password", "");
    EXPECT_TRUE(DpapiIsProtected(renewed)) << renewed;
    std::string opened;
    EXPECT_TRUE(DpapiUnprotect(renewed, opened));
    EXPECT_EQ(opened, "renewed");
}
