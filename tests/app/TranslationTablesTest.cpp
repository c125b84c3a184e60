#include "localisation/mlComp.h"
#include "localisation/mlStoredTable.h"

#include <gtest/gtest.h>

#include <string>

namespace vx {
namespace {

// Every text of the shell's small windows and of the file messages exists in every language.
TEST(TranslationTablesTest, NoTextOfTheSmallWindowsIsMissingInALanguage) {
    for (const char* name :
         {"TOpenListFile", "TF_Def_Ant", "Tconfig_document_dlg", "Timpostazioni", "TAboutBox",
          "Tsplashform", "TMainForm", "FileMessages", "TFConverti_Vrx", "TF_normalizza",
          "Tfrm_32bitedit", "TFormModellocaricamento"}) {
        TmlLang lang;
        ASSERT_TRUE(LoadTranslationResource(lang, name)) << name;
        ASSERT_EQ(lang.NumOfLanguages(), 3);
        int lines = 0;
        for (TStringsType kind : {stCaptions, stHints, stMultiLines, stStrings, stOtherStrings}) {
            for (const std::string& line : lang.List(kind)->Items()) {
                ++lines;
                size_t start = line.find('\1');
                for (int language = 1; language <= 3; ++language) {
                    const size_t end = line.find('\1', start + 1);
                    ASSERT_NE(end, std::string::npos) << name << ": " << line;
                    EXPECT_GT(end, start + 1) << name << " language " << language << ": " << line;
                    start = end;
                }
            }
        }
        EXPECT_GT(lines, 0) << name;
    }
}

} // namespace
} // namespace vx
