#pragma once

// The stored form of a translation table as the program carries it: the table's published
// properties (INI text, section "TmlLang", only values that differ from their defaults) beside
// its TranslationData, compiled into the program as ":/translations/<name>.properties" and
// ":/translations/<name>.TranslationData".

#include <string>
#include <string_view>

namespace vx {

class TmlCustomLang;

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
