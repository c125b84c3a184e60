// INI-style translation files of a table: read, written, merged and imported by language.

#include "localisation/MemIni.h"
#include "localisation/mlCodePages.h"
#include "localisation/mlComp.h"
#include "localisation/mlMLBFile.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Strings.h"
#include "platform/system/Files.h"

#include <algorithm>
#include <array>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace vx {

namespace {

// Per kind, in TStringsType order.
constexpr std::array<std::string_view, kStringsTypeCount> kSectionNames = {
    "Captions", "Hints", "DisplayLabels", "Fonts",       "Multilines", "Dialogs",
    "Strings",  "Other", "Locales",       "Collections", "CharSets",   "ListView_TreeView_Items"};

constexpr std::string_view kOptionsSection = "OPTIONS";
constexpr std::string_view kDelimiterKey = "DELIMITER";
constexpr std::string_view kDefaultDelimiter = "~!@#";
constexpr std::string_view kUtf8Key = "IsUTF8File";
constexpr std::string_view kFixedKey = "Language_Fixed";
constexpr std::string_view kNamesSection = "Language names - for internal use only!";
// Older files carry the section under this misspelt name; writing drops it.
constexpr std::string_view kMisspeltNamesSection = "Language names - for intenal use only!";
constexpr std::string_view kLanguageKey = "Language_";
constexpr std::string_view kExtendedSection = "Extended";
constexpr std::string_view kTypeKindSuffix = "_TypeKind";
constexpr int kLastKind = stCharSets;

bool StartsWithText(std::string_view s, std::string_view head) {
    return s.size() >= head.size() && SameText(s.substr(0, head.size()), head);
}

bool EndsWithText(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && SameText(s.substr(s.size() - tail.size()), tail);
}

// Keys of collection items hold brackets, which an INI line would read as a section header.
bool BracketsMangled(TStringsType kind) {
    return kind == stCollections || kind == stListView_TreeView_Items;
}

std::string MangleBrackets(std::string key) {
    for (char& c : key)
        c = c == '[' ? '-' : c == ']' ? '+' : c;
    return key;
}

std::string UnmangleBrackets(std::string key) {
    for (char& c : key)
        c = c == '-' ? '[' : c == '+' ? ']' : c;
    return key;
}

std::vector<std::string> SplitValue(std::string_view value, std::string_view delimiter) {
    std::vector<std::string> pieces;
    size_t start = 0;
    for (;;) {
        const size_t at = value.find(delimiter, start);
        if (at == std::string_view::npos)
            break;
        pieces.emplace_back(value.substr(start, at - start));
        start = at + delimiter.size();
    }
    pieces.emplace_back(value.substr(start));
    // A closing delimiter, as some writers add, brings no language.
    while (!pieces.empty() && pieces.back().empty())
        pieces.pop_back();
    return pieces;
}

// The texts of languages 1 .. count, each followed by the delimiter.
std::string JoinTexts(const std::vector<std::string>& texts, int count, char delimiter) {
    std::string joined;
    for (size_t k = 0; k < static_cast<size_t>(count); ++k)
        joined.append(k < texts.size() ? texts[k] : std::string()).append(1, delimiter);
    return joined;
}

// The INI text of a stream from its position (or of a whole file), held in memory.
class TTranslationFile {
public:
    explicit TTranslationFile(std::string bytes) { Parse(std::move(bytes)); }
    explicit TTranslationFile(TStream& stream) : start_(stream.Position()) {
        Parse(stream.ReadBytes(static_cast<size_t>(stream.Remaining())));
    }

    TmlMemIniFile& Ini() { return ini_; }
    const TmlMemIniFile& Ini() const { return ini_; }

    // Replaces what the stream holds from the position this file was read at.
    void SaveTo(TStream& stream) const {
        TStringList lines;
        ini_.GetStrings(lines);
        stream.SetSize(start_);
        stream.SetPosition(start_);
        stream.WriteBytes(lines.Text());
    }

    std::string Delimiter() const {
        const std::string d = ini_.ReadString(kOptionsSection, kDelimiterKey, "");
        // An empty delimiter would split nothing apart.
        return d.empty() ? std::string(kDefaultDelimiter) : d;
    }
    bool HasUtf8Flag() const { return !ini_.ReadString(kOptionsSection, kUtf8Key, "").empty(); }

