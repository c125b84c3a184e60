#pragma once

// The sorted identifier index of a translation table: one item per line of its Strings list,
// searched by identifier without regard to case.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

class TStringList;

struct TmlStringsCollectionItem {
    std::string ID;
    // One text per language, in language order, empty ones included.
    std::vector<std::string> Texts;
};

class TmlStringsCollection {
public:
    // Sort language 0 sorts by ID ignoring case; k > 0 by the text of language k, case
    // counting, each text passed through decode first when one is given.
    int SortLanguage = 0;
    std::function<std::string(std::string_view)> Decode;

    int Count() const { return static_cast<int>(items_.size()); }
    const TmlStringsCollectionItem& Items(int index) const { return items_.at(index); }
    // Changing an item's sort text leaves the collection to be sorted again.
    TmlStringsCollectionItem& Items(int index) { return items_.at(index); }
    bool Sorted() const { return sorted_; }
    void Clear();

    // One item per line: field 0 as ID, fields 1 .. numOfLanguages as texts; then sorted by
    // the given sort language.
    void Build(const TStringList& strings, char delimiter, int numOfLanguages,
               int sortLanguage = 0);
    // Quicksort; a sort that is not forced does nothing on a sorted collection.
    void Sort(bool force);

    // The item by binary search over the sort key, or null: the identifier for sort
    // language 0, else the text of the sort language (the items' texts decoded first).
    const TmlStringsCollectionItem* Find(std::string_view key) const;
    TmlStringsCollectionItem* Find(std::string_view key);

private:
    std::string SortKey(const TmlStringsCollectionItem& item) const;
    int CompareKeys(std::string_view a, std::string_view b) const;
    int Compare(const TmlStringsCollectionItem& a, const TmlStringsCollectionItem& b) const;
    void QuickSort(int left, int right);

    std::vector<TmlStringsCollectionItem> items_;
    bool sorted_ = false;
};

} // namespace vx
