#include "localisation/mlStringsCollection.h"

#include "localisation/MemIni.h"
#include "platform/runtime/StringList.h"
#include "platform/runtime/Strings.h"

#include <utility>

namespace vx {

namespace {

bool SameAsciiText(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z')
            x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z')
            y = static_cast<char>(y - 32);
        if (x != y)
            return false;
    }
    return true;
}

} // namespace

void TmlStringsCollection::Clear() {
    items_.clear();
    sorted_ = false;
}

void TmlStringsCollection::Build(const TStringList& strings, char delimiter, int numOfLanguages,
                                 int sortLanguage) {
    Clear();
    items_.reserve(static_cast<size_t>(strings.Count()));
    for (int i = 0; i < strings.Count(); ++i) {
        TmlStringsCollectionItem item;
        item.ID = GetDelimitedField(strings[i], delimiter, 0);
        for (int k = 1; k <= numOfLanguages; ++k)
            item.Texts.push_back(GetDelimitedField(strings[i], delimiter, k));
        items_.push_back(std::move(item));
    }
    SortLanguage = sortLanguage;
    Sort(true);
}

std::string TmlStringsCollection::SortKey(const TmlStringsCollectionItem& item) const {
    if (SortLanguage <= 0)
        return item.ID;
    const size_t k = static_cast<size_t>(SortLanguage - 1);
    const std::string s = k < item.Texts.size() ? item.Texts[k] : std::string();
    return Decode ? Decode(s) : s;
}

int TmlStringsCollection::CompareKeys(std::string_view a, std::string_view b) const {
    return SortLanguage <= 0 ? CompareText(a, b) : CompareStr(a, b);
}

int TmlStringsCollection::Compare(const TmlStringsCollectionItem& a,
                                  const TmlStringsCollectionItem& b) const {
    return CompareKeys(SortKey(a), SortKey(b));
}

void TmlStringsCollection::Sort(bool force) {
    if (sorted_ && !force)
        return;
    if (items_.size() > 1)
        QuickSort(0, Count() - 1);
    sorted_ = true;
}

// Hoare partition around the middle item, recursing on the left part and looping on the
// right, so that items with equal keys land where the stored tables expect them.
void TmlStringsCollection::QuickSort(int left, int right) {
    int i = left;
    do {
        i = left;
        int j = right;
        int pivot = (left + right) / 2;
        do {
            while (Compare(items_[static_cast<size_t>(i)], items_[static_cast<size_t>(pivot)]) < 0)
                ++i;
            while (Compare(items_[static_cast<size_t>(j)], items_[static_cast<size_t>(pivot)]) > 0)
                --j;
            if (i <= j) {
                if (i != j)
                    std::swap(items_[static_cast<size_t>(i)], items_[static_cast<size_t>(j)]);
                if (pivot == i)
                    pivot = j;
                else if (pivot == j)
                    pivot = i;
                ++i;
                --j;
            }
        } while (i <= j);
        if (left < j)
            QuickSort(left, j);
        left = i;
    } while (i < right);
}

const TmlStringsCollectionItem* TmlStringsCollection::Find(std::string_view key) const {
    if (items_.empty())
        return nullptr;
    size_t low = 0, high = items_.size() - 1;
    do {
        const size_t middle = (low + high) / 2;
        const int c = CompareKeys(SortKey(items_[middle]), key);
        if (c == 0)
            return &items_[middle];
        if (c < 0) {
            if (low == middle) {
                // Two items left: the one after decides. A one-item table has none after.
                if (middle + 1 < items_.size()) {
                    const std::string next = SortKey(items_[middle + 1]);
                    if (SortLanguage <= 0 ? SameAsciiText(next, key) : next == key)
                        return &items_[middle + 1];
                }
                return nullptr;
            }
            low = middle;
        } else {
            high = middle;
        }
    } while (low < high);
    return nullptr;
}

TmlStringsCollectionItem* TmlStringsCollection::Find(std::string_view key) {
    return const_cast<TmlStringsCollectionItem*>(std::as_const(*this).Find(key));
}

} // namespace vx
