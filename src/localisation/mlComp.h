#pragma once

// The translation table of a form or data module: eleven lists of lines "key, delimiter,
// text of language 1, delimiter, ..., text of language n, delimiter", the lookup of texts by
// identifier, the active language and the stored form TranslationData.

#include "localisation/mlExtended.h"
#include "localisation/mlStringsCollection.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/StringList.h"

#include <QObject>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

class TStream;
class TmlLangDispatcher;
struct TTestModeInfo;

enum TStringsType {
    stCaptions,
    stHints,
    stDisplayLabels,
    stFonts,
    stMultiLines,
    stDlgsCaptions,
    stStrings,
    stOtherStrings,
    stLocales,
    stCollections,
    stCharSets,
    stListView_TreeView_Items,
};
constexpr int kStringsTypeCount = 12;
// "stCaptions" ... "stListView_TreeView_Items": the section headers of TranslationData.
std::string_view StringsTypeName(TStringsType type);

enum TTranslateType { ttNoChange, ttGetDefault };

// Bits of Options.
enum TmlLangOption : unsigned { loUseExtUDStrings = 0x1, loUseExtCommonStrings = 0x2 };

class ELanguageError : public Exception {
    using Exception::Exception;
};

// The unit switch that every table copies when it is created; nothing in the system sets it.
extern bool UseCEscapes;
// C escapes (\n, \t, \x41, \101, ...) decoded; unknown sequences stay as they are.
std::string DecodeCEscapes(std::string_view text);

// "Font" character-set name -> value; a name outside the 19, or none, stands for 1.
int CharSetOfName(std::string_view name);

class TmlCustomLang;
// The table the object owns (a direct child), null when it has none.
TmlCustomLang* TableOfOwner(const QObject* owner);

