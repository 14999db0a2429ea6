#include "QuarantineRetention.h"

#include <algorithm>

std::vector<TQuarantineEntry> QuarantineToRemove(std::vector<TQuarantineEntry> entries, long long now,
                                                 const TQuarantineLimits& limits)
{
    std::sort(entries.begin(), entries.end(), [](const TQuarantineEntry& a, const TQuarantineEntry& b) {
        return a.Time != b.Time ? a.Time < b.Time : a.Name < b.Name;
    });
    long long kept = 0;
    for (const TQuarantineEntry& entry : entries)
        kept += std::max(0LL, entry.Size);
    const long long dayLength = 24LL * 60 * 60;
    std::size_t removed = 0;
    for (; removed < entries.size(); ++removed) {
        const TQuarantineEntry& entry = entries[removed];
        // Turning the copies off stops new ones; the copies already made
        // stay until the cap or the user removes them, since they may hold
        // the one message the user still wants.
        const bool tooOld = limits.Days > 0 && now - entry.Time > limits.Days * dayLength;
        const bool overCap = limits.CapBytes > 0 && kept > limits.CapBytes;
        if (!tooOld && !overCap)
            break;
        kept -= std::max(0LL, entry.Size);
    }
    entries.resize(removed);
    return entries;
}