    // A section counts even without keys: it says the file covers that kind.
    bool HasSection(std::string_view section) const {
        TStringList sections;
        ini_.ReadSections(sections);
        return sections.IndexOf(section) >= 0;
    }
    void AddSection(std::string_view section) {
        if (HasSection(section))
            return;
        // Writing and deleting a key leaves the section in place, empty.
        constexpr std::string_view placeholder = "placeholder";
        ini_.WriteString(section, placeholder, "");
        ini_.DeleteKey(section, placeholder);
    }
    bool Utf8() const { return ini_.ReadBool(kOptionsSection, kUtf8Key, false); }
    bool Fixed(int language) const {
        return ini_.ReadBool(kOptionsSection, std::string(kFixedKey) + IntToStr(language), false);
    }

    // Language_1, Language_2, ... up to the first missing key, as the file spells them.
    TStringList LanguageNames() const {
        const std::string_view section =
            ini_.SectionExists(kNamesSection) ? kNamesSection : kMisspeltNamesSection;
        TStringList keys;
        keys.SetSorted(true);
        ini_.ReadSection(section, keys);
        TStringList names;
        int index = 0;
        for (int i = 1; keys.Find(std::string(kLanguageKey) + IntToStr(i), index); ++i)
            names.Add(ini_.ReadString(section, keys[index], ""));
        return names;
    }

private:
    void Parse(std::string bytes) {
        if (bytes.rfind("\xEF\xBB\xBF", 0) == 0)
            bytes.erase(0, 3);
        TStringList lines;
        lines.SetText(bytes);
        ini_.SetStrings(lines);
    }

    TmlMemIniFile ini_{std::string()};
    int64_t start_ = 0;
};

// Texts move between the file's encoding (UTF-8 or each language's code page) and the table's.
class TTextCoding {
public:
    TTextCoding(const TmlCustomLang& table, const TTranslationFile& file)
        : table_(table), fileUtf8_(file.Utf8()), delimiter_(file.Delimiter()) {}

    const std::string& Delimiter() const { return delimiter_; }

    std::string TextFromFile(std::string_view text, int language) const {
        std::string s(text);
        for (char& c : s)
            c = c == '\x19' ? '\r' : c == '\x1A' ? '\n' : c;
        // The table's delimiter inside a text would split it into two languages.
        std::erase(s, table_.LangDelim());
        if (fileUtf8_ == table_.StoreAsUTF8())
            return s;
        const int codePage = CharsetToCodePage(table_.LanguageCharSet(language));
        return fileUtf8_ ? Utf8ToCodePage(s, codePage) : CodePageToUtf8(s, codePage);
    }

    std::string TextToFile(std::string_view text, int language) const {
        std::string s(text);
        if (fileUtf8_ != table_.StoreAsUTF8()) {
            const int codePage = CharsetToCodePage(table_.LanguageCharSet(language));
            s = fileUtf8_ ? CodePageToUtf8(s, codePage) : Utf8ToCodePage(s, codePage);
        }
        for (char& c : s)
            c = c == '\r' ? '\x19' : c == '\n' ? '\x1A' : c;
        return s;
    }

    // Keys and language names are the program's own cp1252 text.
    std::string KeyFromFile(std::string_view key) const {
        return fileUtf8_ ? Utf8ToCodePage(key, 0) : std::string(key);
    }
    std::string KeyToFile(std::string_view key) const {
        return fileUtf8_ ? CodePageToUtf8(key, 0) : std::string(key);
    }

    // The value's texts in table encoding, language 1 first.
    std::vector<std::string> Texts(std::string_view value) const {
        std::vector<std::string> texts = SplitValue(value, delimiter_);
        for (size_t k = 0; k < texts.size(); ++k)
            texts[k] = TextFromFile(texts[k], static_cast<int>(k + 1));
        return texts;
    }

