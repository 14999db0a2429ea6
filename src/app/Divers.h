// The single-instance guard and the wave sound.
#pragma once

#include <string>

class TApplication;

// Creates the named semaphore of the first copy (kept open for the process's
// life). When it existed already, answers true and, with showExisting, shows
// and raises the other copy's application window, found by class
// "TApplication" and `name` with case ignored; `ownApp` is retitled "ZZZ" so
// the search never finds this copy itself.
bool IsAlreadyRunning(const std::string& name, bool showExisting, TApplication* ownApp);

// Starts playing a wave file and returns at once, cutting off any sound playing.
void PlaySoundFile(const std::string& fileName);
