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
    int RuleId = 0;       // the rule's Id; 0: the kill list
    std::string RuleText; // how the rule read when it acted, for the log's column; empty for the kill list
    // Not done: the window's program runs as administrator and this one
    // cannot act on it. Told once per window ("cannot act on %s
    // (administrator)", MsgPopupCannotAct) and not counted.
    bool Refused = false;
    // The kill list asked the same window again, at a later tick of the same
    // appearance (a window that does not close): counted as every request
    // is, but not logged again, so that one stubborn window cannot push the
    // other actions out of the log.
    bool Repeated = false;
};

class TPopupActionLog {
public:
    static constexpr std::size_t Capacity = 200;

    // Adds one action, dropping the oldest beyond Capacity.
    void Add(TPopupActionEntry entry);
    const std::deque<TPopupActionEntry>& Entries() const { return entries_; }

private:
    std::deque<TPopupActionEntry> entries_;
};
