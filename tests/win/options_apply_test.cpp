// The settings as the tray controller loads, applies and saves them: the
// dialog's controls, the timers, the tray menu and the error boxes follow
// what the store read (the store alone: settings_store_test.cpp).
#include "system_fixture.h"

#include "app/unitGlobal.h"
#include "message_box_watcher.h"
#include "model/unitProcessEmail.h"

namespace {
using SettingsApplied = SystemTest;
}

TEST_F(SettingsApplied, EmptyRegistry_BringsTheDefaultsIntoLine)
{
    ihmMain->LoadSettings();
    EXPECT_EQ(ihmOptions->ConfigDblClick(), 0);
    EXPECT_FALSE(ihmOptions->French());
    EXPECT_TRUE(ihmOptions->KillerActive());
    EXPECT_TRUE(ihmMain->utlTimer.Enabled());
    EXPECT_TRUE(ihmMain->utlKillWatch.Active());
    EXPECT_EQ(ihmMain->utlTimer.Interval(), 500u);
    EXPECT_FALSE(ihmOptions->MailNotification());
    EXPECT_EQ(ihmMain->utlTimerEmail.Interval(), 600000u);
    EXPECT_EQ(ihmOptions->zdsCounter.Caption(), "0000");
    EXPECT_EQ(ihmOptions->zdsCounterSpam.Caption(), "0000");
    EXPECT_EQ(ihmOptions->zdsMailboxList.Count(), 0);
    EXPECT_EQ(ihmMain->TrayIconName, "POP_ACTIVE");
}

TEST_F(SettingsApplied, LoadedMailboxesAndBadValues_ShowInTheDialogAndTheMenu)
{
    {
        TRegistryIniFile ini = Ini();
        ini.WriteString("Mailboxes", "Number", "2");
        ini.WriteString("Mailbox1", "Name", "Home");
        ini.WriteString("General", "ConfigDblClick", "9");  // no action
    }
    ihmMain->LoadSettings();
    EXPECT_EQ(ihmOptions->zdsMailboxList.Count(), 2);
    EXPECT_EQ(ihmOptions->zdsMailboxList.Items(0), "Home");
    EXPECT_EQ(ihmOptions->zdsConfigDblClick.ItemIndex(), -1);
    for (const auto& item : ihmMain->mnpTB.Items())
        EXPECT_FALSE(item->Default()) << item->Name();
}

// Whoever counts changes the count; the dialog only shows it, and a copy it
// holds meanwhile does not put the old count back.
TEST_F(SettingsApplied, CountsChangedByTheirCounters_ShowAndSurviveTheDialogsApply)
{
    ihmMain->LoadSettings();
    ihmMain->CountKill();
    ihmMain->CountKill();
    EXPECT_EQ(windows->Settings().Counter, 2);
    EXPECT_EQ(ihmOptions->zdsCounter.Caption(), "0002");
    windows->Settings().CounterSpam = 7;
    ihmMain->SpamDeleted();
    EXPECT_EQ(ihmOptions->zdsCounterSpam.Caption(), "0007");
    ihmOptions->SetInterval(700);
    EXPECT_EQ(windows->Settings().Counter, 2);
    EXPECT_EQ(windows->Settings().CounterSpam, 7);
    ihmOptions->SetCounter(0);  // the Reset button
    EXPECT_EQ(windows->Settings().Counter, 0);
    EXPECT_EQ(ihmOptions->zdsCounter.Caption(), "0000");
}

TEST_F(SettingsApplied, CountersShowAtLeastFourDigits)
{
    ihmOptions->SetCounter(42);
    EXPECT_EQ(ihmOptions->zdsCounter.Caption(), "0042");
    ihmOptions->SetCounter(12345);
    EXPECT_EQ(ihmOptions->zdsCounter.Caption(), "12345");
    ihmOptions->SetCounterSpam(-5);
    EXPECT_EQ(ihmOptions->zdsCounterSpam.Caption(), "-0005");
    EXPECT_EQ(ihmOptions->CounterSpam(), -5);
}

TEST_F(SettingsApplied, MinutesOfZero_StopTheMailWatchWithoutTouchingLedOrMenu)
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

TEST_F(SettingsApplied, IntervalsNeverReachThePlatformOverflowedNegativeOrAbsurdlyShort)
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
    ihmMain->LoadSettings();
    EXPECT_EQ(ihmOptions->IntervalEmail(), 10);
}

TEST_F(SettingsApplied, KillerSwitch_DrivesTimerLedEnablingMenuAndIcon)
{
    ihmMain->LoadSettings();
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

TEST_F(SettingsApplied, MailSwitch_EnablesSpamControlsAndMenuItem)
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

TEST_F(SettingsApplied, FrenchSetting_AppliesFrenchTextsToMessagesAndMenu)
{
    ihmOptions->SetFrench(true);
    EXPECT_EQ(MsgAlreadyRunning, "Skarnvale est d\xC3\xA9j\xC3\xA0 actif.");
    EXPECT_EQ(ihmMain->mnpTB.Item("mnpTbQuit").Caption, "Quitter");
    ihmOptions->SetFrench(false);
    EXPECT_EQ(ihmMain->mnpTB.Item("mnpTbQuit").Caption, "Quit");
}

TEST_F(SettingsApplied, KeyThatCannotBeWritten_SaysSoOnceInTheLanguageOfTheInterface)
{
    ihmOptions->SetFrench(true);
    ihmMain->Store.Key = "\\Software\\" + std::string(300, 'k');
    TMessageBoxWatcher watcher;
    ihmMain->SaveSettings();
    const std::vector<TSeenBox> seen = watcher.Seen();
    ihmOptions->SetFrench(false);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, "Erreur lors de l'ecriture des param\xE8tres dans la cl\xE9 de registre '" +
                                ihmMain->Store.Key + "'");
}
