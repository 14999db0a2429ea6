// The options dialog. Its controls edit a copy of the settings, never the
// settings themselves: Apply puts what the copy changed into the settings and
// runs the apply step of each value changed, which shows it and, through the
// dialog's host, brings the timers, LEDs, tray menu and tray icon into line;
// Discard drops the copy. A change the user makes is applied at once; a value
// read only where it is used is put back with no step of its own. Every
// setting is read through the accessor named after its registry value and
// set through its setter, which applies it the same way.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "../framework/Controls.h"
#include "../framework/FileDialog.h"
#include "../framework/Form.h"
#include "../framework/PageControl.h"
#include "../framework/StdControls.h"
#include "../model/ClassesPerso.h"
#include "../widgets/LCD_Lab.h"
#include "../widgets/LED.h"
#include "Settings.h"
#include "SettingsHost.h"

enum class TLanguage;

class TMailBox;

class TihmOptions : public TForm {
public:
    TihmOptions(TSettings& settings, ISettingsHost& host);
    ~TihmOptions() override;

    TPageControl pcOptions;
    TTabSheet tsGeneral, tsPopup, tsMail, tsSpam, tsSpamList, tsMailbox;

    // General page
    TLabel lblDblClick;
    TComboBox zdsConfigDblClick;
    TCheckBox zdsStayOnTop, zdsShowIpAddr;
    TRadioGroup grpLanguage;
    TLabel lblEmailProgram;
    TEdit zdsEmailProgram;
    TButton btnMailProgram;
    TRadioGroup grpIcon;
    // Windows' start-up entry, through the host: shown as it is whenever the
    // dialog is shown, changed at once when clicked.
    TCheckBox zdsStartWithWindows;
    // Popup page
    TLabel lblLedPopup;
    TLED zdsLedPopup;
    TLabel lblInterval, lblUnit;
    TEdit zdsInterval;
    TLabel lblSoundOnKill;
    TCheckBox zdsSoundOnKill;
    TLabel lblSoundFile;
    TEdit zdsSoundFile;
    TButton btnSoundFile, btnPlaySoundFile;
    TLabel lblCounter;
    TLCDLabel zdsCounter;
    TButton btnReset;
    // Email page
    TLabel lblLedEmail;
    TLED zdsLedEmail;
    TLabel lblEmailLines;
    TEdit zdsEmailLines;
    TLabel lblIntervalEmail, lblUnitEmail;
    TEdit zdsIntervalEmail;
    TLabel lblSoundOnEmail;
    TCheckBox zdsSoundOnEmail;
    TLabel lblSoundFileEmail;
    TEdit zdsSoundFileEmail;
    TButton btnSoundFileEmail, btnPlaySoundFileEmail;
    TLabel lblVideoFileEmail;
    TEdit zdsVideoFileEmail;
    TButton btnVideoFileEmail, btnViewVideoFileEmail;
    TLabel lblNoBorderVideo;
    TCheckBox zdsNoBorderVideo;
    TCheckBox zdsBalloonNotification;
    // Spam page
    TLabel lblLedSpam;
    TLED zdsLedSpam;
    TLabel lblSoundOnKillSpam;
    TCheckBox zdsSoundOnKillSpam;
    TLabel lblSoundFileSpam;
    TEdit zdsSoundFileSpam;
    TButton btnSoundFileSpam, btnPlaySoundFileSpam;
    TLabel lblCounterSpam;
    TLCDLabel zdsCounterSpam;
    TButton btnResetSpam;
    TLabel lblSpamKeepDays;
    TEdit zdsSpamKeepDays;
    // SPAM list page
    TLabel lblEmail;
    TMemo zdsEmail;
    TLabel lblSubject;
    TMemo zdsSubject;
    TLabel lblAllowed;
    TMemo zdsAllowed;
    // Mailboxes page
    TListBox zdsMailboxList;
    TLabel lblName, lblServer, lblUser, lblPassword, lblSecurity, lblPort, lblFingerprint;
    TEdit zdsName, zdsServer, zdsUser, zdsPassword;
    TComboBox zdsSecurity;  // item index: the mailbox's Security value
    TEdit zdsPort, zdsFingerprint;
    // The sign-in: item index 0 the password, then the providers of
    // net/OAuthProviders.h in their order (Microsoft, Google, other), then
    // iCloud (an app password on IMAP).
    TLabel lblSignIn;
    TComboBox zdsSignIn;
    TLabel lblClientId;
    TEdit zdsClientId;
    TLabel lblClientSecret;
    TEdit zdsClientSecret;
    TButton btnSignIn;
    TLabel lblSignInStatus;
    // The provider's endpoints and scope, filled in by a preset, typed for another.
    TLabel lblAuthorizationUrl;
    TEdit zdsAuthorizationUrl;
    TLabel lblTokenUrl;
    TEdit zdsTokenUrl;
    TLabel lblScope;
    TEdit zdsScope;
    // What the server speaks (item index: the mailbox's Protocol value) and
    // the IMAP folder watched.
    TLabel lblProtocol;
    TComboBox zdsProtocol;
    TLabel lblFolder;
    TEdit zdsFolder;
    TButton btnAdd, btnDelete;