// Owned by a QObject (a form or the global data module), at most one per owner. Texts are
// cp1252. Property setters follow the loading rules: between BeginLoading and Loaded they only
// store, as while a form's stream is read.
class TmlCustomLang : public QObject {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TmlCustomLang* sender)>;
    using TLanguageChangingEvent =
        std::function<void(TmlCustomLang* sender, int newLanguage, bool& allowChange)>;

    // Far more languages than any table carries; NumOfLanguages beyond it is refused.
    static constexpr int kMaxLanguages = 1000;

    // Raises Exception "Only one TmlCustomLang component per Form/DataModule allowed!" when
    // the owner already holds a table.
    explicit TmlCustomLang(QObject* owner = nullptr);
    ~TmlCustomLang() override;

    QObject* Owner() const { return parent(); }
    // The owner's class name without namespace ("TMainForm"); "" without owner.
    std::string OwnerClassName() const;

    // ---- lists ----
    TStringList& Captions() { return lists_[stCaptions]; }
    TStringList& Hints() { return lists_[stHints]; }
    TStringList& DisplayLabels() { return lists_[stDisplayLabels]; }
    TStringList& Fonts() { return lists_[stFonts]; }
    TStringList& MultiLines() { return lists_[stMultiLines]; }
    TStringList& DlgsCaptions() { return lists_[stDlgsCaptions]; }
    TStringList& Strings() { return lists_[stStrings]; }
    TStringList& OtherStrings() { return lists_[stOtherStrings]; }
    TStringList& Locales() { return lists_[stLocales]; }
    TStringList& Collections() { return lists_[stCollections]; }
    TStringList& CharSets() { return lists_[stCharSets]; }
    // The list of a kind; null for stListView_TreeView_Items.
    TStringList* List(TStringsType type);
    const TStringList* List(TStringsType type) const;
    // Copies the lines and applies that kind alone (DlgsCaptions only copies). Setting Strings
    // does not rebuild the identifier index.
    void SetList(TStringsType type, const TStringList& lines);
    // Lines that applying a list set aside because their component is gone.
    TStringList& SetAside() { return setAside_; }
    TmlExtendedItems& ExtendedTranslations() { return extended_; }
    const TmlExtendedItems& ExtendedTranslations() const { return extended_; }

    // ---- lookup ----
    // The text of a Strings identifier in the active language; an empty text falls back to
    // language 1, a missing identifier gives "".
    std::string GetTextOrDefault(std::string_view id);
    // The same, falling back to language 1 only with ttGetDefault.
    std::string GetText(std::string_view id);
    std::string InternalGetText(const TStringList& list, std::string_view id, bool fallBack);
    std::string InternalGetTextByIndex(const TStringList& list, int index, bool fallBack);
    // Replaces the text of one language in the first line with that key (and in the index
    // for Strings); nothing when no line has the key.
    virtual void SetTranslation(TStringList& list, std::string_view text, int language,
                                std::string_view key);
    const TmlStringsCollection& StringsTable() const { return stringsTable_; }
    // Builds the identifier index from Strings again.
    void RebuildStringsTable();
    // A resource string written in language ResourceLanguageIndex, in the active language:
    // the text of the resource-string index item whose sort-language text it is; unchanged
    // when there is none or its text is empty.
    std::string TranslateResourceString(std::string_view text) const;
    // The resource-string index: built with the identifier index when HandleResourceStrings
    // is set and the table has an owner, sorted by language ResourceLanguageIndex.
    const TmlStringsCollection& ResourceStringsTable() const { return resourceStringsTable_; }

    // ---- language ----
    int ActiveLanguage() const { return activeLanguage_; }
    void SetActiveLanguage(int value);
    int NumOfLanguages() const { return numOfLanguages_; }
    void SetNumOfLanguages(int value);
    const std::string& Language() const { return language_; }
    void SetLanguage(std::string_view value);
    const TStringList& LangNames() const { return langNames_; }
    void SetLangNames(const TStringList& names);
    // Applies the active language: refreshes the character sets, writes the texts into the
    // owner's components (not into those of a descendant with a table of its own), then fires
    // OnChangeLanguage.
    virtual void ChangeLanguage();

    // Character set of each language (1-based) and of the active one.
    int LanguageCharSet(int language) const;
    int CurrentCharSet() const { return currentCharSet_; }
    void RefreshCharSets();

    // ---- stored form ----
    // Fills the lists from the bytes of TranslationData (cp1252 or UTF-16LE).
    void ReadTranslationData(TStream& stream);
    void WriteTranslationData(TStream& stream) const;

    // Marks the table as being read; Loaded ends it.
    void BeginLoading() { loading_ = true; }
    bool IsLoading() const { return loading_; }
    // After the stored properties and TranslationData: dialog captions, delimiter and locale
    // conversions, removal of excluded items, the identifier index and character sets.
    virtual void Loaded();
    // Deletes the items that name an excluded property (ExcludedProperties, SmartExcludeProps).
    void RemoveExcludedItems();

    // ---- properties ----
    static constexpr std::string_view kVersion = "1.0";
    std::string Version() const { return std::string(kVersion); }
    void SetVersion(std::string_view) {}
    char LangDelim() const { return langDelim_; }
    void SetLangDelim(char value);
    bool ChangeLocales() const { return changeLocales_; }
    void SetChangeLocales(bool value);
    const TStringList& DoNotTranslate() const { return doNotTranslate_; }
    void SetDoNotTranslate(const TStringList& value);
    const TStringList& ExcludedProperties() const { return excludedProperties_; }
    void SetExcludedProperties(const TStringList& value);
    const TStringList& StringsTypes() const { return stringsTypes_; }
    void SetStringsTypes(const TStringList& value);
    const TStringList& SmartExcludeProps() const { return smartExcludeProps_; }
    void SetSmartExcludeProps(const TStringList& value);
    bool NeedAllDlgs() const { return needAllDlgs_; }
    void SetNeedAllDlgs(bool value);
    unsigned Options() const { return options_; }
    void SetOptions(unsigned value) { options_ = value; }
    int DefaultLanguage() const { return defaultLanguage_; }
    // Ignored outside 1 .. NumOfLanguages.
    void SetDefaultLanguage(int value);
    int ResourceLanguageIndex() const { return resourceLanguageIndex_; }
    void SetResourceLanguageIndex(int value);
    bool StoreAsUTF8() const { return storeAsUTF8_; }
    // Outside loading, a change converts every text of every list and extended item between
    // the code page of its language's character set and UTF-8.
    void SetStoreAsUTF8(bool value);
    bool AutoSkipEmpties() const { return autoSkipEmpties_; }
    void SetAutoSkipEmpties(bool value) { autoSkipEmpties_ = value; }

    TTranslateType TranslateType = ttNoChange;
    bool IsInheritedOwner = false;
    bool TranslateExtendedFirst = false;
    bool UseDefaultLanguage = false;
    bool HandleResourceStrings = false;
    bool UseTaskMsgDlg = true;
    bool DoRaiseExceptions = false;
    int16_t ChangingCursor = -1;
    // A data holder that a file manager creates: it does no work in Loaded and applies nothing.
    bool InternalInstance = false;
    // ChangeLanguage does nothing while set.
    bool SuppressApply = false;
    // True while the dispatcher sets this table's language: no veto is asked.
    bool SetByDispatcher = false;

    TNotifyEvent OnChangeLanguage;
    TLanguageChangingEvent OnLanguageChanging;

    // Which kind ChangeLanguage applies: -1 all, else one TStringsType value.
    int ApplyKind() const { return applyKind_; }

    // The 15 keys of DlgsCaptions and the 15 locale keys, in their order.
    static const std::array<std::string_view, 15>& DialogKeys();
    static const std::array<std::string_view, 15>& LocaleKeys();
    // ExcludedProperties at creation; the system's tables store the first 20.
    static const std::array<std::string_view, 30>& DefaultExcludedProperties();

    // ---- translation files ----
    // INI-style translation files: section "OPTIONS", the language names, one section per kind
    // with keys "<owner class>.<item key>" and values holding the texts of every language, and
    // "Extended". A file may hold the tables of many windows; each table reads and writes only
    // the keys of its owner class. A stream's INI text runs from its position to its end.
    // Reading replaces the kind's list by the owner's items of the file; returns their number.
    virtual int LoadFromIniStream(TStream& stream, TStringsType kind);
    // Rewrites the stream, keeping what it holds for other kinds and windows.
    virtual void SaveToIniStream(TStream& stream, TStringsType kind);
    // Every kind and the extended translations; then the indexes and, unless suppressed, the
    // texts of the owner's components.
    virtual void LoadAllFromIniStream(TStream& stream, bool noRetranslate = false);
    virtual void SaveAllToIniStream(TStream& stream);
    // Reads the kind, then appends again every earlier item the stream did not supply.
    virtual int MergeFromIniStream(TStream& stream, TStringsType kind);
    virtual void MergeAllFromIniStream(TStream& stream, bool noRetranslate = false);
    // -1 when the file does not exist.
    virtual int LoadFromFile(const std::string& fileName, TStringsType kind);
    // Files are replaced whole, never left half written.
    virtual void SaveToFile(const std::string& fileName, TStringsType kind);
    // False when the file does not exist.
    virtual bool LoadAllFromFile(const std::string& fileName, bool noRetranslate = false);
    virtual void SaveAllToFile(const std::string& fileName);
    virtual int LoadStringsFromFile(const std::string& fileName);
    virtual void SaveStringsToFile(const std::string& fileName);
    // A ".MLB" file through the binary file manager, any other as an INI-style file. False when
    // the file does not exist or holds nothing for this window.
    virtual bool MergeFromFile(const std::string& fileName, TStringsType kind,
                               bool noRetranslate = false);
    // Every kind, stopping at the first that fails.
    virtual bool MergeAllFromFile(const std::string& fileName, bool noRetranslate = false);
    // The texts of the file's language of that name become the table's language of that name,
    // appended when the table lacks it. A language the file lacks raises ELanguageError
    // "<name> not found in <file>" with DoRaiseExceptions and is skipped otherwise. Results:
    // the number of texts taken.
    virtual int ImportLanguage(const std::string& fileName, std::string_view language,
                               TStringsType kind);
    virtual int ImportLanguageExtended(const std::string& fileName, std::string_view language);
    virtual int ImportLanguageAll(const std::string& fileName, std::string_view language,
                                  bool noRetranslate = false);

