// The message texts of the allow list and the "Deleted SPAM" window, kept
// in the messages table (unitLanguageMessages.cpp) with the others.
#pragma once

#include <string>

extern std::string MsgSenderAllowed;
extern std::string MsgCopyNotOpened;
