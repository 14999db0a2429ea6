#include "system_fixture.h"

#include "app/unitGlobal.h"
#include "message_box_watcher.h"
#include "model/unitProcessEmail.h"
#include "settings/SettingsTable.h"
#include "settings/SettingsValues.h"

namespace {
using SettingsStore = SystemTest;
}

TEST_F(SettingsStore, EmptyRegistry_GivesTheDefaults)
{
    ihmOptions->LoadSettings();
    EXPECT_EQ(ihmOptions->ConfigDblClick(), 0);
    EXPECT_FALSE(ihmOptions->French());
    EXPECT_TRUE(ihmOptions->TaskPopup());
    EXPECT_TRUE(ihmOptions->KillerActive());
    EXPECT_TRUE(ihmMain->utlTimer.Enabled());
    EXPECT_TRUE(ihmMain->utlKillWatch.Active());
    EXPECT_EQ(ihmMain->utlTimer.Interval(), 500u);
    EXPECT_FALSE(ihmOptions->MailNotification());
    EXPECT_EQ(ihmOptions->IntervalEmail(), 10);
    EXPECT_EQ(ihmMain->utlTimerEmail.Interval(), 600000u);
    EXPECT_TRUE(ihmOptions->SpamKillerActive());
    EXPECT_EQ(ihmOptions->EmailLines(), 100);
    EXPECT_EQ(ihmOptions->zdsCounter.Caption(), "0000");
    EXPECT_EQ(ihmOptions->zdsCounterSpam.Caption(), "0000");
    EXPECT_EQ(ihmOptions->Mailboxes.Count(), 0);
    EXPECT_EQ(ihmOptions->VideoLeft(), 20);
    EXPECT_EQ(ihmOptions->VideoTop(), 20);
    EXPECT_EQ(ihmOptions->MailboxesLeft(), 20);
    EXPECT_EQ(ihmOptions->MailboxesTop(), 20);
    // Big enough to show the columns and a few rows, above the window's 250 x 250 minimum.
    EXPECT_EQ(ihmOptions->MailboxesWidth(), 560);
    EXPECT_EQ(ihmOptions->MailboxesHeight(), 400);
    EXPECT_EQ(ihmOptions->MailboxesGrid(), 100);
    EXPECT_EQ(ihmOptions->MailboxesCol1(), 60);
    EXPECT_EQ(ihmOptions->MailboxesCol2(), 150);
    EXPECT_EQ(ihmOptions->MailboxesCol3(), 300);
    EXPECT_EQ(ihmMain->TrayIconName, "POP_ACTIVE");
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
        {"Spam", "CounterSpam", "0"}, {"Mailboxes", "Number", "0"}, {"Video", "Top", "20"}, {"Video", "Left", "20"},
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
                                                                  {"RefreshToken", ""}};
    std::vector<std::vector<std::string>> mailboxTable;
    for (const auto& value : MailboxSettingsTable())
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
    ihmOptions->LoadSettings();
    TSettings& settings = windows->Settings();
    for (const auto& row : SettingsTable())
        if (row.Set)
            row.Set(settings, OtherThanDefault(row));
    ihmOptions->ApplySettings();
    auto mailbox = std::make_unique<TMailBox>();
    for (const auto& value : MailboxSettingsTable())
        value.Set(*mailbox, OtherThanDefault(value));
    ihmOptions->Mailboxes.Add(std::move(mailbox));
    ihmOptions->SaveSettings();

    for (const auto& row : SettingsTable())
        if (row.Set)
            row.Set(settings, row.Default);
    ihmOptions->ApplySettings();
    ihmOptions->Mailboxes.Clear();
    ihmOptions->LoadSettings();
    TRegistryIniFile ini = Ini();
    for (const auto& row : SettingsTable()) {
        if (!row.Set)
            continue;
        EXPECT_EQ(ini.ReadString(row.Section, row.Name, ""), OtherThanDefault(row)) << row.Section << "/" << row.Name;
        EXPECT_EQ(row.Get(settings), OtherThanDefault(row)) << row.Section << "/" << row.Name;
    }
    EXPECT_EQ(ini.ReadString("Mailboxes", "Number", ""), "1");
    ASSERT_EQ(ihmOptions->Mailboxes.Count(), 1);
    for (const auto& value : MailboxSettingsTable()) {
        EXPECT_EQ(ini.ReadString("Mailbox1", value.Name, ""), OtherThanDefault(value)) << value.Name;
        EXPECT_EQ(value.Get(*ihmOptions->Mailboxes.ItemAs<TMailBox>(0)), OtherThanDefault(value)) << value.Name;
    }
}

