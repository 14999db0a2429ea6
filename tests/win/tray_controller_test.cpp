#include "system_fixture.h"

#include "forms/ihmAbout.h"
#include "forms/ihmAppList.h"
#include "forms/ihmMailbox.h"
#include "framework/Files.h"

namespace {
using TrayController = SystemTest;
}

TEST_F(TrayController, ToggleCommand_FlipsSettingAndCheckMark_IgnoredWhileUpdatingMenu)
{
    ihmMain->LoadSettings();
    ihmMain->mnpTbActivatePopupClick();
    EXPECT_FALSE(ihmOptions->KillerActive());
    EXPECT_FALSE(ihmMain->mnpTbActivatePopup().Checked());
    ihmMain->UpdatingMenu = true;
    ihmMain->mnpTbActivatePopupClick();
    ihmMain->UpdatingMenu = false;
    EXPECT_FALSE(ihmOptions->KillerActive());
}

TEST_F(TrayController, DoubleClick_RunsTheConfiguredActionAndItsItemIsBold)
{
    ihmMain->LoadSettings();
    ihmOptions->SetConfigDblClick(2);
    EXPECT_TRUE(ihmMain->mnpTbActivateEmail().Default());
    EXPECT_FALSE(ihmMain->mnpTbActivatePopup().Default());
    ihmMain->utlTBDblClick();
    EXPECT_TRUE(ihmOptions->MailNotification());
    ihmOptions->SetConfigDblClick(0);
    ihmMain->utlTBDblClick();
    EXPECT_FALSE(ihmOptions->KillerActive());
    EXPECT_EQ(ihmMain->TrayIconName, "POP_INACTIVE");
}

TEST_F(TrayController, DoubleClickOnTheTrayIconWindow_ReachesTheAction)
{
    ihmMain->LoadSettings();
    ihmOptions->SetConfigDblClick(1);
    SendMessageA(ihmMain->utlTB.Handle(), ihmMain->utlTB.CallbackMessage(), 0, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(ihmAppList->Visible());
    EXPECT_EQ(GetFocus(), ihmAppList->zdsSelectedProcess.Handle());
}

TEST_F(TrayController, ShowForm_HidesTheOtherWindowsButNeverTheVideo)
{
    ihmMain->ShowForm(ihmOptions);
    EXPECT_TRUE(ihmOptions->Visible());
    ihmMain->mnpTbAboutClick();
    EXPECT_TRUE(ihmAbout->Visible());
    EXPECT_FALSE(ihmOptions->Visible());
    ihmMain->mnpTbMailboxesClick();
    EXPECT_TRUE(ihmMailbox->Visible());
    EXPECT_FALSE(ihmAbout->Visible());
}

TEST_F(TrayController, Quit_SetsTheFlagAndHidesEveryWindow)
{
    ihmMain->ShowForm(ihmOptions);
    ihmMain->mnpTbQuitClick();
    EXPECT_TRUE(ihmMain->Mail.QuitRequested);
    EXPECT_FALSE(ihmOptions->Visible());
}

TEST_F(TrayController, EmailProgramItem_EnabledExactlyWhenTheFileExists)
{
    ihmOptions->SetEmailProgram(ExecutableDirectory() + "no-such-mailer.exe");
    ihmMain->mnpTBPopup();
    EXPECT_FALSE(ihmMain->mnpTbEmailProgram().Enabled());
    ihmOptions->SetEmailProgram(ExecutablePath());
    ihmMain->mnpTBPopup();
    EXPECT_TRUE(ihmMain->mnpTbEmailProgram().Enabled());
}

TEST_F(TrayController, IconFamily_FollowsTaskPopupAndEmails_BlinkAlternates)
{
    ihmMain->LoadSettings();
    ihmOptions->SetTaskPopup(false);
    EXPECT_EQ(ihmMain->TrayIconName, "MAIL_INACTIVE");
    ihmOptions->SetMailNotification(true);
    EXPECT_EQ(ihmMain->TrayIconName, "MAIL_ACTIVE");
    auto email = std::make_unique<TMyItem>("box001");
    ihmMain->Mail.Emails.Add(std::move(email));
    ihmMain->UpdateTrayIcon();
    EXPECT_EQ(ihmMain->TrayIconName, "MAIL_FOUND");
    ihmMain->utlIcon.SetEnabled(true);
    ihmMain->utlIconTimer();
    const std::string first = ihmMain->TrayIconName;
    ihmMain->utlIconTimer();
    EXPECT_NE(first, ihmMain->TrayIconName);
    ihmMain->UpdateTrayIcon();
    EXPECT_FALSE(ihmMain->utlIcon.Enabled());
}

TEST_F(TrayController, MailStatus_TipCountsMessagesAndAddsAddressesWhenAsked)
{
    ihmMain->LoadSettings();
    ihmMain->UpdateMailStatus(true);
    EXPECT_EQ(ihmMain->utlTB.Tip(), "Check in progress...");
    ihmMain->UpdateMailStatus(false);
    EXPECT_EQ(ihmMain->utlTB.Tip().rfind("No message found (", 0), 0u) << ihmMain->utlTB.Tip();
    EXPECT_EQ(ihmMailbox->Caption().rfind("Mailboxes - No message found (", 0), 0u) << ihmMailbox->Caption();
}

TEST_F(TrayController, NewMail_ShowsTheMailboxesWindowUnlessItIsUpAlready)
{
    ihmMain->NewMailArrived({});
    EXPECT_TRUE(ihmMailbox->Visible());
    ihmAbout->Show();
    ihmMain->NewMailArrived({});
    EXPECT_TRUE(ihmAbout->Visible());  // a second showing would have hidden it
}

TEST_F(TrayController, MailNotice_SentWhileTheWatchAndItsCheckBoxAreOnAndItsClickShowsTheMailboxes)
{
    ihmMain->LoadSettings();
    const TMailNotice notice = NewMailNotice({{"bob@example.org", "Lunch"}}, NoticeTextsOfMessages());
    EXPECT_FALSE(ihmMain->ShowMailNotice(notice, false)) << "the mail watch is off";
    ihmOptions->SetMailNotification(true);
    EXPECT_TRUE(ihmOptions->zdsBalloonNotification.Checked());
    EXPECT_TRUE(ihmOptions->zdsBalloonNotification.Enabled());
    EXPECT_TRUE(ihmMain->ShowMailNotice(notice, false));
    SendMessageW(ihmOptions->zdsBalloonNotification.Handle(), BM_CLICK, 0, 0);
    EXPECT_FALSE(windows->Settings().BalloonNotification);
    EXPECT_FALSE(ihmMain->ShowMailNotice(notice, false));
    ihmOptions->SetMailNotification(false);
    EXPECT_FALSE(ihmOptions->zdsBalloonNotification.Enabled());

    SendMessageW(ihmMain->utlTB.Handle(), ihmMain->utlTB.CallbackMessage(), 0, NIN_BALLOONUSERCLICK);
    EXPECT_TRUE(ihmMailbox->Visible());
}

TEST_F(TrayController, ManualCheckThatChangesTheCount_ShowsTheMailboxesWindow)
{
    ihmMain->Mail.Emails.Add(std::make_unique<TMyItem>("box001"));
    ihmMain->CheckNow();  // no mailbox configured: the one email goes
    EXPECT_TRUE(ihmMailbox->Visible());
    ihmMailbox->Hide();
    ihmMain->CheckNow();
    EXPECT_FALSE(ihmMailbox->Visible());
}
