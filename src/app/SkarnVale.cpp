// The program's entry: creates the six windows hidden, loads the settings,
// makes sure only one copy runs, turns the message loop until Quit, then saves
// and tears everything down in a fixed order.
#include <windows.h>

#include "../framework/Application.h"
#include "../framework/Dialogs.h"
#include "../framework/Files.h"
#include "ApplicationTitle.h"
#include "Divers.h"
#include "QuitRequest.h"
#include "StartWithWindows.h"
#include "SystemWindows.h"
#include "ihmMain.h"
#include "unitGlobal.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    TApplication application(ApplicationTitleOf(ExecutablePath()));
    Application = &application;
    {
        TSystemWindows windows;
        ihmMain->LoadSettings();
        if (IsAlreadyRunning("Skarnvale", true, &application)) {
            // A second copy ends here: nothing is saved to the registry.
            MessageDlg(MsgAlreadyRunning, TMsgDlgType::Information);
        } else {
            // The copy that runs is the one to start at the next sign-in.
            CorrectStartupEntry();
            // Copies past the user's days or beyond the user's cap go at
            // start-up, not only after a cycle: only now that the settings
            // are loaded, never by the defaults, which would remove copies
            // the user keeps longer (or, with no days, for good).
            ihmMain->Mail.PruneQuarantine();
            ihmMain->utlTB.SetEnabled(true);
            ihmMain->Mail.QuitRequested = false;
            TQuitRequestWindow quitRequest([] { ihmMain->mnpTbQuitClick(); });
            application.OnEndSession = [] { ihmMain->EndSession(); };
            application.Run(ihmMain->Mail.QuitRequested);
            ihmMain->utlKillWatch.SetActive(false);  // nothing is closed while the program ends
            ihmMain->utlTB.SetEnabled(false);
            // At the end of the session all was saved already; writing again
            // could be cut off half-way by Windows ending the process.
            if (!ihmMain->SessionEnded)
                ihmMain->SaveSettings();
        }
    }
    Application = nullptr;
    return 0;
}
