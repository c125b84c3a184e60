// The parts of a table's lookup that no stored table uses: the test display, texts stored as
// UTF-8 and the resource-string index.

#include "localisation/mlCodePages.h"
#include "localisation/mlComp.h"
#include "localisation/mlLangDispatcher.h"

#include <algorithm>

namespace vx {

std::string TmlCustomLang::FromStored(std::string_view text, int language) const {
    if (!storeAsUTF8_ || text.empty())
        return std::string(text);
    return Utf8ToCodePage(text, CharsetToCodePage(LanguageCharSet(language)));
}

std::string TmlCustomLang::TestModeText(std::string_view text) const {
    const TTestModeInfo* mode = ActiveTestMode();
    return mode != nullptr ? mode->Display(text) : std::string();
}

void TmlCustomLang::RebuildResourceStringsTable() {
    if (!HandleResourceStrings || Owner() == nullptr) {
        resourceStringsTable_.Clear();
        return;
    }
    if (decodeEscapes_)
        resourceStringsTable_.Decode = DecodeCEscapes;
    // A language 0 read from a stored table would sort by identifier.
    resourceStringsTable_.Build(Strings(), langDelim_, numOfLanguages_,
                                std::max(1, resourceLanguageIndex_));
}

std::string TmlCustomLang::TranslateResourceString(std::string_view text) const {
    const int source = resourceStringsTable_.SortLanguage;
    if (!HandleResourceStrings || source < 1 || activeLanguage_ == source)
        return std::string(text);
    const std::string key = storeAsUTF8_
                                ? CodePageToUtf8(text, CharsetToCodePage(LanguageCharSet(source)))
                                : std::string(text);
    const TmlStringsCollectionItem* item = resourceStringsTable_.Find(key);
    if (item == nullptr)
        return std::string(text);
    auto textOf = [&](int language) {
        const size_t k = static_cast<size_t>(language - 1);
        return k < item->Texts.size() ? FromStored(item->Texts[k], language) : std::string();
    };
    std::string result = textOf(activeLanguage_);
    if (result.empty() && numOfLanguages_ >= 2)
        result = TestModeText(textOf(1));
    if (decodeEscapes_)
        result = DecodeCEscapes(result);
    // An untranslated item keeps the program's own text rather than blanking it.
    return result.empty() ? std::string(text) : result;
}

const TTestModeInfo* TmlLang::ActiveTestMode() const {
    if (dispatcher_ == nullptr || !dispatcher_->TestModeInfo().Active)
        return nullptr;
    return &dispatcher_->TestModeInfo();
}

} // namespace vx
