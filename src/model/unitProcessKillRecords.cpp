#include "unitProcessKillRecords.h"

#include <algorithm>

bool TKillAppearances::AskFromEvent(TWindowKey window)
{
    if (records_.count(window))
        return false;
    records_[window].askedByEventSinceTick = true;
    return true;
}

void TKillAppearances::Forget(TWindowKey window) { records_.erase(window); }

void TKillAppearances::BeginSweep()
{
    for (auto& record : records_)
        record.second.matchedInSweep = false;
}

bool TKillAppearances::AskFromSweep(TWindowKey window)
{
    TRecord& record = records_[window];
    record.matchedInSweep = true;
    if (record.askedByEventSinceTick) {
        record.askedByEventSinceTick = false;
        return false;
    }
    return true;
}

void TKillAppearances::EndSweep()
{
    for (auto it = records_.begin(); it != records_.end();) {
        if (it->second.matchedInSweep)
            ++it;
        else
            it = records_.erase(it);
    }
}

const std::vector<std::uint32_t>& TRelookSchedule::Delays()
{
    // The creation event comes while CreateWindowEx runs, before a window made
    // visible with its title is shown; 10 ms later (the platform's shortest
    // timer) it is usually seen. A message box gets its title a little later;
    // a slow program's popup shows within a fifth of a second or is left to
    // the tick.
    static const std::vector<std::uint32_t> delays = {10, 50, 200};
    return delays;
}

std::uint32_t TRelookSchedule::DueOf(const TWaiting& waiting) { return waiting.created + Delays()[waiting.next]; }

void TRelookSchedule::Add(TWindowKey window, std::uint32_t now)
{
    Remove(window);
    if (waiting_.size() >= MaxWaiting)
        waiting_.erase(waiting_.begin());
    waiting_.push_back({window, now, 0});
}

void TRelookSchedule::Remove(TWindowKey window)
{
    waiting_.erase(std::remove_if(waiting_.begin(), waiting_.end(),
                                  [window](const TWaiting& w) { return w.window == window; }),
                   waiting_.end());
}

std::vector<TWindowKey> TRelookSchedule::TakeDue(std::uint32_t now)
{
    std::vector<TWindowKey> due;
    for (auto it = waiting_.begin(); it != waiting_.end();) {
        // Tick counts wrap after 49 days: compare by difference.
        if (static_cast<std::int32_t>(now - DueOf(*it)) < 0) {
            ++it;
            continue;
        }
        due.push_back(it->window);
        if (++it->next < Delays().size())
            ++it;
        else
            it = waiting_.erase(it);
    }
    return due;
}

long TRelookSchedule::WaitFrom(std::uint32_t now) const
{
    long wait = -1;
    for (const TWaiting& waiting : waiting_) {
        const std::int32_t left = static_cast<std::int32_t>(DueOf(waiting) - now);
        const long ms = left > 0 ? left : 0;
        if (wait < 0 || ms < wait)
            wait = ms;
    }
    return wait;
}
