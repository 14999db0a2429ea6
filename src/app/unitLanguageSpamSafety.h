// The message texts of the spam cycle's safety, a table of the same rows as
// the messages table (unitLanguage.h), and the texts as the mail watch
// reads them.
#pragma once

#include <string>
#include <vector>

#include "../mail/SpamSafetyTexts.h"
#include "unitLanguage.h"

extern std::string MsgSpamGuardKept;
extern std::string MsgSpamGuardAsk;
extern std::string MsgSpamGuardLine;
extern std::string MsgSpamDeletedWhy;
extern std::string MsgSpamSenderList;
extern std::string MsgSpamSubjectList;
extern std::string MsgCopyNotSaved;
extern std::string MsgCopyCut;
extern std::string MsgCopySize;
extern std::string MsgCopyNotWritten;
extern std::string MsgSpamMovedWhy;
extern std::string MsgSpamCopiedWhy;
extern std::string MsgSpamCopiedMarkedWhy;
extern std::string MsgSpamMarkedWhy;
extern std::string MsgCopyTooLarge;

const std::vector<TMessageRow>& SpamSafetyMessageTexts();
TSpamSafetyTexts SpamSafetyTextsOfMessages();
