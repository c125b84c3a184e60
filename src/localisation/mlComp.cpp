#include "localisation/mlComp.h"

#include "localisation/MemIni.h"
#include "localisation/mlApply.h"
#include "localisation/mlCodePages.h"
#include "localisation/mlLangDispatcher.h"
#include "platform/graphics/GraphicsMeta.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Format.h"
#include "platform/runtime/FormatSettings.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Strings.h"
#include "platform/runtime/UiServices.h"

#include <QLocale>

#include <algorithm>

#include <utility>

namespace vx {

bool UseCEscapes = false;

namespace {

constexpr std::array<std::string_view, kStringsTypeCount> kTypeNames = {
    "stCaptions",   "stHints",        "stDisplayLabels", "stFonts",
    "stMultiLines", "stDlgsCaptions", "stStrings",       "stOtherStrings",
    "stLocales",    "stCollections",  "stCharSets",      "stListView_TreeView_Items"};

// The property each kind names, for the removal of excluded items.
constexpr std::array<std::string_view, kStringsTypeCount - 1> kKindProperties = {
    "Caption", "Hint",  "DisplayLabel", "Font",        "TStrings", "Dialog",
    "Strings", "Other", "Locales",      "Collections", "CharSet"};

constexpr std::array<std::string_view, 15> kDialogKeys = {
    "Warning", "Error", "Information", "Confirm", "Yes",       "No",         "OK",  "Cancel",
    "Abort",   "Retry", "Ignore",      "All",     "No To All", "Yes To All", "Help"};

// The message dialogs' current captions, then the captions of the standard dialogs; the key
// of each entry is its caption without "&".
constexpr std::array<std::string_view, 86> kDialogCaptions = {"Warning",
                                                              "Error",
                                                              "Information",
                                                              "Confirm",
                                                              "&Yes",
                                                              "&No",
                                                              "OK",
                                                              "Cancel",
                                                              "&Abort",
                                                              "&Retry",
                                                              "&Ignore",
                                                              "&All",
                                                              "N&o to All",
                                                              "Yes to &All",
                                                              "&Help",
                                                              "&Open",
                                                              "Look &in:",
                                                              "File &name:",
                                                              "Files of &type:",
                                                              "&Read-only",
                                                              "&Save",
                                                              "&Drives:",
                                                              "Save &in:",
                                                              "Save as &type:",
                                                              "&Basic colors:",
                                                              "&Custom colors:",
                                                              "&Define Custom Colors >>",
                                                              "Color",
                                                              "|S&olid",
                                                              "Hu&e:",
                                                              "&Sat:",
                                                              "&Lum:",
                                                              "&Red:",
                                                              "&Green:",
                                                              "Bl&ue:",
                                                              "&Add to Custom Colors",
                                                              "&Font:",
                                                              "Font st&yle:",
                                                              "Si&ze:",
                                                              "&Color:",
                                                              "&Apply",
                                                              "Effects",
                                                              "Stri&keout",
                                                              "&Underline",
                                                              "Sample",
                                                              "Sc&ript:",
                                                              "Printer",
                                                              "&Name:",
                                                              "&Properties",
                                                              "Status:",
                                                              "Type:",
                                                              "Where:",
                                                              "Comment:",
                                                              "Paper",
                                                              "&Source:",
                                                              "Orientation",
                                                              "P&ortrait",
                                                              "L&andscape",
                                                              "Print to f&ile",
                                                              "Print",
                                                              "Pa&ges",
                                                              "&Selection",
                                                              "&from:",
                                                              "&to:",
                                                              "Copies",
                                                              "Number of &copies:",
                                                              "C&ollate",
                                                              "Fi&nd what:",
                                                              "Match &whole words only",
                                                              "Match &case",
                                                              "Direction",
                                                              "&Up",
                                                              "&Down",
                                                              "&Find Next",
                                                              "&Replace",
                                                              "Replace &All",
                                                              "Re&place with:",
                                                              "Picture:",
                                                              "Preview",
                                                              "New Folder",
                                                              "Folder:",
                                                              "(None)",
                                                              "Close",
                                                              "Network",
                                                              "Print Setup",
                                                              "Find"};

constexpr std::array<std::string_view, 15> kLocaleKeys = {
    "Currency String",   "Thousand Separator", "Decimal Separator", "Date Separator",
    "Short Date Format", "Long Date Format",   "Time Separator",    "Time AM String",
    "Time PM String",    "Short Time Format",  "Long Time Format",  "Short Month Names",
    "Long Month Names",  "Short Day Names",    "Long Day Names"};

constexpr std::array<std::string_view, 30> kExcludedAtCreation = {"Category",
                                                                  "SecondaryShortCuts",
                                                                  "HelpKeyword",
                                                                  "InitialDir",
                                                                  "HelpKeyword",
                                                                  "ActivePage",
                                                                  "ImeName",
                                                                  "DefaultExt",
                                                                  "FileName",
                                                                  "FieldName",
                                                                  "PickList",
                                                                  "DisplayFormat",
                                                                  "EditMask",
                                                                  "KeyList",
                                                                  "LookupDisplayFields",
                                                                  "DropDownSpecRow",
                                                                  "TableName",
                                                                  "DatabaseName",
                                                                  "IndexName",
                                                                  "MasterFields",
                                                                  "SQL",
                                                                  "DeleteSQL",
                                                                  "UpdateSQL",
                                                                  "ModifySQL",
                                                                  "KeyFields",
                                                                  "LookupKeyFields",
                                                                  "LookupResultField",
                                                                  "DataField",
                                                                  "KeyField",
                                                                  "ListField"};

std::string WithoutAmpersands(std::string_view caption) {
    std::string key;
    for (char c : caption)
        if (c != '&')
            key += c;
    return key;
}

std::string KeyOf(std::string_view line, char delimiter) {
    return std::string(line.substr(0, line.find(delimiter)));
}

// Upper-cases a to z only, as the text search of the lists does.
std::string AsciiUpper(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return r;
}

// Fields of an item with an empty last piece dropped, so a closing delimiter adds no field.
std::vector<std::string> ItemFields(std::string_view line, char delimiter) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t d = line.find(delimiter, start);
        fields.emplace_back(line.substr(start, d == std::string_view::npos ? d : d - start));
        if (d == std::string_view::npos)
            break;
        start = d + 1;
    }
    if (fields.size() > 1 && fields.back().empty())
        fields.pop_back();
    return fields;
}

