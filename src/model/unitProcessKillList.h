// The kill list: window titles kept sorted under the user's case-insensitive
// order, duplicates ignored, and the byte rules of its file.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "ClassesPerso.h"

class TWindowList {
public:
    explicit TWindowList(TKeyCompare compare = AsciiCompareText) : compare_(std::move(compare)) {}

    // Inserts at the sorted place; an entry equal to one present is ignored.
    // Answers whether the title was inserted.
    bool Add(const std::string& title);
    // Binary search; answers the index of an equal entry or -1.
    int IndexOf(const std::string& title) const;
    // Whether an equal entry exists. The kill tick asks this for the same
    // titles twice a second, and the locale comparison is costly, so answers
    // are remembered until the list changes.
    bool Contains(const std::string& title) const;
    void Delete(int index)
    {
        entries_.erase(entries_.begin() + index);
        answers_.clear();
    }
    void Clear()
    {
        entries_.clear();
        answers_.clear();
    }

    int Count() const { return static_cast<int>(entries_.size()); }
    const std::string& operator[](int index) const { return entries_[static_cast<size_t>(index)]; }
    const std::vector<std::string>& Entries() const { return entries_; }

private:
    size_t LowerBound(const std::string& title) const;

    std::vector<std::string> entries_;
    TKeyCompare compare_;
    mutable std::unordered_map<std::string, bool> answers_;
};

bool IsInKillList(const TWindowList& list, const std::string& title);

// Splits the bytes of a kill-list file into lines: a CR ends a line and an LF
// right after it is skipped, a lone LF is part of the line, Ctrl-Z ends the
// file, and a last line without a line end still counts.
std::vector<std::string> ParseKillListLines(const std::string& bytes);
// Every entry followed by CR LF, in list order.
std::string FormatKillList(const TWindowList& list);

// What the kill-list operations keep in step with the list: the windows-list
// dialog's list of selected windows and its count label.
class IKillListView {
public:
    virtual ~IKillListView() = default;
    virtual void ShowEntries(const std::vector<std::string>& entries) = 0;
    virtual void AppendEntry(const std::string& title) = 0;
    // Deletes the first entry, from the top, whose text is exactly `title`.
    virtual void RemoveFirstEntry(const std::string& title) = 0;
    virtual void ShowCount(int count) = 0;
};
