#include "ihmOptions.h"

#include "../app/unitLanguage.h"
#include "../framework/Locale.h"
#include "../model/unitProcessEmail.h"
#include "SettingsValues.h"
#include "ihmOptionsTexts.h"

TihmOptions* ihmOptions = nullptr;

namespace {
TFormOptions OptionsFormOptions()
{
    TFormOptions options;
    options.caption = "Options";
    options.clientWidth = 355;
    options.clientHeight = 360;
    options.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    options.exStyle = WS_EX_TOOLWINDOW;
    options.fontName = "Arial";
    options.fontHeight = -11;
    return options;
}

const COLORREF kGreen = RGB(0, 255, 0), kRed = RGB(255, 0, 0), kYellow = RGB(255, 255, 0);
}  // namespace

TihmOptions::TihmOptions(TSettings& settings, ISettingsHost& host)
    : TForm(OptionsFormOptions()),
      pcOptions(*this, {0, 0, 355, 360}),
      tsGeneral(pcOptions, "General"),
      tsPopup(pcOptions, "Popup"),
      tsMail(pcOptions, "Email"),
      tsSpam(pcOptions, "Spam"),
      tsSpamList(pcOptions, "SPAM list"),
      tsMailbox(pcOptions, "Mailboxes"),
      lblDblClick(tsGeneral, {16, 16, 0, 0}),
      zdsConfigDblClick(tsGeneral, {88, 12, 201, 22}, 14),
      zdsStayOnTop(tsGeneral, {16, 43, 86, 17}, "Stay on top", true),
      zdsShowIpAddr(tsGeneral, {16, 62, 86, 17}, "IP address", true),
      grpLanguage(tsGeneral, {16, 88, 89, 57}, "Language", {"", ""}),
      lblEmailProgram(tsGeneral, {128, 40, 0, 0}),
      zdsEmailProgram(tsGeneral, {128, 57, 177, 22}),
      btnMailProgram(tsGeneral, {310, 58, 21, 21}, "..."),
      grpIcon(tsGeneral, {128, 88, 89, 57}, "Icon", {"Popup", "Email"}),
      zdsStartWithWindows(tsGeneral, {16, 156, 201, 17}, "Start with Windows"),
      lblLedPopup(tsPopup, {16, 8, 0, 0}, "Protection"),
      zdsLedPopup(tsPopup, 88, 8, kGreen),
      lblInterval(tsPopup, {16, 30, 0, 0}),
      lblUnit(tsPopup, {144, 30, 0, 0}),
      zdsInterval(tsPopup, {88, 26, 49, 22}),
      lblSoundOnKill(tsPopup, {16, 54, 0, 0}),
      zdsSoundOnKill(tsPopup, {88, 54, 13, 14}),
      lblSoundFile(tsPopup, {16, 77, 0, 0}),
      zdsSoundFile(tsPopup, {88, 73, 190, 22}),
      btnSoundFile(tsPopup, {283, 73, 21, 21}, "..."),
      btnPlaySoundFile(tsPopup, {308, 73, 21, 21}, ">"),
      lblCounter(tsPopup, {16, 101, 0, 0}),
      zdsCounter(tsPopup, {88, 103, 70, 28}),
      btnReset(tsPopup, {88, 136, 70, 16}, "Reset"),
      lblLedEmail(tsMail, {16, 8, 0, 0}),
      zdsLedEmail(tsMail, 88, 8, kRed),
      lblEmailLines(tsMail, {216, 9, 0, 0}),
      zdsEmailLines(tsMail, {216, 26, 57, 22}),
      lblIntervalEmail(tsMail, {16, 30, 0, 0}),
      lblUnitEmail(tsMail, {144, 30, 0, 0}),
      zdsIntervalEmail(tsMail, {88, 26, 49, 22}),
      lblSoundOnEmail(tsMail, {16, 54, 0, 0}, "Notification"),
      zdsSoundOnEmail(tsMail, {88, 54, 13, 14}),
      lblSoundFileEmail(tsMail, {16, 77, 0, 0}),
      zdsSoundFileEmail(tsMail, {88, 73, 190, 22}),
      btnSoundFileEmail(tsMail, {283, 73, 21, 21}, "..."),
      btnPlaySoundFileEmail(tsMail, {308, 73, 21, 21}, ">"),
      lblVideoFileEmail(tsMail, {16, 101, 0, 0}),
      zdsVideoFileEmail(tsMail, {88, 100, 190, 22}),
      btnVideoFileEmail(tsMail, {283, 100, 21, 21}, "..."),
      btnViewVideoFileEmail(tsMail, {308, 100, 21, 21}, ">"),
      lblNoBorderVideo(tsMail, {16, 125, 0, 0}),
      zdsNoBorderVideo(tsMail, {88, 127, 13, 14}),
      zdsBalloonNotification(tsMail, {144, 53, 196, 17}, "Notification balloon"),
      lblLedSpam(tsSpam, {16, 8, 0, 0}, "Protection"),
      zdsLedSpam(tsSpam, 88, 8, kYellow),
      lblSoundOnKillSpam(tsSpam, {16, 30, 0, 0}),
      zdsSoundOnKillSpam(tsSpam, {88, 30, 13, 14}),
      lblSoundFileSpam(tsSpam, {16, 53, 0, 0}),
      zdsSoundFileSpam(tsSpam, {88, 49, 190, 22}),
      btnSoundFileSpam(tsSpam, {283, 49, 21, 21}, "..."),
      btnPlaySoundFileSpam(tsSpam, {308, 49, 21, 21}, ">"),
      lblCounterSpam(tsSpam, {16, 77, 0, 0}),
      zdsCounterSpam(tsSpam, {88, 79, 70, 28}),
      btnResetSpam(tsSpam, {88, 112, 70, 16}, "Reset"),
      lblSpamKeepDays(tsSpam, {16, 144, 0, 0}),
      zdsSpamKeepDays(tsSpam, {16, 161, 57, 22}),
      lblEmail(tsSpamList, {8, 8, 0, 0}),
      zdsEmail(tsSpamList, {8, 24, 160, 121}),
      lblSubject(tsSpamList, {176, 8, 0, 0}),
      zdsSubject(tsSpamList, {176, 24, 160, 121}),
      lblAllowed(tsSpamList, {8, 153, 0, 0}),
      zdsAllowed(tsSpamList, {8, 169, 328, 110}),
      zdsMailboxList(tsMailbox, {8, 8, 121, 105}, 14),
      lblName(tsMailbox, {144, 10, 0, 0}),
      lblServer(tsMailbox, {144, 34, 0, 0}),
      lblUser(tsMailbox, {144, 58, 0, 0}),
      lblPassword(tsMailbox, {144, 82, 0, 0}),
      lblSecurity(tsMailbox, {144, 106, 0, 0}),
      lblPort(tsMailbox, {284, 106, 0, 0}),
      lblFingerprint(tsMailbox, {144, 130, 0, 0}),
      zdsName(tsMailbox, {216, 6, 121, 22}),
      zdsServer(tsMailbox, {216, 30, 121, 22}),
      zdsUser(tsMailbox, {216, 54, 121, 22}),
      zdsPassword(tsMailbox, {216, 78, 121, 22}, true),
      zdsSecurity(tsMailbox, {216, 102, 64, 22}, 14),
      zdsPort(tsMailbox, {307, 102, 30, 22}),
      zdsFingerprint(tsMailbox, {216, 126, 121, 22}),
      lblSignIn(tsMailbox, {8, 156, 0, 0}),
      zdsSignIn(tsMailbox, {8, 174, 121, 22}, 14),
      lblClientId(tsMailbox, {144, 156, 0, 0}),
      zdsClientId(tsMailbox, {216, 152, 121, 22}),
      lblClientSecret(tsMailbox, {144, 180, 0, 0}),
      zdsClientSecret(tsMailbox, {216, 176, 121, 22}, true),
      btnSignIn(tsMailbox, {8, 202, 121, 23}, "Sign in..."),
      lblSignInStatus(tsMailbox, {144, 206, 0, 0}),
      lblAuthorizationUrl(tsMailbox, {8, 234, 0, 0}),
      zdsAuthorizationUrl(tsMailbox, {88, 230, 249, 22}),
      lblTokenUrl(tsMailbox, {8, 258, 0, 0}),
      zdsTokenUrl(tsMailbox, {88, 254, 249, 22}),
      lblScope(tsMailbox, {8, 282, 0, 0}),
      zdsScope(tsMailbox, {88, 278, 249, 22}),
      lblProtocol(tsMailbox, {8, 308, 0, 0}),
      zdsProtocol(tsMailbox, {88, 304, 64, 22}, 14),
      lblFolder(tsMailbox, {160, 308, 0, 0}),
      zdsFolder(tsMailbox, {216, 304, 121, 22}),
      btnAdd(tsMailbox, {8, 122, 58, 25}, "Add"),
      btnDelete(tsMailbox, {72, 122, 58, 25}, "Delete"),
      Mailboxes(settings.Mailboxes),
      settings_(settings),
      host_(host)
{
    FormCreate();
}

