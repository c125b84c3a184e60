#include "localisation/mlLangDispatcher.h"

#include "localisation/mlComp.h"
#include "localisation/mlMLBFile.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/Strings.h"
#include "platform/system/Files.h"

#include <algorithm>

namespace vx {

TmlLangDispatcher::TmlLangDispatcher(QObject* owner) : QObject(owner) {
    langNames_.Add("Language N1");
}

TmlLangDispatcher::~TmlLangDispatcher() {
    // From the last to the first; only TmlLang tables are ever linked.
    while (!langs_.empty()) {
        auto* lang = static_cast<TmlLang*>(langs_.back());
        langs_.pop_back();
        if (lang->dispatcher_ == this)
            lang->dispatcher_ = nullptr;
    }
}

void TmlLangDispatcher::AddLang(TmlLang* lang) {
    if (lang == nullptr || std::find(langs_.begin(), langs_.end(), lang) != langs_.end())
        return;
    langs_.push_back(lang);
    lang->SetNumOfLanguages(numOfLanguages_);
    lang->SetLangNames(langNames_);
    lang->language_ = language_;
    if (OnLinkToDispatcher)
        OnLinkToDispatcher(this, lang);
    // Windows are built without texts of their own, so a table already in that language
    // applies it too.
    if (LoadTranslationFile(lang)) {
        langNames_.Assign(lang->LangNames());
        numOfLanguages_ = lang->NumOfLanguages();
    } else if (lang->ActiveLanguage() == activeLanguage_) {
        lang->applyKind_ = -1;
        lang->ChangeLanguage();
    } else {
        lang->SetActiveLanguage(activeLanguage_);
    }
    lang->RefreshCharSets();
}

bool TmlLangDispatcher::LoadTranslationFile(TmlLang* lang) {
    if (fileName_.empty() || !FileExists(fileName_))
        return false;
    lang->activeLanguage_ = activeLanguage_;
    if (lang->langNames_.Count() >= activeLanguage_ && activeLanguage_ >= 1)
        lang->language_ = lang->langNames_[activeLanguage_ - 1];
    if (!SameText(ExtractFileExt(fileName_), ".MLB"))
        return lang->LoadAllFromFile(fileName_);
    if (!fileManager_)
        fileManager_ = std::make_unique<TMLBFileManager>();
    fileManager_->SetFileName(fileName_);
    fileManager_->ReadTable(*lang);
    lang->FinishTranslationFile(true);
    return true;
}

void TmlLangDispatcher::RemoveLang(TmlCustomLang* lang) {
    const auto it = std::find(langs_.begin(), langs_.end(), lang);
    if (it != langs_.end())
        langs_.erase(it);
}

void TmlLangDispatcher::SetActiveLanguage(int value) {
    if (value == activeLanguage_)
        return;
    if (OnLanguageChanging) {
        bool allow = true;
        OnLanguageChanging(this, value, allow);
        if (!allow)
            return;
    }
    // Indexed, since a handler may close a window and so unlink its table.
    for (size_t i = 0; i < langs_.size(); ++i) {
        TmlCustomLang* table = langs_[i];
        bool allow = true;
        if (table->OnLanguageChanging)
            table->OnLanguageChanging(table, value, allow);
        if (!allow)
            return;
    }
    activeLanguage_ = value;
    for (TmlCustomLang* table : std::vector<TmlCustomLang*>(langs_)) {
        // A window closed by an earlier table's switch has unlinked its table.
        if (std::find(langs_.begin(), langs_.end(), table) == langs_.end())
            continue;
        struct Flag {
            TmlCustomLang* table;
            ~Flag() { table->SetByDispatcher = false; }
        } flag{table};
        table->SetByDispatcher = true;
        table->SetActiveLanguage(value);
    }
    if (!loading_ && langNames_.Count() >= value)
        language_ = langNames_[value - 1];
    if (OnLanguageChanged)
        OnLanguageChanged(this);
}

void TmlLangDispatcher::SetNumOfLanguages(int value) {
    numOfLanguages_ = value;
    while (langNames_.Count() < value)
        langNames_.Add("Language N" + IntToStr(langNames_.Count() + 1));
    while (langNames_.Count() > std::max(value, 0))
        langNames_.Delete(langNames_.Count() - 1);
    for (TmlCustomLang* table : langs_)
        table->SetNumOfLanguages(value);
}

void TmlLangDispatcher::SetLangNames(const TStringList& names) {
    if (&names == &langNames_)
        return;
    langNames_.Assign(names);
    if (langNames_.Count() > activeLanguage_ - 1 && activeLanguage_ >= 1)
        language_ = langNames_[activeLanguage_ - 1];
    for (TmlCustomLang* table : langs_) {
        table->SetLangNames(langNames_);
        table->SetLanguage(language_);
    }
    SetNumOfLanguages(langNames_.Empty() ? 1 : langNames_.Count());
}

void TmlLangDispatcher::SetLanguage(std::string_view name) {
    if (name == language_)
        return;
    if (!langNames_.Empty() && langNames_.IndexOf(name) < 0)
        throw ELanguageError("Language name shall be included in LangNames property!");
    language_ = std::string(name);
    if (!loading_ && !langNames_.Empty())
        SetActiveLanguage(langNames_.IndexOf(name) + 1);
}

void TmlLangDispatcher::SetUseDefaultLanguage(bool value) {
    if (value == useDefaultLanguage_)
        return;
    useDefaultLanguage_ = value;
    for (TmlCustomLang* table : langs_)
        table->UseDefaultLanguage = value;
}

void TmlLangDispatcher::SetDefaultLanguage(int value) {
    if (value < 1 || value > numOfLanguages_ || value == defaultLanguage_)
        return;
    defaultLanguage_ = value;
    for (TmlCustomLang* table : langs_)
        table->SetDefaultLanguage(value);
}

} // namespace vx
