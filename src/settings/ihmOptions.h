// The options dialog. It shows and edits the settings it was given; every
// setting is read and written through the accessor named after its registry
// value, which stores it in the settings and, through the dialog's host,
// brings the timers, LEDs, tray menu and tray icon into line. Its controls
// only show the settings: a change the user makes is stored at once.
#pragma once

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
class TRegistryIniFile;

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
    // SPAM list page
    TLabel lblEmail;
    TMemo zdsEmail;
    TLabel lblSubject;
    TMemo zdsSubject;
    // Mailboxes page
    TListBox zdsMailboxList;
    TLabel lblName, lblServer, lblUser, lblPassword, lblSecurity, lblPort, lblFingerprint;
    TEdit zdsName, zdsServer, zdsUser, zdsPassword;
    TComboBox zdsSecurity;  // item index: the mailbox's Security value
    TEdit zdsPort, zdsFingerprint;
    // The sign-in: item index 0 the password, then the providers of
    // net/OAuthProviders.h in their order (Microsoft, Google, other).
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
    TButton btnAdd, btnDelete;

    TMyCollection& Mailboxes;  // the settings' mailboxes, in configuration order
    // Mailboxes taken off the list: they live on until the dialog goes.
    std::vector<std::unique_ptr<TMyItem>> DeletedMailboxes;

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

    void LoadSettings();
    void SaveSettings();
    // Brings everything that follows a setting into line with the settings,
    // row after row in the order of the settings table.
    void ApplySettings();
    // The spam lists' fields show the settings' lists again.
    void ShowSpamLists();
    // The registry key the settings live under, below HKEY_CURRENT_USER.
    std::string RegistryKey = "\\Software\\SkarnVale";

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

    // The geometry is the windows' own state, taken into the settings when they are saved.
    int VideoTop() const;
    void SetVideoTop(int value);
    int VideoLeft() const;
    void SetVideoLeft(int value);
    int MailboxesTop() const;
    void SetMailboxesTop(int value);
    int MailboxesLeft() const;
    void SetMailboxesLeft(int value);
    int MailboxesWidth() const;
    void SetMailboxesWidth(int value);
    int MailboxesHeight() const;
    void SetMailboxesHeight(int value);
    bool MailboxesHeader() const;
    void SetMailboxesHeader(bool value);
    int MailboxesGrid() const;
    void SetMailboxesGrid(int value);
    int MailboxesCol1() const;
    void SetMailboxesCol1(int value);
    int MailboxesCol2() const;
    void SetMailboxesCol2(int value);
    int MailboxesCol3() const;
    void SetMailboxesCol3(int value);

    // Enabling rules of the file rows of the Popup, Email and Spam pages.
    void ApplyPopupFileRowRule();
    void ApplyEmailFileRowRule();
    void ApplySpamFileRowRule();

private:
    TSettings& settings_;
    ISettingsHost& host_;
    // The windows' geometry as it stands now, into the settings.
    void CollectWindowSettings();
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
    // The settings when the registry key can be neither opened nor created.
    void ApplyDefaultSettings();
    // The mailbox sections 1 to `count`, appended to Mailboxes.
    void LoadMailboxes(const TRegistryIniFile& ini, int count);
    // True when every value was written.
    bool SaveMailboxes(TRegistryIniFile& ini) const;
    // The spam lists' files are read and written with the settings.
    void LoadSpamLists();
    void SaveSpamLists();
    void ShowMailboxNames();
};

extern TihmOptions* ihmOptions;
