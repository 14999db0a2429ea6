// Mailbox names on the wire: IMAP4rev1's modified UTF-7 (RFC 3501).
// Printable ASCII stands for itself, "&" is written "&-", and every run of
// other characters is "&", their UTF-16 in base64 with "," for "/" and no
// padding, then "-". Inside the program a name is UTF-8.
#pragma once

#include <string>

// The UTF-8 name of a name as the server sent it. A name in 8-bit bytes
// that are UTF-8 (a server that accepts UTF-8 names sends them so) is taken
// as it is. False for bytes that are neither: a control character, a
// shift that does not end, a base64 run that is not whole UTF-16 code units
// with zero padding bits, a broken surrogate pair.
bool ImapDecodeMailboxName(const std::string& wire, std::string& utf8);

// The name as a command writes it; malformed UTF-8 is written as U+FFFD.
std::string ImapEncodeMailboxName(const std::string& utf8);