std::string JoinItem(const std::vector<std::string>& fields, char delimiter) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i)
        line.append(fields[i]).append(i + 1 < fields.size() ? 1 : 0, delimiter);
    return line.append(1, delimiter);
}

// UTF-16LE bytes to cp1252; a character the code page lacks becomes '?'.
std::string Utf16LeToCp1252(std::string_view bytes) {
    return Utf8ToCp1252(Utf16LeToUtf8(bytes));
}

int HeaderKind(std::string_view line) {
    for (int k = 0; k < kStringsTypeCount; ++k) {
        if (SameText(line, kTypeNames[static_cast<size_t>(k)]))
            return k;
        // Unicode sections of other writers hold the same items; after the conversion above
        // their lines read like any other.
        const std::string unicode = std::string(kTypeNames[static_cast<size_t>(k)]) + "_Unicode";
        if (SameText(line, unicode))
            return k;
    }
    return -1;
}

QObject* CheckSingleTable(QObject* owner) {
    if (TableOfOwner(owner) != nullptr)
        throw Exception("Only one TmlCustomLang component per Form/DataModule allowed!");
    return owner;
}

std::string JoinNames(const QLocale& locale, bool months, QLocale::FormatType format) {
    std::string joined;
    const int count = months ? 12 : 7;
    for (int i = 1; i <= count; ++i) {
        // Day lists start with Sunday.
        const int n = months ? i : (i == 1 ? 7 : i - 1);
        const QString name = months ? locale.monthName(n, format) : locale.dayName(n, format);
        joined += (i > 1 ? "," : "") + FromQString(name);
    }
    return joined;
}

} // namespace

std::string_view StringsTypeName(TStringsType type) {
    return kTypeNames.at(static_cast<size_t>(type));
}

std::string DecodeCEscapes(std::string_view text) {
    auto isOctal = [](char c) { return c >= '0' && c <= '7'; };
    auto hexValue = [](char c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c != '\\' || i + 1 == text.size()) {
            out += c;
            ++i;
            continue;
        }
        const char e = text[i + 1];
        i += 2;
        switch (e) {
        case 'a':
            out += '\a';
            break;
        case 'b':
            out += '\b';
            break;
        case 'f':
            out += '\f';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'v':
            out += '\v';
            break;
        case '\\':
            out += '\\';
            break;
        case '"':
            out += '"';
            break;
        case '\'':
            out += '\'';
            break;
        case '?':
            out += '?';
            break;
        case 'x': {
            int value = 0, digits = 0;
            while (digits < 2 && i < text.size() && hexValue(text[i]) >= 0) {
                value = value * 16 + hexValue(text[i++]);
                ++digits;
            }
            if (digits == 0)
                out += "\\x";
            else
                out += static_cast<char>(value);
            break;
        }
        default:
            if (isOctal(e)) {
                int value = e - '0';
                for (int digits = 1; digits < 3 && i < text.size() && isOctal(text[i]); ++digits)
                    value = value * 8 + (text[i++] - '0');
                out += static_cast<char>(value % 256);
            } else {
                out += '\\';
                out += e;
            }
        }
    }
    return out;
}

int CharSetOfName(std::string_view name) {
    // Table texts name the character set exactly as written.
    int32_t value = 1;
    std::string ident;
    if (!IdentToCharset(name, value) || !CharsetToIdent(value, ident) || ident != name)
        return 1;
    return value;
}

TmlCustomLang* TableOfOwner(const QObject* owner) {
    if (owner != nullptr)
        for (QObject* child : owner->children())
            if (auto* table = qobject_cast<TmlCustomLang*>(child))
                return table;
    return nullptr;
}

const std::array<std::string_view, 15>& TmlCustomLang::DialogKeys() {
    return kDialogKeys;
}