    TMyCollection& Mailboxes;  // the settings' mailboxes, in configuration order

    // The copy of the settings that the controls edit, its mailboxes included.
    TSettings& Draft() { return draft_; }
    // What the copy changed goes into the settings and is brought into line (OK).
    void Apply();
    // The copy is dropped: the controls show the settings again (Cancel).
    void Discard();

    TOpenDialog OpenDialog{"WAV", "Sound file (*.WAV)|*.WAV", "WAV file selection"};
    TOpenDialog OpenDialogExe{"EXE", "Application (*.EXE)|*.EXE", "Application file selection"};
    TOpenDialog OpenDialogVideo{"AVI", "Video file (*.AVI)|*.AVI", "AVI file selection"};

    // Escape and the close box: save everything, then hide.
    void FormClose();
    void zdsMailboxListClick();
    void btnAddClick();
    void btnDeleteClick();
    // A new security mode brings its usual port, unless the user typed another.
    void zdsSecurityChange();
    // A new protocol brings its usual port and, for a preset's server, the
    // provider's server of that protocol.
    void zdsProtocolChange();
    // A provider fills in its URLs, scope, server and port; the password
    // choice leaves the mailbox as it is but for its way of logging in.
    void zdsSignInChange();
    void zdsClientSecretExit();
    // An endpoint or the scope typed: the sign-in choice follows the URLs.
    void StoreProviderField(TEdit& edit, std::string TMailBox::*field);
    void ShowProvider(const TMailBox* mailbox);
    // The browser sign-in of the selected mailbox, then its status shown.
    void btnSignInClick();
    // In the language of the texts now shown, or in `language` while the
    // dialog's texts change to it (the messages follow after the windows).
    void ShowSignInStatus(const TMailBox* mailbox, const TLanguage* language = nullptr);
    TMailBox* SelectedMailbox() const;
    bool signingIn_ = false;
    void btnViewVideoFileEmailClick();

    // The settings were read anew (settings/SettingsStore.h): the dialog,
    // its copy and everything that follows a setting are brought into line.
    void SettingsLoaded();
    // Brings everything that follows a setting into line with the settings,
    // row after row in the order of the settings table.
    void ApplySettings();
    // The spam lists' fields show the settings' lists again.
    void ShowSpamLists();
    // The counters show the settings' counts again: whoever counts changes
    // the count in the settings, and the dialog only shows it.
    void ShowCounters();
    // The start-up box shows Windows' entry as it is now.
    void ShowStartWithWindows();

    int ConfigDblClick() const;
    void SetConfigDblClick(int value);
    bool ListStayOnTop() const;
    void SetListStayOnTop(bool value);
    bool AddressIp() const;
    void SetAddressIp(bool value);
    bool French() const;
    void SetFrench(bool value);
    bool TaskPopup() const;
    void SetTaskPopup(bool value);
    std::string EmailProgram() const;
    void SetEmailProgram(const std::string& value);

    bool KillerActive() const;
    void SetKillerActive(bool value);
    int Interval() const;
    void SetInterval(int value);
    bool SoundOnKill() const;
    void SetSoundOnKill(bool value);
    std::string SoundFile() const;
    void SetSoundFile(const std::string& value);
    int Counter() const;
    void SetCounter(int value);

    bool MailNotification() const;
    void SetMailNotification(bool value);
    int IntervalEmail() const;
    void SetIntervalEmail(int value);
    bool SoundOnEmail() const;
    void SetSoundOnEmail(bool value);
    std::string SoundFileEmail() const;
    void SetSoundFileEmail(const std::string& value);
    std::string VideoFileEmail() const;
    void SetVideoFileEmail(const std::string& value);
    bool NoBorderVideo() const;
    void SetNoBorderVideo(bool value);
    int EmailLines() const;
    void SetEmailLines(int value);
    bool BalloonNotification() const;
    void SetBalloonNotification(bool value);

