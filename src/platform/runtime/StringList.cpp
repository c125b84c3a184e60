#include "platform/runtime/StringList.h"

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Strings.h"

#include <algorithm>
#include <numeric>

namespace vx {

int TStringList::Compare(std::string_view a, std::string_view b) const {
    return caseSensitive_ ? CompareStr(a, b) : CompareText(a, b);
}

void TStringList::CheckIndex(int index, bool allowEnd) const {
    if (index < 0 || index > Count() || (!allowEnd && index == Count()))
        throw EListError("List index out of bounds (" + IntToStr(index) + ")");
}

const std::string& TStringList::operator[](int index) const {
    CheckIndex(index);
    return items_[static_cast<size_t>(index)];
}

void TStringList::Put(int index, std::string_view s) {
    CheckIndex(index);
    if (sorted_)
        throw EListError("Operation not allowed on sorted list");
    items_[static_cast<size_t>(index)] = std::string(s);
}

void* TStringList::Objects(int index) const {
    CheckIndex(index);
    return objects_[static_cast<size_t>(index)];
}

void TStringList::PutObject(int index, void* object) {
    CheckIndex(index);
    objects_[static_cast<size_t>(index)] = object;
}

int TStringList::Add(std::string_view s) {
    return AddObject(s, nullptr);
}

int TStringList::AddObject(std::string_view s, void* object) {
    int index = Count();
    if (sorted_) {
        if (Find(s, index)) {
            if (duplicates_ == TDuplicates::dupIgnore)
                return index;
            if (duplicates_ == TDuplicates::dupError)
                throw EListError("String list does not allow duplicates");
        }
    }
    items_.insert(items_.begin() + index, std::string(s));
    objects_.insert(objects_.begin() + index, object);
    return index;
}

void TStringList::Insert(int index, std::string_view s) {
    if (sorted_)
        throw EListError("Operation not allowed on sorted list");
    CheckIndex(index, true);
    items_.insert(items_.begin() + index, std::string(s));
    objects_.insert(objects_.begin() + index, nullptr);
}

void TStringList::Delete(int index) {
    CheckIndex(index);
    items_.erase(items_.begin() + index);
    objects_.erase(objects_.begin() + index);
}

void TStringList::Clear() {
    items_.clear();
    objects_.clear();
}

void TStringList::Exchange(int a, int b) {
    CheckIndex(a);
    CheckIndex(b);
    std::swap(items_[static_cast<size_t>(a)], items_[static_cast<size_t>(b)]);
    std::swap(objects_[static_cast<size_t>(a)], objects_[static_cast<size_t>(b)]);
}

void TStringList::Move(int from, int to) {
    if (from == to)
        return;
    CheckIndex(from);
    CheckIndex(to);
    std::string s = items_[static_cast<size_t>(from)];
    void* o = objects_[static_cast<size_t>(from)];
    items_.erase(items_.begin() + from);
    objects_.erase(objects_.begin() + from);
    items_.insert(items_.begin() + to, std::move(s));
    objects_.insert(objects_.begin() + to, o);
}

void TStringList::Assign(const TStringList& other) {
    if (this == &other)
        return;
    Clear();
    AddStrings(other);
}

void TStringList::AddStrings(const TStringList& other) {
    const TStringList copy = other; // other may be this list
    for (int i = 0; i < copy.Count(); ++i)
        AddObject(copy.items_[static_cast<size_t>(i)], copy.objects_[static_cast<size_t>(i)]);
}

int TStringList::IndexOf(std::string_view s) const {
    if (sorted_) {
        int index;
        return Find(s, index) ? index : -1;
    }
    for (int i = 0; i < Count(); ++i)
        if (Compare(items_[static_cast<size_t>(i)], s) == 0)
            return i;
    return -1;
}

int TStringList::IndexOfObject(const void* object) const {
    for (int i = 0; i < Count(); ++i)
        if (objects_[static_cast<size_t>(i)] == object)
            return i;
    return -1;
}

bool TStringList::Find(std::string_view s, int& index) const {
    int lo = 0, hi = Count() - 1;
    bool found = false;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        const int c = Compare(items_[static_cast<size_t>(mid)], s);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                if (duplicates_ != TDuplicates::dupAccept)
                    lo = mid;
            }
        }
    }
    index = lo;
    return found;
}

void TStringList::Sort() {
    std::vector<size_t> order(items_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [this](size_t a, size_t b) { return Compare(items_[a], items_[b]) < 0; });
    std::vector<std::string> items;
    std::vector<void*> objects;
    items.reserve(order.size());
    objects.reserve(order.size());
    for (size_t i : order) {
        items.push_back(std::move(items_[i]));
        objects.push_back(objects_[i]);
    }
    items_ = std::move(items);
    objects_ = std::move(objects);
}