const std::array<std::string_view, 15>& TmlCustomLang::LocaleKeys() {
    return kLocaleKeys;
}

const std::array<std::string_view, 30>& TmlCustomLang::DefaultExcludedProperties() {
    return kExcludedAtCreation;
}

// ---- creation ----

TmlCustomLang::TmlCustomLang(QObject* owner) : QObject(CheckSingleTable(owner)) {
    langNames_.Add("Language N1");
    for (std::string_view name : kExcludedAtCreation)
        excludedProperties_.Add(name);
    stringsTypes_.Add("TIB_STRINGLIST");
    stringsTypes_.Add("TSTRINGLIST");
    for (size_t i = 0; i < kDialogKeys.size(); ++i)
        DlgsCaptions().Add(std::string(kDialogKeys[i]) + langDelim_ +
                           std::string(kDialogCaptions[i]) + langDelim_);

    const TFormatSettings& fs = FormatSettings();
    const QLocale locale = QLocale::system();
    localeDefaults_ = {FromQString(locale.currencySymbol()),
                       std::string(1, fs.ThousandSeparator),
                       std::string(1, fs.DecimalSeparator),
                       std::string(1, fs.DateSeparator),
                       fs.ShortDateFormat,
                       fs.LongDateFormat,
                       std::string(1, fs.TimeSeparator),
                       fs.TimeAMString,
                       fs.TimePMString,
                       fs.ShortTimeFormat,
                       fs.LongTimeFormat,
                       JoinNames(locale, true, QLocale::ShortFormat),
                       JoinNames(locale, true, QLocale::LongFormat),
                       JoinNames(locale, false, QLocale::ShortFormat),
                       JoinNames(locale, false, QLocale::LongFormat)};
    decodeEscapes_ = UseCEscapes;
    languageCharSets_.assign(1, 1);
}

TmlCustomLang::~TmlCustomLang() = default;

std::string TmlCustomLang::OwnerClassName() const {
    if (Owner() == nullptr)
        return {};
    const std::string name = Owner()->metaObject()->className();
    const size_t colon = name.rfind(':');
    return colon == std::string::npos ? name : name.substr(colon + 1);
}

// ---- lists ----

TStringList* TmlCustomLang::List(TStringsType type) {
    return const_cast<TStringList*>(std::as_const(*this).List(type));
}

const TStringList* TmlCustomLang::List(TStringsType type) const {
    if (type < stCaptions || type >= stListView_TreeView_Items)
        return nullptr;
    return &lists_[static_cast<size_t>(type)];
}

void TmlCustomLang::SetList(TStringsType type, const TStringList& lines) {
    TStringList* list = List(type);
    if (list == nullptr)
        return;
    if (list != &lines)
        list->Assign(lines);
    if (type == stDlgsCaptions)
        return;
    applyKind_ = type;
    ChangeLanguage();
}

// ---- lookup ----

std::string TmlCustomLang::GetTextOrDefault(std::string_view id) {
    if (!UseDefaultLanguage) {
        std::string text = InternalGetText(Strings(), id, true);
        return decodeEscapes_ ? DecodeCEscapes(text) : text;
    }
    std::string text = GetText(id);
    if (!text.empty())
        return text;
    struct Restore {
        int& field;
        int saved;
        ~Restore() { field = saved; }
    } restore{activeLanguage_, activeLanguage_};
    activeLanguage_ = defaultLanguage_;
    text = GetText(id);
    if (text.empty())
        text = InternalGetText(Strings(), id, true);
    return text;
}

std::string TmlCustomLang::GetText(std::string_view id) {
    std::string text = InternalGetText(Strings(), id, TranslateType == ttGetDefault);
    return decodeEscapes_ ? DecodeCEscapes(text) : text;
}

std::string TmlCustomLang::InternalGetText(const TStringList& list, std::string_view id,
                                           bool fallBack) {
    int kind = -1;
    if (&list == &lists_[stStrings] && (options_ & loUseExtUDStrings) != 0)
        kind = stStrings;
    else if ((&list == &lists_[stDlgsCaptions] || &list == &lists_[stLocales]) &&
             (options_ & loUseExtCommonStrings) != 0)
        kind = &list == &lists_[stLocales] ? stLocales : stDlgsCaptions;
    if (kind >= 0) {
        const std::vector<TmlCustomLang*>* tables = LinkedTables();
        if (tables == nullptr)
            return {};
        // The table itself is left out: its own list is the last resort, not a redirection.
        for (TmlCustomLang* table : *tables)
            if (table != this && table->List(static_cast<TStringsType>(kind))->Count() > 0)
                return SearchListText(*table->List(static_cast<TStringsType>(kind)), id, fallBack);
    }
    if (&list == &lists_[stStrings])
        return TextOfIndexItem(id, fallBack);
    return SearchListText(list, id, fallBack);
}