    bool SpamKillerActive() const;
    void SetSpamKillerActive(bool value);
    bool SoundOnKillSpam() const;
    void SetSoundOnKillSpam(bool value);
    std::string SoundFileSpam() const;
    void SetSoundFileSpam(const std::string& value);
    int CounterSpam() const;
    void SetCounterSpam(int value);

    // The two spam lists, one entry per line.
    void SetSpamAddresses(const std::string& value);
    void SetSpamSubjects(const std::string& value);

    // Enabling rules of the file rows of the Popup, Email and Spam pages.
    void ApplyPopupFileRowRule();
    void ApplyEmailFileRowRule();
    void ApplySpamFileRowRule();

private:
    TSettings& settings_;
    ISettingsHost& host_;
    TSettings draft_;
    // The copy's values as it was taken from the settings, row by row of the
    // settings table, and its two lists: a value the copy left alone is not
    // written back over a change made meanwhile (a counter, a tray switch).
    std::vector<std::string> taken_;
    std::string takenAddresses_, takenSubjects_, takenAllowed_;
    // Each copy's refresh token as taken, by mailbox Id: the mail watch may
    // renew the mailbox's own meanwhile, and only a sign-in in the dialog
    // replaces it. The copy's list is written back only when the editor
    // changed it.
    std::map<int, std::string> takenTokens_;
    bool mailboxesEdited_ = false;
    // The copy taken again from the settings: its values, or its mailboxes.
    void TakeDraft();
    void TakeMailboxes();
    // The copy's changes into the settings, with nothing brought into line:
    // the flags of the table's rows it changed, and whether the lists changed.
    std::vector<bool> Commit(bool& listsChanged);
    void CommitMailboxes();
    // Commit alone: for a value read where it is used.
    void PutBack()
    {
        bool listsChanged = false;
        Commit(listsChanged);
    }
    // The mailbox editor changed the copy's list: it is applied.
    void MailboxesEdited();
    // Commit, then the apply step of each row changed, in table order, and of
    // the row named `step` (its setting's name, or "SpamLists") also when
    // its value is unchanged.
    void Apply(const char* step);
    // A setter's change: into the copy, then applied with the setting's step.
    template <class T, class TValue>
    void Change(T TSettings::*field, const TValue& value, const char* step);
    // The apply step of each setting from ConfigDblClick to CounterSpam: its
    // control shows it and what follows it is brought into line.
    using TApplyStep = void (TihmOptions::*)();
    static const std::map<std::string, TApplyStep>& ApplySteps();
    void ApplyConfigDblClick();
    void ApplyListStayOnTop();
    void ApplyAddressIp();
    void ApplyFrench();
    void ApplyTaskPopup();
    void ApplyEmailProgram();
    void ApplyKillerActive();
    void ApplyInterval();
    void ApplySoundOnKill();
    void ApplySoundFile();
    void ApplyCounter();
    void ApplyMailNotification();
    void ApplyIntervalEmail();
    void ApplySoundOnEmail();
    void ApplySoundFileEmail();
    void ApplyVideoFileEmail();
    void ApplyNoBorderVideo();
    void ApplyEmailLines();
    void ApplySpamKeepDays();
    void ApplyBalloonNotification();
    void ApplySpamKillerActive();
    void ApplySoundOnKillSpam();
    void ApplySoundFileSpam();
    void ApplyCounterSpam();
    void FormCreate();
    void ConnectEvents();
    // A file picker: starts in the edit's folder and fills the edit with an existing choice.
    void PickFile(TEdit& edit, TOpenDialog& dialog);
    void PlayIfDevice(const std::string& fileName);
    // The sign-in choice a mailbox's values stand for.
    static int SignInChoice(const TMailBox& mailbox);
    void StoreMailboxField(TEdit& edit, std::string TMailBox::*field);
    // Fills the editor with `mailbox`'s values, or empties it when none.
    void SetMailboxEdits(bool enabled, const TMailBox* mailbox);
    std::vector<TControl*> MailboxEditors();
    void ShowMailboxNames();
};

extern TihmOptions* ihmOptions;
