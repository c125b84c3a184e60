#pragma once

// The program-wide choice of language: every linked translation table follows it.

#include "platform/runtime/StringList.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

class TmlCustomLang;
class TmlLang;
class TMLBFileManager;

enum TTestModeKind { tmkExpandWidth, tmkFlipCase, tmkExpandChars };

// Test display of texts: shows which texts have no translation yet. Nothing in the system
// turns it on.
struct TTestModeInfo {
    bool Active = false;
    TTestModeKind Kind = tmkExpandWidth;
    int ExpandWidthPercent = 100;
    int ExpandCharsPercent = 100;
    char PaddingChar = '*';

    // The text as the test display shows it (Kind decides how).
    std::string Display(std::string_view text) const;
};

// The expand-width display: the text in capitals with the padding character inserted from
// its end towards its start until textWidth finds it at least (100 + percent) % as wide as the
// unchanged text. A padding character that adds no width ends the padding.
std::string ExpandWidthText(std::string_view text, char padding, int percent,
                            const std::function<int64_t(std::string_view)>& textWidth);

// Used on the GUI thread only. The linked tables are not owned: a table unlinks itself when it
// is destroyed, and the dispatcher unlinks the remaining ones when it is destroyed first.
class TmlLangDispatcher : public QObject {
    Q_OBJECT
public:
    using TLinkToDispatcherEvent =
        std::function<void(TmlLangDispatcher* sender, TmlCustomLang* lang)>;
    using TLanguageChangingEvent =
        std::function<void(TmlLangDispatcher* sender, int newLanguage, bool& allowChange)>;
    using TNotifyEvent = std::function<void(TmlLangDispatcher* sender)>;

    explicit TmlLangDispatcher(QObject* owner = nullptr);
    ~TmlLangDispatcher() override;

    // Links a table and gives it the dispatcher's languages and active language; nothing when
    // it is linked already.
    void AddLang(TmlLang* lang);
    // Removes the first occurrence; nothing when absent.
    void RemoveLang(TmlCustomLang* lang);
    int LangCount() const { return static_cast<int>(langs_.size()); }
    TmlCustomLang* Langs(int index) const { return langs_.at(static_cast<size_t>(index)); }
    const std::vector<TmlCustomLang*>& LinkedTables() const { return langs_; }

    int ActiveLanguage() const { return activeLanguage_; }
    // Asks the dispatcher's OnLanguageChanging, then every linked table's, in linking order;
    // any veto leaves everything as it was. Then switches every table, in linking order, and
    // fires OnLanguageChanged once. A value equal to the current one does nothing.
    void SetActiveLanguage(int value);
    int NumOfLanguages() const { return numOfLanguages_; }
    void SetNumOfLanguages(int value);
    const TStringList& LangNames() const { return langNames_; }
    void SetLangNames(const TStringList& names);
    const std::string& Language() const { return language_; }
    // Raises ELanguageError for a name that a non-empty LangNames does not hold.
    void SetLanguage(std::string_view name);
    // A translation file to load into each table as it links; the system leaves it empty.
    // A .MLB file is read through the dispatcher's file manager.
    const std::string& FileName() const { return fileName_; }
    void SetFileName(std::string_view name) { fileName_ = std::string(name); }
    TTestModeInfo& TestModeInfo() { return testModeInfo_; }
    const TTestModeInfo& TestModeInfo() const { return testModeInfo_; }
    bool UseDefaultLanguage() const { return useDefaultLanguage_; }
    void SetUseDefaultLanguage(bool value);
    int DefaultLanguage() const { return defaultLanguage_; }
    // Ignored outside 1 .. NumOfLanguages.
    void SetDefaultLanguage(int value);

    // Between them the setters only store, as while the stored form is read.
    void BeginLoading() { loading_ = true; }
    void Loaded() { loading_ = false; }
    bool IsLoading() const { return loading_; }

    TLinkToDispatcherEvent OnLinkToDispatcher;
    TLanguageChangingEvent OnLanguageChanging;
    TNotifyEvent OnLanguageChanged;

private:
    std::vector<TmlCustomLang*> langs_;
    int activeLanguage_ = 1;
    int numOfLanguages_ = 1;
    std::string language_;
    TStringList langNames_;
    // Gives a linking table the texts of FileName; false when no such file exists.
    bool LoadTranslationFile(TmlLang* lang);

    std::string fileName_;
    std::unique_ptr<TMLBFileManager> fileManager_; // made on first need
    TTestModeInfo testModeInfo_;
    bool useDefaultLanguage_ = false;
    int defaultLanguage_ = 1;
    bool loading_ = false;
};

} // namespace vx
