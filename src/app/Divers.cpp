#include "Divers.h"

#include <windows.h>
#include <mmsystem.h>

#include "../framework/Application.h"

bool IsAlreadyRunning(const std::string& name, bool showExisting, TApplication* ownApp)
{
    HANDLE semaphore = CreateSemaphoreA(nullptr, 0, 1, name.c_str());
    if (!semaphore || GetLastError() != ERROR_ALREADY_EXISTS)
        return false;  // the first copy keeps its handle open
    CloseHandle(semaphore);
    if (showExisting) {
        HWND own = ownApp ? ownApp->Handle() : nullptr;
        if (ownApp)
            ownApp->SetTitle("ZZZ");
        HWND found = nullptr;
        do
            found = FindWindowExA(nullptr, found, TApplication::ClassName, name.c_str());
        while (found && found == own);
        if (found) {
            ShowWindow(found, SW_SHOWNORMAL);
            BringWindowToTop(found);
        }
    }
    return true;
}

void PlaySoundFile(const std::string& fileName)
{
    sndPlaySoundA(fileName.c_str(), SND_ASYNC | SND_NODEFAULT);
}