std::string TmlCustomLang::TextOfIndexItem(std::string_view id, bool fallBack) {
    if (DoRaiseExceptions) {
        bool present = false;
        for (int i = 0; i < Strings().Count() && !present; ++i)
            present = SameText(KeyOf(Strings()[i], langDelim_), id);
        if (!present)
            throw ELanguageError(Format("String identifier \"%s\" not found!", {id}));
    }
    const TmlStringsCollectionItem* item = stringsTable_.Find(id);
    if (item == nullptr)
        return {};
    auto text = [&](int language) {
        const size_t k = static_cast<size_t>(language - 1);
        return language >= 1 && k < item->Texts.size() ? FromStored(item->Texts[k], language)
                                                       : std::string();
    };
    std::string result = text(activeLanguage_);
    if (result.empty() && activeLanguage_ > 1)
        result = TestModeText(text(1));
    if (result.empty() && fallBack)
        result = text(1);
    return result;
}

std::string TmlCustomLang::SearchListText(const TStringList& list, std::string_view id,
                                          bool fallBack, bool raise) {
    const std::string text = list.Text();
    const std::string head = std::string(id) + langDelim_;
    size_t start = std::string::npos;
    if (text.size() >= head.size() && SameText(std::string_view(text).substr(0, head.size()), head))
        start = 0;
    else if (const int pos = BMHPos(AsciiUpper("\r\n" + head), AsciiUpper(text)); pos > 0)
        start = static_cast<size_t>(pos - 1);
    if (start == std::string::npos) {
        if (raise && DoRaiseExceptions)
            throw ELanguageError(Format("String identifier \"%s\" not found!", {id}));
        return {};
    }
    const std::string_view line = std::string_view(text).substr(start);
    auto field = [&](int language) {
        return FromStored(GetDelimitedField(line, langDelim_, language), language);
    };
    std::string result = field(activeLanguage_);
    if (result.empty() && activeLanguage_ > 1)
        result = TestModeText(field(1));
    if (result.empty() && fallBack)
        result = field(1);
    return result;
}

std::string TmlCustomLang::InternalGetTextByIndex(const TStringList& list, int index,
                                                  bool fallBack) {
    const TStringList* source = &list;
    const bool common = &list == &lists_[stDlgsCaptions] || &list == &lists_[stLocales];
    if (common && (options_ & loUseExtCommonStrings) != 0) {
        const int kind = &list == &lists_[stLocales] ? stLocales : stDlgsCaptions;
        const std::vector<TmlCustomLang*>* tables = LinkedTables();
        if (tables == nullptr)
            return {};
        for (TmlCustomLang* table : *tables)
            if (table != this && table->List(static_cast<TStringsType>(kind))->Count() > 0) {
                source = table->List(static_cast<TStringsType>(kind));
                break;
            }
    }
    if (index < 0 || index >= source->Count())
        return {};
    std::string result = GetDelimitedField((*source)[index], langDelim_, activeLanguage_);
    if (result.empty() && fallBack)
        result = GetDelimitedField((*source)[index], langDelim_, 1);
    if (storeAsUTF8_ && !result.empty())
        result = Utf8ToCodePage(result, CharsetToCodePage(currentCharSet_));
    return result;
}

void TmlCustomLang::SetTranslation(TStringList& list, std::string_view value, int language,
                                   std::string_view key) {
    if (language < 1)
        return;
    const std::string text =
        storeAsUTF8_ ? CodePageToUtf8(value, CharsetToCodePage(LanguageCharSet(language)))
                     : std::string(value);
    if (&list == &lists_[stStrings]) {
        if (TmlStringsCollectionItem* item = stringsTable_.Find(key);
            item != nullptr && static_cast<size_t>(language) <= item->Texts.size())
            item->Texts[static_cast<size_t>(language - 1)] = text;
        // The resource-string index is sorted by text, so its item is found by walking it.
        for (int i = 0; i < resourceStringsTable_.Count(); ++i) {
            TmlStringsCollectionItem& item = resourceStringsTable_.Items(i);
            if (!SameText(item.ID, key) || static_cast<size_t>(language) > item.Texts.size())
                continue;
            item.Texts[static_cast<size_t>(language - 1)] = text;
            if (language == resourceStringsTable_.SortLanguage)
                resourceStringsTable_.Sort(true);
            break;
        }
    }
    for (int i = 0; i < list.Count(); ++i) {
        if (!SameText(KeyOf(list[i], langDelim_), key))
            continue;
        std::vector<std::string> fields = ItemFields(list[i], langDelim_);
        while (fields.size() <= static_cast<size_t>(language))
            fields.emplace_back();
        fields[static_cast<size_t>(language)] = std::string(text);
        list.Put(i, JoinItem(fields, langDelim_));
        return;
    }
}

void TmlCustomLang::RebuildStringsTable() {
    stringsTable_.Build(Strings(), langDelim_, numOfLanguages_);
    RebuildResourceStringsTable();
}

// ---- language ----

