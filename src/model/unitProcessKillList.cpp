#include "unitProcessKillList.h"

size_t TWindowList::LowerBound(const std::string& title) const
{
    size_t low = 0, high = entries_.size();
    while (low < high) {
        const size_t mid = low + (high - low) / 2;
        if (compare_(entries_[mid], title) < 0)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

bool TWindowList::Add(const std::string& title)
{
    const size_t at = LowerBound(title);
    if (at < entries_.size() && compare_(entries_[at], title) == 0)
        return false;
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(at), title);
    answers_.clear();
    return true;
}

int TWindowList::IndexOf(const std::string& title) const
{
    const size_t at = LowerBound(title);
    if (at < entries_.size() && compare_(entries_[at], title) == 0)
        return static_cast<int>(at);
    return -1;
}

bool TWindowList::Contains(const std::string& title) const
{
    auto known = answers_.find(title);
    if (known != answers_.end())
        return known->second;
    if (answers_.size() >= 4096)  // titles come and go: keep the memory bounded
        answers_.clear();
    const bool found = IndexOf(title) >= 0;
    answers_.emplace(title, found);
    return found;
}

bool IsInKillList(const TWindowList& list, const std::string& title)
{
    return list.Contains(title);
}

std::vector<std::string> ParseKillListLines(const std::string& bytes)
{
    const size_t end = bytes.find('\x1A');
    const size_t size = end == std::string::npos ? bytes.size() : end;
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < size) {
        size_t cr = bytes.find('\r', start);
        if (cr == std::string::npos || cr >= size) {
            lines.push_back(bytes.substr(start, size - start));
            break;
        }
        lines.push_back(bytes.substr(start, cr - start));
        start = cr + 1;
        if (start < size && bytes[start] == '\n')
            ++start;
    }
    return lines;
}

std::string FormatKillList(const TWindowList& list)
{
    std::string bytes;
    for (const std::string& entry : list.Entries()) {
        bytes += entry;
        bytes += "\r\n";
    }
    return bytes;
}
