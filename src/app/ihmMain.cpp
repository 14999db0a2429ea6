#include "ihmMain.h"

#include "../forms/ihmAppList.h"
#include "../forms/ihmMailbox.h"
#include "../framework/Dpi.h"
#include "../framework/Files.h"
#include "../framework/Icon.h"
#include "../framework/Locale.h"
#include "../model/unitProcessKillFile.h"
#include "../settings/SettingsValues.h"
#include "../settings/ihmOptions.h"
#include "Divers.h"
#include "FileErrorBox.h"
#include "unitLanguage.h"

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
      utlTimer(*this, DefaultInterval, true),
      utlTimerEmail(*this, DefaultIntervalEmail * 60000, false),
      utlIcon(*this, 500, false),
      utlKillWatch(*this, KillList, [this] { CountKill(); }),
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
    CountBeforeCheck = 0;
    // Copies past their days or beyond the cap go at start-up, not only after a cycle.
    Mail.PruneQuarantine();
}

void TihmMain::FormDestroy()
{
    // Saved at the end of the session already, with no box.
    if (!SessionEnded && !SaveKillList(KillList))
        ShowWriteErrorFor(kKillListFile);
    KillList.Clear();
    Mail.Emails.Clear();
}

void TihmMain::utlTimerTimer()
{
    if (ihmAppList && ihmAppList->Visible())
        ihmAppList->RefreshActiveWindows();
    KillPopupsNow();
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
