// The main form: never shown, it owns the kill list, the emails and the timers
// that drive the system.
#pragma once

#include "../framework/Form.h"
#include "../framework/Timer.h"
#include "../model/ClassesPerso.h"
#include "../model/unitProcessKillList.h"

class TihmMain : public TForm {
public:
    TihmMain();
    ~TihmMain() override;

    bool QuitRequested = false;
    TWindowList KillList;
    TMyCollection Emails;
    int CountBeforeCheck = 0;

    TTimer utlTimer;

    void utlTimerTimer();
    // One kill: count it and announce it when asked.
    void CountKill();

private:
    void FormCreate();
    void FormDestroy();
};

extern TihmMain* ihmMain;
