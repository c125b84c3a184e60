#pragma once

// The translation table as the component stream carries it: an object "TmlLang" with the
// table's published properties, the collection ExtendedTranslations and the binary property
// TranslationData. Translation files store whole tables this way.

#include "platform/runtime/Component.h"

#include <memory>

namespace vx {

class TmlCustomLang;
class TmlLang;

class TmlLangComponent : public TComponent {
public:
    // A face over a table that lives elsewhere; its name is the table's object name.
    explicit TmlLangComponent(TmlCustomLang& table, TComponent* owner = nullptr);
    // A face with a table of its own, as the class registry makes it for a stream.
    explicit TmlLangComponent(TComponent* owner);
    ~TmlLangComponent() override;

    TmlCustomLang& Table() const { return *table_; }

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    // The first property read puts the table into its loading state; this ends it.
    void Loaded() override;
    // The table, put into its loading state when it is not already in it.
    TmlCustomLang& LoadingTable();

private:
    std::unique_ptr<TmlLang> own_;
    TmlCustomLang* table_;
};

// The class table of one extended translation item: Identifier, PropertyType and the binary
// property ValuesEx.
const TClassInfo& ExtendedItemClassInfo();

// Registers TmlLang with the class registry unless a class of that name is registered.
void RegisterTmlLang();

// The table as a component stream, and a component stream read into a table; reading raises
// EReadError for a damaged stream and leaves the table out of its loading state.
void WriteLangComponent(TStream& stream, TmlCustomLang& table);
void ReadLangComponent(TStream& stream, TmlCustomLang& table);

} // namespace vx