    // Texts of languages 1 .. count joined by the file's delimiter; text(k) gives language k.
    template <typename TextOf>
    std::string Value(int count, TextOf text) const {
        std::string value;
        for (int k = 1; k <= count; ++k)
            value.append(k > 1 ? delimiter_ : std::string()).append(TextToFile(text(k), k));
        return value;
    }

private:
    const TmlCustomLang& table_;
    bool fileUtf8_;
    std::string delimiter_;
};

struct TOwnerKey {
    std::string FileKey;
    // The item key, or for Extended the whole identifier, in table encoding.
    std::string Key;
};

// The keys of a section that belong to the table's owner, in the file's order.
std::vector<TOwnerKey> OwnerKeys(const TmlCustomLang& table, const TTranslationFile& file,
                                 const TTextCoding& coding, std::string_view section, bool wholeKey,
                                 bool mangled) {
    const std::string prefix = coding.KeyToFile(table.OwnerClassName() + ".");
    TStringList keys;
    file.Ini().ReadSection(section, keys);
    std::vector<TOwnerKey> owned;
    for (const std::string& fileKey : keys.Items()) {
        if (!StartsWithText(fileKey, prefix))
            continue;
        std::string key = coding.KeyFromFile(wholeKey ? fileKey : fileKey.substr(prefix.size()));
        owned.push_back({fileKey, mangled ? UnmangleBrackets(std::move(key)) : std::move(key)});
    }
    return owned;
}

std::string ItemKey(std::string_view line, char delimiter) {
    return GetDelimitedField(line, delimiter, 0);
}

// The table keeps every language it has; a file with more languages adds them, and the file's
// names take the places of its languages.
void TakeLanguages(TmlCustomLang& table, const TTranslationFile& file, const TTextCoding& coding) {
    const TStringList names = file.LanguageNames();
    if (names.Empty())
        return;
    if (names.Count() > table.NumOfLanguages())
        table.SetNumOfLanguages(names.Count());
    TStringList merged = table.LangNames();
    while (merged.Count() < names.Count())
        merged.Add("");
    for (int i = 0; i < names.Count(); ++i)
        merged.Put(i, coding.KeyFromFile(names[i]));
    if (!(merged == table.LangNames()))
        table.SetLangNames(merged);
}

// The table's number of the language, appended when the table lacks it.
int TableLanguage(TmlCustomLang& table, std::string_view name) {
    const int index = table.LangNames().IndexOf(name);
    if (index >= 0)
        return index + 1;
    const int number = table.NumOfLanguages() + 1;
    table.SetNumOfLanguages(number);
    TStringList names = table.LangNames();
    while (names.Count() < number)
        names.Add("");
    names.Put(number - 1, name);
    table.SetLangNames(names);
    return number;
}

// Texts of an item read from the file, with the fixed languages kept from the earlier item.
std::vector<std::string> ItemTexts(const TmlCustomLang& table, const TTranslationFile& file,
                                   const TTextCoding& coding, std::string_view value,
                                   const std::string* earlier, int earlierFirstField) {
    std::vector<std::string> texts = coding.Texts(value);
    if (earlier == nullptr)
        return texts;
    for (int k = 1; k <= table.NumOfLanguages(); ++k)
        if (file.Fixed(k)) {
            texts.resize(std::max(texts.size(), static_cast<size_t>(k)));
            texts[static_cast<size_t>(k - 1)] =
                GetDelimitedField(*earlier, table.LangDelim(), earlierFirstField + k - 1);
        }
    return texts;
}

int TextCount(const TmlCustomLang& table, const std::vector<std::string>& texts) {
    return std::max(table.NumOfLanguages(), static_cast<int>(texts.size()));
}

int ReadKind(TmlCustomLang& table, const TTranslationFile& file, TStringsType kind) {
    TStringList* list = table.List(kind);
    if (list == nullptr)
        return 0;
    const std::string_view section = kSectionNames[static_cast<size_t>(kind)];
    // A file without the kind's section leaves its list alone.
    if (!file.HasSection(section))
        return 0;
    const TTextCoding coding(table, file);
    const char delimiter = table.LangDelim();
    const TStringList earlier = *list;
    auto earlierItem = [&](std::string_view key) -> const std::string* {
        for (const std::string& line : earlier.Items())
            if (SameText(ItemKey(line, delimiter), key))
                return &line;
        return nullptr;
    };
    bool anyFixed = false;
    for (int k = 1; k <= table.NumOfLanguages(); ++k)
        anyFixed = anyFixed || file.Fixed(k);

    const std::string ownerKey = table.OwnerClassName();
    list->Clear();
    int count = 0;
    for (const TOwnerKey& key :
         OwnerKeys(table, file, coding, section, false, BracketsMangled(kind))) {
        const std::vector<std::string> texts =
            ItemTexts(table, file, coding, file.Ini().ReadString(section, key.FileKey, ""),
                      anyFixed ? earlierItem(key.Key) : nullptr, 1);
        const std::string line =
            key.Key + delimiter + JoinTexts(texts, TextCount(table, texts), delimiter);
        // The owner's own entry stands first, as in the stored tables.
        if (!ownerKey.empty() && SameText(key.Key, ownerKey))
            list->Insert(0, line);
        else
            list->Add(line);
        ++count;
    }
    return count;
}

int MergeKind(TmlCustomLang& table, const TTranslationFile& file, TStringsType kind) {
    TStringList* list = table.List(kind);
    if (list == nullptr)
        return 0;
    const TStringList earlier = *list;
    const int count = ReadKind(table, file, kind);
    std::set<std::string> supplied;
    for (const std::string& line : list->Items())
        supplied.insert(UpperCase(ItemKey(line, table.LangDelim())));
    for (const std::string& line : earlier.Items())
        if (!supplied.contains(UpperCase(ItemKey(line, table.LangDelim()))))
            list->Add(line);
    return count;
}

void ReadExtended(TmlCustomLang& table, const TTranslationFile& file) {
    const TTextCoding coding(table, file);
    TmlExtendedItems& items = table.ExtendedTranslations();
    std::vector<std::pair<std::string, std::string>> earlier;
    for (int i = 0; i < items.Count(); ++i)
        earlier.emplace_back(items.Items(i).Identifier(), items.Items(i).Values);
    auto earlierValues = [&](std::string_view identifier) -> const std::string* {
        for (const auto& [id, values] : earlier)
            if (SameText(id, identifier))
                return &values;
        return nullptr;
    };

    if (!file.HasSection(kExtendedSection))
        return;
    items.Clear();
    for (const TOwnerKey& key : OwnerKeys(table, file, coding, kExtendedSection, true, false)) {
        if (EndsWithText(key.Key, kTypeKindSuffix))
            continue;
        const std::vector<std::string> texts =
            ItemTexts(table, file, coding, file.Ini().ReadString(kExtendedSection, key.FileKey, ""),
                      earlierValues(key.Key), 0);
        TmlExtendedItem& item = items.Add();
        item.SetIdentifier(key.Key);
        const int kind = file.Ini().ReadInteger(
            kExtendedSection, key.FileKey + std::string(kTypeKindSuffix), tkUnknown);
        item.PropertyType =
            kind >= tkUnknown && kind <= tkDynArray ? static_cast<TTypeKind>(kind) : tkUnknown;
        item.Values = JoinTexts(texts, TextCount(table, texts), table.LangDelim());
    }
}

void WriteHeader(const TmlCustomLang& table, TTranslationFile& file) {
    TmlMemIniFile& ini = file.Ini();
    if (ini.ReadString(kOptionsSection, kDelimiterKey, "").empty())
        ini.WriteString(kOptionsSection, kDelimiterKey, kDefaultDelimiter);
    // A file keeps its encoding, so the tables of several windows can share it.
    if (!file.HasUtf8Flag())
        ini.WriteBool(kOptionsSection, kUtf8Key, table.StoreAsUTF8());
    const TTextCoding coding(table, file);
    ini.EraseSection(kNamesSection);
    for (int i = 1; i <= table.NumOfLanguages(); ++i) {
        std::string name = i <= table.LangNames().Count() ? table.LangNames()[i - 1] : "";
        if (name.empty())
            name = "Language N" + IntToStr(i);
        ini.WriteString(kNamesSection, std::string(kLanguageKey) + IntToStr(i),
                        coding.KeyToFile(name));
    }
    if (ini.SectionExists(kMisspeltNamesSection))
        ini.EraseSection(kMisspeltNamesSection);
}

void EraseOwnerKeys(const TmlCustomLang& table, TTranslationFile& file, const TTextCoding& coding,
                    std::string_view section) {
    for (const TOwnerKey& key : OwnerKeys(table, file, coding, section, true, false))
        file.Ini().DeleteKey(section, key.FileKey);
}

void WriteKind(const TmlCustomLang& table, TTranslationFile& file, TStringsType kind) {
    const TStringList* list = table.List(kind);
    if (list == nullptr)
        return;
    const TTextCoding coding(table, file);
    const std::string_view section = kSectionNames[static_cast<size_t>(kind)];
    const char delimiter = table.LangDelim();
    file.AddSection(section);
    EraseOwnerKeys(table, file, coding, section);
    for (const std::string& line : list->Items()) {
        std::string key = ItemKey(line, delimiter);
        if (BracketsMangled(kind))
            key = MangleBrackets(std::move(key));
        file.Ini().WriteString(section, coding.KeyToFile(table.OwnerClassName() + "." + key),
                               coding.Value(table.NumOfLanguages(), [&](int k) {
                                   return GetDelimitedField(line, delimiter, k);
                               }));
    }
}

void WriteExtended(const TmlCustomLang& table, TTranslationFile& file) {
    const TTextCoding coding(table, file);
    file.AddSection(kExtendedSection);
    EraseOwnerKeys(table, file, coding, kExtendedSection);
    const TmlExtendedItems& items = table.ExtendedTranslations();
    for (int i = 0; i < items.Count(); ++i) {
        const TmlExtendedItem& item = items.Items(i);
        const std::string key = coding.KeyToFile(item.Identifier());
        file.Ini().WriteString(kExtendedSection, key,
                               coding.Value(table.NumOfLanguages(), [&](int k) {
                                   return GetDelimitedField(item.Values, table.LangDelim(), k - 1);
                               }));
        file.Ini().WriteInteger(kExtendedSection, key + std::string(kTypeKindSuffix),
                                item.PropertyType);
    }
}

// The number of the language in the file; 0 when it is missing and errors are not raised.
int FileLanguage(const TmlCustomLang& table, const TTranslationFile& file,
                 const std::string& fileName, std::string_view language) {
    const TTextCoding coding(table, file);
    const TStringList names = file.LanguageNames();
    for (int i = 0; i < names.Count(); ++i)
        if (SameText(coding.KeyFromFile(names[i]), language))
            return i + 1;
    if (table.DoRaiseExceptions)
        throw ELanguageError(std::string(language) + " not found in " + fileName);
    return 0;
}

// The file's text of one language, in the table's encoding for the table's language.
std::string ImportedText(const TTextCoding& coding, std::string_view value, int fileLanguage,
                         int tableLanguage) {
    const std::vector<std::string> pieces = SplitValue(value, coding.Delimiter());
    const size_t k = static_cast<size_t>(fileLanguage - 1);
    return coding.TextFromFile(k < pieces.size() ? pieces[k] : std::string(), tableLanguage);
}

int ImportKind(TmlCustomLang& table, const TTranslationFile& file, int fileLanguage,
               int tableLanguage, TStringsType kind) {
    TStringList* list = table.List(kind);
    if (list == nullptr)
        return 0;
    const TTextCoding coding(table, file);
    const std::string_view section = kSectionNames[static_cast<size_t>(kind)];
    const char delimiter = table.LangDelim();
    std::set<std::string> present;
    for (const std::string& line : list->Items())
        present.insert(UpperCase(ItemKey(line, delimiter)));
    int count = 0;
    for (const TOwnerKey& key :
         OwnerKeys(table, file, coding, section, false, BracketsMangled(kind))) {
        const std::string text = ImportedText(
            coding, file.Ini().ReadString(section, key.FileKey, ""), fileLanguage, tableLanguage);
        if (present.insert(UpperCase(key.Key)).second) {
            std::vector<std::string> texts(static_cast<size_t>(tableLanguage));
            texts.back() = text;
            list->Add(key.Key + delimiter + JoinTexts(texts, table.NumOfLanguages(), delimiter));
        } else {
            table.SetTranslation(*list, text, tableLanguage, key.Key);
        }
        ++count;
    }
    return count;
}

int ImportExtended(TmlCustomLang& table, const TTranslationFile& file, int fileLanguage,
                   int tableLanguage) {
    const TTextCoding coding(table, file);
    TmlExtendedItems& items = table.ExtendedTranslations();
    const char delimiter = table.LangDelim();
    int count = 0;
    for (const TOwnerKey& key : OwnerKeys(table, file, coding, kExtendedSection, true, false)) {
        if (EndsWithText(key.Key, kTypeKindSuffix))
            continue;
        TmlExtendedItem* item = items.Find(key.Key);
        if (item == nullptr) {
            item = &items.Add();
            item->SetIdentifier(key.Key);
            const int kind = file.Ini().ReadInteger(
                kExtendedSection, key.FileKey + std::string(kTypeKindSuffix), tkUnknown);
            item->PropertyType =
                kind >= tkUnknown && kind <= tkDynArray ? static_cast<TTypeKind>(kind) : tkUnknown;
        }
        const int languages = std::max(table.NumOfLanguages(), tableLanguage);
        std::vector<std::string> texts;
        for (int k = 1; k <= languages; ++k)
            texts.push_back(GetDelimitedField(item->Values, delimiter, k - 1));
        texts[static_cast<size_t>(tableLanguage - 1)] =
            ImportedText(coding, file.Ini().ReadString(kExtendedSection, key.FileKey, ""),
                         fileLanguage, tableLanguage);
        item->Values = JoinTexts(texts, languages, delimiter);
        ++count;
    }
    return count;
}

std::string FileBytesOrEmpty(const std::string& fileName) {
    return FileExists(fileName) ? ReadWholeFile(fileName) : std::string();
}

} // namespace

