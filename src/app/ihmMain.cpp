#include "ihmMain.h"

#include "../forms/ihmAppList.h"
#include "../framework/Files.h"
#include "../framework/Locale.h"
#include "../model/unitProcessKillFile.h"
#include "../model/unitProcessWindows.h"
#include "../settings/ihmOptions.h"
#include "Divers.h"

TihmMain* ihmMain = nullptr;

namespace {
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

TihmMain::TihmMain()
    : TForm(MainFormOptions()), KillList(LocaleCompareText), Emails(LocaleCompareText), utlTimer(*this, 500, true)
{
    utlTimer.OnTimer = [this] { utlTimerTimer(); };
    FormCreate();
}

TihmMain::~TihmMain() { FormDestroy(); }

void TihmMain::FormCreate()
{
    LoadKillList(KillList, ihmAppList);
    Emails.SetDuplicates(TDuplicates::Accept);
    Emails.SetSorted(true);
    CountBeforeCheck = 0;
}

void TihmMain::FormDestroy()
{
    SaveKillList(KillList);
    KillList.Clear();
    Emails.Clear();
}

void TihmMain::utlTimerTimer()
{
    KillPopups(KillList, [this] { CountKill(); });
}

void TihmMain::CountKill()
{
    if (!ihmOptions)
        return;
    ihmOptions->SetCounter(ihmOptions->Counter() + 1);
    if (!ihmOptions->SoundOnKill())
        return;
    const std::string sound = ihmOptions->SoundFile();
    if (!sound.empty() && FileExists(sound))
        PlaySoundFile(sound);
}
