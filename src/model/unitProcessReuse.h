// What a check keeps of a mailbox for the next one, and how the next one uses
// it: a message whose unique id (RFC 1939 UIDL, stable across sessions) and
// size are those of a message read before is not read again.
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "unitProcessEmail.h"

// The emails read in full at the last check of a mailbox, by unique id, with
// what they were read for: a change of server, user or body lines voids them.
struct TMailboxMemory {
    std::string Server;
    std::string User;
    int EmailLines = -1;
    std::map<std::string, TEmail> ByUidl;
};

// A mailbox as its LIST and UIDL replies describe it.
struct TMailboxListing {
    int Count = 0;                     // lines of the LIST reply: the waiting messages
    std::map<int, int> Sizes;          // LIST: message number -> size in octets
    std::map<int, std::string> Uidls;  // UIDL: message number -> unique id (none when refused)
};

// Unique ids can identify messages when there are some and none is given twice.
bool UniqueIdsUsable(const std::map<int, std::string>& uidls);

// One waiting message and how the check gets it: from what was kept (Kept),
// or read with TOP, its size from the listing (Octets) or asked with LIST n
// (Octets -1).
struct TMessagePlan {
    int Number = 0;
    std::string Uidl;  // empty when unique ids are not usable
    int Octets = -1;
    const TEmail* Kept = nullptr;
};

// The plan of a check for messages 1 to listing.Count. Forgets what `memory`
// kept when it was kept for another server, user or number of body lines.
std::vector<TMessagePlan> PlanMailboxRead(const TMailboxListing& listing, TMailboxMemory& memory,
                                          const std::string& server, const std::string& user, int emailLines);

// Gives `email` the header, body and identity of a kept one.
void ReuseEmail(TEmail& email, const TEmail& kept);

// Keeps, of the emails of a check, those read in full that have a unique id;
// nothing else, so what is kept never outgrows what is on the server.
void RememberEmails(TMailboxMemory& memory, const std::vector<const TEmail*>& complete);

// The emails of a collection of TEmail.
std::vector<const TEmail*> EmailsOf(const TMyCollection& emails);

// The identity of a waiting message across checks: its mailbox's Id and unique id.
using TMessageIdentity = std::pair<int, std::string>;
std::set<TMessageIdentity> MessageIdentities(const std::vector<const TEmail*>& emails);
// Whether an email with a unique id is not among those seen before.
bool HasNewMessage(const std::set<TMessageIdentity>& before, const std::vector<const TEmail*>& now);
// The emails of `now` that were not waiting at the check before, which saw
// `countBefore` emails with the identities `before`: those with a unique id
// not seen then; of those without one (a server that gives none), as many of
// the last as the count grew by beyond the new ones already found.
std::vector<const TEmail*> NewEmails(const std::set<TMessageIdentity>& before, int countBefore,
                                     const std::vector<const TEmail*>& now);
