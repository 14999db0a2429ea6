#include "unitGlobal.h"
#include "unitLanguageImapErrors.h"
#include "unitGlobalQuarantine.h"

#include "unitLanguage.h"
#include "unitLanguageSpamSafety.h"

// Each text starts with its English row of the messages table, so the wording
// lives in the table alone.
std::string VersionText = InitialMessageText(&VersionText);
std::string MsgReadError = InitialMessageText(&MsgReadError);
std::string MsgWriteError = InitialMessageText(&MsgWriteError);
std::string MsgSettingsWriteError = InitialMessageText(&MsgSettingsWriteError);
std::string MsgNotGoodIdea = InitialMessageText(&MsgNotGoodIdea);
std::string MsgAlreadyRunning = InitialMessageText(&MsgAlreadyRunning);
std::string MsgDeleteError = InitialMessageText(&MsgDeleteError);
std::string MsgLoadError = InitialMessageText(&MsgLoadError);
std::string MsgConnectError = InitialMessageText(&MsgConnectError);
std::string MsgNoMessageOn = InitialMessageText(&MsgNoMessageOn);
std::string MsgMessagesOn = InitialMessageText(&MsgMessagesOn);
std::string MsgSubjectOnList = InitialMessageText(&MsgSubjectOnList);
std::string MsgSenderOnList = InitialMessageText(&MsgSenderOnList);
std::string MsgSenderAllowed = InitialMessageText(&MsgSenderAllowed);
std::string MsgCopyNotOpened = InitialMessageText(&MsgCopyNotOpened);
std::string MsgMessageDeleted = InitialMessageText(&MsgMessageDeleted);
std::string MsgMessageChanged = InitialMessageText(&MsgMessageChanged);
std::string MsgConnectionLost = InitialMessageText(&MsgConnectionLost);
std::string MsgSecurityUnknown = InitialMessageText(&MsgSecurityUnknown);
std::string MsgOAuthSignInExpired = InitialMessageText(&MsgOAuthSignInExpired);
std::string MsgPasswordUnreadable = InitialMessageText(&MsgPasswordUnreadable);
std::string MsgSignedIn = InitialMessageText(&MsgSignedIn);
std::string MsgNotSignedIn = InitialMessageText(&MsgNotSignedIn);
std::string MsgSignInExpired = InitialMessageText(&MsgSignInExpired);
std::string MsgRevocationUnknown = InitialMessageText(&MsgRevocationUnknown);
std::string MsgMessagesFound = InitialMessageText(&MsgMessagesFound);
std::string MsgOneMessageFound = InitialMessageText(&MsgOneMessageFound);
std::string MsgNoMessageFound = InitialMessageText(&MsgNoMessageFound);
std::string MsgMailboxesInError = InitialMessageText(&MsgMailboxesInError);
std::string MsgCheckInProgress = InitialMessageText(&MsgCheckInProgress);
std::string MsgCheckStart = InitialMessageText(&MsgCheckStart);
std::string MsgCheckEnd = InitialMessageText(&MsgCheckEnd);
std::string MsgSpamStart = InitialMessageText(&MsgSpamStart);
std::string MsgSpamEnd = InitialMessageText(&MsgSpamEnd);
std::string MsgBytes = InitialMessageText(&MsgBytes);
std::string MsgMailboxes = InitialMessageText(&MsgMailboxes);
std::string MsgSpamDeleted = InitialMessageText(&MsgSpamDeleted);
std::string MsgSubjectEdition = InitialMessageText(&MsgSubjectEdition);
std::string MsgNewSubject = InitialMessageText(&MsgNewSubject);
std::string MsgNewMessages = InitialMessageText(&MsgNewMessages);
std::string MsgOneNewMessage = InitialMessageText(&MsgOneNewMessage);
std::string MsgOneSpamDeleted = InitialMessageText(&MsgOneSpamDeleted);
std::string MsgMoreMessages = InitialMessageText(&MsgMoreMessages);
std::string MsgMailboxRemoved = InitialMessageText(&MsgMailboxRemoved);
std::string MsgIdleLost = InitialMessageText(&MsgIdleLost);
std::string MsgIdleBack = InitialMessageText(&MsgIdleBack);
std::string MsgIdleNewMail = InitialMessageText(&MsgIdleNewMail);

TMailNoticeTexts NoticeTextsOfMessages()
{
    return {MsgNewMessages, MsgOneNewMessage, MsgSpamDeleted, MsgOneSpamDeleted, MsgMoreMessages};
}

TMailTexts MailTextsOfMessages()
{
    return {MsgCheckStart,
            MsgCheckEnd,
            MsgConnectError,
            MsgLoadError,
            MsgDeleteError,
            MsgSecurityUnknown,
            MsgOAuthSignInExpired,
            MsgPasswordUnreadable,
            MsgRevocationUnknown,
            MsgConnectionLost,
            MsgNoMessageOn,
            MsgMessagesOn,
            MsgBytes,
            MsgMessageChanged,
            MsgMessageDeleted,
            MsgSpamStart,
            MsgSpamEnd,
            MsgSpamDeleted,
            MsgCheckInProgress,
            MsgMessagesFound,
            MsgOneMessageFound,
            MsgNoMessageFound,
            MsgMailboxesInError,
            MsgMailboxRemoved,
            SpamSafetyTextsOfMessages(),
            ImapErrorTextsOfRows(),
            MsgIdleLost,
            MsgIdleBack,
            MsgIdleNewMail};
}
