// The tray controller's commands: the tray menu, the double-click actions,
// the icon picture and showing the system's windows one at a time.
#include <windows.h>
#include <shellapi.h>

#include "../forms/ihmAbout.h"
#include "../forms/ihmAppList.h"
#include "../forms/ihmMailbox.h"
#include "../framework/Application.h"
#include "../framework/Files.h"
#include "../framework/Icon.h"
#include "../settings/ihmOptions.h"
#include "ihmMain.h"
#include "unitLanguage.h"

namespace {
// The menu item shown bold for each double-click action, in action order.
const char* const kDefaultItems[] = {"mnpTbActivatePopup", "mnpTbWindowsList", "mnpTbActivateEmail",
                                     "mnpTbMailboxes",     "mnpTbMailboxes2",  "mnpTbEmailProgram",
                                     "mnpTbActivateSpam",  "mnpTbOptions"};
}  // namespace

std::vector<TMenuItemDef> TihmMain::TrayMenuItems(TihmMain& self)
{
    TihmMain* m = &self;
    return {
        {"mnpTbAbout", -1, [m] { m->mnpTbAboutClick(); }},
        {"", -1, nullptr},
        {"mnpTbActivatePopup", -1, [m] { m->mnpTbActivatePopupClick(); }},
        {"mnpTbWindowsList", 2, [m] { m->mnpTbWindowsListClick(); }},
        {"", -1, nullptr},
        {"mnpTbActivateEmail", -1, [m] { m->mnpTbActivateEmailClick(); }},
        {"mnpTbMailboxes", 3, [m] { m->mnpTbMailboxesClick(); }},
        {"mnpTbMailboxes2", -1, [m] { m->mnpTbMailboxes2Click(); }},
        {"mnpTbEmailProgram", -1, [m] { m->mnpTbEmailProgramClick(); }},
        {"", -1, nullptr},
        {"mnpTbActivateSpam", -1, [m] { m->mnpTbActivateSpamClick(); }},
        {"", -1, nullptr},
        {"mnpTbOptions", 1, [m] { m->mnpTbOptionsClick(); }},
        {"", -1, nullptr},
        {"mnpTbQuit", 0, [m] { m->mnpTbQuitClick(); }},
    };
}

void TihmMain::ApplyMenuTexts(int language)
{
    for (const auto& item : mnpTB.Items())
        if (!item->IsSeparator())
            item->Caption = TrayMenuCaption(item->Name(), static_cast<TLanguage>(language));
}

void TihmMain::mnpTbAboutClick() { ShowForm(ihmAbout); }

void TihmMain::ToggleFromMenu(TMenuItem& item, void (TihmOptions::*setter)(bool))
{
    if (UpdatingMenu)
        return;
    item.SetChecked(!item.Checked());
    (ihmOptions->*setter)(item.Checked());
    UpdateDefaultMenuItem();
}

void TihmMain::mnpTbActivatePopupClick() { ToggleFromMenu(mnpTbActivatePopup(), &TihmOptions::SetKillerActive); }

void TihmMain::mnpTbWindowsListClick()
{
    ShowForm(ihmAppList);
    ihmAppList->FocusControl(ihmAppList->zdsSelectedProcess);
}

void TihmMain::mnpTbActivateEmailClick()
{
    ToggleFromMenu(mnpTbActivateEmail(), &TihmOptions::SetMailNotification);
}

void TihmMain::mnpTbMailboxesClick()
{
    ShowForm(ihmMailbox);
    if (Mail.Emails.Count() == 0)
        Mail.CheckAllMailboxes(false);
}

void TihmMain::mnpTbMailboxes2Click() { CheckNow(); }

void TihmMain::mnpTbEmailProgramClick()
{
    const std::string program = Settings.EmailProgram;
    if (FileExists(program))
        RunProgram(program);
}

void TihmMain::mnpTbActivateSpamClick()
{
    ToggleFromMenu(mnpTbActivateSpam(), &TihmOptions::SetSpamKillerActive);
}

void TihmMain::mnpTbOptionsClick() { ShowForm(ihmOptions); }

void TihmMain::mnpTbQuitClick()
{
    // The check or spam cycle in hand unwinds, and so does any other wait
    // (a sign-in waiting for the browser): the program ends.
    Mail.RequestQuit();
    if (Application)
        Application->Terminate();
    ShowForm(nullptr);
}

void TihmMain::mnpTBPopup() { mnpTbEmailProgram().SetEnabled(FileExists(Settings.EmailProgram)); }

void TihmMain::utlTBDblClick()
{
    const int action = Settings.ConfigDblClick;
    if (action < 0 || action > 7)
        return;
    // The same handler as the menu item, whatever the item's greyed state.
    mnpTB.Item(kDefaultItems[action]).Click();
}

void TihmMain::UpdateDefaultMenuItem()
{
    for (const char* name : kDefaultItems)
        mnpTB.Item(name).SetDefault(false);
    const int action = Settings.ConfigDblClick;
    if (action >= 0 && action <= 7)
        mnpTB.Item(kDefaultItems[action]).SetDefault(true);
}

void TihmMain::ShowForm(TForm* form)
{
    for (TForm* other : std::initializer_list<TForm*>{ihmOptions, ihmAbout, ihmAppList, ihmMailbox})
        if (other && other != form && other->Visible())
            other->Hide();
    if (!form)
        return;
    if (!form->Visible())
        form->Show();
    form->BringToFront();
    SetFocus(form->Handle());
}

void TihmMain::UpdateTrayIcon()
{
    utlIcon.SetEnabled(false);
    if (!ihmOptions)
        return;
    const char* name;
    if (Settings.TaskPopup)
        name = Settings.KillerActive ? "POP_ACTIVE" : "POP_INACTIVE";
    else if (Settings.MailNotification)
        name = Mail.Emails.Count() > 0 ? "MAIL_FOUND" : "MAIL_ACTIVE";
    else
        name = "MAIL_INACTIVE";
    SetTrayIcon(name);
}

void TihmMain::SetTrayIcon(const char* resourceName)
{
    TrayIconName = resourceName;
    if (Application) {
        Application->SetIcon(resourceName);
        utlTB.SetIcon(Application->Icon());
    } else {
        utlTB.SetIcon(TIcon::LoadSmall(resourceName));
    }
}

void TihmMain::utlIconTimer()
{
    SetTrayIcon(IconBlink ? "MAIL_WORKING" : "MAIL_ACTIVE");
    IconBlink = !IconBlink;
}
