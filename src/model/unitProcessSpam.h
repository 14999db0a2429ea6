// The spam lists and the decisions the spam cycle takes: which message is
// spam, how a list file reads and writes, the order of the deletions, and
// whether a message on the server is still the one that was seen.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "../text/CaseFold.h"
#include "unitProcessEmail.h"

// Letter case removed from UTF-8 text over all of Unicode: the platform
// supplies it (framework/CaseFold.h), the spam test is given it.
using TCaseFold = std::function<std::string(const std::string&)>;

// The entries of a list field: its non-empty lines, their case folded.
std::vector<std::string> SpamEntries(const std::string& fieldText, const TCaseFold& fold);
// The entry that makes the email spam: the first address entry, in list
// order, that occurs in From as written or as decoded, else the first subject
// entry that occurs in Subject as written or as decoded, all compared with
// their case folded; nullptr when none does. The value as written is read
// as raw header bytes are (UTF-8 when valid, else Windows-1252). What a
// conversion lost is U+FFFD, and an entry that holds U+FFFD matches nothing.
const std::string* FindSpamEntry(const TEmail& email, const std::vector<std::string>& addressEntries,
                                 const std::vector<std::string>& subjectEntries, const TCaseFold& fold);

// Both lists split into their entries once, for all the emails tested against them.
struct TSpamLists {
    std::vector<std::string> Addresses;
    std::vector<std::string> Subjects;
    TCaseFold Fold = FoldAsciiCase;
    // The senders another list keeps out of reach (the allow list): never marked.
    std::function<bool(const TEmail&)> Spared;
    bool Marks(const TEmail& email) const
    {
        return (!Spared || !Spared(email)) && FindSpamEntry(email, Addresses, Subjects, Fold) != nullptr;
    }
};
TSpamLists ParseSpamLists(const std::string& addressField, const std::string& subjectField, const TCaseFold& fold);

using TTextCompare = std::function<int(const std::string&, const std::string&)>;

// A list file's entries: a line ends at CR (one LF right after it is
// skipped), an LF alone stays in the entry, Ctrl+Z ends the file, empty lines
// are skipped. Sorted by `compare`; of equal lines the first one is kept.
std::vector<std::string> ParseSpamListFile(const std::string& bytes, const TTextCompare& compare);
// The bytes written for a list field: its text, then CR LF.
std::string FormatSpamListFile(const std::string& fieldText);
// The field text of a list: the entries joined by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);
// The lines of a field's text, split at CR LF (a bare LF also ends a line).
std::vector<std::string> SplitLines(const std::string& text);

// The spam messages in the order they are deleted: mailbox after mailbox in
// the order given, and on each mailbox the highest message number first, so
// that each deletion leaves the numbers of the ones still to come unchanged.
std::vector<TEmail*> SpamDeletionOrder(const std::vector<TEmail*>& spam);

// The digest that identifies a message by its header lines (hex MD5).
std::string HeaderDigest(const std::string& header);
