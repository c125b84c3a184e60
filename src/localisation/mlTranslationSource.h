#pragma once

// The readable source of a translation table, resources/translations/<Owner>.tsv: UTF-8,
// tab-separated, a header "list, key, <one column per language>", then one row per item:
// the list's name (Captions, Hints, ..., Strings, CharSets), the key and its texts. Rows
// whose list is "Property" set one of the table's stored properties (key: its name, the
// first text: its value). In texts, \n, \r, \t and \\ stand for LF, CR, TAB and a backslash.

#include <string>
#include <string_view>
#include <vector>

namespace vx {

class TmlCustomLang;

struct TranslationSourceRow {
    int Line = 0;
    std::string List;
    std::string Key;
    // cp1252 texts, one per language column, missing ones empty.
    std::vector<std::string> Texts;
};

struct TranslationSource {
    // The language columns of the header ("it", "en", "de").
    std::vector<std::string> Languages;
    std::vector<TranslationSourceRow> Rows;
};

// Raises EConvertError "line <n>: <reason>" for a malformed header or row, an unknown list,
// text that is not UTF-8 or a character that cp1252 cannot hold.
TranslationSource ParseTranslationSource(std::string_view utf8);

// The table as the build stores it: the system's settings, the source's properties, then
// every list the source names replaced by its rows (a list it does not name keeps its
// contents at creation, such as the 15 dialog captions).
void FillTableFromSource(TmlCustomLang& lang, const TranslationSource& source);

} // namespace vx
