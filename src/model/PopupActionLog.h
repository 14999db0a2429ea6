// What the popup killer did while the program runs: the last actions, newest
// last, with the rule (or the kill list) that asked for each.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

#include "PopupRule.h"

struct TPopupActionEntry {
    std::string Time;     // local time "YYYY-MM-DD HH:MM:SS"
    TPopupAction Action = TPopupAction::Close;
    std::string Title;
    std::string Program;
    int Rule = -1;        // index into the rules at the time of the action; -1: the kill list
};

class TPopupActionLog {
public:
    static constexpr std::size_t Capacity = 200;

    // Adds one action, dropping the oldest beyond Capacity.
    void Add(TPopupActionEntry entry);
    const std::deque<TPopupActionEntry>& Entries() const { return entries_; }
    // Rules were deleted or reordered: entries naming rule `removed` no longer
    // name a rule, and those after it move down by one.
    void RuleRemoved(int removed);

private:
    std::deque<TPopupActionEntry> entries_;
};
