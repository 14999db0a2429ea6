// The tray controller at the end of the Windows session: a tray program is
// seldom quit, it is ended by the sign-out, and Windows may end the process as
// soon as the application window has answered. Whatever cannot be written now
// is lost either way, so no error box holds the sign-out up.
#include "../model/unitProcessKillFile.h"
#include "ihmMain.h"

void TihmMain::EndSession()
{
    if (SessionEnded)
        return;
    utlKillWatch.SetActive(false);
    utlTimer.SetEnabled(false);
    utlTimerEmail.SetEnabled(false);
    utlIcon.SetEnabled(false);
    // The check, deletion or spam cycle in hand unwinds once this returns.
    Mail.RequestQuit();
    Store.Save(Settings);
    SaveKillList(KillList);
    WritePopupRules();
    SessionEnded = true;
    utlTB.SetEnabled(false);
}
