// The tray controller as the settings' host: the timers, the switches of the
// tray menu and the windows that follow a setting the options dialog changed,
// and the settings read from and written to their store.
#include <exception>

#include "../forms/ihmAppList.h"
#include "../forms/ihmMailbox.h"
#include "../forms/ihmVideo.h"
#include "../framework/Dialogs.h"
#include "../settings/ihmOptions.h"
#include "FileErrorBox.h"
#include "StartWithWindows.h"
#include "ihmMain.h"

namespace {
const char* SwitchItem(TSwitch which)
{
    return which == TSwitch::Killer ? "mnpTbActivatePopup" : which == TSwitch::Mail ? "mnpTbActivateEmail"
                                                                                    : "mnpTbActivateSpam";
}
}  // namespace

void TihmMain::SetKillInterval(unsigned milliseconds) { utlTimer.SetInterval(milliseconds); }

void TihmMain::RunMailTimer(bool on)
{
    utlTimerEmail.SetEnabled(on);
    Mail.SetIdleWatch(on);
}

void TihmMain::MailboxesCommitted() { Mail.CloseStaleIdle(); }

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

void TihmMain::PlaceWindows()
{
    if (ihmMailbox)
        ihmMailbox->PlaceFrom(Settings);
    if (ihmVideo)
        ihmVideo->PlaceFrom(Settings);
}

void TihmMain::PreviewVideo(const std::string& videoFile, bool noBorder)
{
    if (!ihmVideo)
        return;
    try {
        ihmVideo->ShowEmailVideo(videoFile, noBorder);
    } catch (const std::exception& error) {
        MessageDlg(error.what(), TMsgDlgType::Error);
    }
}

void TihmMain::LoadSettings()
{
    const TSettingsStoreResult loaded = Store.Load(Settings);
    for (const std::string& path : loaded.UnreadFiles)
        ShowReadErrorBox(path);
    if (ihmOptions)
        ihmOptions->SettingsLoaded();
}

void TihmMain::SaveSettings()
{
    const TSettingsStoreResult saved = Store.Save(Settings);
    // Said once per save, not once per value.
    if (!saved.RegistryWritten)
        ShowSettingsWriteErrorBox(Store.Key);
    for (const std::string& name : saved.UnwrittenFiles)
        ShowWriteErrorFor(name);
}

bool TihmMain::StartsWithWindows() { return ::StartsWithWindows(); }

bool TihmMain::SetStartWithWindows(bool on) { return ::SetStartWithWindows(on); }

void TihmMain::MailboxChanged(int id)
{
    for (int i = 0; i < Settings.Mailboxes.Count(); ++i)
        if (Settings.Mailboxes.ItemAs<TMailBox>(i)->Id == id)
            Store.SaveMailbox(Settings, i);
}
