#pragma once

// Writing a table's texts of the active language into the published properties of its owner
// and the owner's components.

#include <functional>
#include <string>
#include <string_view>

class QObject;

namespace vx {

class TStringList;
class TmlExtendedItems;

// What the walk needs of a translation table: its owner, its lists (changed by the walk's
// cleaning) and the settings that choose a line's text.
struct TmlApplyContext {
    QObject* Owner = nullptr;
    char Delim = '\1';
    int NumOfLanguages = 1;
    int ActiveLanguage = 1;
    bool UseDefaultLanguage = false;
    int DefaultLanguage = 1;
    // TranslateType ttGetDefault: an empty text falls back to language 1.
    bool GetDefault = false;
    bool AutoSkipEmpties = true;
    bool ChangeLocales = false;
    // -1 applies every kind, else one TStringsType value.
    int ApplyKind = -1;

    TStringList* Captions = nullptr;
    TStringList* Hints = nullptr;
    TStringList* DisplayLabels = nullptr;
    TStringList* Fonts = nullptr;
    TStringList* MultiLines = nullptr;
    TStringList* OtherStrings = nullptr;
    TStringList* Locales = nullptr;
    TStringList* Collections = nullptr;
    TStringList* CharSets = nullptr;
    const TStringList* DoNotTranslate = nullptr;
    const TStringList* SmartExcludeProps = nullptr;
    // Receives the lines whose component or collection item does not exist.
    TStringList* SetAside = nullptr;
    // True for an object that owns a table of its own: its components are not the owner's.
    std::function<bool(const QObject*)> HasOwnTable;

    // The dispatcher's test display of a language-1 text; empty while the test mode is off.
    std::function<std::string(std::string_view text)> TestDisplay;
    // A stored text of a language as the program shows it; empty when texts are stored as
    // they are shown.
    std::function<std::string(std::string_view text, int language)> FromStored;
    // Written after the lists, or before them with TranslateExtendedFirst, when every kind is
    // applied.
    const TmlExtendedItems* Extended = nullptr;
    bool TranslateExtendedFirst = false;
};

// Steps 4 to 8 of a language change: the owner's caption, hint and font, then every list
// the apply kind selects, in the order the lists depend on each other.
void ApplyTranslations(TmlApplyContext& context);

// The owner's component of that name, ignoring case: a descendant QObject with that
// objectName, not looking inside descendants that own a table of their own. Null when none.
QObject* FindOwnedComponent(const QObject* owner, std::string_view name,
                            const std::function<bool(const QObject*)>& hasOwnTable);

// "DEFAULT_CHARSET" -> 1; -1 for a name outside the 19 font character sets.
int CharsetFromName(std::string_view name);

} // namespace vx
