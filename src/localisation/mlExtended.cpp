#include "localisation/mlExtended.h"

#include "localisation/mlCodePages.h"
#include "localisation/mlComp.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Strings.h"

namespace vx {

namespace {

std::string OwnerClassOf(const TmlExtendedItems* collection) {
    return collection != nullptr && collection->Table() != nullptr
               ? collection->Table()->OwnerClassName()
               : std::string();
}

} // namespace

std::string TmlExtendedItem::Identifier() const {
    const std::string owner = OwnerClassOf(collection_);
    const size_t dot = identifier_.find('.');
    if (owner.empty() || dot == std::string::npos)
        return identifier_;
    return owner + identifier_.substr(dot);
}

bool TmlExtendedItem::IsRoot() const {
    const std::string head = OwnerClassOf(collection_) + ".";
    return identifier_.size() >= head.size() &&
           SameText(std::string_view(identifier_).substr(0, head.size()), head);
}

void TmlExtendedItem::SetValuesEx(std::string_view bytes) {
    if (bytes.size() < 2 || bytes[0] != '\xFF' || bytes[1] != '\xFE') {
        Values = std::string(bytes);
        return;
    }
    const std::string utf8 = Utf16LeToUtf8(bytes.substr(2));
    const TmlCustomLang* table = collection_ != nullptr ? collection_->Table() : nullptr;
    if (table != nullptr && table->StoreAsUTF8())
        Values = utf8;
    else
        Values =
            Utf8ToCodePage(utf8, CharsetToCodePage(table != nullptr ? table->CurrentCharSet() : 0));
}

TmlExtendedItem& TmlExtendedItems::Items(int index) const {
    if (index < 0 || index >= Count())
        throw EListError("List index out of bounds (" + IntToStr(index) + ")");
    return *items_[static_cast<size_t>(index)];
}

TmlExtendedItem& TmlExtendedItems::Add() {
    items_.push_back(std::make_unique<TmlExtendedItem>(this));
    return *items_.back();
}

void TmlExtendedItems::Delete(int index) {
    Items(index);
    items_.erase(items_.begin() + index);
}

TmlExtendedItem* TmlExtendedItems::Find(std::string_view identifier) const {
    for (const auto& item : items_)
        if (SameText(item->Identifier(), identifier))
            return item.get();
    return nullptr;
}

void TmlExtendedItems::Assign(const TmlExtendedItems& source) {
    if (&source == this)
        return;
    items_.clear();
    for (const auto& from : source.items_) {
        TmlExtendedItem& item = Add();
        item.SetIdentifier(from->StoredIdentifier());
        item.PropertyType = from->PropertyType;
        item.Values = from->Values;
    }
}

} // namespace vx
