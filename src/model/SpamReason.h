// Why a message is spam: the list and the entry that marked it, so that a
// deletion can say what caused it and the user can correct the right list.
// The allow list has the last word: an allowed sender is never spam.
#pragma once

#include <string>

#include "SpamAllowList.h"
#include "unitProcessSpam.h"

enum class TSpamListKind { None, Addresses, Subjects };

struct TSpamReason {
    TSpamListKind List = TSpamListKind::None;
    std::string Entry;  // as the lists hold it: its case folded
    bool Marks() const { return List != TSpamListKind::None; }
};

// The entry of the spam test (FindSpamEntry: the address list first, then
// the subject list) and the list it comes from; no list when none marks it.
TSpamReason FindSpamReason(const TEmail& email, const TSpamLists& lists);

// The three lists that decide which message is spam.
struct TSpamRules {
    TSpamLists Lists;
    TAllowList Allowed;
    // No reason for an allowed sender, else the spam test's.
    TSpamReason ReasonFor(const TEmail& email) const;
    bool Marks(const TEmail& email) const { return ReasonFor(email).Marks(); }
};
TSpamRules ParseSpamRules(const std::string& addressField, const std::string& subjectField,
                          const std::string& allowField, const TCaseFold& fold);
