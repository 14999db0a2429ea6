// Message texts of the system, from which the other modules build their
// messages (model/FormatText.h fills their placeholders). Each text holds the
// English wording from program start until a language table is applied, so a
// message needed before the settings are loaded is never empty.
#pragma once

#include <string>

#include "../mail/MailNotice.h"
#include "../mail/MailTexts.h"
#include "../text/FormatText.h"

extern std::string VersionText;
extern std::string MsgReadError;
extern std::string MsgWriteError;
extern std::string MsgSettingsWriteError;
extern std::string MsgNotGoodIdea;
extern std::string MsgAlreadyRunning;
extern std::string MsgDeleteError;
extern std::string MsgLoadError;
extern std::string MsgConnectError;
extern std::string MsgNoMessageOn;
extern std::string MsgMessagesOn;
extern std::string MsgSubjectOnList;
extern std::string MsgSenderOnList;
extern std::string MsgMessageDeleted;
extern std::string MsgMessageChanged;
extern std::string MsgConnectionLost;
extern std::string MsgSecurityUnknown;
extern std::string MsgOAuthSignInExpired;
extern std::string MsgPasswordUnreadable;
extern std::string MsgSignedIn;
extern std::string MsgNotSignedIn;
extern std::string MsgSignInExpired;
extern std::string MsgRevocationUnknown;
extern std::string MsgMessagesFound;
extern std::string MsgOneMessageFound;
extern std::string MsgNoMessageFound;
extern std::string MsgMailboxesInError;
extern std::string MsgCheckInProgress;
extern std::string MsgCheckStart;
extern std::string MsgCheckEnd;
extern std::string MsgSpamStart;
extern std::string MsgSpamEnd;
extern std::string MsgBytes;
extern std::string MsgMailboxes;
extern std::string MsgSpamDeleted;
extern std::string MsgSubjectEdition;
extern std::string MsgNewSubject;
// The tray icon's message on new mail and on deleted spam.
extern std::string MsgNewMessages;
extern std::string MsgOneNewMessage;
extern std::string MsgOneSpamDeleted;
extern std::string MsgMoreMessages;
// Why a deletion on a mailbox removed since the check was not tried.
extern std::string MsgMailboxRemoved;
// An IMAP mailbox's wait for new mail lost, and working again.
extern std::string MsgIdleLost;
extern std::string MsgIdleBack;
extern std::string MsgIdleNewMail;

// The mail watch's texts: the messages above that its lines are made of.
TMailTexts MailTextsOfMessages();
// The texts of the tray icon's notices, the same way.
TMailNoticeTexts NoticeTextsOfMessages();