TEST_F(SettingsStore, KeyThatCannotBeOpened_GivesTheDefaultOfEveryRow)
{
    TSettings& settings = windows->Settings();
    for (const auto& row : SettingsTable())
        if (row.Set)
            row.Set(settings, OtherThanDefault(row));
    ihmOptions->ApplySettings();
    ihmOptions->RegistryKey = "\\Software\\" + std::string(300, 'k');
    ihmOptions->LoadSettings();
    for (const auto& row : SettingsTable())
        if (row.Set)
            EXPECT_EQ(row.Get(settings), row.Default) << row.Section << "/" << row.Name;
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
        ini.WriteString("Mailbox2", "Security", "7");  // damaged, or a later version's
    }
    ihmOptions->LoadSettings();
    ASSERT_EQ(ihmOptions->Mailboxes.Count(), 3);
    const auto* first = ihmOptions->Mailboxes.ItemAs<TMailBox>(0);
    EXPECT_EQ(first->MailboxName, "Home");
    EXPECT_EQ(first->Password, "secret");
    EXPECT_EQ(first->Port, "995");
    EXPECT_EQ(first->Security, 2);
    EXPECT_EQ(ihmOptions->Mailboxes.ItemAs<TMailBox>(1)->Security, MailboxSecurityUnknown);
    EXPECT_EQ(ihmOptions->Mailboxes.ItemAs<TMailBox>(2)->Server, "");
    EXPECT_EQ(ihmOptions->Mailboxes.ItemAs<TMailBox>(2)->Security, MailboxSecurityNone);  // no value: in clear
    EXPECT_EQ(ihmOptions->zdsMailboxList.Count(), 3);
    EXPECT_EQ(ihmOptions->zdsMailboxList.Items(0), "Home");
    ihmOptions->SaveSettings();
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
    ihmOptions->LoadSettings();
    ihmOptions->Mailboxes.Delete(2);
    ihmOptions->Mailboxes.Delete(1);
    ihmOptions->SaveSettings();
    TRegistryIniFile ini = Ini();
    EXPECT_EQ(ini.ReadString("Mailboxes", "Number", ""), "1");
    EXPECT_EQ(ini.ReadString("Mailbox3", "Name", ""), "Mailbox3");
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
    ihmOptions->LoadSettings();
    EXPECT_TRUE(ihmOptions->SpamKillerActive());
    EXPECT_TRUE(ihmOptions->AddressIp());
    EXPECT_EQ(ihmOptions->Interval(), 500);
    EXPECT_EQ(ihmOptions->zdsConfigDblClick.ItemIndex(), -1);
    for (const auto& item : ihmMain->mnpTB.Items())
        EXPECT_FALSE(item->Default()) << item->Name();
}

TEST_F(SettingsStore, CountersShowAtLeastFourDigits)
{
    ihmOptions->SetCounter(42);
    EXPECT_EQ(ihmOptions->zdsCounter.Caption(), "0042");
    ihmOptions->SetCounter(12345);
    EXPECT_EQ(ihmOptions->zdsCounter.Caption(), "12345");
    ihmOptions->SetCounterSpam(-5);
    EXPECT_EQ(ihmOptions->zdsCounterSpam.Caption(), "-0005");
    EXPECT_EQ(ihmOptions->CounterSpam(), -5);
}

TEST_F(SettingsStore, MinutesOfZero_StopTheMailWatchWithoutTouchingLedOrMenu)
{
    ihmOptions->SetMailNotification(true);
    ihmOptions->SetIntervalEmail(0);
    EXPECT_FALSE(ihmOptions->MailNotification());
    EXPECT_TRUE(ihmOptions->zdsLedEmail.Lit());
    EXPECT_TRUE(ihmMain->mnpTbActivateEmail().Checked());
    ihmOptions->SetIntervalEmail(5);
    EXPECT_FALSE(ihmOptions->MailNotification());  // "05" typed: the watch stays off
    EXPECT_EQ(ihmMain->utlTimerEmail.Interval(), 300000u);
}

