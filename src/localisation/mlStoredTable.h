#pragma once

// The stored form of a translation table as the program carries it: the table's published
// properties (INI text, section "TmlLang", only values that differ from their defaults) beside
// its TranslationData, compiled into the program as ":/translations/<name>.properties" and
// ":/translations/<name>.TranslationData".

#include "platform/runtime/Meta.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

class TmlCustomLang;
class TStringList;

// One published property of the table as it is stored, in text and, for the component stream,
// by kind: Boolean ("0"/"1"), Integer, Enumeration (by value name), Set (an integer of the bits
// of Names), String or StringList.
struct TStoredTableProperty {
    std::string_view Name;
    TPropKind Kind = TPropKind::Integer;
    int64_t Default = 0; // of the ordinal kinds
    std::vector<std::string> Names;
    // The stored text, or nothing when the value is its default and is not stored.
    std::function<std::optional<std::string>(const TmlCustomLang&)> Get;
    std::function<void(TmlCustomLang&, std::string_view)> Set;
    // StringList only.
    std::function<const TStringList&(const TmlCustomLang&)> GetList;
    std::function<void(TmlCustomLang&, const TStringList&)> SetList;
};
// The stored properties in declaration order (NumOfLanguages before ActiveLanguage, LangNames
// before Language), which is the order the setters expect them in while a table loads.
const std::vector<TStoredTableProperty>& StoredTableProperties();

// Sets one published property from its stored text (lists as comma text, Booleans 0/1,
// TranslateType by name, LangDelim as a character code). Raises EConvertError for a name that
// is not a stored property.
void SetTableProperty(TmlCustomLang& lang, std::string_view name, std::string_view value);

std::string WriteTableProperties(const TmlCustomLang& lang);
// Applies the stored properties in their declaration order (NumOfLanguages before
// ActiveLanguage) through the setters; the table should be loading.
void ReadTableProperties(TmlCustomLang& lang, std::string_view iniText);

// Reads a table as a form's stream does: properties, then TranslationData, then Loaded.
void LoadStoredTable(TmlCustomLang& lang, std::string_view properties,
                     std::string_view translationData);
// The table compiled into the program under that name; false when the program holds none.
bool LoadTranslationResource(TmlCustomLang& lang, std::string_view name);

// The settings of every table of the system: three languages Italiano, English, Deutsch,
// delimiter 1 and the first 20 excluded property names.
void ApplySystemTableSettings(TmlCustomLang& lang);

} // namespace vx