// ---- streams ----

int TmlCustomLang::LoadFromIniStream(TStream& stream, TStringsType kind) {
    const TTranslationFile file(stream);
    TakeLanguages(*this, file, TTextCoding(*this, file));
    const int count = ReadKind(*this, file, kind);
    if (kind == stStrings)
        RebuildStringsTable();
    return count;
}

void TmlCustomLang::SaveToIniStream(TStream& stream, TStringsType kind) {
    TTranslationFile file(stream);
    WriteHeader(*this, file);
    WriteKind(*this, file, kind);
    file.SaveTo(stream);
}

void TmlCustomLang::LoadAllFromIniStream(TStream& stream, bool noRetranslate) {
    const TTranslationFile file(stream);
    TakeLanguages(*this, file, TTextCoding(*this, file));
    for (int kind = stCaptions; kind <= kLastKind; ++kind)
        ReadKind(*this, file, static_cast<TStringsType>(kind));
    ReadExtended(*this, file);
    FinishTranslationFile(!noRetranslate);
}

void TmlCustomLang::SaveAllToIniStream(TStream& stream) {
    TTranslationFile file(stream);
    WriteHeader(*this, file);
    for (int kind = stCaptions; kind <= kLastKind; ++kind)
        WriteKind(*this, file, static_cast<TStringsType>(kind));
    WriteExtended(*this, file);
    file.SaveTo(stream);
}

