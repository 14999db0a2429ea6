// What the settings bring into line beyond the options dialog: the tray
// controller's timers, menu, icon and tip, and the other windows. The dialog
// is given its host at start-up and asks it, never the forms themselves.
#pragma once

#include <string>

#include "../oauth/OAuthSession.h"

class TMailBox;

// The three switches of the tray menu.
enum class TSwitch { Killer, Mail, Spam };

class ISettingsHost {
public:
    virtual ~ISettingsHost() = default;
    // The kill tick and the window events together, and the tick's pace.
    virtual void RunKiller(bool on) = 0;
    virtual void SetKillInterval(unsigned milliseconds) = 0;
    // The mail check's timer and its pace.
    virtual void RunMailTimer(bool on) = 0;
    virtual void SetMailInterval(unsigned milliseconds) = 0;
    // The options' mailboxes were written to the settings.
    virtual void MailboxesCommitted() {}
    // The check mark of a switch's tray-menu item, and whether the spam
    // switch can be chosen; the menu's own toggle commands ignore these changes.
    virtual void ShowSwitch(TSwitch which, bool on) = 0;
    virtual void EnableSpamSwitch(bool on) = 0;
    // The switch's toggle command, as the tray menu runs it.
    virtual void ToggleSwitch(TSwitch which) = 0;
    // The bold tray-menu item, the tray tip and caption, and the tray icon follow the settings.
    virtual void RefreshDefaultAction() = 0;
    virtual void RefreshMailStatus() = 0;
    virtual void RefreshTrayIcon() = 0;
    // The windows list's stay-on-top, and the mailboxes window's red rows.
    virtual void StayOnTopChanged() = 0;
    virtual void SpamListsChanged() = 0;
    // The mailboxes and video windows take the places the settings hold.
    virtual void PlaceWindows() = 0;
    // The new-mail video played as the settings would play it, for a try.
    virtual void PreviewVideo(const std::string& videoFile, bool noBorder) = 0;
    // Everything written where it is kept; a failure is told to the user.
    virtual void SaveSettings() = 0;
    // The mailboxes' sign-ins, kept by the mail watch under the mailbox's Id:
    // the browser sign-in of the dialog's copy of a mailbox (its new refresh
    // token stored protected on the copy, false with the reason), the status
    // the editor shows for a copy, and an access token forgotten.
    virtual bool SignInMailbox(TMailBox& copy, std::string& error) = 0;
    virtual TOAuthStatus MailboxSignInStatus(const TMailBox& mailbox) = 0;
    virtual void ForgetMailboxSession(int id) = 0;
    // Whether the program starts when the user signs in: Windows' own entry,
    // read anew each time, not a setting. The change answers false when the
    // registry refused it.
    virtual bool StartsWithWindows() = 0;
    virtual bool SetStartWithWindows(bool on) = 0;
};
