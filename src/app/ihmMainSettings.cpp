// The tray controller as the settings' host: the timers, the switches of the
// tray menu and the windows that follow a setting the options dialog changed.
#include "../forms/ihmAppList.h"
#include "../forms/ihmMailbox.h"
#include "ihmMain.h"

namespace {
const char* SwitchItem(TSwitch which)
{
    return which == TSwitch::Killer ? "mnpTbActivatePopup" : which == TSwitch::Mail ? "mnpTbActivateEmail"
                                                                                    : "mnpTbActivateSpam";
}
}  // namespace

void TihmMain::SetKillInterval(unsigned milliseconds) { utlTimer.SetInterval(milliseconds); }

void TihmMain::RunMailTimer(bool on) { utlTimerEmail.SetEnabled(on); }

void TihmMain::SetMailInterval(unsigned milliseconds) { utlTimerEmail.SetInterval(milliseconds); }

// The menu's toggle commands ignore the check marks changed meanwhile.
void TihmMain::ShowSwitch(TSwitch which, bool on)
{
    UpdatingMenu = true;
    mnpTB.Item(SwitchItem(which)).SetChecked(on);
    UpdatingMenu = false;
}

void TihmMain::EnableSpamSwitch(bool on)
{
    UpdatingMenu = true;
    mnpTbActivateSpam().SetEnabled(on);
    UpdatingMenu = false;
}

void TihmMain::ToggleSwitch(TSwitch which) { mnpTB.Item(SwitchItem(which)).Click(); }

void TihmMain::StayOnTopChanged()
{
    if (ihmAppList)
        ihmAppList->ApplyStayOnTop();
}

void TihmMain::SpamListsChanged()
{
    if (ihmMailbox)
        ihmMailbox->SpamListsChanged();
}
