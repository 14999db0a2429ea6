// Which message a copy in the quarantine is of. A deletion the server did
// not take leaves the message there, and the next cycle fetches it again:
// its new copy replaces the one before, so that a message has one copy
// however many cycles try it. The identity is the mailbox (protocol, server,
// port, user and, for IMAP, the folder and its UIDVALIDITY) and the unique
// id the server gives the message there; the names of a message's copies
// share a part made of it, so that they are found without reading a record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TMailBox;

// "pop3://alice%40example.org@mail.example:995/u3": empty without a UIDL, as
// such a message cannot be told from another; each of its copies stays.
std::string QuarantinePop3MessageId(const TMailBox& box, const std::string& uidl);
// "imap://alice@mail.example:993/INBOX;UIDVALIDITY=7/;UID=42"; empty for UID 0.
std::string QuarantineImapMessageId(const TMailBox& box, std::uint32_t uidValidity, std::uint32_t uid);

// The unique part of the names of the message's copies (QuarantineName.h):
// the first 16 hexadecimal digits of the id's MD5; empty for an empty id.
std::string QuarantineMessageUnique(const std::string& messageId);
// The unique part of a copy of that message whose first choice of name was
// taken: the part above, "n" and a counter.
std::string QuarantineMessageUnique(const std::string& messageId, int counter);

// The base names of the files among `fileNames` (copies and records, any
// extension) that are copies of the message whose unique part is `unique`,
// `keep` aside; each once, by name. None for an empty `unique`.
std::vector<std::string> QuarantineOtherCopies(const std::vector<std::string>& fileNames, const std::string& unique,
                                               const std::string& keep);
