// The in-house owning list: named items kept in insertion order or sorted by
// their name at insertion time, with a caller-supplied key order.
#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// Three-way comparison of two keys: negative, zero or positive.
using TKeyCompare = std::function<int(const std::string&, const std::string&)>;

// Case-insensitive comparison of plain ASCII letters; the portable stand-in for
// the platform's locale-aware comparison.
int AsciiCompareText(const std::string& a, const std::string& b);

class TMyItem {
public:
    explicit TMyItem(std::string name = std::string()) : Name(std::move(name)) {}
    virtual ~TMyItem() = default;

    std::string Name;
};

// Raised by TMyCollection::Items for an index outside the list.
class EListError : public std::out_of_range {
public:
    using std::out_of_range::out_of_range;
};

enum class TDuplicates { Ignore, Accept };

class TMyCollection : public TMyItem {
public:
    explicit TMyCollection(TKeyCompare compare = AsciiCompareText);
    ~TMyCollection() override;
    TMyCollection(const TMyCollection&) = delete;
    TMyCollection& operator=(const TMyCollection&) = delete;

    // Stores the item under its current Name. Answers true when stored; when a
    // sorted collection ignores a duplicate key, `item` keeps the object.
    bool Add(std::unique_ptr<TMyItem>&& item);
    // Detaches the item at `index` and hands it to the caller.
    std::unique_ptr<TMyItem> Delete(int index);
    // Switches sorting off, then destroys the items from the first one on.
    void Clear();

    int Count() const { return static_cast<int>(pairs_.size()); }
    TMyItem* Items(int index) const;
    const std::string& Keys(int index) const;

    template <class T>
    T* ItemAs(int index) const { return static_cast<T*>(Items(index)); }

    bool Sorted() const { return sorted_; }
    void SetSorted(bool value);
    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates value) { duplicates_ = value; }

private:
    void CheckIndex(int index) const;

    std::vector<std::pair<std::string, std::unique_ptr<TMyItem>>> pairs_;
    TKeyCompare compare_;
    bool sorted_ = false;
    TDuplicates duplicates_ = TDuplicates::Ignore;
};
