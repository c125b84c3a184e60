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
    bool Sorted() const { return sorted_; }
    void Clear();

    // One item per line: field 0 as ID, fields 1 .. numOfLanguages as texts; then sorted.
    void Build(const TStringList& strings, char delimiter, int numOfLanguages);
    // Quicksort; a sort that is not forced does nothing on a sorted collection.
    void Sort(bool force);

    // The item of that identifier by binary search over the IDs, or null.
    const TmlStringsCollectionItem* Find(std::string_view id) const;
    TmlStringsCollectionItem* Find(std::string_view id);

private:
    int Compare(const TmlStringsCollectionItem& a, const TmlStringsCollectionItem& b) const;
    void QuickSort(int left, int right);

    std::vector<TmlStringsCollectionItem> items_;
    bool sorted_ = false;
};

} // namespace vx