int TmlCustomLang::MergeFromIniStream(TStream& stream, TStringsType kind) {
    const TTranslationFile file(stream);
    TakeLanguages(*this, file, TTextCoding(*this, file));
    const int count = MergeKind(*this, file, kind);
    if (kind == stStrings)
        RebuildStringsTable();
    return count;
}

void TmlCustomLang::MergeAllFromIniStream(TStream& stream, bool noRetranslate) {
    const TTranslationFile file(stream);
    TakeLanguages(*this, file, TTextCoding(*this, file));
    for (int kind = stCaptions; kind <= kLastKind; ++kind)
        MergeKind(*this, file, static_cast<TStringsType>(kind));
    FinishTranslationFile(!noRetranslate);
}

void TmlCustomLang::FinishTranslationFile(bool retranslate) {
    RebuildStringsTable();
    if (!retranslate) {
        RefreshCharSets();
        return;
    }
    applyKind_ = -1;
    ChangeLanguage();
}

// ---- named files ----

int TmlCustomLang::LoadFromFile(const std::string& fileName, TStringsType kind) {
    if (!FileExists(fileName))
        return -1;
    TMemoryStream stream(ReadWholeFile(fileName));
    return LoadFromIniStream(stream, kind);
}

void TmlCustomLang::SaveToFile(const std::string& fileName, TStringsType kind) {
    TMemoryStream stream(FileBytesOrEmpty(fileName));
    SaveToIniStream(stream, kind);
    WriteFileAtomically(fileName, stream.Bytes());
}

