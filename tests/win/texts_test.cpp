#include "system_fixture.h"

#include <commctrl.h>

#include "app/unitGlobal.h"
#include "app/unitLanguage.h"
#include "forms/ihmAbout.h"
#include "forms/ihmAppList.h"
#include "forms/ihmMailbox.h"
#include "framework/WideText.h"
#include "settings/ihmOptionsTexts.h"

namespace {
// Every test leaves English in force: the message texts outlive the windows.
class Texts : public SystemTest {
protected:
    void TearDown() override
    {
        if (ihmOptions)
            ihmOptions->SetFrench(false);
        SystemTest::TearDown();
    }

    // The text shown on a tab of the options dialog.
    static std::string TabCaption(int index)
    {
        wchar_t text[128] = {};
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 128;
        SendMessageW(ihmOptions->pcOptions.Handle(), TCM_GETITEMW, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
        return Narrow(std::wstring(text));
    }

    // The text of one item of the double-click combo, as the list shows it.
    static std::string ActionItem(int index)
    {
        const HWND combo = ihmOptions->zdsConfigDblClick.Handle();
        const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
        if (length == CB_ERR)
            return "<no item>";
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
        text.resize(static_cast<size_t>(length));
        return Narrow(text);
    }
};
}  // namespace

TEST_F(Texts, NewOptionsDialog_ShowsTheEnglishTableWithEightActions)
{
    EXPECT_EQ(ihmOptions->lblDblClick.Text(), "Double click");
    EXPECT_EQ(ihmOptions->grpIcon.Text(), "Task icon");
    EXPECT_EQ(ihmOptions->lblEmailLines.Text(), "Number lines max.");
    EXPECT_EQ(ihmOptions->zdsConfigDblClick.Count(), 8);
    EXPECT_EQ(ActionItem(0), "Toggle popup killer");
    EXPECT_EQ(ActionItem(7), "Options");
    // Texts outside the tables stay as the dialog was built.
    EXPECT_EQ(TabCaption(1), "Popup");
    EXPECT_EQ(ihmOptions->lblLedPopup.Text(), "Protection");
    EXPECT_EQ(ihmOptions->btnReset.Text(), "Reset");
}

TEST_F(Texts, EveryOptionsRow_LandsOnAControl)
{
    EXPECT_EQ(ApplyOptionsTexts(*ihmOptions, TLanguage::French), std::vector<std::string>());
    EXPECT_EQ(ApplyOptionsTexts(*ihmOptions, TLanguage::English), std::vector<std::string>());
}

TEST_F(Texts, SwitchToFrench_RewritesTheOptionsDialog)
{
    ihmOptions->SetFrench(true);
    EXPECT_EQ(ihmOptions->Caption(), "Options");
    EXPECT_EQ(TabCaption(0), "G\xC3\xA9" "n\xC3\xA9" "ral");
    EXPECT_EQ(TabCaption(4), "Liste SPAM");
    EXPECT_EQ(TabCaption(5), "Boites aux lettres");
    EXPECT_EQ(TabCaption(2), "Email");  // the same in both languages, outside the tables
    EXPECT_EQ(ihmOptions->lblDblClick.Text(), "Double clic");
    EXPECT_EQ(ihmOptions->lblVideoFileEmail.Text(), "Fichier vid\xC3\xA9" "o");
    EXPECT_EQ(ihmOptions->lblPassword.Text(), "Mot de passe");
    EXPECT_EQ(ihmOptions->zdsStayOnTop.Text(), "Premier plan");
    EXPECT_EQ(ihmOptions->btnDelete.Text(), "Supprimer");
    EXPECT_EQ(ihmOptions->grpLanguage.Text(), "Langue");
    EXPECT_EQ(ihmOptions->grpLanguage.ItemCaption(0), "Anglais");
    EXPECT_EQ(ihmOptions->grpLanguage.ItemCaption(1), "Francais");
    EXPECT_EQ(ihmOptions->grpIcon.Text(), "Icone");
    EXPECT_EQ(ActionItem(1), "Liste des fen\xC3\xAA" "tres");
    EXPECT_EQ(ihmOptions->zdsConfigDblClick.Count(), 8);
    EXPECT_EQ(ihmOptions->OpenDialog.Title, "Choix d'un fichier WAV");
    EXPECT_EQ(ihmOptions->OpenDialog.Filter, "Fichier son (*.WAV)|*.WAV");
    EXPECT_EQ(ihmOptions->OpenDialogExe.Title, "Choix d'une application");
    EXPECT_EQ(ihmOptions->OpenDialogVideo.Title, "Choix d'un fichier AVI");
    EXPECT_EQ(ihmOptions->OpenDialogVideo.DefaultExt, "AVI");
}

TEST_F(Texts, SwitchLanguage_KeepsTheChosenDoubleClickAction)
{
    ihmOptions->SetConfigDblClick(5);
    ihmOptions->SetFrench(true);
    EXPECT_EQ(ihmOptions->ConfigDblClick(), 5);
    EXPECT_EQ(ActionItem(ihmOptions->zdsConfigDblClick.ItemIndex()), "Lancer le programme Email");
    ihmOptions->SetFrench(false);
    EXPECT_EQ(ihmOptions->ConfigDblClick(), 5);
    EXPECT_EQ(ActionItem(ihmOptions->zdsConfigDblClick.ItemIndex()), "Start Email program");
}

TEST_F(Texts, SwitchLanguage_KeepsTheRadioSelections)
{
    ihmOptions->SetTaskPopup(false);
    ihmOptions->SetFrench(true);
    EXPECT_EQ(ihmOptions->grpLanguage.ItemIndex(), 1);
    EXPECT_EQ(ihmOptions->grpIcon.ItemIndex(), 1);
    ihmOptions->SetFrench(false);
    EXPECT_EQ(ihmOptions->grpLanguage.ItemIndex(), 0);
    EXPECT_EQ(ihmOptions->grpIcon.ItemIndex(), 1);
}

TEST_F(Texts, SwitchToFrench_RewritesTheWindowsListAndAboutBox)
{
    ihmOptions->SetFrench(true);
    EXPECT_EQ(ihmAppList->Caption(), "Liste des fen\xC3\xAA" "tres");
    EXPECT_EQ(ihmAppList->lblCurrentProcess.Text(), "Liste des fen\xC3\xAA" "tres actives");
    EXPECT_EQ(ihmAppList->lblSelectedProcess.Text(), "Liste des fen\xC3\xAA" "tres \xC3\xA0" " d\xC3\xA9" "truire");
    EXPECT_EQ(ihmAppList->lblNumber.Text(), "Nombre de fen\xC3\xAA" "tres : ");
    EXPECT_EQ(ihmAppList->zdsNumber.Text(), "000");  // the count is not a text of the tables
    EXPECT_EQ(ihmAbout->Caption(), "A propos");
    EXPECT_EQ(ihmAbout->zdsAppDescription.Text(), "L'ultime destructeur de popup et SPAM");
    EXPECT_EQ(ihmAbout->lblVersion.Text(), "Version :");
    EXPECT_EQ(ihmAbout->urlMail.Text(), "Contacter l'auteur");
}

TEST_F(Texts, SwitchBackToEnglish_RestoresEveryWindow)
{
    ihmOptions->SetFrench(true);
    ihmOptions->SetFrench(false);
    EXPECT_EQ(TabCaption(0), "General");
    EXPECT_EQ(TabCaption(5), "Mailboxes");
    EXPECT_EQ(ihmOptions->lblDblClick.Text(), "Double click");
    EXPECT_EQ(ihmOptions->grpLanguage.Text(), "Language");
    EXPECT_EQ(ihmOptions->grpLanguage.ItemCaption(1), "French");
    EXPECT_EQ(ActionItem(1), "Windows list");
    EXPECT_EQ(ihmOptions->OpenDialog.Title, "WAV file selection");
    EXPECT_EQ(ihmOptions->OpenDialogVideo.Filter, "Video file (*.AVI)|*.AVI");
    EXPECT_EQ(ihmAppList->Caption(), "Windows lists");
    EXPECT_EQ(ihmAppList->lblCurrentProcess.Text(), "Active windows list");
    EXPECT_EQ(ihmAppList->lblSelectedProcess.Text(), "Selected windows list");
    EXPECT_EQ(ihmAppList->lblNumber.Text(), "Windows number : ");
    EXPECT_EQ(ihmAbout->Caption(), "About");
    EXPECT_EQ(ihmAbout->lblVersion.Text(), "Issue :");
    EXPECT_EQ(ihmAbout->urlWebSite.Text(), "SkarnVale Home page");
}

TEST_F(Texts, LongerFrenchLabel_GrowsToShowItsText)
{
    RECT english, french;
    GetWindowRect(ihmAppList->lblSelectedProcess.Handle(), &english);
    ihmOptions->SetFrench(true);
    GetWindowRect(ihmAppList->lblSelectedProcess.Handle(), &french);
    EXPECT_GT(french.right - french.left, english.right - english.left);
}

TEST_F(Texts, ClickingFrenchInTheLanguageGroup_SwitchesEveryWindow)
{
    const HWND french = FindWindowExA(ihmOptions->tsGeneral.Handle(), nullptr, "BUTTON", "French");
    ASSERT_NE(french, nullptr);
    SendMessageA(ihmOptions->tsGeneral.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(french), BN_CLICKED),
                 reinterpret_cast<LPARAM>(french));
    EXPECT_TRUE(ihmOptions->French());
    EXPECT_EQ(ihmOptions->lblName.Text(), "Nom");
    EXPECT_EQ(ihmAppList->Caption(), "Liste des fen\xC3\xAA" "tres");
    EXPECT_EQ(MsgCheckInProgress, "V\xC3\xA9" "rification en cours...");
}

TEST_F(Texts, MailboxesCaption_FollowsTheLanguageUntilAStatusIsShown)
{
    EXPECT_EQ(ihmMailbox->Caption(), "Mailboxes");
    ihmOptions->SetFrench(true);
    EXPECT_EQ(ihmMailbox->Caption(), "Boites aux lettres");
    ihmMain->UpdateMailStatus(false);
    const std::string frenchStatus = ihmMailbox->Caption();
    EXPECT_EQ(frenchStatus.rfind("Boites aux lettres - Aucun message trouv\xC3\xA9" " (", 0), 0u) << frenchStatus;
    // A caption built from a status keeps its words until the next refresh.
    ihmOptions->SetFrench(false);
    EXPECT_EQ(ihmMailbox->Caption(), frenchStatus);
    ihmMain->UpdateMailStatus(false);
    EXPECT_EQ(ihmMailbox->Caption().rfind("Mailboxes - No message found (", 0), 0u) << ihmMailbox->Caption();
}
