#include "localisation/mlStoredTable.h"

#include "localisation/MemIni.h"
#include "localisation/mlComp.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Strings.h"

#include <QFile>

#include <functional>
#include <optional>
#include <vector>

namespace vx {

namespace {

constexpr std::string_view kSection = "TmlLang";

using StoredProperty = TStoredTableProperty;

std::string BoolText(bool value) {
    return value ? "1" : "0";
}
bool TextBool(std::string_view text) {
    return StrToIntDef(text, 0) != 0;
}
std::string ListText(const TStringList& list) {
    return list.CommaText();
}
TStringList TextList(std::string_view text) {
    TStringList list;
    list.SetCommaText(text);
    return list;
}

StoredProperty Bool(std::string_view name, bool def, std::function<bool(const TmlCustomLang&)> get,
                    std::function<void(TmlCustomLang&, bool)> set) {
    return {name,
            TPropKind::Boolean,
            def ? 1 : 0,
            {},
            [=](const TmlCustomLang& lang) -> std::optional<std::string> {
                if (get(lang) == def)
                    return std::nullopt;
                return BoolText(get(lang));
            },
            [=](TmlCustomLang& lang, std::string_view text) { set(lang, TextBool(text)); },
            {},
            {}};
}

StoredProperty Int(std::string_view name, int def, std::function<int(const TmlCustomLang&)> get,
                   std::function<void(TmlCustomLang&, int)> set) {
    return {name,
            TPropKind::Integer,
            def,
            {},
            [=](const TmlCustomLang& lang) -> std::optional<std::string> {
                if (get(lang) == def)
                    return std::nullopt;
                return IntToStr(get(lang));
            },
            [=](TmlCustomLang& lang, std::string_view text) {
                int32_t value = 0;
                if (!TryStrToInt(text, value))
                    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
                set(lang, value);
            },
            {},
            {}};
}

StoredProperty List(std::string_view name, bool always,
                    std::function<const TStringList&(const TmlCustomLang&)> get,
                    std::function<void(TmlCustomLang&, const TStringList&)> set) {
    return {name,
            TPropKind::StringList,
            0,
            {},
            [=](const TmlCustomLang& lang) -> std::optional<std::string> {
                if (!always && get(lang).Empty())
                    return std::nullopt;
                return ListText(get(lang));
            },
            [=](TmlCustomLang& lang, std::string_view text) { set(lang, TextList(text)); },
            get,
            set};
}

// An integer stored as its number that the component stream writes as an enumeration or set.
StoredProperty WithKind(StoredProperty property, TPropKind kind, std::vector<std::string> names) {
    property.Kind = kind;
    property.Names = std::move(names);
    return property;
}

} // namespace

// In declaration order: the base class's published properties, then TmlLang's.
const std::vector<TStoredTableProperty>& StoredTableProperties() {
    using L = TmlCustomLang;
    static const std::vector<StoredProperty> properties = {
        Bool(
            "IsInheritedOwner", false, [](const L& l) { return l.IsInheritedOwner; },
            [](L& l, bool v) { l.IsInheritedOwner = v; }),
        List(
            "StringsTypes", true, [](const L& l) -> const TStringList& { return l.StringsTypes(); },
            [](L& l, const TStringList& v) { l.SetStringsTypes(v); }),
        List(
            "SmartExcludeProps", false,
            [](const L& l) -> const TStringList& { return l.SmartExcludeProps(); },
            [](L& l, const TStringList& v) { l.SetSmartExcludeProps(v); }),
        Bool(
            "HandleResourceStrings", false, [](const L& l) { return l.HandleResourceStrings; },
            [](L& l, bool v) { l.HandleResourceStrings = v; }),
        Int(
            "ResourceLanguageIndex", 1, [](const L& l) { return l.ResourceLanguageIndex(); },
            [](L& l, int v) { l.SetResourceLanguageIndex(v); }),
        Bool(
            "TranslateExtendedFirst", false, [](const L& l) { return l.TranslateExtendedFirst; },
            [](L& l, bool v) { l.TranslateExtendedFirst = v; }),
        Bool(
            "UseDefaultLanguage", false, [](const L& l) { return l.UseDefaultLanguage; },
            [](L& l, bool v) { l.UseDefaultLanguage = v; }),
        Int(
            "DefaultLanguage", 1, [](const L& l) { return l.DefaultLanguage(); },
            [](L& l, int v) { l.SetDefaultLanguage(v); }),
        Bool(
            "AutoSkipEmpties", true, [](const L& l) { return l.AutoSkipEmpties(); },
            [](L& l, bool v) { l.SetAutoSkipEmpties(v); }),
        Bool(
            "StoreAsUTF8", false, [](const L& l) { return l.StoreAsUTF8(); },
            [](L& l, bool v) { l.SetStoreAsUTF8(v); }),
        Bool(
            "UseTaskMsgDlg", true, [](const L& l) { return l.UseTaskMsgDlg; },
            [](L& l, bool v) { l.UseTaskMsgDlg = v; }),
        Int(
            "NumOfLanguages", 1, [](const L& l) { return l.NumOfLanguages(); },
            [](L& l, int v) { l.SetNumOfLanguages(v); }),
        Int(
            "ActiveLanguage", 1, [](const L& l) { return l.ActiveLanguage(); },
            [](L& l, int v) { l.SetActiveLanguage(v); }),
        Bool(
            "ChangeLocales", false, [](const L& l) { return l.ChangeLocales(); },
            [](L& l, bool v) { l.SetChangeLocales(v); }),
        Int(
            "LangDelim", 9, [](const L& l) { return static_cast<unsigned char>(l.LangDelim()); },
            [](L& l, int v) {
                if (v < 1 || v > 255)
                    throw EConvertError("LangDelim " + IntToStr(v) + " is not a character code");
                l.SetLangDelim(static_cast<char>(v));
            }),
        List(
            "DoNotTranslate", false,
            [](const L& l) -> const TStringList& { return l.DoNotTranslate(); },
            [](L& l, const TStringList& v) { l.SetDoNotTranslate(v); }),
        List(
            "LangNames", true, [](const L& l) -> const TStringList& { return l.LangNames(); },
            [](L& l, const TStringList& v) { l.SetLangNames(v); }),
        {"Language",
         TPropKind::String,
         0,
         {},
         [](const L& l) -> std::optional<std::string> {
             if (l.Language().empty())
                 return std::nullopt;
             return l.Language();
         },
         [](L& l, std::string_view v) { l.SetLanguage(v); },
         {},
         {}},
        {"TranslateType",
         TPropKind::Enumeration,
         ttNoChange,
         {"ttNoChange", "ttGetDefault"},
         [](const L& l) -> std::optional<std::string> {
             if (l.TranslateType == ttNoChange)
                 return std::nullopt;
             return std::string("ttGetDefault");
         },
         [](L& l, std::string_view v) {
             if (v != "ttNoChange" && v != "ttGetDefault")
                 throw EConvertError("'" + std::string(v) + "' is not a TTranslateType");
             l.TranslateType = v == "ttGetDefault" ? ttGetDefault : ttNoChange;
         },
         {},
         {}},
        WithKind(Int(
                     "Options", 0, [](const L& l) { return static_cast<int>(l.Options()); },
                     [](L& l, int v) { l.SetOptions(static_cast<unsigned>(v) & 3u); }),
                 TPropKind::Set, {"loUseExtUDStrings", "loUseExtCommonStrings"}),
        Bool(
            "NeedAllDlgs", false, [](const L& l) { return l.NeedAllDlgs(); },
            [](L& l, bool v) { l.SetNeedAllDlgs(v); }),
        Int(
            "ChangingCursor", -1, [](const L& l) { return l.ChangingCursor; },
            [](L& l, int v) { l.ChangingCursor = static_cast<int16_t>(v); }),
        List(
            "ExcludedProperties", false,
            [](const L& l) -> const TStringList& { return l.ExcludedProperties(); },
            [](L& l, const TStringList& v) { l.SetExcludedProperties(v); }),
        Bool(
            "DoRaiseExceptions", false, [](const L& l) { return l.DoRaiseExceptions; },
            [](L& l, bool v) { l.DoRaiseExceptions = v; }),
    };
    return properties;
}

namespace {

const std::vector<StoredProperty>& StoredProperties() {
    return StoredTableProperties();
}

} // namespace

void SetTableProperty(TmlCustomLang& lang, std::string_view name, std::string_view value) {
    for (const StoredProperty& property : StoredProperties())
        if (SameText(property.Name, name)) {
            property.Set(lang, value);
            return;
        }
    throw EConvertError("'" + std::string(name) + "' is not a stored property of TmlLang");
}

std::string WriteTableProperties(const TmlCustomLang& lang) {
    TmlMemIniFile ini("");
    for (const StoredProperty& property : StoredProperties())
        if (std::optional<std::string> text = property.Get(lang))
            ini.WriteString(kSection, property.Name, *text);
    TStringList lines;
    ini.GetStrings(lines);
    return lines.Text();
}

void ReadTableProperties(TmlCustomLang& lang, std::string_view iniText) {
    TmlMemIniFile ini("");
    TMemoryStream stream{std::string(iniText)};
    ini.LoadFromStream(stream);
    TStringList present;
    ini.ReadSection(kSection, present);
    for (const StoredProperty& property : StoredProperties())
        if (present.IndexOf(property.Name) >= 0)
            property.Set(lang, ini.ReadString(kSection, property.Name, ""));
}

void LoadStoredTable(TmlCustomLang& lang, std::string_view properties,
                     std::string_view translationData) {
    lang.BeginLoading();
    try {
        ReadTableProperties(lang, properties);
        TMemoryStream stream{std::string(translationData)};
        lang.ReadTranslationData(stream);
    } catch (...) {
        // The table leaves the loading state with what it has read.
        lang.Loaded();
        throw;
    }
    lang.Loaded();
}

bool LoadTranslationResource(TmlCustomLang& lang, std::string_view name) {
    const QString base = QStringLiteral(":/translations/") + ToQString(name);
    QFile data(base + QStringLiteral(".TranslationData"));
    if (!data.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = data.readAll();
    QFile props(base + QStringLiteral(".properties"));
    const QByteArray properties = props.open(QIODevice::ReadOnly) ? props.readAll() : QByteArray();
    LoadStoredTable(lang, std::string_view(properties.constData(), properties.size()),
                    std::string_view(bytes.constData(), bytes.size()));
    return true;
}

void ApplySystemTableSettings(TmlCustomLang& lang) {
    TStringList names;
    for (const char* name : {"Italiano", "English", "Deutsch"})
        names.Add(name);
    lang.SetLangDelim('\1');
    lang.SetNumOfLanguages(3);
    lang.SetLangNames(names);
    TStringList excluded;
    for (size_t i = 0; i < 20; ++i)
        excluded.Add(TmlCustomLang::DefaultExcludedProperties()[i]);
    lang.SetExcludedProperties(excluded);
}

} // namespace vx
