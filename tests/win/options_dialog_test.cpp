#include "system_fixture.h"

#include "model/unitProcessEmail.h"
#include "settings/SettingsValues.h"

namespace {
using OptionsDialog = SystemTest;

void Type(TEdit& edit, const std::string& text) { edit.SetText(text); }

// The settings' mailbox as it is now: each change applied puts new copies there.
TMailBox& Mailbox(int index) { return *ihmOptions->Mailboxes.ItemAs<TMailBox>(index); }
}  // namespace

TEST_F(OptionsDialog, EmptiedIntervalFields_ShowTheirReplacementsAtOnce)
{
    ihmMain->LoadSettings();
    Type(ihmOptions->zdsInterval, "");
    EXPECT_EQ(ihmOptions->zdsInterval.Text(), "500");
    EXPECT_EQ(ihmMain->utlTimer.Interval(), 500u);
    Type(ihmOptions->zdsIntervalEmail, "abc");
    EXPECT_EQ(ihmOptions->zdsIntervalEmail.Text(), "5000");
    EXPECT_EQ(ihmMain->utlTimerEmail.Interval(), 5000u * 60000u);
}

TEST_F(OptionsDialog, TypingDigitByDigit_SetsTheIntervalAtEachStep)
{
    ihmMain->LoadSettings();
    Type(ihmOptions->zdsInterval, "1");
    EXPECT_EQ(ihmMain->utlTimer.Interval(), 50u);  // no faster than a sound kill tick
    EXPECT_EQ(ihmOptions->zdsInterval.Text(), "1");  // the text stays as typed
    Type(ihmOptions->zdsInterval, "150");
    EXPECT_EQ(ihmMain->utlTimer.Interval(), 150u);
    EXPECT_EQ(ihmOptions->zdsInterval.Text(), "150");
}

