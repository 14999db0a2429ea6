// Winsock helpers that need no system call: the English text of a Winsock
// error code and the test for a dotted IPv4 address.
#pragma once

#include <string>

// The English text of a Winsock error code; "Not a WinSock error" for a code
// that is not one of the known ones.
std::string WSocketErrorText(int code);

// True when the text is a dotted IPv4 address: blanks, four decimal parts of
// at most 255 separated by single dots, blanks. Leading zeros are allowed.
// Used to decide whether a host needs a name lookup.
bool WSocketIsDottedAddress(const std::string& text);
