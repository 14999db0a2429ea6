// What the mail watch tells the screen: the narrow interface that the
// mailboxes window and the tray controller implement, each for its part.
// The watch never reaches into a window; a window never holds its state.
#pragma once

#include <string>
#include <vector>

#include "MailNotice.h"

class IMailScreen {
public:
    virtual ~IMailScreen() = default;
    // A line of the mail log, and the log emptied.
    virtual void MailLogLine(const std::string&) {}
    virtual void MailLogCleared() {}
    // A check has begun: the emails behind the rows are replaced.
    virtual void EmailsCleared() {}
    // The emails are those of the last check or deletion now.
    virtual void EmailsChanged() {}
    // The status the user reads: "3 messages found (hh:nn)", or the check in progress.
    virtual void MailStatusChanged(const std::string&) {}
    // A session with a server begins (working), or the work ended (idle).
    virtual void MailActivity(bool) {}
    // The timer's check found new mail; false ends that check's tick there.
    // `fresh` names the messages not waiting before that the spam cycle,
    // when on, keeps (it may be empty: fewer messages, or only spam).
    virtual bool NewMailArrived(const std::vector<TMailSummary>& /*fresh*/) { return true; }
    // A message the user's spam lists mark was removed from its server.
    virtual void SpamDeleted() {}
    // The timer's spam cycle removed these messages (at least one).
    virtual void SpamCycleDeleted(const std::vector<TMailSummary>& /*deleted*/) {}
    // The guard kept a whole mailbox of a timer's cycle: the line says why.
    virtual void SpamGuardKept(const std::string& /*line*/) {}
    // A value of the settings' mailbox of this Id changed while the program
    // runs (a refresh token the provider renewed).
    virtual void MailboxChanged(int /*id*/) {}
};