TEST_F(OptionsDialog, CopyDiscardedOrApplied_EscapeSavesAndHides)
{
    ihmMain->LoadSettings();
    ihmOptions->Show();
    ihmOptions->SetCounter(7);
    // The dialog's copy is no setting until it is applied: dropped, nothing of it is left.
    ihmOptions->Draft().Interval = 900;
    ihmOptions->Draft().SpamSubjects = "offer";
    ihmOptions->Discard();
    ihmOptions->Apply();
    EXPECT_EQ(windows->Settings().Interval, 500);
    EXPECT_EQ(windows->Settings().SpamSubjects, "");
    EXPECT_EQ(Ini().ReadString("Popup", "Interval", "none"), "none");
    windows->Settings().Counter = 8;  // a kill counted meanwhile, not through the dialog
    ihmOptions->Draft().Interval = 900;
    ihmOptions->Apply();
    EXPECT_EQ(windows->Settings().Interval, 900);
    EXPECT_EQ(ihmMain->utlTimer.Interval(), 900u);
    EXPECT_EQ(ihmOptions->zdsInterval.Text(), "900");
    EXPECT_EQ(windows->Settings().Counter, 8);  // a value the copy left alone stays
    PostMessageA(ihmOptions->zdsInterval.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    application->ProcessMessages();
    EXPECT_FALSE(ihmOptions->Visible());
    EXPECT_EQ(Ini().ReadString("Popup", "Counter", ""), "8");
    EXPECT_EQ(Ini().ReadString("Popup", "Interval", ""), "900");
}

TEST_F(OptionsDialog, CloseWhileAMailboxEditHasTheFocus_SavesWhatWasTyped)
{
    ihmMain->LoadSettings();
    ihmOptions->Show();
    ihmOptions->pcOptions.SetActivePageIndex(5);
    ihmOptions->btnAddClick();
    SetFocus(ihmOptions->zdsServer.Handle());
    ASSERT_EQ(GetFocus(), ihmOptions->zdsServer.Handle());
    Type(ihmOptions->zdsServer, "pop.example.org");
    SendMessageA(ihmOptions->Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(ihmOptions->Visible());
    TRegistryIniFile ini = Ini();
    EXPECT_EQ(ini.ReadString("Mailboxes", "Number", ""), "1");
    EXPECT_EQ(ini.ReadString("Mailbox1", "Name", ""), "New mailbox");
    EXPECT_EQ(ini.ReadString("Mailbox1", "Server", ""), "pop.example.org");
}

TEST_F(OptionsDialog, MailboxEditor_AddSelectDelete)
{
    ihmMain->LoadSettings();
    ihmOptions->SetFrench(true);
    ihmOptions->btnAddClick();
    EXPECT_EQ(ihmOptions->zdsMailboxList.Items(0), "New mailbox");  // in both languages
    EXPECT_TRUE(ihmOptions->zdsName.Enabled());
    Type(ihmOptions->zdsName, "Home");
    ihmOptions->zdsName.OnExit();
    EXPECT_EQ(ihmOptions->zdsMailboxList.Items(0), "Home");
    ihmOptions->btnAddClick();
    ASSERT_EQ(ihmOptions->Mailboxes.Count(), 2);
    const int leftId = Mailbox(1).Id;
    ihmOptions->zdsMailboxList.SetItemIndex(0);
    ihmOptions->btnDeleteClick();
    EXPECT_EQ(ihmOptions->Mailboxes.Count(), 1);
    EXPECT_EQ(ihmOptions->zdsMailboxList.ItemIndex(), -1);
    EXPECT_EQ(ihmOptions->zdsName.Text(), "");
    EXPECT_TRUE(ihmOptions->zdsName.Enabled());  // one mailbox is left
    EXPECT_EQ(Mailbox(0).Id, leftId);
    // A check renews the token of the mailbox left while it is being edited; the edit keeps the new one.
    ihmOptions->zdsMailboxList.SetItemIndex(0);
    ihmOptions->zdsMailboxListClick();
    Mailbox(0).ProtectedRefreshToken = "dpapi:renewed";
    Type(ihmOptions->zdsServer, "pop.example.org");
    ihmOptions->zdsServer.OnExit();
    EXPECT_EQ(Mailbox(0).Server, "pop.example.org");
    EXPECT_EQ(Mailbox(0).ProtectedRefreshToken, "dpapi:renewed");
    ihmOptions->zdsMailboxList.SetItemIndex(-1);
    ihmOptions->zdsMailboxListClick();
    Type(ihmOptions->zdsName, "Nowhere");
    ihmOptions->zdsName.OnExit();  // nothing selected: nothing stored
    EXPECT_EQ(Mailbox(0).MailboxName, "New mailbox");
}

// Choosing a security mode brings its usual port; a port the user typed stays.
TEST_F(OptionsDialog, SecurityChoice_SetsTheUsualPortUnlessOneWasTyped)
{
    ihmMain->LoadSettings();
    ihmOptions->btnAddClick();
    const auto choose = [](int mode) {
        ihmOptions->zdsSecurity.SetItemIndex(mode);
        ihmOptions->zdsSecurity.OnChange();
    };
    // A new mailbox is TLS on 995 until the user says otherwise.
    EXPECT_EQ(ihmOptions->zdsSecurity.ItemIndex(), 2);
    EXPECT_EQ(ihmOptions->zdsPort.Text(), "995");
    EXPECT_EQ(Mailbox(0).Security, 2);
    choose(0);
    EXPECT_EQ(ihmOptions->zdsPort.Text(), "110");
    choose(2);
    EXPECT_EQ(ihmOptions->zdsPort.Text(), "995");
    Type(ihmOptions->zdsPort, "2110");
    ihmOptions->zdsPort.OnExit();
    choose(1);
    EXPECT_EQ(Mailbox(0).Port, "2110");
    Type(ihmOptions->zdsPort, "");  // emptied: the mode's usual port again
    choose(2);
    EXPECT_EQ(Mailbox(0).Port, "995");
    // A stored value the program does not know: no mode is shown until one is chosen.
    Mailbox(0).Security = MailboxSecurityUnknown;
    Mailbox(0).UnknownSecurity = "7";
    ihmOptions->zdsMailboxList.SetItemIndex(0);
    ihmOptions->zdsMailboxListClick();
    EXPECT_EQ(ihmOptions->zdsSecurity.ItemIndex(), -1);
    choose(1);
    EXPECT_EQ(Mailbox(0).Security, 1);
}

// A provider fills in its server, TLS on 995, its URLs and scope; the
// status follows the sign-in, in the dialog's language.
TEST_F(OptionsDialog, SignInChoice_FillsTheProviderAndShowsTheStatus)
{
    ihmMain->LoadSettings();
    ihmOptions->btnAddClick();
    const auto choose = [](int choice) {
        ihmOptions->zdsSignIn.SetItemIndex(choice);
        ihmOptions->zdsSignIn.OnChange();
    };
    EXPECT_EQ(ihmOptions->zdsSignIn.ItemIndex(), 0);
    EXPECT_EQ(ihmOptions->lblSignInStatus.Text(), "");
    Mailbox(0).Security = MailboxSecurityNone;
    choose(1);
    EXPECT_EQ(Mailbox(0).Auth, MailboxAuthOAuth);
    EXPECT_EQ(ihmOptions->zdsServer.Text(), "outlook.office365.com");
    EXPECT_EQ(ihmOptions->zdsPort.Text(), "995");
    EXPECT_EQ(ihmOptions->zdsSecurity.ItemIndex(), MailboxSecurityImplicit);
    EXPECT_EQ(Mailbox(0).Scope, "https://outlook.office.com/POP.AccessAsUser.All "
                                "https://outlook.office.com/IMAP.AccessAsUser.All offline_access");
    EXPECT_EQ(ihmOptions->lblSignInStatus.Text(), "Not signed in");
    choose(2);
    EXPECT_EQ(Mailbox(0).Server, "pop.gmail.com");
    EXPECT_EQ(ihmOptions->zdsTokenUrl.Text(), "https://oauth2.googleapis.com/token");
    // Another token URL is another provider.
    Type(ihmOptions->zdsTokenUrl, "https://login.example/token");
    ihmOptions->zdsTokenUrl.OnExit();
    EXPECT_EQ(ihmOptions->zdsSignIn.ItemIndex(), 3);
    choose(2);
    EXPECT_EQ(Mailbox(0).TokenUrl, "https://oauth2.googleapis.com/token");
    Type(ihmOptions->zdsClientSecret, "GOCSPX-test");
    ihmOptions->zdsClientSecret.OnExit();
    EXPECT_EQ(Mailbox(0).ProtectedClientSecret.find("GOCSPX"), std::string::npos);
    EXPECT_EQ(Mailbox(0).ProtectedClientSecret.rfind("dpapi:", 0), 0u);
    Mailbox(0).ProtectedRefreshToken = "dpapi:stored";
    ihmOptions->zdsMailboxListClick();
    EXPECT_EQ(ihmOptions->zdsSignIn.ItemIndex(), 2);  // read back from its URLs
    EXPECT_EQ(ihmOptions->zdsClientSecret.Text(), "GOCSPX-test");
    EXPECT_EQ(ihmOptions->lblSignInStatus.Text(), "Signed in");
    ihmOptions->SetFrench(true);
    EXPECT_EQ(ihmOptions->lblSignInStatus.Text(), "Connect\u00e9");
    ihmOptions->SetFrench(false);
    choose(0);
    EXPECT_EQ(Mailbox(0).Auth, MailboxAuthPassword);
    EXPECT_EQ(ihmOptions->lblSignInStatus.Text(), "");
}

// IMAP brings its ports, the providers' IMAP servers and a folder; iCloud
// is IMAP with a password.
TEST_F(OptionsDialog, ProtocolChoice_BringsItsPortsServersAndFolder)
{
    ihmMain->LoadSettings();
    ihmOptions->btnAddClick();
    const auto choose = [](TComboBox& combo, int index) {
        combo.SetItemIndex(index);
        combo.OnChange();
    };
    EXPECT_EQ(ihmOptions->zdsProtocol.ItemIndex(), MailboxProtocolPop3);
    choose(ihmOptions->zdsProtocol, MailboxProtocolImap);
    EXPECT_EQ(Mailbox(0).Protocol, MailboxProtocolImap);
    EXPECT_EQ(ihmOptions->zdsPort.Text(), "993");
    EXPECT_EQ(ihmOptions->zdsFolder.Text(), "INBOX");
    choose(ihmOptions->zdsSecurity, MailboxSecurityStartTls);
    EXPECT_EQ(Mailbox(0).Port, "143");
    choose(ihmOptions->zdsSignIn, 2);
    EXPECT_EQ(Mailbox(0).Server, "imap.gmail.com");
    EXPECT_EQ(Mailbox(0).Port, "993");
    choose(ihmOptions->zdsProtocol, MailboxProtocolPop3);
    EXPECT_EQ(ihmOptions->zdsServer.Text(), "pop.gmail.com");
    EXPECT_EQ(ihmOptions->zdsPort.Text(), "995");
    choose(ihmOptions->zdsSignIn, 4);
    EXPECT_EQ(Mailbox(0).Auth, MailboxAuthPassword);
    EXPECT_EQ(Mailbox(0).Protocol, MailboxProtocolImap);
    EXPECT_EQ(ihmOptions->zdsServer.Text(), "imap.mail.me.com");
    EXPECT_EQ(ihmOptions->zdsProtocol.ItemIndex(), MailboxProtocolImap);
    Type(ihmOptions->zdsFolder, "Archives");
    ihmOptions->zdsFolder.OnExit();
    EXPECT_EQ(Mailbox(0).Folder, "Archives");
    Type(ihmOptions->zdsFolder, "");  // emptied: the inbox
    ihmOptions->zdsFolder.OnExit();
    EXPECT_EQ(ihmOptions->zdsFolder.Text(), "INBOX");
    ihmOptions->zdsMailboxListClick();
    EXPECT_EQ(ihmOptions->zdsSignIn.ItemIndex(), 4);  // read back from its server
}

TEST_F(OptionsDialog, LedDoubleClick_RunsTheTrayToggle)
{
    ihmMain->LoadSettings();
    ihmOptions->zdsLedPopup.OnDblClick();
    EXPECT_FALSE(ihmOptions->KillerActive());
    EXPECT_FALSE(ihmMain->mnpTbActivatePopup().Checked());
    ihmOptions->SetCounter(9);
    ihmOptions->btnReset.OnClick();
    EXPECT_EQ(ihmOptions->zdsCounter.Caption(), "0000");
}
