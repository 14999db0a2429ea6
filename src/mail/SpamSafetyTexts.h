// The texts of the spam cycle's safety: why a message was deleted, why one
// was kept, and the guard's line. Like TMailTexts, each names a message text
// the program keeps in the language of the interface.
#pragma once

#include <string>

struct TSpamSafetyTexts {
    const std::string& SpamGuardKept;   // marked, held, mailbox
    const std::string& SpamGuardAsk;    // the lines of SpamGuardLine, one per mailbox
    const std::string& SpamGuardLine;   // marked, held, mailbox
    const std::string& SpamDeletedWhy;  // sender, subject, list, entry
    const std::string& SenderList;
    const std::string& SubjectList;
    const std::string& CopyNotSaved;    // number, mailbox, reason
    const std::string& CopyCut;
    const std::string& CopySize;        // bytes received, bytes announced
    const std::string& CopyNotWritten;  // file
    const std::string& SpamMovedWhy;    // folder, sender, subject, list, entry
    // Where an IMAP server has no folder for spam: sender, subject, list, entry.
    const std::string& SpamCopiedWhy;        // copied here, removed from the server
    const std::string& SpamCopiedMarkedWhy;  // copied here, marked \Deleted (no UIDPLUS)
    const std::string& SpamMarkedWhy;        // copies off, marked \Deleted (no UIDPLUS)
    const std::string& CopyTooLarge;         // a reason of CopyNotSaved
};
