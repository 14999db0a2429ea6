// What the files of the mail watch's IMAP side share: the name an error
// line gives the step a session stopped in, and the error of a folder whose
// UIDs no longer mean what the check read.
#pragma once

#include "../imap/ImapConversation.h"

// The step as the server would know it: "LOGIN", "UID FETCH", "UID MOVE".
const char* ImapStepName(TImapStep step);

extern const char ImapUidValidityChangedText[];