protected:
    // Tables linked to the same dispatcher, in link order; null without a dispatcher.
    virtual const std::vector<TmlCustomLang*>* LinkedTables() const { return nullptr; }
    // Loaded calls it once the lists are complete, before the character sets are refreshed.
    virtual void LinkOnLoad() {}
    // The dispatcher's test display while it is on, else null.
    virtual const TTestModeInfo* ActiveTestMode() const { return nullptr; }

private:
    // The dispatcher sets the language name without switching.
    friend class TmlLangDispatcher;

    // The lists other than Strings are searched as one text, as the stored tables expect.
    std::string SearchListText(const TStringList& list, std::string_view id, bool fallBack,
                               bool raise = true);
    std::string TextOfIndexItem(std::string_view id, bool fallBack);
    bool IsExcluded(std::string_view component, std::string_view property) const;
    void CutToLanguages(int languages);
    void PadToLanguages();
    void CompleteDialogCaptions();
    void ReplaceDelimiter(char from, char to);
    void RemoveDoNotTranslateItems();
    void FillLocales();
    void ConvertStoredTexts(bool toUtf8);
    // After a translation file changed the lists: identifier index, character sets and,
    // unless suppressed, the texts of the owner's components.
    void FinishTranslationFile(bool retranslate);
    // A stored text of a language as the program shows it: from UTF-8 when StoreAsUTF8 is set.
    std::string FromStored(std::string_view text, int language) const;
    // The test display of a text; "" while the test mode is off.
    std::string TestModeText(std::string_view text) const;
    void RebuildResourceStringsTable();

    std::array<TStringList, kStringsTypeCount - 1> lists_;
    TStringList setAside_;
    int applyKind_ = -1;
    int activeLanguage_ = 1;
    int numOfLanguages_ = 1;
    bool changeLocales_ = false;
    bool loading_ = false;
    std::array<std::string, 15> localeDefaults_;
    char langDelim_ = '\1';
    TStringList doNotTranslate_;
    std::string language_ = "Language N1";
    TStringList langNames_;
    unsigned options_ = 0;
    bool needAllDlgs_ = false;
    TStringList excludedProperties_;
    TStringList stringsTypes_;
    TStringList smartExcludeProps_;
    int resourceLanguageIndex_ = 1;
    bool autoSkipEmpties_ = true;
    int defaultLanguage_ = 1;
    bool storeAsUTF8_ = false;
    TmlExtendedItems extended_{this};
    TmlStringsCollection stringsTable_;
    TmlStringsCollection resourceStringsTable_;
    std::vector<uint8_t> languageCharSets_;
    int currentCharSet_ = 1;
    bool decodeEscapes_ = false;
};

// The published face that forms hold as mlLang1.
class TmlLang : public TmlCustomLang {
    Q_OBJECT
public:
    using TmlCustomLang::TmlCustomLang;
    ~TmlLang() override;

    TmlLangDispatcher* LangDispatcher() const { return dispatcher_; }
    // Outside loading, a table with an owner links at once and takes the dispatcher's
    // language; while loading it only takes the number of languages and the default-language
    // settings, and links in Loaded. A window therefore sets it after BeginLoading.
    void SetLangDispatcher(TmlLangDispatcher* dispatcher);

protected:
    const std::vector<TmlCustomLang*>* LinkedTables() const override;
    void LinkOnLoad() override;
    const TTestModeInfo* ActiveTestMode() const override;

private:
    friend class TmlLangDispatcher;
    TmlLangDispatcher* dispatcher_ = nullptr;
};

} // namespace vx
