// How long the copies of deleted messages are kept: a number of days and a
// cap on the space they take, so that the quarantine never fills the disk.
#pragma once

#include <string>
#include <vector>

constexpr int QuarantineDefaultDays = 30;
constexpr long long QuarantineDefaultCapBytes = 200LL * 1024 * 1024;

// One copy as the folder shows it: its base name, when it was written
// (seconds, any epoch the caller keeps to) and the bytes of its files.
struct TQuarantineEntry {
    std::string Name;
    long long Time = 0;
    long long Size = 0;
};

struct TQuarantineLimits {
    int Days = QuarantineDefaultDays;  // 0: no copies are made, and none is removed for its age
    long long CapBytes = QuarantineDefaultCapBytes;  // 0 or less: no cap
};

// The copies to remove, oldest first (of one second, by name): those older
// than the days to keep, then the oldest of the rest until what remains fits
// under the cap. A copy dated after `now` (a clock set back) counts as new.
std::vector<TQuarantineEntry> QuarantineToRemove(std::vector<TQuarantineEntry> entries, long long now,
                                                 const TQuarantineLimits& limits);
// False when the setting turns the copies off.
inline bool QuarantineCopiesOn(const TQuarantineLimits& limits) { return limits.Days > 0; }
