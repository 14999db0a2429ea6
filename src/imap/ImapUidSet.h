// UID sets as commands write them and as COPYUID answers them: numbers and
// ranges separated by commas ("1:5,7,9:12"), every UID a non-zero 32-bit
// number.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct TImapUidRange {
    std::uint32_t First = 0;
    std::uint32_t Last = 0;
    bool operator==(const TImapUidRange& other) const { return First == other.First && Last == other.Last; }
};

// The set of exactly these UIDs, in ascending order with runs joined into
// ranges, whatever their order or repeats; empty for no UID. UID 0, which
// no message has, is left out.
std::string ImapFormatUidSet(std::vector<std::uint32_t> uids);

// The ranges of a set as a server writes it (no "*": a server names real
// UIDs). A range may be written high to low ("5:3" is 3:5). False for
// anything else: an empty set or member, a zero, a number beyond 32 bits.
bool ImapParseUidSet(const std::string& text, std::vector<TImapUidRange>& ranges);

// How many UIDs the ranges hold, counting each as written.
std::uint64_t ImapUidSetSize(const std::vector<TImapUidRange>& ranges);

// The UIDs of the ranges in the order written, at most `limit` of them:
// false, with `uids` empty, for a set larger than that.
bool ImapExpandUidSet(const std::vector<TImapUidRange>& ranges, std::size_t limit,
                      std::vector<std::uint32_t>& uids);