TEST_F(SettingsStore, IntervalsNeverReachThePlatformOverflowedNegativeOrAbsurdlyShort)
{
    ihmOptions->SetIntervalEmail(71583);  // 71583 x 60000 does not fit in 32 bits
    EXPECT_EQ(ihmMain->utlTimerEmail.Interval(), 2147483647u);
    ihmOptions->SetIntervalEmail(-3);  // no check every millisecond: the default
    EXPECT_EQ(ihmMain->utlTimerEmail.Interval(), 600000u);
    EXPECT_EQ(ihmOptions->IntervalEmail(), 10);
    ihmOptions->SetInterval(-10);
    EXPECT_EQ(ihmMain->utlTimer.Interval(), 500u);
    EXPECT_EQ(ihmOptions->Interval(), 500);
    ihmOptions->SetInterval(1);  // kept as typed, ticking at the fastest sound pace
    EXPECT_EQ(ihmMain->utlTimer.Interval(), 50u);
    EXPECT_EQ(ihmOptions->Interval(), 1);
    Ini().WriteString("Email", "IntervalEmail", "-1");
    ihmOptions->LoadSettings();
    EXPECT_EQ(ihmOptions->IntervalEmail(), 10);
}

TEST_F(SettingsStore, KillerSwitch_DrivesTimerLedEnablingMenuAndIcon)
{
    ihmOptions->LoadSettings();
    ihmOptions->SetSoundOnKill(true);
    ihmOptions->SetKillerActive(false);
    EXPECT_FALSE(ihmMain->utlTimer.Enabled());
    EXPECT_FALSE(ihmMain->utlKillWatch.Active());
    EXPECT_FALSE(ihmOptions->zdsLedPopup.Lit());
    EXPECT_FALSE(ihmOptions->zdsInterval.Enabled());
    EXPECT_FALSE(ihmOptions->zdsSoundFile.Enabled());
    EXPECT_FALSE(ihmMain->mnpTbActivatePopup().Checked());
    EXPECT_EQ(ihmMain->TrayIconName, "POP_INACTIVE");
    EXPECT_FALSE(ihmMain->UpdatingMenu);
    ihmOptions->SetKillerActive(true);
    EXPECT_TRUE(ihmOptions->zdsSoundFile.Enabled());
    EXPECT_TRUE(ihmMain->mnpTbActivatePopup().Checked());
}

TEST_F(SettingsStore, MailSwitch_EnablesSpamControlsAndMenuItem)
{
    ihmOptions->SetSpamKillerActive(true);
    ihmOptions->SetSoundOnKillSpam(true);
    ihmOptions->SetMailNotification(false);
    EXPECT_FALSE(ihmOptions->zdsSoundFileSpam.Enabled());  // even with the spam killer on and the box ticked
    EXPECT_FALSE(ihmMain->mnpTbActivateSpam().Enabled());
    EXPECT_FALSE(ihmOptions->zdsLedSpam.Enabled());
    ihmOptions->SetMailNotification(true);
    EXPECT_TRUE(ihmOptions->zdsSoundFileSpam.Enabled());
    EXPECT_TRUE(ihmMain->mnpTbActivateSpam().Enabled());
    EXPECT_TRUE(ihmMain->mnpTbActivateEmail().Checked());
}

TEST_F(SettingsStore, FrenchSetting_AppliesFrenchTextsToMessagesAndMenu)
{
    ihmOptions->SetFrench(true);
    EXPECT_EQ(MsgAlreadyRunning, "Skarnvale est d\xC3\xA9j\xC3\xA0 actif.");
    EXPECT_EQ(ihmMain->mnpTB.Item("mnpTbQuit").Caption, "Quitter");
    ihmOptions->SetFrench(false);
    EXPECT_EQ(ihmMain->mnpTB.Item("mnpTbQuit").Caption, "Quit");
}

TEST_F(SettingsStore, KeyThatCannotBeWritten_SaysSoOnceInTheLanguageOfTheInterface)
{
    ihmOptions->SetFrench(true);
    ihmOptions->RegistryKey = "\\Software\\" + std::string(300, 'k');
    TMessageBoxWatcher watcher;
    ihmOptions->SaveSettings();
    const std::vector<TSeenBox> seen = watcher.Seen();
    ihmOptions->SetFrench(false);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, "Erreur lors de l'ecriture des param\xE8tres dans la cl\xE9 de registre '" +
                                ihmOptions->RegistryKey + "'");
}