TihmOptions::~TihmOptions() { SetTextApplier(TTextWindow::OptionsDialog, nullptr); }

void TihmOptions::FormCreate()
{
    TakeDraft();
    pcOptions.SetActivePageIndex(0);
    // English until the settings say otherwise: the labels, the language items
    // and the combo take their texts from the language table here.
    ApplyOptionsTexts(*this, TLanguage::English);
    SetTextApplier(TTextWindow::OptionsDialog, [this](TLanguage language) { ApplyOptionsTexts(*this, language); });
    for (TControl* editor : MailboxEditors())
        editor->SetEnabled(false);
    zdsInterval.SetText(EncodeInteger(DefaultInterval));
    zdsIntervalEmail.SetText(EncodeInteger(DefaultIntervalEmail));
    zdsEmailLines.SetText(EncodeInteger(DefaultEmailLines));
    zdsSpamKeepDays.SetText(EncodeInteger(QuarantineDefaultDays));
    zdsCounter.SetCaption("0000");
    zdsCounterSpam.SetCaption("0000");
    ConnectEvents();
    ShowStartWithWindows();
}

void TihmOptions::ShowMailboxNames()
{
    zdsMailboxList.Clear();
    for (int i = 0; i < draft_.Mailboxes.Count(); ++i)
        zdsMailboxList.Add(draft_.Mailboxes.ItemAs<TMailBox>(i)->MailboxName);
}

namespace {
void EnableAll(std::initializer_list<TControl*> controls, bool on)
{
    for (TControl* control : controls)
        control->SetEnabled(on);
}
}  // namespace

void TihmOptions::ApplyPopupFileRowRule()
{
    EnableAll({&zdsSoundFile, &btnSoundFile, &btnPlaySoundFile}, KillerActive() && SoundOnKill());
}

void TihmOptions::ApplyEmailFileRowRule()
{
    EnableAll({&zdsSoundFileEmail, &btnSoundFileEmail, &btnPlaySoundFileEmail, &zdsVideoFileEmail, &btnVideoFileEmail,
               &btnViewVideoFileEmail, &zdsNoBorderVideo},
              MailNotification() && SoundOnEmail());
}

void TihmOptions::ApplySpamFileRowRule()
{
    EnableAll({&zdsSoundFileSpam, &btnSoundFileSpam, &btnPlaySoundFileSpam},
              MailNotification() && SpamKillerActive() && SoundOnKillSpam());
}

void TihmOptions::ShowStartWithWindows() { zdsStartWithWindows.SetChecked(host_.StartsWithWindows()); }