void TmlCustomLang::SetActiveLanguage(int value) {
    if (value == activeLanguage_)
        return;
    if (value < 1 || value > numOfLanguages_) {
        if (loading_)
            return;
        if (Owner() != nullptr)
            throw ELanguageError(
                Format("%s: %d - is not a valid property value!\rValue must be within [1..%d]!",
                       {OwnerClassName(), value, numOfLanguages_}));
        throw ELanguageError(
            Format("%d - is not a valid property value!\rValue must be within [1..%d]!",
                   {value, numOfLanguages_}));
    }
    applyKind_ = -1;
    struct BusyCursor {
        bool shown;
        ~BusyCursor() {
            if (shown)
                Ui().SetBusyCursor(false);
        }
    } cursor{ChangingCursor != -1};
    if (cursor.shown)
        Ui().SetBusyCursor(true);
    if (!loading_ && !SetByDispatcher && OnLanguageChanging) {
        bool allow = true;
        OnLanguageChanging(this, value, allow);
        if (!allow)
            return;
    }
    activeLanguage_ = value;
    if (loading_)
        return;
    if (langNames_.Count() >= value)
        language_ = langNames_[value - 1];
    ChangeLanguage();
}

void TmlCustomLang::SetNumOfLanguages(int value) {
    if (value == numOfLanguages_)
        return;
    if (value < 1)
        throw ELanguageError(IntToStr(value) + " - is not a valid property value !\r" +
                             "Value must be more than ZERO !");
    // Every language costs a name and a text per line: a count from a damaged stream must not
    // make the table take all memory.
    if (value > kMaxLanguages)
        throw ELanguageError(IntToStr(value) + " - is not a valid property value !\r" +
                             "Value must be within [1.." + IntToStr(kMaxLanguages) + "] !");
    if (value < numOfLanguages_)
        CutToLanguages(value);
    numOfLanguages_ = value;
    while (langNames_.Count() < value)
        langNames_.Add("Language N" + IntToStr(langNames_.Count() + 1));
    while (langNames_.Count() > value)
        langNames_.Delete(langNames_.Count() - 1);
    if (loading_)
        return;
    PadToLanguages();
    RebuildStringsTable();
    RefreshCharSets();
}

void TmlCustomLang::CutToLanguages(int languages) {
    for (TStringList& list : lists_)
        for (int i = 0; i < list.Count(); ++i) {
            const std::string& line = list[i];
            size_t at = std::string::npos;
            for (int d = 0; d <= languages; ++d) {
                at = line.find(langDelim_, at == std::string::npos ? 0 : at + 1);
                if (at == std::string::npos)
                    break;
            }
            if (at != std::string::npos && at + 1 < line.size())
                list.Put(i, line.substr(0, at + 1));
        }
}

void TmlCustomLang::PadToLanguages() {
    for (TStringsType type : {stStrings, stDlgsCaptions, stLocales}) {
        TStringList& list = *List(type);
        for (int i = 0; i < list.Count(); ++i) {
            const int have = CountDelimiters(list[i], std::string_view(&langDelim_, 1));
            if (have < numOfLanguages_ + 1)
                list.Put(i, list[i] + std::string(static_cast<size_t>(numOfLanguages_ + 1 - have),
                                                  langDelim_));
        }
    }
}

void TmlCustomLang::SetLanguage(std::string_view value) {
    if (value == language_)
        return;
    const int index = langNames_.IndexOf(value);
    if (index < 0 && !loading_)
        throw ELanguageError("Language name shall be included in LangNames property!");
    if (loading_) {
        if (index < 0)
            langNames_.Add(value);
        language_ = std::string(value);
        return;
    }
    // The language name follows the active language, so a vetoed change keeps both.
    SetActiveLanguage(index + 1);
}

void TmlCustomLang::SetLangNames(const TStringList& names) {
    if (&names == &langNames_)
        return;
    langNames_.Assign(names);
    if (activeLanguage_ >= 1 && langNames_.Count() >= activeLanguage_)
        language_ = langNames_[activeLanguage_ - 1];
    // At least one language remains even when the names are empty.
    numOfLanguages_ = std::max(1, langNames_.Count());
}

void TmlCustomLang::ChangeLanguage() {
    if (InternalInstance || Owner() == nullptr || SuppressApply)
        return;
    RefreshCharSets();
    TmlApplyContext context;
    context.Owner = Owner();
    context.Delim = langDelim_;
    context.NumOfLanguages = numOfLanguages_;
    context.ActiveLanguage = activeLanguage_;
    context.UseDefaultLanguage = UseDefaultLanguage;
    context.DefaultLanguage = defaultLanguage_;
    context.GetDefault = TranslateType == ttGetDefault;
    context.AutoSkipEmpties = autoSkipEmpties_;
    context.ChangeLocales = changeLocales_;
    context.ApplyKind = applyKind_;
    context.Captions = &Captions();
    context.Hints = &Hints();
    context.DisplayLabels = &DisplayLabels();
    context.Fonts = &Fonts();
    context.MultiLines = &MultiLines();
    context.OtherStrings = &OtherStrings();
    context.Locales = &Locales();
    context.Collections = &Collections();
    context.CharSets = &CharSets();
    context.DoNotTranslate = &doNotTranslate_;
    context.SmartExcludeProps = &smartExcludeProps_;
    context.SetAside = &setAside_;
    context.HasOwnTable = [](const QObject* object) { return TableOfOwner(object) != nullptr; };
    if (ActiveTestMode() != nullptr)
        context.TestDisplay = [this](std::string_view text) { return TestModeText(text); };
    if (storeAsUTF8_)
        context.FromStored = [this](std::string_view text, int language) {
            return FromStored(text, language);
        };
    context.Extended = &extended_;
    context.TranslateExtendedFirst = TranslateExtendedFirst;
    ApplyTranslations(context);
    if (OnChangeLanguage)
        OnChangeLanguage(this);
}

