// Message texts of the system, from which the other modules build their
// messages, and the printf-like formatting that fills them. Each text holds the
// English wording from program start until a language table is applied, so a
// message needed before the settings are loaded is never empty.
#pragma once

#include <initializer_list>
#include <string>

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

// One value for a placeholder of a message: a text or an integer.
class TFormatArg {
public:
    TFormatArg(const std::string& text) : text_(text) {}
    TFormatArg(const char* text) : text_(text ? text : "") {}
    TFormatArg(int number) : text_(std::to_string(number)), isNumber_(true) {}

    const std::string& Text() const { return text_; }
    bool IsNumber() const { return isNumber_; }

private:
    std::string text_;
    bool isNumber_ = false;
};

// Fills the "%s" and "%d" placeholders of `format` with `arguments`, one after
// the other in the order they stand; "%%" gives one "%". An argument goes in as
// it is and is never read as a format, so user data with "%" in it is safe. A
// placeholder left without an argument is dropped, and any other "%" sequence
// is kept as written, so a faulty table row can never read beyond its
// arguments.
std::string FormatText(const std::string& format, std::initializer_list<TFormatArg> arguments);

// Puts `argument` in place of the "%s" of a message that takes one text.
std::string FormatText(const std::string& format, const std::string& argument);
