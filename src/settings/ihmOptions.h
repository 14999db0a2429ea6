// The options dialog. It holds the live settings and the mailbox list; every
// setting is read and written through an accessor named after it.
#pragma once

#include <string>

#include "../framework/Form.h"
#include "../model/ClassesPerso.h"

class TihmOptions : public TForm {
public:
    TihmOptions();

    TMyCollection Mailboxes;  // TMailBox items in configuration order

    void LoadSettings();
    void SaveSettings();

    bool KillerActive() const { return killerActive_; }
    void SetKillerActive(bool value);
    int Interval() const { return interval_; }
    void SetInterval(int value);
    int Counter() const { return counter_; }
    void SetCounter(int value) { counter_ = value; }
    bool SoundOnKill() const { return soundOnKill_; }
    void SetSoundOnKill(bool value) { soundOnKill_ = value; }
    std::string SoundFile() const { return soundFile_; }
    void SetSoundFile(const std::string& value) { soundFile_ = value; }

private:
    bool killerActive_ = true;
    int interval_ = 500;
    int counter_ = 0;
    bool soundOnKill_ = false;
    std::string soundFile_;
};

extern TihmOptions* ihmOptions;
