// How settings are written as registry texts and read back from them. Every
// value is stored as text: integers in decimal, booleans as "1" and "0".
#pragma once

#include <string>

// Decimal text with a minus sign for negative values and no leading zeros.
std::string EncodeInteger(int value);
// "1" for true, "0" for false.
std::string EncodeBoolean(bool value);

// The value of `text` as a signed 32-bit integer: an optional sign followed by
// decimal digits and nothing else. Empty text, spaces, any other character and
// values outside the 32-bit range give `defaultValue`.
int DecodeInteger(const std::string& text, int defaultValue);
// Read as an integer whose default is 1 or 0; true exactly when it is not 0,
// so "2" and "-1" are true and a word such as "yes" gives the default.
bool DecodeBoolean(const std::string& text, bool defaultValue);

// The section of the mailbox at position `number`, counting from 1: "Mailbox1".
std::string MailboxSectionName(int number);

// How a mailbox's session is protected, as its Security value says.
constexpr int MailboxSecurityNone = 0;      // in clear
constexpr int MailboxSecurityStartTls = 1;  // TLS after STLS
constexpr int MailboxSecurityImplicit = 2;  // TLS from the first byte
// A mailbox's Port value: a port number 1..65535 in decimal, written back
// without sign or leading zeros; anything else gives "110".
std::string DecodeMailboxPort(const std::string& text);
// A mailbox's Security value: 0, 1 or 2; anything else gives 0 (in clear).
int DecodeMailboxSecurity(const std::string& text);
// The port a security mode is usually served on: 995 for TLS from the first
// byte, 110 otherwise.
std::string UsualMailboxPort(int security);
// The port field once the security mode changes from `before` to `after`:
// the new mode's usual port while the field is empty or still holds the old
// mode's usual port; a port the user typed stays.
std::string PortAfterSecurityChange(const std::string& port, int before, int after);
