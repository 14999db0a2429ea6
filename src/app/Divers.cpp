#include "Divers.h"

#include <windows.h>
#include <mmsystem.h>

#include "../framework/Application.h"
#include "../framework/Files.h"
#include "../framework/WideText.h"

bool IsAlreadyRunning(const std::string& name, bool showExisting, TApplication* ownApp)
{
    HANDLE semaphore = CreateSemaphoreW(nullptr, 0, 1, Widen(name).c_str());
    if (!semaphore || GetLastError() != ERROR_ALREADY_EXISTS)
        return false;  // the first copy keeps its handle open
    CloseHandle(semaphore);
    if (showExisting) {
        HWND own = ownApp ? ownApp->Handle() : nullptr;
        if (ownApp)
            ownApp->SetTitle("ZZZ");
        HWND found = nullptr;
        do
            found = FindWindowExW(nullptr, found, Widen(TApplication::ClassName).c_str(), Widen(name).c_str());
        while (found && found == own);
        if (found) {
            ShowWindow(found, SW_SHOWNORMAL);
            BringWindowToTop(found);
        }
    }
    return true;
}

bool HasWaveDevice() { return waveOutGetNumDevs() > 0; }

bool PlaySoundFile(const std::string& fileName)
{
    return PlaySoundFile(fileName, [](const char* name, unsigned flags) { sndPlaySoundW(Widen(name).c_str(), flags); });
}

bool PlaySoundFile(const std::string& fileName, const TWavePlayer& player)
{
    if (!FileExists(fileName))
        return false;
    // Asynchronous alone: a new sound cuts off the one playing.
    player(fileName.c_str(), SND_ASYNC);
    return true;
}
