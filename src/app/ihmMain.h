// The main form: never shown, it is the system's controller. It owns the tray
// icon and its menu, the kill list and the three timers, turns the user's
// clicks into commands and shows the other windows one at a time. It is the
// mail watch's tray screen and the settings' host.
#pragma once

#include <ctime>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "../framework/Form.h"
#include "../framework/PopupMenu.h"
#include "../framework/Timer.h"
#include "../model/ClassesPerso.h"
#include "../model/unitProcessEmail.h"
#include "../model/unitProcessKillList.h"
#include "../model/unitProcessReuse.h"
#include "../model/unitProcessSpam.h"
#include "../model/unitProcessKillWatch.h"
#include "../model/PopupActionLog.h"
#include "../model/PopupRule.h"
#include "../mail/MailWatch.h"
#include "../settings/Settings.h"
#include "../settings/SettingsHost.h"
#include "../settings/SettingsStore.h"
#include "../widgets/BarMenus.h"
#include "../widgets/TBNArea.h"

class TihmOptions;

class TihmMain : public TForm, public IMailScreen, public ISettingsHost {
public:
    TihmMain(TSettings& settings, TMailWatch& mail);
    ~TihmMain() override;

    TSettings& Settings;
    TMailWatch& Mail;
    bool UpdatingMenu = false;
    bool IconBlink = false;
    TWindowList KillList;
    // The popup rules, read from their file at creation, compared as the
    // kill list compares. Edit them here, then call SavePopupRules.
    TPopupRules PopupRules;
    // What the killer did while the program runs (the kill list's closes too).
    TPopupActionLog PopupActions;
    // Called after each entry added to PopupActions, for an open window to refresh.
    std::function<void()> OnPopupAction;
    int CountBeforeCheck = 0;
    std::string TrayIconName;  // the resource the tray icon shows now

    TTimer utlTimer;       // the kill tick
    TTimer utlTimerEmail;  // the mail check
    TTimer utlIcon;        // the blinking of the tray icon
    // The window events: on while the kill tick is, from the loading of the
    // settings on (before, the thread does not turn its loop, and a killer
    // saved off must not close what appears while the program starts).
    TKillWatch utlKillWatch;
    TImageList utlImageList;  // 0 Quit, 1 Options, 2 Windows list, 3 Mailboxes
    TBcBarPopupMenu mnpTB;
    TTBNArea utlTB;

    TMenuItem& mnpTbActivatePopup() { return mnpTB.Item("mnpTbActivatePopup"); }
    TMenuItem& mnpTbActivateEmail() { return mnpTB.Item("mnpTbActivateEmail"); }
    TMenuItem& mnpTbActivateSpam() { return mnpTB.Item("mnpTbActivateSpam"); }
    TMenuItem& mnpTbEmailProgram() { return mnpTB.Item("mnpTbEmailProgram"); }

    void mnpTbAboutClick();
    void mnpTbActivatePopupClick();
    void mnpTbWindowsListClick();
    void mnpTbActivateEmailClick();
    void mnpTbMailboxesClick();
    void mnpTbMailboxes2Click();
    void mnpTbEmailProgramClick();
    void mnpTbActivateSpamClick();
    void mnpTbOptionsClick();
    void mnpTbQuitClick();
    void mnpTBPopup();
    void utlTBDblClick();
    void utlTimerTimer();
    void utlIconTimer();

    // Hides the system's other windows, then shows `form` in front with the focus.
    void ShowForm(TForm* form);
    void UpdateTrayIcon();
    void SetTrayIcon(const char* resourceName);
    void UpdateDefaultMenuItem();
    // Rebuilds the mailboxes window's caption and the tray tip.
    void UpdateMailStatus(bool inProgress) { Mail.UpdateMailStatus(inProgress); }
    // Writes the captions of the tray menu in the language given.
    void ApplyMenuTexts(int language);

    // The manual check: the mailboxes window comes up when the count changed.
    void CheckNow();

