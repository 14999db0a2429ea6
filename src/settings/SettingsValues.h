// What the settings share beyond their table: the defaults that the getters,
// the fields' change handlers and the main form's timers fall back on, the
// names of the mailbox sections and the reading of a mailbox's port and security.
#pragma once

#include <string>

#include "../framework/RegistryValues.h"

constexpr int DefaultInterval = 500;     // milliseconds between kill ticks
constexpr int DefaultIntervalEmail = 10; // minutes between mail checks
constexpr int DefaultEmailLines = 100;   // body lines fetched per message

// The section of the mailbox at position `number`, counting from 1: "Mailbox1".
std::string MailboxSectionName(int number);

// How a mailbox's session is protected, as its Security value says.
constexpr int MailboxSecurityNone = 0;      // in clear
constexpr int MailboxSecurityStartTls = 1;  // TLS after STLS
constexpr int MailboxSecurityImplicit = 2;  // TLS from the first byte
// A stored value that names no mode (damaged, or written by a later
// version): the mailbox is not reached until the user chooses one.
constexpr int MailboxSecurityUnknown = -1;
// How a mailbox logs in, as its Auth value says: "1" is OAuth 2.0; "0", a
// section without the value and any other text are the password, as before.
constexpr int MailboxAuthPassword = 0;
constexpr int MailboxAuthOAuth = 1;
int DecodeMailboxAuth(const std::string& text);
// What a mailbox's server speaks, as its Protocol value says: "1" is IMAP;
// "0", a section without the value (stored before IMAP) and any other text
// are POP3, as before.
constexpr int MailboxProtocolPop3 = 0;
constexpr int MailboxProtocolImap = 1;
int DecodeMailboxProtocol(const std::string& text);
// A mailbox's Folder value: the IMAP folder watched; empty gives "INBOX".
std::string DecodeMailboxFolder(const std::string& text);
// A mailbox's Port value: a port number 1..65535 in decimal, written back
// without sign or leading zeros; anything else gives "110".
std::string DecodeMailboxPort(const std::string& text);
// A mailbox's Security value: "0", "1" or "2"; any other text gives
// MailboxSecurityUnknown, never "in clear". (A section without the value
// reads its default, "0": mailboxes stored before TLS are in clear.)
int DecodeMailboxSecurity(const std::string& text);
// The port a security mode is usually served on: for POP3 995 for TLS from
// the first byte, 110 otherwise; for IMAP 993 and 143.
std::string UsualMailboxPort(int security, int protocol = MailboxProtocolPop3);
// The port field once the security mode changes from `before` to `after`:
// the new mode's usual port while the field is empty or still holds the old
// mode's usual port; a port the user typed stays.
std::string PortAfterSecurityChange(const std::string& port, int before, int after,
                                    int protocol = MailboxProtocolPop3);
// The same when the protocol changes from `before` to `after`.
std::string PortAfterProtocolChange(const std::string& port, int security, int before, int after);
