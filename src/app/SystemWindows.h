// The six windows of the system, created hidden in their fixed order, each
// reachable through its global reference, and destroyed in the shutdown order;
// before them the settings and the mail watch, which the windows are given.
#pragma once

#include <memory>

#include "../mail/MailWatch.h"
#include "../settings/Settings.h"
#include "unitGlobal.h"

class TihmAppList;
class TihmMain;
class TihmOptions;
class TihmAbout;
class TihmMailbox;
class TihmVideo;

class TSystemWindows {
public:
    TSystemWindows();
    ~TSystemWindows();
    TSystemWindows(const TSystemWindows&) = delete;
    TSystemWindows& operator=(const TSystemWindows&) = delete;

    TSettings& Settings() { return settings_; }
    TMailWatch& MailWatch() { return mail_; }

private:
    TSettings settings_;
    TMailWatch mail_{settings_, MailTextsOfMessages()};
    std::unique_ptr<TihmAppList> appList_;
    std::unique_ptr<TihmMain> main_;
    std::unique_ptr<TihmOptions> options_;
    std::unique_ptr<TihmAbout> about_;
    std::unique_ptr<TihmMailbox> mailbox_;
    std::unique_ptr<TihmVideo> video_;
};