bool TmlCustomLang::LoadAllFromFile(const std::string& fileName, bool noRetranslate) {
    if (!FileExists(fileName))
        return false;
    TMemoryStream stream(ReadWholeFile(fileName));
    LoadAllFromIniStream(stream, noRetranslate);
    return true;
}

void TmlCustomLang::SaveAllToFile(const std::string& fileName) {
    TMemoryStream stream(FileBytesOrEmpty(fileName));
    SaveAllToIniStream(stream);
    WriteFileAtomically(fileName, stream.Bytes());
}

int TmlCustomLang::LoadStringsFromFile(const std::string& fileName) {
    return LoadFromFile(fileName, stStrings);
}

void TmlCustomLang::SaveStringsToFile(const std::string& fileName) {
    SaveToFile(fileName, stStrings);
}

bool TmlCustomLang::MergeFromFile(const std::string& fileName, TStringsType kind,
                                  bool noRetranslate) {
    if (!FileExists(fileName))
        return false;
    if (SameText(ExtractFileExt(fileName), ".MLB")) {
        if (!TMLBFileManager(fileName).ReadTable(*this, kind))
            return false;
    } else {
        TMemoryStream stream(ReadWholeFile(fileName));
        MergeFromIniStream(stream, kind);
    }
    FinishTranslationFile(!noRetranslate);
    return true;
}

