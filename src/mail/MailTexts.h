// The texts of the mail watch's log, error and status lines. Each names one
// message text that the program keeps in the language of the interface; the
// watch reads it when it writes a line, so a change of language is in the
// next line at once.
#pragma once

#include <string>
#include <vector>

#include "SpamSafetyTexts.h"

// One start of the IMAP session's English errors and its text as shown.
struct TImapErrorText {
    const char* English;
    const std::string* Shown;
};

struct TMailTexts {
    const std::string& CheckStart;
    const std::string& CheckEnd;
    const std::string& ConnectError;
    const std::string& LoadError;
    const std::string& DeleteError;
    const std::string& SecurityUnknown;
    const std::string& OAuthSignInExpired;
    const std::string& PasswordUnreadable;
    const std::string& RevocationUnknown;
    const std::string& ConnectionLost;
    const std::string& NoMessageOn;
    const std::string& MessagesOn;
    const std::string& Bytes;
    const std::string& MessageChanged;
    const std::string& MessageDeleted;
    const std::string& SpamStart;
    const std::string& SpamEnd;
    const std::string& SpamDeleted;
    const std::string& CheckInProgress;
    const std::string& MessagesFound;
    const std::string& OneMessageFound;
    const std::string& NoMessageFound;
    const std::string& MailboxesInError;
    // Why a message of a mailbox removed from the options since the check is not deleted.
    const std::string& MailboxRemoved;
    // The lines of the spam cycle's safety: the copies, the reasons, the guard.
    const TSpamSafetyTexts Safety;
    // The IMAP session's errors, the longer starts first.
    const std::vector<TImapErrorText> ImapErrors;
    // The wait for new mail of an IMAP mailbox lost (its reason), and back.
    const std::string& IdleLost;
    const std::string& IdleBack;
    // The new messages a mailbox's wait brought, read from it alone.
    const std::string& IdleNewMail;
};
