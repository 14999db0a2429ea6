#include "ihmMain.h"

#include "../forms/ihmAppList.h"
#include "../forms/ihmMailbox.h"
#include "../framework/Dialogs.h"
#include "../framework/Dpi.h"
#include "../framework/Files.h"
#include "../framework/Icon.h"
#include "../framework/Locale.h"
#include "../model/unitProcessKillFile.h"
#include "../model/unitProcessPopupRuleFile.h"
#include "../settings/SettingsValues.h"
#include "../settings/ihmOptions.h"
#include "Divers.h"
#include "FileErrorBox.h"
#include "unitLanguage.h"
#include "unitLanguagePopupRules.h"
#include "../text/FormatText.h"

TihmMain* ihmMain = nullptr;

namespace {
// The tray menu's side bar: a blue-to-navy gradient with the program's
// picture near the bottom and its name written upwards above it. Its width,
// picture and caption are 96-DPI sizes; the menu opens on the system's DPI.
void ConfigureTrayMenuBar(TBcBar& bar)
{
    const UINT dpi = SystemDpi();
    bar.SetWidth(ScaleToDpi(21, dpi));
    bar.SetGradientStart(clBlue);
    bar.SetGradientEnd(clNavy);
    bar.BarBitmap().LoadFromResource("BAR_PIC", dpi);
    bar.BarBitmap().SetOffsetY(ScaleToDpi(-2, dpi));
    TBarFont font = bar.BarCaption().Font();
    font.Name = "Arial Black";
    font.Height = ScaleToDpi(-16, dpi);
    font.Color = clWhite;
    bar.BarCaption().SetFont(font);
    bar.BarCaption().SetCaption("SkarnVale");
}

TFormOptions MainFormOptions()
{
    TFormOptions options;
    options.caption = "SkarnVale";
    options.style = WS_POPUP;
    options.exStyle = WS_EX_TOOLWINDOW;
    options.centred = false;
    return options;
}
}  // namespace

TihmMain::TihmMain(TSettings& settings, TMailWatch& mail)
    : TForm(MainFormOptions()),
      Settings(settings),
      Mail(mail),
      KillList(LocaleCompareText),
      PopupRules(LocaleCompareText, LocaleUpperText),
      utlTimer(*this, DefaultInterval, true),
      utlTimerEmail(*this, DefaultIntervalEmail * 60000, false),
      utlIcon(*this, 500, false),
      utlKillWatch(*this, KillList, PopupRules, [this](const TPopupActionEntry& entry) { PopupActionDone(entry); }),
      utlImageList({"MENU_QUIT", "MENU_OPTIONS", "MENU_WINDOWS", "MENU_MAILBOXES"}),
      mnpTB(TrayMenuItems(*this))
{
    mnpTB.Images = &utlImageList;
    ConfigureTrayMenuBar(mnpTB.Bar());
    utlTimer.OnTimer = [this] { utlTimerTimer(); };
    utlIcon.OnTimer = [this] { utlIconTimer(); };
    utlTimerEmail.OnTimer = [this] { Mail.TimerCheck(); };
    Mail.AddScreen(*this);
    mnpTB.OnPopup = [this] { mnpTBPopup(); };
    utlTB.SetPopupMenuR(&mnpTB);
    utlTB.OnDblClick = [this](TTBNArea&) { utlTBDblClick(); };
    // The notices are about mail: a click on one shows it.
    utlTB.OnBalloonClick = [this](TTBNArea&) { ShowForm(ihmMailbox); };
    utlTB.SetIcon(TIcon::LoadSmall("MAINICON"));
    utlTB.Loaded();
    ApplyMenuTexts(static_cast<int>(TLanguage::English));
    SetTextApplier(TTextWindow::TrayMenu, [this](TLanguage language) { ApplyMenuTexts(static_cast<int>(language)); });
    FormCreate();
}

TihmMain::~TihmMain()
{
    utlKillWatch.SetActive(false);
    Mail.RemoveScreen(*this);
    SetTextApplier(TTextWindow::TrayMenu, nullptr);
    FormDestroy();
}

void TihmMain::FormCreate()
{
    KillList.Clear();
    if (!LoadKillList(KillList, ihmAppList))
        ShowReadErrorBox(GetKillListFileName());
    LoadPopupRules();
    CountBeforeCheck = 0;
}

void TihmMain::FormDestroy()
{
    // Saved at the end of the session already, with no box.
    if (!SessionEnded && !SaveKillList(KillList))
        ShowWriteErrorFor(kKillListFile);
    if (!SessionEnded)
        SavePopupRules();
    KillList.Clear();
    Mail.Emails.Clear();
}

void TihmMain::utlTimerTimer()
{
    if (ihmAppList && ihmAppList->Visible())
        ihmAppList->RefreshActiveWindows();
    utlKillWatch.Tick();
}

void TihmMain::KillPopupsNow() { utlKillWatch.Sweep(); }

void TihmMain::SetKillerRunning(bool on)
{
    utlTimer.SetEnabled(on);
    // Without the events the killer still sweeps at each tick: the windows list says so.
    const bool events = utlKillWatch.SetActive(on);
    if (ihmAppList)
        ihmAppList->ShowWindowEvents(events);
}

void TihmMain::CountKill()
{
    ++Settings.Counter;
    if (ihmOptions)
        ihmOptions->ShowCounters();
    if (!Settings.SoundOnKill)
        return;
    const std::string sound = Settings.SoundFile;
    if (!sound.empty() && FileExists(sound))
        PlaySoundFile(sound);
}

void TihmMain::PopupActionDone(const TPopupActionEntry& entry)
{
    if (!entry.Refused)
        CountKill();
    if (entry.Repeated)
        return;
    PopupActions.Add(entry);
    if (OnPopupAction)
        OnPopupAction();
}

void TihmMain::LoadPopupRules()
{
    TPopupRuleFile file{TPopupRules(LocaleCompareText, LocaleUpperText), {}};
    popupRulesReadFailed_ = !::LoadPopupRules(file);
    PopupRules = std::move(file.Rules);
    popupRulesUnread_ = std::move(file.Unreadable);
    if (popupRulesReadFailed_) {
        ShowReadErrorBox(GetPopupRulesFileName());
        return;
    }
    if (popupRulesUnread_.empty())
        return;
    std::string lines;
    for (const auto& line : popupRulesUnread_)
        lines += (lines.empty() ? "" : ", ") + std::to_string(line.first);
    MessageDlg(FormatText(MsgPopupRulesUnreadable, {GetPopupRulesFileName(), lines}), TMsgDlgType::Warning);
}

bool TihmMain::WritePopupRules()
{
    // A file that could not be read is the user's to mend; nor is a file made
    // for a user who has no rules.
    if (popupRulesReadFailed_)
        return true;
    if (std::as_const(PopupRules).Items().empty() && popupRulesUnread_.empty() && !FileExists(GetPopupRulesFileName()))
        return true;
    return ::SavePopupRules(PopupRules, popupRulesUnread_);
}

void TihmMain::SavePopupRules()
{
    if (!WritePopupRules())
        ShowWriteErrorFor(kPopupRulesFile);
}
