// The mailboxes a LIST answers, and the one spam goes to.
#pragma once

#include <string>
#include <vector>

#include "ImapValue.h"

struct TImapMailbox {
    std::vector<std::string> Flags;  // as sent: "\Junk", "\Noselect", "\HasNoChildren"
    char Delimiter = '\0';           // the hierarchy delimiter, '\0' for a flat namespace (NIL)
    std::string WireName;            // as sent, for the commands that name it
    std::string Name;                // in UTF-8, for people

    bool HasFlag(const std::string& flag) const;  // any case
    // A mailbox that exists and can hold messages: no \Noselect, no \NonExistent.
    bool Selectable() const;
};

// A "* LIST" or "* LSUB" response: its flags, its delimiter (a one-byte
// string or NIL) and its name (an atom, a number, a string or NIL, and INBOX
// in any case as INBOX). A name whose bytes are neither modified UTF-7 nor
// UTF-8 is shown as it came, with what is not UTF-8 replaced. False with
// `error` set for anything else.
bool ImapReadList(const TImapResponse& response, TImapMailbox& mailbox, std::string& error);

// Where spam goes, among the mailboxes a LIST gave: the selectable one the
// server marks \Junk (RFC 6154), else one named Junk or Spam (the last level
// of its name, any case), else the one marked \Trash; nullptr when there is
// none of these. Among several of a kind the first listed wins.
const TImapMailbox* ImapSpamFolder(const std::vector<TImapMailbox>& mailboxes);
