#include "ihmOptions.h"

#include "../app/ihmMain.h"
#include "../framework/Locale.h"

TihmOptions* ihmOptions = nullptr;

namespace {
TFormOptions OptionsFormOptions()
{
    TFormOptions options;
    options.caption = "Options";
    options.clientWidth = 355;
    options.clientHeight = 185;
    options.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    options.exStyle = WS_EX_TOOLWINDOW;
    options.fontName = "Arial";
    options.fontHeight = -11;
    return options;
}
}  // namespace

TihmOptions::TihmOptions() : TForm(OptionsFormOptions()), Mailboxes(LocaleCompareText) {}

// Applies the current settings to the timers they drive.
void TihmOptions::LoadSettings()
{
    SetInterval(interval_);
    SetKillerActive(killerActive_);
}

void TihmOptions::SaveSettings() {}

void TihmOptions::SetKillerActive(bool value)
{
    killerActive_ = value;
    if (ihmMain)
        ihmMain->utlTimer.SetEnabled(value);
}

void TihmOptions::SetInterval(int value)
{
    interval_ = value;
    if (ihmMain)
        ihmMain->utlTimer.SetInterval(value > 0 ? static_cast<UINT>(value) : 1);
}