int TmlCustomLang::LanguageCharSet(int language) const {
    if (language < 1 || static_cast<size_t>(language) > languageCharSets_.size())
        return 1;
    return languageCharSets_[static_cast<size_t>(language - 1)];
}

void TmlCustomLang::RefreshCharSets() {
    const std::string key = Owner() != nullptr && !InternalInstance ? OwnerClassName() : "";
    languageCharSets_.assign(static_cast<size_t>(numOfLanguages_), 1);
    struct Restore {
        int& field;
        int saved;
        ~Restore() { field = saved; }
    } restore{activeLanguage_, activeLanguage_};
    for (int i = 1; i <= numOfLanguages_; ++i) {
        activeLanguage_ = i;
        const std::string name = SearchListText(CharSets(), key, false, false);
        languageCharSets_[static_cast<size_t>(i - 1)] = static_cast<uint8_t>(CharSetOfName(name));
    }
    activeLanguage_ = restore.saved;
    currentCharSet_ = LanguageCharSet(activeLanguage_);
}

// ---- stored form ----

void TmlCustomLang::ReadTranslationData(TStream& stream) {
    std::string bytes = stream.ReadBytes(static_cast<size_t>(stream.Remaining()));
    std::string text = bytes.size() >= 2 && bytes[1] == '\0' ? Utf16LeToCp1252(bytes) : bytes;
    if (const size_t nul = text.find('\0'); nul != std::string::npos)
        text.resize(nul);
    TStringList lines;
    lines.SetText(text);

    const std::string ownerHead = Owner() != nullptr ? OwnerClassName() + langDelim_ : "";
    const bool merging = IsInheritedOwner && !InternalInstance;
    const int n = lines.Count();
    int i = 0;
    while (i < n) {
        const int kind = HeaderKind(lines[i]);
        if (kind < 0 || i == n - 1) {
            ++i;
            continue;
        }
        ++i;
        TStringList* list = List(static_cast<TStringsType>(kind));
        if (list != nullptr && !merging)
            list->Clear();
        for (; i < n && HeaderKind(lines[i]) < 0; ++i) {
            if (list == nullptr)
                continue;
            std::string line = lines[i];
            for (char& c : line)
                c = c == '\x19' ? '\r' : c == '\x1A' ? '\n' : c;
            const bool ownerEntry = !ownerHead.empty() && line.rfind(ownerHead, 0) == 0;
            int existing = -1;
            if (merging) {
                const std::string key = KeyOf(line, langDelim_);
                for (int k = 0; k < list->Count() && existing < 0; ++k)
                    if (SameText(KeyOf((*list)[k], langDelim_), key))
                        existing = k;
            }
            if (existing >= 0) {
                const std::vector<std::string> old = ItemFields((*list)[existing], langDelim_);
                const std::vector<std::string> add = ItemFields(line, langDelim_);
                std::vector<std::string> merged = old;
                for (size_t f = 1; f < add.size(); ++f)
                    if (f >= merged.size())
                        merged.push_back(add[f]);
                    else if (!add[f].empty())
                        merged[f] = add[f];
                list->Put(existing, JoinItem(merged, langDelim_));
            } else if (ownerEntry) {
                list->Insert(0, line);
            } else {
                list->Add(line);
            }
        }
    }
    RefreshCharSets();
}

void TmlCustomLang::WriteTranslationData(TStream& stream) const {
    std::string out;
    for (int k = 0; k < kStringsTypeCount; ++k) {
        const TStringList* list = List(static_cast<TStringsType>(k));
        if (list == nullptr)
            continue;
        out.append(kTypeNames[static_cast<size_t>(k)]).append("\r\n");
        for (int i = 0; i < list->Count(); ++i) {
            for (char c : (*list)[i])
                out += c == '\r' ? '\x19' : c == '\n' ? '\x1A' : c;
            out.append("\r\n");
        }
    }
    stream.WriteBytes(out);
}

// ---- loading ----