void TStringList::SetSorted(bool sorted) {
    if (sorted && !sorted_)
        Sort();
    sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive) {
    if (caseSensitive == caseSensitive_)
        return;
    caseSensitive_ = caseSensitive;
    if (sorted_)
        Sort();
}

std::string TStringList::Text() const {
    std::string out;
    for (const std::string& s : items_) {
        out += s;
        out += "\r\n";
    }
    return out;
}

void TStringList::SetText(std::string_view text) {
    Clear();
    size_t i = 0;
    while (i < text.size()) {
        size_t j = i;
        while (j < text.size() && text[j] != '\r' && text[j] != '\n')
            ++j;
        Add(text.substr(i, j - i));
        if (j < text.size() && text[j] == '\r')
            ++j;
        if (j < text.size() && text[j] == '\n')
            ++j;
        i = j;
    }
}

std::string TStringList::CommaText() const {
    return DelimitedText(',', '"');
}

void TStringList::SetCommaText(std::string_view text) {
    SetDelimitedText(text, ',', '"');
}

std::string TStringList::DelimitedText(char delimiter, char quote) const {
    if (Count() == 1 && items_[0].empty())
        return std::string(2, quote);
    std::string out;
    for (int i = 0; i < Count(); ++i) {
        const std::string& s = items_[static_cast<size_t>(i)];
        if (i > 0)
            out += delimiter;
        const bool needsQuote = std::any_of(s.begin(), s.end(), [&](char c) {
            return static_cast<unsigned char>(c) <= ' ' || c == quote || c == delimiter;
        });
        if (!needsQuote) {
            out += s;
            continue;
        }
        out += quote;
        for (char c : s) {
            if (c == quote)
                out += quote;
            out += c;
        }
        out += quote;
    }
    return out;
}

void TStringList::SetDelimitedText(std::string_view text, char delimiter, char quote) {
    Clear();
    auto blank = [](char c) { return c != '\0' && static_cast<unsigned char>(c) <= ' '; };
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && blank(text[i]))
        ++i;
    while (i < n) {
        std::string item;
        if (text[i] == quote) {
            ++i;
            while (i < n) {
                if (text[i] == quote) {
                    if (i + 1 < n && text[i + 1] == quote) {
                        item += quote;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text[i++];
            }
        } else {
            const size_t start = i;
            while (i<n&& static_cast<unsigned char>(text[i])> ' ' && text[i] != delimiter)
                ++i;
            item = std::string(text.substr(start, i - start));
        }
        Add(item);
        while (i < n && blank(text[i]))
            ++i;
        if (i < n && text[i] == delimiter) {
            if (i + 1 == n)
                Add("");
            do
                ++i;
            while (i < n && blank(text[i]));
        }
    }
}

std::string TStringList::Names(int index) const {
    const std::string& s = (*this)[index];
    const size_t p = s.find('=');
    return p == std::string::npos ? std::string() : s.substr(0, p);
}

std::string TStringList::ValueFromIndex(int index) const {
    const std::string& s = (*this)[index];
    const size_t p = s.find('=');
    return p == std::string::npos ? std::string() : s.substr(p + 1);
}

int TStringList::IndexOfName(std::string_view name) const {
    for (int i = 0; i < Count(); ++i) {
        const std::string& s = items_[static_cast<size_t>(i)];
        const size_t p = s.find('=');
        if (p != std::string::npos && Compare(std::string_view(s).substr(0, p), name) == 0)
            return i;
    }
    return -1;
}

std::string TStringList::Values(std::string_view name) const {
    const int i = IndexOfName(name);
    return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStringList::SetValue(std::string_view name, std::string_view value) {
    const int i = IndexOfName(name);
    if (value.empty()) {
        if (i >= 0)
            Delete(i);
        return;
    }
    const std::string item = std::string(name) + "=" + std::string(value);
    if (i >= 0) {
        if (sorted_) {
            Delete(i);
            Add(item);
        } else {
            Put(i, item);
        }
    } else {
        Add(item);
    }
}

void TStringList::LoadFromStream(TStream& stream) {
    SetText(stream.ReadBytes(static_cast<size_t>(stream.Remaining())));
}

void TStringList::SaveToStream(TStream& stream) const {
    stream.WriteBytes(Text());
}

void TStringList::LoadFromFile(const std::string& path) {
    SetText(ReadWholeFile(path));
}

void TStringList::SaveToFile(const std::string& path) const {
    WriteFileAtomically(path, Text());
}

bool TStringList::operator==(const TStringList& other) const {
    return items_ == other.items_;
}

} // namespace vx
