#include "localisation/Strglobmod.h"

#include "data/GlobalText.h"
#include "localisation/mlComp.h"
#include "localisation/mlLangDispatcher.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace vx {
namespace {

struct GlobalData {
    GlobalData() { CreateSTRGlobData(); }
    ~GlobalData() { FreeSTRGlobData(); }
};

TEST(STRGlobData, HoldsTheDispatcherAndAnUnlinkedTable) {
    GlobalData g;
    ASSERT_NE(STRGlobData, nullptr);
    EXPECT_EQ(&CreateSTRGlobData(), STRGlobData);
    TmlLangDispatcher& d = *STRGlobData->mlLangDispatcher1;
    EXPECT_EQ(d.ActiveLanguage(), 1);
    EXPECT_EQ(d.NumOfLanguages(), 3);
    EXPECT_EQ(d.LangNames().CommaText(), "Italiano,English,Deutsch");
    EXPECT_EQ(d.Language(), "Italiano");
    EXPECT_EQ(d.LangCount(), 0);
    TmlLang& lang = *STRGlobData->mlLang1;
    EXPECT_EQ(lang.LangDispatcher(), nullptr);
    EXPECT_EQ(lang.NumOfLanguages(), 3);
    EXPECT_EQ(lang.DlgsCaptions().Count(), 15);
}

// Key and first language of "key<1>text<1>...".
std::pair<std::string, std::string> KeyAndFirst(const std::string& item) {
    const size_t key = item.find('\1');
    const size_t first = item.find('\1', key + 1);
    return {item.substr(0, key), item.substr(key + 1, first - key - 1)};
}

TEST(STRGlobData, DialogCaptionsAreTheStoredOnes) {
    GlobalData g;
    TmlLang fresh;
    const TStringList& captions = STRGlobData->mlLang1->DlgsCaptions();
    ASSERT_EQ(captions.Count(), 15);
    ASSERT_EQ(fresh.DlgsCaptions().Count(), 15);
    for (int i = 0; i < 15; ++i) {
        SCOPED_TRACE(captions[i]);
        EXPECT_EQ(KeyAndFirst(captions[i]), KeyAndFirst(fresh.DlgsCaptions()[i]));
    }
    EXPECT_EQ(KeyAndFirst(captions[12]),
              std::make_pair(std::string("No To All"), std::string("N&o to All")));
    EXPECT_EQ(KeyAndFirst(captions[13]),
              std::make_pair(std::string("Yes To All"), std::string("Yes to &All")));
}

TEST(STRGlobData, GivesItsFirstLanguageWhateverTheDispatchersLanguage) {
    GlobalData g;
    TmlLang& lang = *STRGlobData->mlLang1;
    for (int language : {2, 3, 1, 2}) {
        SCOPED_TRACE(language);
        STRGlobData->mlLangDispatcher1->SetActiveLanguage(language);
        EXPECT_EQ(lang.ActiveLanguage(), 1);
        EXPECT_EQ(lang.GetTextOrDefault("IDS_0"), "Nuova pagina");
        EXPECT_EQ(lang.GetTextOrDefault("IDS_24"), "OFF");
        EXPECT_EQ(GlobalText("IDS_3"),
                  "Attenzione il sistema \xE8 sprovvisto di dispositivi di stampa.");
        EXPECT_EQ(GlobalText("IDS_18"), "L'applicazione non risiede nella directory corretta");
    }
    EXPECT_EQ(lang.GetTextOrDefault("IDS_99"), "");
    EXPECT_EQ(GlobalText("IDS_99"), "");
}

TEST(STRGlobData, FreeingUnbindsTheLookup) {
    CreateSTRGlobData();
    FreeSTRGlobData();
    EXPECT_EQ(STRGlobData, nullptr);
    // The built-in text of the data layer answers again.
    EXPECT_EQ(GlobalText("IDS_18"), "L'applicazione non risiede nella directory corretta");
}

} // namespace
} // namespace vx