    // The mail watch's tray screen: the tip, the blinking icon, the new-mail
    // notification and the spam counter's sound.
    void MailStatusChanged(const std::string& status) override;
    void MailActivity(bool working) override;
    bool NewMailArrived(const std::vector<TMailSummary>& fresh) override;
    void SpamDeleted() override;
    void SpamCycleDeleted(const std::vector<TMailSummary>& deleted) override;
    void SpamGuardKept(const std::string& line) override;
    // The mailbox's section is written alone, at once, without a box: a
    // failure is tried again and told at the next save of everything.
    void MailboxChanged(int id) override;
    // The message at the tray icon, when the settings ask for it; true when the shell took it.
    bool ShowMailNotice(const TMailNotice& notice, bool silent);

    // The settings' host.
    void RunKiller(bool on) override { SetKillerRunning(on); }
    void SetKillInterval(unsigned milliseconds) override;
    void RunMailTimer(bool on) override;
    void MailboxesCommitted() override;
    void SetMailInterval(unsigned milliseconds) override;
    void ShowSwitch(TSwitch which, bool on) override;
    void EnableSpamSwitch(bool on) override;
    void ToggleSwitch(TSwitch which) override;
    void RefreshDefaultAction() override { UpdateDefaultMenuItem(); }
    void RefreshMailStatus() override { UpdateMailStatus(false); }
    void RefreshTrayIcon() override { UpdateTrayIcon(); }
    void StayOnTopChanged() override;
    void SpamListsChanged() override;
    void PlaceWindows() override;
    void PreviewVideo(const std::string& videoFile, bool noBorder) override;
    // Writes the settings to the store; a failure is shown in an error box.
    void SaveSettings() override;
    bool StartsWithWindows() override;
    bool SetStartWithWindows(bool on) override;
    // Reads the settings from the store (a list file that cannot be read is
    // shown in an error box) and brings everything into line with them.
    void LoadSettings();
    // Where the settings are kept between runs.
    TSettingsStore Store;
    // Windows ends the session: saves what Quit saves (the settings with the
    // counters and window places, both spam lists, the kill list) without a
    // message box, stops the killer, the timers and the mail watch's sockets,
    // and takes the tray icon away. Nothing is written after it.
    void EndSession();
    bool SessionEnded = false;
    bool SignInMailbox(TMailBox& copy, std::string& error) override { return Mail.OAuth.SignIn(copy, error); }
    TOAuthStatus MailboxSignInStatus(const TMailBox& mailbox) override { return Mail.OAuth.Status(mailbox); }
    void ForgetMailboxSession(int id) override { Mail.OAuth.Forget(id); }

    // The kill tick alone, without the refresh of the windows-list dialog.
    void KillPopupsNow();
    // The killer on or off: the kill tick's timer and the window events together.
    void SetKillerRunning(bool on);
    // One kill: count it and announce it when asked.
    void CountKill();
    // One entry of the killer: logged, and counted as a kill when it was done.
    void PopupActionDone(const TPopupActionEntry& entry);
    // Writes the rules file (the rules, their hits, the lines that could not
    // be read); a failure is shown in the write error box.
    void SavePopupRules();

private:
    void LoadPopupRules();
    bool WritePopupRules();
    // The rules file's lines that could not be read, written back in their places.
    std::vector<std::pair<int, std::string>> popupRulesUnread_;
    // The file was there but could not be read: it is not written over.
    bool popupRulesReadFailed_ = false;
    // A toggle command: flip the item's check mark and hand it to the setting.
    void ToggleFromMenu(TMenuItem& item, void (TihmOptions::*setter)(bool));
    void FormCreate();
    void FormDestroy();
    static std::vector<TMenuItemDef> TrayMenuItems(TihmMain& self);
};

// The dotted addresses of this machine, in the order the name service gives them.
std::vector<std::string> GetLocalAddresses();
// Those addresses joined by " - ", without "10.0.0.10".
std::string GetAddressText();

extern TihmMain* ihmMain;
