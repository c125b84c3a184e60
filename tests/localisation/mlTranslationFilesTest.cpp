#include "localisation/mlComp.h"

#include "TestOwners.h"
#include "TestWindow.h"
#include "localisation/MemIni.h"
#include "localisation/mlStoredTable.h"
#include "platform/runtime/Streams.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace vx {
namespace {

const char* const kThreeLanguages = "[TmlLang]\r\nNumOfLanguages=3\r\nLangDelim=1\r\n"
                                    "LangNames=Italiano,English,Deutsch\r\nLanguage=Italiano\r\n";
const char* const kTwoLanguages = "[TmlLang]\r\nNumOfLanguages=2\r\nLangDelim=1\r\n"
                                  "LangNames=Italiano,English\r\nLanguage=Italiano\r\n";

// A table of a TMainForm loaded as a form's stream loads it; '|' in the data is the delimiter.
struct Table {
    explicit Table(const char* data = "", const char* properties = kThreeLanguages) {
        LoadStoredTable(*lang, properties, test::TableText(data));
    }
    test::TMainForm owner;
    TmlLang* lang = new TmlLang(&owner);
};

// Key -> texts of languages 1 .. languages; the order of the list does not count.
using TKindTexts = std::map<std::string, std::vector<std::string>>;
TKindTexts TextsOf(const TStringList& list, int languages) {
    TKindTexts texts;
    for (const std::string& line : list.Items()) {
        std::vector<std::string>& t = texts[GetDelimitedField(line, '\1', 0)];
        for (int k = 1; k <= languages; ++k)
            t.push_back(GetDelimitedField(line, '\1', k));
    }
    return texts;
}

std::string Ini(const char* text) {
    return test::TableText(text);
}

TEST(TranslationFiles, WritesTheFileFormatKeepingOtherWindowsKeys) {
    Table t("stCaptions\r\nTMainForm|Finestra|Window|\r\nButton1|Apri|Open|\r\n"
            "stDlgsCaptions\r\n"
            "stStrings\r\nIDS_1|Riga 1\x19\x1ARiga 2|Lineè|\r\n"
            "stCollections\r\nStatusBar1.Panels[0].Text|Pronto|Ready|\r\n"
            "stCharSets\r\n",
            kTwoLanguages);
    TmlExtendedItem& item = t.lang->ExtendedTranslations().Add();
    item.SetIdentifier("TMainForm.Edit1.Text");
    item.PropertyType = tkLString;
    item.Values = "uno\1one\1";

    test::TempDir dir;
    const std::string path = dir.File("lang.ini");
    test::WriteFile(path, "[Captions]\r\nTAboutBox.Label1=Info~!@#About\r\n"
                          "TMainForm.Gone=Via~!@#Gone\r\n\r\n"
                          "[Language names - for intenal use only!]\r\nLanguage_1=Italiano\r\n");
    t.lang->SaveAllToFile(path);

    EXPECT_EQ(test::ReadFile(path), "[Captions]\r\n"
                                    "TAboutBox.Label1=Info~!@#About\r\n"
                                    "TMainForm.Button1=Apri~!@#Open\r\n"
                                    "TMainForm.TMainForm=Finestra~!@#Window\r\n"
                                    "\r\n"
                                    "[CharSets]\r\n"
                                    "\r\n"
                                    "[Collections]\r\n"
                                    "TMainForm.StatusBar1.Panels-0+.Text=Pronto~!@#Ready\r\n"
                                    "\r\n"
                                    "[Dialogs]\r\n"
                                    "\r\n"
                                    "[DisplayLabels]\r\n"
                                    "\r\n"
                                    "[Extended]\r\n"
                                    "TMainForm.Edit1.Text=uno~!@#one\r\n"
                                    "TMainForm.Edit1.Text_TypeKind=10\r\n"
                                    "\r\n"
                                    "[Fonts]\r\n"
                                    "\r\n"
                                    "[Hints]\r\n"
                                    "\r\n"
                                    "[Language names - for internal use only!]\r\n"
                                    "Language_1=Italiano\r\n"
                                    "Language_2=English\r\n"
                                    "\r\n"
                                    "[Locales]\r\n"
                                    "\r\n"
                                    "[Multilines]\r\n"
                                    "\r\n"
                                    "[OPTIONS]\r\n"
                                    "DELIMITER=~!@#\r\n"
                                    "IsUTF8File=0\r\n"
                                    "\r\n"
                                    "[Other]\r\n"
                                    "\r\n"
                                    "[Strings]\r\n"
                                    "TMainForm.IDS_1=Riga 1\x19\x1ARiga 2~!@#Line\xE8\r\n"
                                    "\r\n");
}

TEST(TranslationFiles, ExportThenImportGivesEveryKindBack) {
    Table source("stCaptions\r\nTMainForm|Finestra|Window|Fenster|\r\nLabel1|Nome|Name||\r\n"
                 "stHints\r\nButton1|Apre|Opens|Öffnet|\r\n"
                 "stDisplayLabels\r\nField1|Campo|Field|Feld|\r\n"
                 "stFonts\r\nTMainForm|Tahoma|Arial|Tahoma|\r\n"
                 "stMultiLines\r\nComboBox1.Items|rosso,verde|red,green|rot,grün|\r\n"
                 "stDlgsCaptions\r\nYes|&Sì|&Yes|&Ja|\r\n"
                 "stStrings\r\nIDS_1|Riga 1\x19\x1ARiga 2|Line 1|Zeile 1|\r\nIDS_2|||nur|\r\n"
                 "stOtherStrings\r\nEdit1.Text|testo|text|Text|\r\n"
                 "stLocales\r\nDecimal Separator|,|.|,|\r\n"
                 "stCollections\r\nStatusBar1.Panels[0].Text|Pronto|Ready|Bereit|\r\n"
                 "stCharSets\r\nTMainForm|DEFAULT_CHARSET|ANSI_CHARSET|DEFAULT_CHARSET|\r\n");
    TmlExtendedItem& item = source.lang->ExtendedTranslations().Add();
    item.SetIdentifier("TMainForm.Edit1.Hint");
    item.PropertyType = tkWString;
    item.Values = "aiuto\1help\1Hilfe\1";

    TMemoryStream stream;
    source.lang->SaveAllToIniStream(stream);
    EXPECT_NE(stream.Bytes().find("TMainForm.StatusBar1.Panels-0+.Text="), std::string::npos);
    EXPECT_EQ(stream.Bytes().find("Panels[0]"), std::string::npos);

    test::TMainForm owner;
    auto* target = new TmlLang(&owner);
    stream.SetPosition(0);
    target->LoadAllFromIniStream(stream, true);

    EXPECT_EQ(target->NumOfLanguages(), 3);
    EXPECT_EQ(target->LangNames(), source.lang->LangNames());
    for (int kind = stCaptions; kind <= stCharSets; ++kind) {
        const auto type = static_cast<TStringsType>(kind);
        EXPECT_EQ(TextsOf(*target->List(type), 3), TextsOf(*source.lang->List(type), 3))
            << StringsTypeName(type);
    }
    EXPECT_EQ(target->Strings().Count(), 2);
    EXPECT_EQ(GetDelimitedField(target->Strings()[0], '\1', 1), "Riga 1\r\nRiga 2");
    EXPECT_EQ(target->Captions()[0].rfind("TMainForm\1", 0), 0u);
    ASSERT_EQ(target->ExtendedTranslations().Count(), 1);
    const TmlExtendedItem& back = target->ExtendedTranslations().Items(0);
    EXPECT_EQ(back.Identifier(), "TMainForm.Edit1.Hint");
    EXPECT_EQ(back.PropertyType, tkWString);
    EXPECT_EQ(back.Values, "aiuto\1help\1Hilfe\1");
    target->SetActiveLanguage(3);
    EXPECT_EQ(target->GetTextOrDefault("IDS_2"), "nur");
}

TEST(TranslationFiles, ReadsTheFileDelimiterAndOnlyTheOwnersKeys) {
    struct Case {
        const char *options, *value;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {"", "Uno~!@#One", {"Uno", "One"}},
        {"[OPTIONS]\r\nDELIMITER=;\r\n", "Uno;One", {"Uno", "One"}},
        // An empty delimiter cannot split: the default serves.
        {"[OPTIONS]\r\nDELIMITER=\r\n", "Uno~!@#One", {"Uno", "One"}},
        {"", "Uno~!@#One~!@#", {"Uno", "One"}},
        {"", "Solo", {"Solo", ""}},
        // The table's own delimiter would split a text into two languages.
        {"", "U|no~!@#One", {"Uno", "One"}},
        {"\xEF\xBB\xBF", "Uno~!@#One", {"Uno", "One"}},
    };
    for (const Case& c : cases) {
        Table t("stStrings\r\nIDS_7|vecchio|old|\r\n", kTwoLanguages);
        TMemoryStream stream(std::string(c.options) + "[Strings]\r\nTMainForm.IDS_1=" +
                             Ini(c.value) + "\r\nTAboutBox.IDS_1=Altro~!@#Other\r\n");
        EXPECT_EQ(t.lang->LoadFromIniStream(stream, stStrings), 1) << c.value;
        EXPECT_EQ(TextsOf(t.lang->Strings(), 2), (TKindTexts{{"IDS_1", c.texts}})) << c.value;
        t.lang->SetActiveLanguage(2);
        EXPECT_EQ(t.lang->GetText("IDS_1"), c.texts[1]) << c.value;
    }
}

TEST(TranslationFiles, ASectionTheFileLacksLeavesItsListAlone) {
    Table t("stCaptions\r\nLabel1|Nome|Name||\r\nstHints\r\nLabel1|a|b||\r\n"
            "stStrings\r\nIDS_1|uno|one||\r\n");
    TmlExtendedItem& item = t.lang->ExtendedTranslations().Add();
    item.SetIdentifier("TMainForm.Edit1.Text");
    // Another window's keys do not make the section this owner's: its list becomes empty.
    TMemoryStream stream(Ini("[Strings]\r\nTMainForm.IDS_2=due\r\n[Hints]\r\n"
                             "[Captions]\r\nTAboutBox.Label1=x\r\n"));
    t.lang->LoadAllFromIniStream(stream, true);
    EXPECT_EQ(TextsOf(t.lang->Strings(), 1), (TKindTexts{{"IDS_2", {"due"}}}));
    EXPECT_EQ(t.lang->Hints().Count(), 0);
    EXPECT_EQ(t.lang->Captions().Count(), 0);
    EXPECT_EQ(t.lang->DlgsCaptions().Count(), 15);
    EXPECT_EQ(t.lang->ExtendedTranslations().Count(), 1);
    stream.SetPosition(0);
    t.lang->Locales().Add("Decimal Separator\1,\1");
    EXPECT_EQ(t.lang->LoadFromIniStream(stream, stLocales), 0);
    EXPECT_EQ(t.lang->Locales().Count(), 1);
}

TEST(TranslationFiles, FileLanguagesAreAddedAndNamedNeverDropped) {
    Table t("stStrings\r\nIDS_1|a|b|c|\r\n");
    TMemoryStream two(Ini("[Language names - for internal use only!]\r\nLanguage_1=Deutsch\r\n"
                          "Language_2=English\r\n[Strings]\r\nTMainForm.IDS_1=x~!@#y\r\n"));
    t.lang->LoadFromIniStream(two, stStrings);
    EXPECT_EQ(t.lang->NumOfLanguages(), 3);
    EXPECT_EQ(t.lang->LangNames().Text(), "Deutsch\r\nEnglish\r\nDeutsch\r\n");
    EXPECT_EQ(t.lang->Language(), "Deutsch");

    // Older files name the section with a spelling slip; reading stops at the first gap.
    TMemoryStream four(Ini("[Language names - for intenal use only!]\r\nLanguage_1=A\r\n"
                           "Language_2=B\r\nLanguage_3=C\r\nLanguage_4=D\r\nLanguage_6=F\r\n"
                           "[Strings]\r\nTMainForm.IDS_1=1~!@#2~!@#3~!@#4\r\n"));
    t.lang->LoadFromIniStream(four, stStrings);
    EXPECT_EQ(t.lang->NumOfLanguages(), 4);
    EXPECT_EQ(t.lang->LangNames().Text(), "A\r\nB\r\nC\r\nD\r\n");
    EXPECT_EQ(t.lang->Strings()[0], "IDS_1\1"
                                    "1\1"
                                    "2\1"
                                    "3\1"
                                    "4\1");
}

TEST(TranslationFiles, FixedLanguagesKeepTheTablesTexts) {
    Table t("stStrings\r\nIDS_1|Uno|One|Eins|\r\n");
    TMemoryStream stream(Ini("[OPTIONS]\r\nLanguage_Fixed1=1\r\nLanguage_Fixed3=0\r\n"
                             "[Strings]\r\nTMainForm.IDS_1=UNO~!@#ONE~!@#EINS\r\n"
                             "TMainForm.IDS_2=DUE~!@#TWO~!@#ZWEI\r\n"));
    t.lang->LoadFromIniStream(stream, stStrings);
    EXPECT_EQ(TextsOf(t.lang->Strings(), 3),
              (TKindTexts{{"IDS_1", {"Uno", "ONE", "EINS"}}, {"IDS_2", {"DUE", "TWO", "ZWEI"}}}));
}

TEST(TranslationFiles, TextsFollowTheEncodingOfFileAndTable) {
    struct Case {
        const char* utf8Flag;
        const char* fileText;
        bool tableUtf8;
        const char* tableText;
    };
    const Case cases[] = {
        {"1", "Citt\xC3\xA0", false, "Citt\xE0"},
        {"0", "Citt\xE0", true, "Citt\xC3\xA0"},
        {"1", "Citt\xC3\xA0", true, "Citt\xC3\xA0"},
        {"", "Citt\xE0", false, "Citt\xE0"},
    };
    for (const Case& c : cases) {
        test::TMainForm owner;
        auto* lang = new TmlLang(&owner);
        lang->SetStoreAsUTF8(c.tableUtf8);
        TMemoryStream stream(std::string("[OPTIONS]\r\nIsUTF8File=") + c.utf8Flag +
                             "\r\n[Strings]\r\nTMainForm.IDS_1=" + c.fileText + "\r\n");
        lang->LoadFromIniStream(stream, stStrings);
        EXPECT_EQ(lang->Strings()[0], std::string("IDS_1\1") + c.tableText + "\1") << c.fileText;
    }

    Table t("stStrings\r\nIDS_1|Città|\r\n", "[TmlLang]\r\nLangDelim=1\r\n");
    t.lang->SetStoreAsUTF8(true);
    TMemoryStream fresh;
    t.lang->SaveToIniStream(fresh, stStrings);
    EXPECT_NE(fresh.Bytes().find("IsUTF8File=1\r\n"), std::string::npos);
    EXPECT_NE(fresh.Bytes().find("TMainForm.IDS_1=Citt\xC3\xA0\r\n"), std::string::npos);
    // A file keeps its own encoding.
    TMemoryStream ansi(std::string("[OPTIONS]\r\nIsUTF8File=0\r\n"));
    t.lang->SaveToIniStream(ansi, stStrings);
    EXPECT_NE(ansi.Bytes().find("IsUTF8File=0\r\n"), std::string::npos);
    EXPECT_NE(ansi.Bytes().find("TMainForm.IDS_1=Citt\xE0\r\n"), std::string::npos);
}

TEST(TranslationFiles, WritingOneKindKeepsTheRestOfTheStream) {
    Table t("stStrings\r\nIDS_1|Uno|One||\r\n");
    const std::string head = "not part of the file";
    TMemoryStream stream(head + Ini("[Hints]\r\nTMainForm.Button1=Apre~!@#Opens\r\n"
                                    "[Strings]\r\nTMainForm.IDS_0=Zero\r\nTAboutBox.IDS_0=x\r\n"));
    stream.SetPosition(static_cast<int64_t>(head.size()));
    t.lang->SaveToIniStream(stream, stStrings);
    const std::string& bytes = stream.Bytes();
    EXPECT_EQ(bytes.rfind(head + "[Hints]\r\nTMainForm.Button1=Apre~!@#Opens\r\n\r\n", 0), 0u);
    EXPECT_NE(bytes.find("[Strings]\r\nTAboutBox.IDS_0=x\r\nTMainForm.IDS_1=Uno~!@#One~!@#\r\n"),
              std::string::npos);
    EXPECT_EQ(bytes.find("TMainForm.IDS_0"), std::string::npos);
}

TEST(TranslationFiles, MergeKeepsTheItemsTheStreamDoesNotSupply) {
    Table t("stStrings\r\nIDS_1|uno|one||\r\nIDS_2|due|two||\r\n");
    TMemoryStream stream(Ini("[Strings]\r\nTMainForm.IDS_2=DUE~!@#TWO~!@#ZWEI\r\n"
                             "TMainForm.IDS_3=tre~!@#three~!@#drei\r\n"));
    EXPECT_EQ(t.lang->MergeFromIniStream(stream, stStrings), 2);
    EXPECT_EQ(TextsOf(t.lang->Strings(), 3), (TKindTexts{{"IDS_1", {"uno", "one", ""}},
                                                         {"IDS_2", {"DUE", "TWO", "ZWEI"}},
                                                         {"IDS_3", {"tre", "three", "drei"}}}));
    EXPECT_EQ(t.lang->Strings()[2], "IDS_1\1uno\1one\1\1");
    EXPECT_EQ(t.lang->GetTextOrDefault("IDS_3"), "tre");

    test::TempDir dir;
    const std::string path = dir.File("merge.lng");
    test::WriteFile(path, "[Hints]\r\nTMainForm.Button1=Apre~!@#Opens~!@#\r\n");
    EXPECT_TRUE(t.lang->MergeAllFromFile(path, true));
    EXPECT_EQ(t.lang->Strings().Count(), 3);
    EXPECT_EQ(TextsOf(t.lang->Hints(), 2), (TKindTexts{{"Button1", {"Apre", "Opens"}}}));
    EXPECT_FALSE(t.lang->MergeAllFromFile(dir.File("missing.lng")));
    EXPECT_FALSE(t.lang->MergeFromFile(dir.File("missing.mlb"), stStrings));
}

TEST(TranslationFiles, NamedFilesThatDoNotExistChangeNothing) {
    Table t("stStrings\r\nIDS_1|uno|one||\r\n");
    test::TempDir dir;
    const std::string missing = dir.File("none.lng");
    EXPECT_EQ(t.lang->LoadFromFile(missing, stStrings), -1);
    EXPECT_EQ(t.lang->LoadStringsFromFile(missing), -1);
    EXPECT_FALSE(t.lang->LoadAllFromFile(missing));
    EXPECT_EQ(t.lang->ImportLanguageAll(missing, "English"), 0);
    EXPECT_EQ(t.lang->Strings().Text(), "IDS_1\1uno\1one\1\1\r\n");

    t.lang->SaveStringsToFile(missing);
    t.lang->Strings().Clear();
    EXPECT_EQ(t.lang->LoadStringsFromFile(missing), 1);
    EXPECT_EQ(t.lang->Strings().Text(), "IDS_1\1uno\1one\1\1\r\n");
}

struct ImportFile {
    ImportFile() {
        test::WriteFile(Path, "[Language names - for internal use only!]\r\n"
                              "Language_1=Italiano\r\nLanguage_2=English\r\n"
                              "[Strings]\r\nTMainForm.IDS_1=Uno~!@#One\r\n"
                              "TMainForm.IDS_9=Nove~!@#Nine\r\n"
                              "[Captions]\r\nTMainForm.Label1=Nome~!@#Name\r\n"
                              "[Extended]\r\nTMainForm.Edit1.Text=testo~!@#text\r\n"
                              "TMainForm.Edit1.Text_TypeKind=10\r\n");
    }
    test::TempDir Dir;
    std::string Path = Dir.File("import.lng");
};

const char* const kEnglishDeutsch = "[TmlLang]\r\nNumOfLanguages=2\r\nLangDelim=1\r\n"
                                    "LangNames=English,Deutsch\r\nLanguage=English\r\n";

TEST(TranslationFiles, ImportsALanguageByItsName) {
    ImportFile file;
    Table t("stStrings\r\nIDS_1|eins?|Eins|\r\n", kEnglishDeutsch);
    EXPECT_EQ(t.lang->ImportLanguage(file.Path, "english", stStrings), 2);
    EXPECT_EQ(TextsOf(t.lang->Strings(), 2),
              (TKindTexts{{"IDS_1", {"One", "Eins"}}, {"IDS_9", {"Nine", ""}}}));
    EXPECT_EQ(t.lang->GetTextOrDefault("IDS_9"), "Nine");
    EXPECT_EQ(t.lang->Captions().Count(), 0);

    // A language the table lacks is appended.
    EXPECT_EQ(t.lang->ImportLanguage(file.Path, "Italiano", stStrings), 2);
    EXPECT_EQ(t.lang->NumOfLanguages(), 3);
    EXPECT_EQ(t.lang->LangNames().Text(), "English\r\nDeutsch\r\nItaliano\r\n");
    EXPECT_EQ(TextsOf(t.lang->Strings(), 3),
              (TKindTexts{{"IDS_1", {"One", "Eins", "Uno"}}, {"IDS_9", {"Nine", "", "Nove"}}}));
}

TEST(TranslationFiles, ImportOfALanguageTheFileLacks) {
    ImportFile file;
    Table t("stStrings\r\nIDS_1|eins?|Eins|\r\n", kEnglishDeutsch);
    const std::string before = t.lang->Strings().Text();
    EXPECT_EQ(t.lang->ImportLanguage(file.Path, "Espa\xF1ol", stStrings), 0);
    EXPECT_EQ(t.lang->ImportLanguageAll(file.Path, "Espa\xF1ol"), 0);
    EXPECT_EQ(t.lang->NumOfLanguages(), 2);
    EXPECT_EQ(t.lang->Strings().Text(), before);

    t.lang->DoRaiseExceptions = true;
    for (int which = 0; which < 3; ++which) {
        try {
            if (which == 0)
                t.lang->ImportLanguage(file.Path, "Espa\xF1ol", stStrings);
            else if (which == 1)
                t.lang->ImportLanguageExtended(file.Path, "Espa\xF1ol");
            else
                t.lang->ImportLanguageAll(file.Path, "Espa\xF1ol");
            ADD_FAILURE() << "no ELanguageError " << which;
        } catch (const ELanguageError& e) {
            EXPECT_EQ(e.Message, "Espa\xF1ol not found in " + file.Path);
        }
    }
    EXPECT_EQ(t.lang->Strings().Text(), before);
}

TEST(TranslationFiles, ImportsEveryKindAndTheExtendedTranslations) {
    ImportFile file;
    Table t("stStrings\r\nIDS_1|eins?|Eins|\r\n", kEnglishDeutsch);
    TmlExtendedItem& existing = t.lang->ExtendedTranslations().Add();
    existing.SetIdentifier("TMainForm.Edit1.Text");
    existing.PropertyType = tkString;
    existing.Values = "old\1alt\1";

    EXPECT_EQ(t.lang->ImportLanguageExtended(file.Path, "English"), 1);
    EXPECT_EQ(existing.Values, "text\1alt\1");
    EXPECT_EQ(existing.PropertyType, tkString);

    t.lang->ExtendedTranslations().Clear();
    EXPECT_EQ(t.lang->ImportLanguageAll(file.Path, "English", true), 4);
    EXPECT_EQ(TextsOf(t.lang->Captions(), 2), (TKindTexts{{"Label1", {"Name", ""}}}));
    ASSERT_EQ(t.lang->ExtendedTranslations().Count(), 1);
    EXPECT_EQ(t.lang->ExtendedTranslations().Items(0).Values, "text\1\1");
    EXPECT_EQ(t.lang->ExtendedTranslations().Items(0).PropertyType, tkLString);
}

TEST(TranslationFiles, LoadingAFileTranslatesTheWindowUnlessSuppressed) {
    test::TTestControls window;
    auto* lang = new TmlLang(&window);
    LoadStoredTable(*lang, kTwoLanguages, "");
    lang->SetActiveLanguage(2);
    test::TempDir dir;
    const std::string path = dir.File("window.lng");
    const std::string key = lang->OwnerClassName() + ".Label1";
    test::WriteFile(path, "[Captions]\r\n" + key + "=Nome~!@#Name\r\n");

    window.Label1->SetCaption("before");
    EXPECT_TRUE(lang->LoadAllFromFile(path, true));
    EXPECT_EQ(window.Label1->Caption(), "before");
    EXPECT_TRUE(lang->LoadAllFromFile(path));
    EXPECT_EQ(window.Label1->Caption(), "Name");
}

} // namespace
} // namespace vx
