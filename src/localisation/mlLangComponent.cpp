#include "localisation/mlLangComponent.h"

#include "localisation/mlComp.h"
#include "localisation/mlExtended.h"
#include "localisation/mlStoredTable.h"
#include "platform/runtime/ComponentStream.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Strings.h"

namespace vx {

namespace {

const std::vector<std::string> kTypeKindNames = {
    "tkUnknown", "tkInteger", "tkChar",   "tkEnumeration", "tkFloat",   "tkString",
    "tkSet",     "tkClass",   "tkMethod", "tkWChar",       "tkLString", "tkWString",
    "tkVariant", "tkArray",   "tkRecord", "tkInterface",   "tkInt64",   "tkDynArray"};

TmlLangComponent& Face(const void* handle) {
    return *const_cast<TmlLangComponent*>(MetaCast<TmlLangComponent>(handle));
}

// The stored text of an ordinal property as its value, and back.
int64_t OrdinalOf(const TStoredTableProperty& p, const std::optional<std::string>& text) {
    if (!text)
        return p.Default;
    if (p.Kind == TPropKind::Enumeration) {
        for (size_t i = 0; i < p.Names.size(); ++i)
            if (SameText(p.Names[i], *text))
                return static_cast<int64_t>(i);
        return p.Default;
    }
    return StrToIntDef(*text, static_cast<int32_t>(p.Default));
}

std::string TextOf(const TStoredTableProperty& p, int64_t value) {
    if (p.Kind == TPropKind::Enumeration && value >= 0 &&
        value < static_cast<int64_t>(p.Names.size()))
        return p.Names[static_cast<size_t>(value)];
    return IntToStr(value);
}

// The component stream's entry of one stored property; setting goes through the table's
// setters while it loads, as when a form is read.
TPropInfo StreamProperty(const TStoredTableProperty& stored) {
    TPropInfo p;
    p.Name = std::string(stored.Name);
    p.Kind = stored.Kind;
    p.Names = stored.Names;
    const TStoredTableProperty* s = &stored;
    switch (stored.Kind) {
    case TPropKind::String:
        p.TypeName = "String";
        p.GetStr = [s](const void* h) { return s->Get(Face(h).Table()).value_or(std::string()); };
        p.SetStr = [s](void* h, std::string v) { s->Set(Face(h).LoadingTable(), v); };
        break;
    case TPropKind::StringList:
        p.TypeName = "TStrings";
        p.GetObj = [s](const void* h) -> void* {
            return const_cast<TStringList*>(&s->GetList(Face(h).Table()));
        };
        p.SetObj = [s](void* h, void* list) {
            s->SetList(Face(h).LoadingTable(), *static_cast<const TStringList*>(list));
        };
        break;
    default:
        p.TypeName = stored.Kind == TPropKind::Boolean ? "Boolean" : "Integer";
        p.Default = stored.Default;
        p.GetOrd = [s](const void* h) { return OrdinalOf(*s, s->Get(Face(h).Table())); };
        p.SetOrd = [s](void* h, int64_t v) { s->Set(Face(h).LoadingTable(), TextOf(*s, v)); };
        break;
    }
    return p;
}

TClassInfo MakeLangClassInfo() {
    TClassInfo info =
        TClassBuilder<TmlLangComponent>("TmlLang", &TComponent::StaticClassInfo())
            .Collection<TmlExtendedItem, TmlExtendedItems>(
                "ExtendedTranslations", "TmlExtendedItems", ExtendedItemClassInfo(),
                [](TmlLangComponent& f) { return &f.LoadingTable().ExtendedTranslations(); })
            .Binary(
                "TranslationData", [](const TmlLangComponent&) { return true; },
                [](const TmlLangComponent& f, TStream& s) { f.Table().WriteTranslationData(s); },
                [](TmlLangComponent& f, TStream& s) { f.LoadingTable().ReadTranslationData(s); })
            .Build();
    // The collection comes after the table's own properties, as TmlCustomLang declares it.
    std::vector<TPropInfo> properties;
    for (const TStoredTableProperty& stored : StoredTableProperties())
        properties.push_back(StreamProperty(stored));
    TPropInfo extended = std::move(info.Properties.front());
    // Written only when there are items; reading them must not mark the table as loading
    // when it writes, so count through the plain table.
    extended.ItemCount = [](const void* h) {
        return Face(h).Table().ExtendedTranslations().Count();
    };
    extended.Item = [](const void* h, int i) -> void* {
        return &Face(h).Table().ExtendedTranslations().Items(i);
    };
    extended.Stored = [](const void* h) {
        return Face(h).Table().ExtendedTranslations().Count() > 0;
    };
    properties.push_back(std::move(extended));
    info.Properties = std::move(properties);
    return info;
}

[[maybe_unused]] const bool registeredAtStart = (RegisterTmlLang(), true);

} // namespace

const TClassInfo& ExtendedItemClassInfo() {
    using I = TmlExtendedItem;
    static const TClassInfo info =
        TClassBuilder<I>("TmlExtendedItem", nullptr)
            .String(
                "Identifier", [](const I& i) { return i.Identifier(); },
                [](I& i, std::string v) { i.SetIdentifier(v); }, {}, 0)
            .Enumeration(
                "PropertyType", "TTypeKind", kTypeKindNames,
                [](const I& i) { return static_cast<int64_t>(i.PropertyType); },
                [](I& i, int64_t v) { i.PropertyType = static_cast<TTypeKind>(v); })
            .Binary(
                "ValuesEx", [](const I&) { return true; },
                [](const I& i, TStream& s) { s.WriteBytes(i.ValuesEx()); },
                [](I& i, TStream& s) {
                    i.SetValuesEx(s.ReadBytes(static_cast<size_t>(s.Remaining())));
                })
            .Build();
    return info;
}

TmlLangComponent::TmlLangComponent(TmlCustomLang& table, TComponent* owner)
    : TComponent(owner), table_(&table) {
    SetName(FromQString(table.objectName()));
}

TmlLangComponent::TmlLangComponent(TComponent* owner)
    : TComponent(owner), own_(std::make_unique<TmlLang>()), table_(own_.get()) {}

TmlLangComponent::~TmlLangComponent() = default;

const TClassInfo& TmlLangComponent::StaticClassInfo() {
    static const TClassInfo info = MakeLangClassInfo();
    return info;
}

TmlCustomLang& TmlLangComponent::LoadingTable() {
    if (!table_->IsLoading()) {
        table_->BeginLoading();
        // The stream leaves out the declared default, so a table without the property is
        // one with the tab as its delimiter.
        table_->SetLangDelim('\t');
    }
    return *table_;
}

void TmlLangComponent::Loaded() {
    TComponent::Loaded();
    if (!Name().empty())
        table_->setObjectName(ToQString(Name()));
    table_->Loaded();
}

void RegisterTmlLang() {
    if (GetClass("TmlLang") == nullptr)
        RegisterClass(TmlLangComponent::StaticClassInfo());
}

void WriteLangComponent(TStream& stream, TmlCustomLang& table) {
    WriteComponent(stream, TmlLangComponent(table));
}

void ReadLangComponent(TStream& stream, TmlCustomLang& table) {
    TmlLangComponent face(table);
    try {
        ReadComponent(stream, face);
    } catch (...) {
        if (table.IsLoading())
            table.Loaded();
        throw;
    }
}

} // namespace vx
