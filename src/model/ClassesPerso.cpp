#include "ClassesPerso.h"

#include <algorithm>
#include <cstdio>

int AsciiCompareText(const std::string& a, const std::string& b)
{
    auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; };
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int d = lower(static_cast<unsigned char>(a[i])) - lower(static_cast<unsigned char>(b[i]));
        if (d != 0)
            return d;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

TMyCollection::TMyCollection(TKeyCompare compare) : compare_(std::move(compare)) {}

TMyCollection::~TMyCollection() { Clear(); }

bool TMyCollection::Add(std::unique_ptr<TMyItem>&& item)
{
    std::string key = item->Name;
    if (!sorted_) {
        pairs_.emplace_back(std::move(key), std::move(item));
        return true;
    }
    auto less = [this](const auto& pair, const std::string& k) { return compare_(pair.first, k) < 0; };
    auto at = std::lower_bound(pairs_.begin(), pairs_.end(), key, less);
    const bool present = at != pairs_.end() && compare_(at->first, key) == 0;
    if (present && duplicates_ == TDuplicates::Ignore)
        return false;
    // Accepted duplicates go after the equal keys already there.
    while (at != pairs_.end() && compare_(at->first, key) == 0)
        ++at;
    pairs_.emplace(at, std::move(key), std::move(item));
    return true;
}

std::unique_ptr<TMyItem> TMyCollection::Delete(int index)
{
    CheckIndex(index);
    std::unique_ptr<TMyItem> item = std::move(pairs_[static_cast<size_t>(index)].second);
    pairs_.erase(pairs_.begin() + index);
    return item;
}

void TMyCollection::Clear()
{
    sorted_ = false;
    for (auto& pair : pairs_)
        pair.second.reset();  // first item first, as the list is ordered
    pairs_.clear();
}

TMyItem* TMyCollection::Items(int index) const
{
    CheckIndex(index);
    return pairs_[static_cast<size_t>(index)].second.get();
}

const std::string& TMyCollection::Keys(int index) const
{
    CheckIndex(index);
    return pairs_[static_cast<size_t>(index)].first;
}

void TMyCollection::SetSorted(bool value)
{
    if (value && !sorted_) {
        std::stable_sort(pairs_.begin(), pairs_.end(),
                         [this](const auto& a, const auto& b) { return compare_(a.first, b.first) < 0; });
    }
    sorted_ = value;
}

void TMyCollection::CheckIndex(int index) const
{
    if (index < 0 || index >= Count()) {
        char text[64];
        std::snprintf(text, sizeof text, "Index out of bounds %d", index);
        throw EListError(text);
    }
}