bool TmlCustomLang::MergeAllFromFile(const std::string& fileName, bool noRetranslate) {
    if (!FileExists(fileName))
        return false;
    if (!SameText(ExtractFileExt(fileName), ".MLB")) {
        TMemoryStream stream(ReadWholeFile(fileName));
        MergeAllFromIniStream(stream, noRetranslate);
        return true;
    }
    bool merged = false;
    bool complete = true;
    for (int kind = stCaptions; kind <= kLastKind && complete; ++kind) {
        complete = TMLBFileManager(fileName).ReadTable(*this, kind);
        merged = merged || complete;
    }
    if (merged)
        FinishTranslationFile(!noRetranslate);
    return complete;
}

// ---- import by language ----

int TmlCustomLang::ImportLanguage(const std::string& fileName, std::string_view language,
                                  TStringsType kind) {
    if (!FileExists(fileName))
        return 0;
    const TTranslationFile file(ReadWholeFile(fileName));
    const int fileLanguage = FileLanguage(*this, file, fileName, language);
    if (fileLanguage == 0)
        return 0;
    const int count = ImportKind(*this, file, fileLanguage, TableLanguage(*this, language), kind);
    if (kind == stStrings)
        RebuildStringsTable();
    return count;
}

int TmlCustomLang::ImportLanguageExtended(const std::string& fileName, std::string_view language) {
    if (!FileExists(fileName))
        return 0;
    const TTranslationFile file(ReadWholeFile(fileName));
    const int fileLanguage = FileLanguage(*this, file, fileName, language);
    if (fileLanguage == 0)
        return 0;
    return ImportExtended(*this, file, fileLanguage, TableLanguage(*this, language));
}

int TmlCustomLang::ImportLanguageAll(const std::string& fileName, std::string_view language,
                                     bool noRetranslate) {
    if (!FileExists(fileName))
        return 0;
    const TTranslationFile file(ReadWholeFile(fileName));
    const int fileLanguage = FileLanguage(*this, file, fileName, language);
    if (fileLanguage == 0)
        return 0;
    const int tableLanguage = TableLanguage(*this, language);
    int count = 0;
    for (int kind = stCaptions; kind <= kLastKind; ++kind)
        count +=
            ImportKind(*this, file, fileLanguage, tableLanguage, static_cast<TStringsType>(kind));
    count += ImportExtended(*this, file, fileLanguage, tableLanguage);
    FinishTranslationFile(!noRetranslate);
    return count;
}

} // namespace vx
