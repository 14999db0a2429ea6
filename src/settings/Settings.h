// The settings as data: one field per registry value of the settings table,
// the configured mailboxes and the two spam lists' texts. The table binds to
// these fields, loading and saving go through them, and the windows and
// timers are brought into line from them; no control holds a setting.
#pragma once

#include <string>

#include "../mail/QuarantineRetention.h"
#include "../model/ClassesPerso.h"
#include "SettingsValues.h"

// Where the mailboxes and video windows open when no place was saved, and the
// mailboxes window's size: its three columns and a few rows of the grid above
// a few lines of the log.
constexpr int DefaultWindowLeft = 20;
constexpr int DefaultWindowTop = 20;
constexpr int DefaultMailboxesWidth = 560;
constexpr int DefaultMailboxesHeight = 400;
constexpr int DefaultMailboxesGrid = 100;
constexpr int DefaultMailboxesColumns[3] = {60, 150, 300};

struct TSettings {
    TSettings() = default;
    TSettings(const TSettings&) = delete;
    TSettings& operator=(const TSettings&) = delete;

    // General
    int ConfigDblClick = 0;
    bool ListStayOnTop = false;
    bool AddressIp = false;
    bool French = false;
    bool TaskPopup = true;
    std::string EmailProgram;
    // Popup
    bool KillerActive = true;
    int Interval = DefaultInterval;
    bool SoundOnKill = false;
    std::string SoundFile;
    int Counter = 0;
    // Email
    bool MailNotification = false;
    int IntervalEmail = DefaultIntervalEmail;
    bool SoundOnEmail = false;
    std::string SoundFileEmail;
    std::string VideoFileEmail;
    bool NoBorderVideo = false;
    int EmailLines = DefaultEmailLines;
    // New mail and deleted spam also told by a message at the tray icon.
    bool BalloonNotification = true;
    // Spam
    bool SpamKillerActive = true;
    bool SoundOnKillSpam = false;
    std::string SoundFileSpam;
    int CounterSpam = 0;
    // The copies of deleted spam: kept this many days (0: no copy is made)
    // and under this many megabytes, the oldest removed first.
    int SpamKeepDays = QuarantineDefaultDays;
    int SpamCopiesCapMB = static_cast<int>(QuarantineDefaultCapBytes / (1024 * 1024));
    // TMailBox items in configuration order.
    TMyCollection Mailboxes;
    // The two spam lists as their fields show them, one entry per line.
    std::string SpamAddresses;
    std::string SpamSubjects;
    // The allow list as its field shows it: senders whose messages are never spam.
    std::string SpamAllowed;
    // Window geometry
    int VideoTop = DefaultWindowTop;
    int VideoLeft = DefaultWindowLeft;
    int MailboxesTop = DefaultWindowTop;
    int MailboxesLeft = DefaultWindowLeft;
    int MailboxesWidth = DefaultMailboxesWidth;
    int MailboxesHeight = DefaultMailboxesHeight;
    bool MailboxesHeader = false;
    int MailboxesGrid = DefaultMailboxesGrid;
    int MailboxesCol1 = DefaultMailboxesColumns[0];
    int MailboxesCol2 = DefaultMailboxesColumns[1];
    int MailboxesCol3 = DefaultMailboxesColumns[2];
};
