// The allow list: senders whose messages are never spam, whatever the two
// spam lists say. A list entry of one word can mark far more than it was
// meant to; this list is how the user keeps a sender out of its reach.
#pragma once

#include <string>
#include <vector>

#include "../text/ListFileText.h"
#include "unitProcessSpam.h"

// The file of the list in the data folder, beside the two spam lists.
extern const char AllowListFileName[];

// An entry that holds "@" after its first character is one address and
// allows that address alone ("bob@example.com"). Any other entry is a domain,
// with or without a leading "@" ("example.com", "@example.com"), and allows
// every address of that domain and of its subdomains ("sub.example.com"),
// never a domain that merely ends with the same letters ("badexample.com").
struct TAllowList {
    std::vector<std::string> Addresses;  // folded, whole addresses
    std::vector<std::string> Domains;    // folded, without the "@"
    TCaseFold Fold = FoldAsciiCase;
    bool Allows(const TEmail& email) const;
    bool AllowsAddress(const std::string& address) const;
};
// The entries of the list field (one per line; blank lines and the spaces
// around an entry do not count).
TAllowList ParseAllowList(const std::string& fieldText, const TCaseFold& fold);

// The sender's address as the allow list reads it: the address shown for
// the message (GetDecodedEmailAddress), without the spaces around it; when it
// is no bare address ("bob@example.com (Bob)"), its first word with an "@".
std::string AllowListAddressOf(const TEmail& email);

// The list file's bytes as field text, and back: the rules of the spam lists'
// files (line ends, Ctrl+Z, sorted without duplicates; read as UTF-8 or the
// ANSI code page, written in the ANSI code page when it holds every entry).
std::string AllowListFromFile(const std::string& bytes, const IAnsiCodePage& ansi, const TTextCompare& compare);
std::string AllowListToFile(const std::string& fieldText, const IAnsiCodePage& ansi);
