// The program's entry: creates the six windows hidden, loads the settings,
// makes sure only one copy runs, turns the message loop until Quit, then saves
// and tears everything down in a fixed order.
#include <windows.h>

#include <memory>

#include "../forms/ihmAbout.h"
#include "../forms/ihmAppList.h"
#include "../forms/ihmMailbox.h"
#include "../forms/ihmVideo.h"
#include "../framework/Application.h"
#include "../framework/Dialogs.h"
#include "../framework/Files.h"
#include "../settings/ihmOptions.h"
#include "ApplicationTitle.h"
#include "Divers.h"
#include "ihmMain.h"
#include "unitGlobal.h"

namespace {
template <class TFormClass>
std::unique_ptr<TFormClass> CreateForm(TFormClass*& globalReference)
{
    auto form = std::make_unique<TFormClass>();
    globalReference = form.get();
    return form;
}

template <class TFormClass>
void DestroyForm(std::unique_ptr<TFormClass>& form, TFormClass*& globalReference)
{
    form.reset();
    globalReference = nullptr;
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    TApplication application(ApplicationTitleOf(ExecutablePath()));
    Application = &application;

    auto appList = CreateForm(ihmAppList);
    auto main = CreateForm(ihmMain);
    auto options = CreateForm(ihmOptions);
    auto about = CreateForm(ihmAbout);
    auto mailbox = CreateForm(ihmMailbox);
    auto video = CreateForm(ihmVideo);

    ihmOptions->LoadSettings();
    if (IsAlreadyRunning("Skarnvale", true, &application)) {
        MessageDlg(MsgAlreadyRunning, TMsgDlgType::Information);
    } else {
        ihmMain->utlTB.SetEnabled(true);
        ihmMain->QuitRequested = false;
        application.Run(ihmMain->QuitRequested);
        ihmMain->utlTB.SetEnabled(false);
        ihmOptions->SaveSettings();
    }

    DestroyForm(options, ihmOptions);
    DestroyForm(about, ihmAbout);
    DestroyForm(appList, ihmAppList);
    DestroyForm(mailbox, ihmMailbox);
    DestroyForm(video, ihmVideo);
    DestroyForm(main, ihmMain);
    Application = nullptr;
    return 0;
}
