// What the killer remembers between window events: which windows have been
// asked to close in their current appearance, so that the events of one
// appearance and the ticks around them ask once, and which new windows are
// to be looked at again shortly, for the title or the visible style a popup
// often receives only after it was created.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

using TWindowKey = std::uintptr_t;

class TKillAppearances {
public:
    // A look at a window, prompted by an event, found it matching: answers
    // whether to ask it to close, that is whether nothing has asked it yet in
    // this appearance.
    bool AskFromEvent(TWindowKey window);
    // The window was created anew, or a look found it no longer matching
    // (gone, hidden, renamed): its next match is a new appearance.
    void Forget(TWindowKey window);

    // The kill tick. It asks every matching window as it always did, but one
    // that an event asked since the previous tick: that request stands for
    // this tick's. Windows the tick does not find matching are forgotten.
    void BeginSweep();
    bool AskFromSweep(TWindowKey window);
    void EndSweep();

    std::size_t Count() const { return records_.size(); }
    bool Knows(TWindowKey window) const { return records_.count(window) != 0; }

private:
    struct TRecord {
        bool askedByEventSinceTick = false;
        bool matchedInSweep = false;
    };
    std::unordered_map<TWindowKey, TRecord> records_;
};

class TRelookSchedule {
public:
    // Milliseconds after a window's creation at which it is looked at again.
    static const std::vector<std::uint32_t>& Delays();
    // Above this many windows waiting, the oldest is dropped: a storm of new
    // windows is left to the kill tick rather than making the wait list long.
    static constexpr std::size_t MaxWaiting = 256;

    // Looks at `window` again after each delay from `now` (a tick count in
    // milliseconds), replacing what was waiting for it.
    void Add(TWindowKey window, std::uint32_t now);
    void Remove(TWindowKey window);
    // The windows whose next look is due at `now`, in the order they were
    // added; each moves on to its next delay, or leaves after the last.
    std::vector<TWindowKey> TakeDue(std::uint32_t now);
    // Milliseconds from `now` to the next look (0 when one is due already),
    // or -1 when nothing waits.
    long WaitFrom(std::uint32_t now) const;
    bool Empty() const { return waiting_.empty(); }

private:
    struct TWaiting {
        TWindowKey window;
        std::uint32_t created;
        std::size_t next;  // index into Delays()
    };
    static std::uint32_t DueOf(const TWaiting& waiting);
    std::vector<TWaiting> waiting_;
};
