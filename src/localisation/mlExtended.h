#pragma once

// Extended translations: texts of arbitrary published properties, one item per property,
// addressed by a path that begins with the owning window's class name.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

class TmlCustomLang;

// The kind of a property's type, in the order the stored files number them.
enum TTypeKind {
    tkUnknown,
    tkInteger,
    tkChar,
    tkEnumeration,
    tkFloat,
    tkString,
    tkSet,
    tkClass,
    tkMethod,
    tkWChar,
    tkLString,
    tkWString,
    tkVariant,
    tkArray,
    tkRecord,
    tkInterface,
    tkInt64,
    tkDynArray,
};

class TmlExtendedItems;

class TmlExtendedItem {
public:
    explicit TmlExtendedItem(TmlExtendedItems* collection) : collection_(collection) {}

    // "TMainForm.Button1.Caption": read back with the first part replaced by the class name
    // of the table's current owner, so a table copied to another window follows it.
    std::string Identifier() const;
    void SetIdentifier(std::string_view value) { identifier_ = std::string(value); }
    const std::string& StoredIdentifier() const { return identifier_; }
    // True when the stored identifier begins with the owner's class name and ".".
    bool IsRoot() const;

    TTypeKind PropertyType = tkUnknown;
    // The texts of every language, each followed by the table's delimiter.
    std::string Values;

    // The stored binary property "ValuesEx": the raw bytes of Values. A UTF-16LE form that
    // begins with FF FE is taken too, converted to UTF-8 for a table that stores UTF-8 and to
    // the code page of its current character set otherwise.
    std::string ValuesEx() const { return Values; }
    void SetValuesEx(std::string_view bytes);

private:
    TmlExtendedItems* collection_;
    std::string identifier_;
};

// The collection published as ExtendedTranslations; stored only when it is not empty.
class TmlExtendedItems {
public:
    explicit TmlExtendedItems(TmlCustomLang* table) : table_(table) {}
    TmlExtendedItems(const TmlExtendedItems&) = delete;
    TmlExtendedItems& operator=(const TmlExtendedItems&) = delete;

    TmlCustomLang* Table() const { return table_; }
    int Count() const { return static_cast<int>(items_.size()); }
    // Raises EListError when out of range.
    TmlExtendedItem& Items(int index) const;
    TmlExtendedItem& Add();
    void Delete(int index);
    void Clear() { items_.clear(); }
    // The item whose Identifier equals the text, ignoring case; null when none.
    TmlExtendedItem* Find(std::string_view identifier) const;
    // Copies identifiers, kinds and texts.
    void Assign(const TmlExtendedItems& source);

private:
    TmlCustomLang* table_;
    std::vector<std::unique_ptr<TmlExtendedItem>> items_;
};

} // namespace vx