void TmlCustomLang::Loaded() {
    loading_ = false;
    if (InternalInstance || Owner() == nullptr)
        return;
    CompleteDialogCaptions();
    if ((options_ & loUseExtCommonStrings) != 0) {
        DlgsCaptions().Clear();
        Locales().Clear();
    }
    if (langDelim_ == '\t') {
        ReplaceDelimiter('\t', '\1');
        langDelim_ = '\1';
    }
    auto firstLine = [](const TStringList& list) { return list.Empty() ? std::string() : list[0]; };
    auto tabs = [](const std::string& s) { return CountDelimiters(s, "\t"); };
    const bool tabDelimited =
        firstLine(DlgsCaptions()).find('\t') != std::string::npos ||
        firstLine(Locales()).find('\t') != std::string::npos ||
        (!Captions().Empty() && tabs(firstLine(Captions())) == numOfLanguages_ + 1) ||
        (!Locales().Empty() && tabs(firstLine(Locales())) == numOfLanguages_ + 1) ||
        (!Hints().Empty() && tabs(firstLine(Hints())) == numOfLanguages_ + 1);
    if (tabDelimited && langDelim_ != '\t')
        for (TStringList& list : lists_)
            for (int i = 0; i < list.Count(); ++i) {
                std::string line = list[i];
                for (char& c : line)
                    c = c == '\t' ? langDelim_ : c == langDelim_ ? '\t' : c;
                list.Put(i, line);
            }
    if (Locales().Count() == 11)
        for (size_t k = 11; k < kLocaleKeys.size(); ++k)
            Locales().Add(std::string(kLocaleKeys[k]) + langDelim_ + localeDefaults_[k] +
                          langDelim_);
    RemoveExcludedItems();
    RebuildStringsTable();
    LinkOnLoad();
    if (IsInheritedOwner)
        ChangeLanguage();
    else
        RefreshCharSets();
}

void TmlCustomLang::CompleteDialogCaptions() {
    TStringList& dialogs = DlgsCaptions();
    if (!needAllDlgs_) {
        if (dialogs.Count() != static_cast<int>(kDialogCaptions.size()))
            return;
        for (int i = dialogs.Count() - 1; i >= 0; --i) {
            const std::string key = KeyOf(dialogs[i], langDelim_);
            bool standard = false;
            for (std::string_view k : kDialogKeys)
                standard = standard || SameText(k, key);
            if (!standard)
                dialogs.Delete(i);
        }
        return;
    }
    if (dialogs.Count() >= static_cast<int>(kDialogCaptions.size()))
        return;
    for (std::string_view caption : kDialogCaptions) {
        const std::string key = WithoutAmpersands(caption);
        bool present = false;
        for (int i = 0; i < dialogs.Count() && !present; ++i)
            present = SameText(KeyOf(dialogs[i], langDelim_), key);
        if (!present)
            dialogs.Add(key + langDelim_ + std::string(caption) + langDelim_);
    }
}

void TmlCustomLang::ReplaceDelimiter(char from, char to) {
    for (TStringList& list : lists_)
        for (int i = 0; i < list.Count(); ++i) {
            std::string line = list[i];
            std::replace(line.begin(), line.end(), from, to);
            list.Put(i, line);
        }
    for (int i = 0; i < extended_.Count(); ++i) {
        std::string& values = extended_.Items(i).Values;
        std::replace(values.begin(), values.end(), from, to);
    }
}

bool TmlCustomLang::IsExcluded(std::string_view component, std::string_view property) const {
    // The path "component.property[i].item" names each property it passes through.
    const std::string path = std::string(component) + "." + std::string(property);
    if (smartExcludeProps_.IndexOf(path) >= 0)
        return true;
    size_t start = 0;
    while (start <= property.size()) {
        const size_t dot = std::min(property.find('.', start), property.size());
        std::string_view name = property.substr(start, dot - start);
        name = name.substr(0, name.find('['));
        if (!name.empty() && excludedProperties_.IndexOf(name) >= 0)
            return true;
        start = dot + 1;
    }
    return false;
}

void TmlCustomLang::RemoveExcludedItems() {
    auto listed = [this](std::string_view name) { return excludedProperties_.IndexOf(name) >= 0; };
    if (listed("Caption"))
        Captions().Clear();
    if (listed("Hint"))
        Hints().Clear();
    if (listed("DisplayLabel"))
        DisplayLabels().Clear();
    if (listed("Font")) {
        Fonts().Clear();
        CharSets().Clear();
    }
    if (listed("CharSet"))
        CharSets().Clear();
    for (TStringsType type : {stCaptions, stHints, stDisplayLabels, stFonts, stCharSets,
                              stMultiLines, stOtherStrings, stCollections}) {
        TStringList& list = *List(type);
        const bool single = type != stMultiLines && type != stOtherStrings && type != stCollections;
        for (int i = list.Count() - 1; i >= 0; --i) {
            const std::string key = KeyOf(list[i], langDelim_);
            const size_t dot = key.find('.');
            const bool excluded = single ? IsExcluded(key, kKindProperties[type])
                                         : dot != std::string::npos &&
                                               IsExcluded(std::string_view(key).substr(0, dot),
                                                          std::string_view(key).substr(dot + 1));
            if (excluded)
                list.Delete(i);
        }
    }
}

// ---- property setters ----

void TmlCustomLang::SetLangDelim(char value) {
    if (value == langDelim_)
        return;
    if (!loading_)
        ReplaceDelimiter(langDelim_, value);
    langDelim_ = value;
}

void TmlCustomLang::SetStoreAsUTF8(bool value) {
    if (value != storeAsUTF8_ && !loading_)
        ConvertStoredTexts(value);
    storeAsUTF8_ = value;
}

