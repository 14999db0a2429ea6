// The main form: never shown, it is the system's controller. It owns the tray
// icon and its menu, the kill list, the emails and the three timers, turns the
// user's clicks into commands and shows the other windows one at a time.
#pragma once

#include <ctime>
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
#include "../net/Pop3Sync.h"
#include "../widgets/BarMenus.h"
#include "../widgets/TBNArea.h"

class TihmOptions;

class TihmMain : public TForm {
public:
    TihmMain();
    ~TihmMain() override;

    bool QuitRequested = false;
    bool UpdatingMenu = false;
    bool IconBlink = false;
    bool Busy = false;
    TWindowList KillList;
    TMyCollection Emails;
    int CountBeforeCheck = 0;
    std::time_t LastCheck = 0;
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
    TSyncPop3Cli utlPop;  // the mail watch's POP3 client
    // More than any mailbox holds: a server that lists more has gone wrong,
    // and its list ends there, the mailbox in error, before it fills the memory.
    int MaxListedMessages = 1000000;

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
    void UpdateMailStatus(bool inProgress);
    // Writes the captions of the tray menu in the language given.
    void ApplyMenuTexts(int language);

    // The mail watch: the timer's check with the new-mail rule, the manual
    // check, the full check and its two steps per mailbox, the deletions.
    void utlTimerEmailTimer();
    void CheckNow();
    void CheckAllMailboxes(bool keepLog);
    void ConnectMailbox(TMailBox& mailBox);
    void CheckMailbox(TMailBox& mailBox);
    // True when the server took the deletion: DELE and QUIT both answered +OK.
    bool DeleteEmail(TEmail& email, bool inBatch);
    void DeleteSelectedEmail(TEmail& email);
    // Deletes every spam message from its server, then checks again.
    void DeleteSpamEmails();
    bool IsSpamEmail(const TEmail& email) const;
    // The options dialog's two spam lists as they read now, parsed.
    TSpamLists SpamLists() const;
    // The log is the mailboxes window's text area; an empty text appends LastError.
    void AddMailLog(const std::string& text);
    void ClearMailLog();

    // The kill tick alone, without the refresh of the windows-list dialog.
    void KillPopupsNow();
    // The killer on or off: the kill tick's timer and the window events together.
    void SetKillerRunning(bool on);
    // One kill: count it and announce it when asked.
    void CountKill();

private:
    bool ConnectFailed = false;
    bool CountingList = false;
    int ListCount = 0;
    bool ListCut = false;  // the server listed more than MaxListedMessages
    std::string ListTooLong() const;
    std::string LastError;
    std::string HeaderFrom, HeaderTo, HeaderSubject;
    std::string MessageText;
    bool CollectingUidls = false;
    std::map<int, int> ListedSizes;
    std::map<int, std::string> UidlByNumber;

    // The mailboxes that could not be read at the last check.
    std::set<const TMailBox*> MailboxesInError;
    void ReadMailbox(TMailBox& mailBox);

    void utlPopListLine();
    void utlPopMessageLine();
    void utlPopHeaderEnd();
    void utlPopUidlLine();
    // Hands the mail watch's handlers to the POP3 client.
    void WireMailClient();
    // The steps of a mailbox's check after the login: whether the server
    // takes pipelined commands (CAPA, once a session), its listing (LIST and
    // UIDL), then the messages not kept from the last check, read into
    // Emails; those read whole are kept for the next check.
    bool AskPipelining();
    TMailboxListing ListMailbox(bool pipelining);
    // `step` names the request in hand for an error line.
    void ReadMessages(TMailBox& mailBox, const std::vector<TMessagePlan>& plan, bool pipelining, std::string& step);
    // Marks one message for deletion in the session open on its mailbox,
    // once it is known to be still the one seen; true when DELE was taken.
    bool MarkForDeletion(TEmail& email);
    // QUIT after the deletions of a session; true when messages were marked
    // and the server took the QUIT, which is when it removes them.
    bool EndDeletionSession(TMailBox& mailBox, bool marked);
    // The spam of one mailbox, highest number first, in one session.
    void DeleteSpamOf(TMailBox& mailBox, const std::vector<TEmail*>& spam);
    // Asks the server whether message `email.Number` is still the one seen.
    bool IsStillTheMessageSeen(const TEmail& email);
    // One error line of the mail watch: stored, flagged and logged.
    void ReportMailError(const std::string& format, const TMailBox& mailBox, const std::string& error,
                         const std::string& detail);
    // Why the request in hand failed, as the error line's reason.
    std::string FailureReason() const;

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
