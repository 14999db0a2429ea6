// The single-instance guard and the wave sounds.
#pragma once

#include <functional>
#include <string>

class TApplication;

// Creates the named semaphore of the first copy (kept open for the process's
// life). When it existed already, answers true and, with showExisting, shows
// and raises the other copy's application window, found by class
// "TApplication" and `name` with case ignored; `ownApp` is retitled "ZZZ" so
// the search never finds this copy itself.
bool IsAlreadyRunning(const std::string& name, bool showExisting, TApplication* ownApp);

// True when the platform has at least one waveform output device.
bool HasWaveDevice();

// The platform's simple wave player: a file name and its flags.
using TWavePlayer = std::function<void(const char* fileName, unsigned flags)>;

// When the file exists, starts playing it and returns at once, cutting off a
// sound still playing; a missing file plays nothing, not even the system's
// default sound. Answers whether the file was handed to the player.
bool PlaySoundFile(const std::string& fileName);
bool PlaySoundFile(const std::string& fileName, const TWavePlayer& player);