void TmlCustomLang::ConvertStoredTexts(bool toUtf8) {
    RefreshCharSets();
    // Field k of a line is the text of language k, written in that language's code page.
    auto convert = [&](std::string_view line, bool keyFirst) {
        std::vector<std::string> fields = ItemFields(line, langDelim_);
        const bool closed = !line.empty() && line.back() == langDelim_;
        for (size_t f = keyFirst ? 1 : 0; f < fields.size(); ++f) {
            const int language = static_cast<int>(keyFirst ? f : f + 1);
            const int codePage = CharsetToCodePage(LanguageCharSet(language));
            fields[f] =
                toUtf8 ? CodePageToUtf8(fields[f], codePage) : Utf8ToCodePage(fields[f], codePage);
        }
        std::string joined = JoinItem(fields, langDelim_);
        if (!closed)
            joined.pop_back();
        return joined;
    };
    for (TStringList& list : lists_)
        for (int i = 0; i < list.Count(); ++i)
            list.Put(i, convert(list[i], true));
    for (int i = 0; i < extended_.Count(); ++i)
        extended_.Items(i).Values = convert(extended_.Items(i).Values, false);
    if (!lists_[stStrings].Empty())
        RebuildStringsTable();
}

void TmlCustomLang::SetChangeLocales(bool value) {
    if (value && !changeLocales_ && Locales().Empty())
        FillLocales();
    changeLocales_ = value;
}

void TmlCustomLang::FillLocales() {
    for (size_t k = 0; k < kLocaleKeys.size(); ++k)
        Locales().Add(std::string(kLocaleKeys[k]) + langDelim_ + localeDefaults_[k] + langDelim_);
}

void TmlCustomLang::SetDoNotTranslate(const TStringList& value) {
    if (&value == &doNotTranslate_)
        return;
    doNotTranslate_.Assign(value);
    if (!loading_)
        RemoveDoNotTranslateItems();
}

void TmlCustomLang::RemoveDoNotTranslateItems() {
    for (TStringsType type : {stCaptions, stHints, stDisplayLabels, stFonts, stMultiLines,
                              stOtherStrings, stCollections, stCharSets}) {
        TStringList& list = *List(type);
        for (int i = list.Count() - 1; i >= 0; --i) {
            const std::string key = KeyOf(list[i], langDelim_);
            if (doNotTranslate_.IndexOf(key.substr(0, key.find('.'))) >= 0)
                list.Delete(i);
        }
    }
}

void TmlCustomLang::SetExcludedProperties(const TStringList& value) {
    if (&value == &excludedProperties_)
        return;
    excludedProperties_.Assign(value);
    if (!loading_)
        RemoveExcludedItems();
}

void TmlCustomLang::SetStringsTypes(const TStringList& value) {
    if (&value != &stringsTypes_)
        stringsTypes_.Assign(value);
}

void TmlCustomLang::SetSmartExcludeProps(const TStringList& value) {
    if (&value != &smartExcludeProps_)
        smartExcludeProps_.Assign(value);
}

void TmlCustomLang::SetNeedAllDlgs(bool value) {
    if (value == needAllDlgs_)
        return;
    needAllDlgs_ = value;
    if (!loading_)
        CompleteDialogCaptions();
}

void TmlCustomLang::SetDefaultLanguage(int value) {
    // While a table is read its NumOfLanguages may still come, so only the lower bound holds.
    if (value < 1 || (!loading_ && value > numOfLanguages_))
        return;
    defaultLanguage_ = value;
}

void TmlCustomLang::SetResourceLanguageIndex(int value) {
    if (!loading_ && (value < 1 || value > numOfLanguages_))
        throw ELanguageError(
            Format("%d - is not a valid property value!\rValue must be within [1..%d]!",
                   {value, numOfLanguages_}));
    resourceLanguageIndex_ = value;
    if (!loading_ && HandleResourceStrings && Owner() != nullptr) {
        resourceStringsTable_.SortLanguage = value;
        resourceStringsTable_.Sort(true);
    }
}

} // namespace vx

namespace vx {

// ---- TmlLang ----

TmlLang::~TmlLang() {
    if (dispatcher_ != nullptr)
        dispatcher_->RemoveLang(this);
}

void TmlLang::SetLangDispatcher(TmlLangDispatcher* dispatcher) {
    if (dispatcher_ != nullptr && dispatcher_ != dispatcher)
        dispatcher_->RemoveLang(this);
    dispatcher_ = dispatcher;
    if (dispatcher == nullptr)
        return;
    if (IsLoading()) {
        SetNumOfLanguages(dispatcher->NumOfLanguages());
        UseDefaultLanguage = dispatcher->UseDefaultLanguage();
        SetDefaultLanguage(dispatcher->DefaultLanguage());
    } else if (Owner() != nullptr && !InternalInstance) {
        dispatcher->AddLang(this);
    }
}

const std::vector<TmlCustomLang*>* TmlLang::LinkedTables() const {
    return dispatcher_ != nullptr ? &dispatcher_->LinkedTables() : nullptr;
}

void TmlLang::LinkOnLoad() {
    if (dispatcher_ != nullptr)
        dispatcher_->AddLang(this);
}

} // namespace vx
