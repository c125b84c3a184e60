#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vx {

class TStream;

enum class TDuplicates { dupIgnore, dupAccept, dupError };

// The class library's string list: items with an optional object pointer each. IndexOf and
// sorting ignore case unless CaseSensitive is set. Out-of-range access raises EListError
// "List index out of bounds (<i>)".
class TStringList {
public:
    TStringList() = default;

    int Count() const { return static_cast<int>(items_.size()); }
    bool Empty() const { return items_.empty(); }
    const std::string& operator[](int index) const;
    const std::string& Strings(int index) const { return (*this)[index]; }
    void Put(int index, std::string_view s);
    void* Objects(int index) const;
    void PutObject(int index, void* object);

    // Returns the index of the new item (its sorted place when Sorted).
    int Add(std::string_view s);
    int AddObject(std::string_view s, void* object);
    void Insert(int index, std::string_view s);
    void Delete(int index);
    void Clear();
    void Exchange(int a, int b);
    void Move(int from, int to);
    void Assign(const TStringList& other);
    void AddStrings(const TStringList& other);

    int IndexOf(std::string_view s) const;
    int IndexOfObject(const void* object) const;
    // Binary search of a sorted list: true and the index when found, else the insert point.
    bool Find(std::string_view s, int& index) const;
    void Sort();

    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);
    bool CaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool caseSensitive);
    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates d) { duplicates_ = d; }

    // Items joined with CR LF, each followed by one; setting splits on CR LF, LF or CR.
    std::string Text() const;
    void SetText(std::string_view text);
    // Comma text with the class library's quoting ("a b" -> "\"a b\"").
    std::string CommaText() const;
    void SetCommaText(std::string_view text);
    std::string DelimitedText(char delimiter, char quote) const;
    void SetDelimitedText(std::string_view text, char delimiter, char quote);

    // name=value items.
    std::string Names(int index) const;
    std::string ValueFromIndex(int index) const;
    int IndexOfName(std::string_view name) const;
    std::string Values(std::string_view name) const;
    // An empty value deletes the item, as the class library does.
    void SetValue(std::string_view name, std::string_view value);

    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;
    void LoadFromFile(const std::string& path);
    void SaveToFile(const std::string& path) const;

    bool operator==(const TStringList& other) const;
    const std::vector<std::string>& Items() const { return items_; }

private:
    int Compare(std::string_view a, std::string_view b) const;
    void CheckIndex(int index, bool allowEnd = false) const;

    std::vector<std::string> items_;
    std::vector<void*> objects_;
    bool sorted_ = false;
    bool caseSensitive_ = false;
    TDuplicates duplicates_ = TDuplicates::dupIgnore;
};

} // namespace vx
