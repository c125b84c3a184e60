#include "localisation/mlComp.h"
#include "localisation/mlLangDispatcher.h"
#include "localisation/mlStoredTable.h"

#include "TestOwners.h"
#include "TestWindow.h"

#include <gtest/gtest.h>

#include <string>

namespace vx {
namespace {

const char* const kThreeLanguages = "[TmlLang]\r\nNumOfLanguages=3\r\nLangDelim=1\r\n"
                                    "LangNames=Italiano,English,Deutsch\r\n";

std::string Properties(const std::string& more) {
    return kThreeLanguages + more;
}

const char* const kResourceTexts = "stStrings\r\nIDS_1|Apri|Open|Öffnen|\r\n"
                                   "IDS_2|Chiudi|Close||\r\nIDS_3|Aperto|open|offen|\r\n"
                                   "IDS_4|Zero|Anchor|Anker|\r\n";

TEST(TmlCustomLang, ResourceStringsAreLookedUpByTheirText) {
    test::TMainForm owner;
    auto* lang = new TmlLang(&owner);
    LoadStoredTable(*lang, Properties("HandleResourceStrings=1\r\nResourceLanguageIndex=2\r\n"),
                    test::TableText(kResourceTexts));
    const TmlStringsCollection& index = lang->ResourceStringsTable();
    ASSERT_EQ(index.Count(), 4);
    // Sorted by the English texts, case counting: capitals first.
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(index.Items(i).Texts[1],
                  (std::vector<std::string>{"Anchor", "Close", "Open", "open"}[i]));

    lang->SetActiveLanguage(3);
    const struct {
        const char* text;
        const char* shown;
    } cases[] = {
        {"Open", "\xD6"
                 "ffnen"},
        {"open", "offen"},
        {"Anchor", "Anker"},
        // Untranslated and unknown texts stay as the program wrote them.
        {"Close", "Close"},
        {"OPEN", "OPEN"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(lang->TranslateResourceString(c.text), c.shown) << c.text;
    lang->SetActiveLanguage(2);
    EXPECT_EQ(lang->TranslateResourceString("Open"), "Open");

    // Another source language re-sorts the index by that language's texts.
    lang->SetResourceLanguageIndex(1);
    EXPECT_EQ(index.Items(0).Texts[0], "Aperto");
    EXPECT_EQ(lang->TranslateResourceString("Chiudi"), "Close");
    EXPECT_EQ(lang->TranslateResourceString("Open"), "Open");
}

TEST(TmlCustomLang, ResourceLanguageIndexOutsideTheLanguagesIsRefused) {
    test::TMainForm owner;
    auto* lang = new TmlLang(&owner);
    LoadStoredTable(*lang, Properties("HandleResourceStrings=1\r\n"),
                    test::TableText(kResourceTexts));
    for (int value : {0, 4}) {
        try {
            lang->SetResourceLanguageIndex(value);
            FAIL() << value;
        } catch (const ELanguageError& e) {
            EXPECT_EQ(std::string(e.what()), std::to_string(value) +
                                                 " - is not a valid property value!\r"
                                                 "Value must be within [1..3]!");
        }
        EXPECT_EQ(lang->ResourceLanguageIndex(), 1);
    }
}

TEST(TmlCustomLang, ResourceStringsNeedTheSwitchAndAnOwner) {
    test::TMainForm owner;
    auto* lang = new TmlLang(&owner);
    LoadStoredTable(*lang, Properties(""), test::TableText(kResourceTexts));
    lang->SetActiveLanguage(2);
    EXPECT_EQ(lang->ResourceStringsTable().Count(), 0);
    EXPECT_EQ(lang->TranslateResourceString("Apri"), "Apri");

    TmlLang ownerless;
    LoadStoredTable(ownerless, Properties("HandleResourceStrings=1\r\n"),
                    test::TableText(kResourceTexts));
    ownerless.RebuildStringsTable();
    EXPECT_EQ(ownerless.ResourceStringsTable().Count(), 0);
}

TEST(TmlCustomLang, ResourceStringsCompareAndGiveDecodedEscapes) {
    UseCEscapes = true;
    test::TMainForm owner;
    auto* lang = new TmlLang(&owner);
    UseCEscapes = false;
    LoadStoredTable(*lang, Properties("HandleResourceStrings=1\r\n"),
                    "stStrings\r\nIDS_1\1Riga\\nuno\1Line\\tone\1\1\r\n");
    lang->SetActiveLanguage(2);
    EXPECT_EQ(lang->TranslateResourceString("Riga\nuno"), "Line\tone");
    EXPECT_EQ(lang->TranslateResourceString("Riga\\nuno"), "Riga\\nuno");
}

TEST(TmlCustomLang, UntranslatedResourceStringShowsThroughTheTestDisplay) {
    TmlLangDispatcher dispatcher;
    TStringList names;
    for (const char* name : {"Italiano", "English", "Deutsch"})
        names.Add(name);
    dispatcher.SetLangNames(names);
    test::TMainForm owner;
    auto* lang = new TmlLang(&owner);
    LoadStoredTable(*lang, Properties("HandleResourceStrings=1\r\nResourceLanguageIndex=2\r\n"),
                    test::TableText(kResourceTexts));
    lang->SetLangDispatcher(&dispatcher);
    dispatcher.TestModeInfo().Active = true;
    dispatcher.TestModeInfo().Kind = tmkFlipCase;
    dispatcher.SetActiveLanguage(3);
    EXPECT_EQ(lang->TranslateResourceString("Close"), "cHIUDI");
    EXPECT_EQ(lang->TranslateResourceString("Open"), "\xD6"
                                                     "ffnen");
}

TEST(TmlCustomLang, SetTranslationKeepsTheResourceIndexSorted) {
    test::TMainForm owner;
    auto* lang = new TmlLang(&owner);
    LoadStoredTable(*lang, Properties("HandleResourceStrings=1\r\nResourceLanguageIndex=2\r\n"),
                    test::TableText(kResourceTexts));
    lang->SetTranslation(lang->Strings(), "Zebra", 2, "IDS_4");
    lang->SetTranslation(lang->Strings(),
                         "Schlie\xDF"
                         "en",
                         3, "ids_2");
    lang->SetActiveLanguage(3);
    EXPECT_EQ(lang->TranslateResourceString("Zebra"), "Anker");
    EXPECT_EQ(lang->TranslateResourceString("Anchor"), "Anchor");
    EXPECT_EQ(lang->TranslateResourceString("Close"), "Schlie\xDF"
                                                      "en");
    EXPECT_EQ(lang->GetTextOrDefault("IDS_2"), "Schlie\xDF"
                                               "en");
    // Close, Open, Zebra, open.
    EXPECT_EQ(lang->ResourceStringsTable().Items(2).ID, "IDS_4");
}

// ---- default language ----

TEST(TmlCustomLang, DefaultLanguageOutsideTheLanguagesStaysUnchanged) {
    test::TMainForm owner;
    auto* lang = new TmlLang(&owner);
    LoadStoredTable(*lang, Properties(""), "");
    TmlLangDispatcher dispatcher;
    dispatcher.SetNumOfLanguages(3);
    lang->SetDefaultLanguage(2);
    dispatcher.SetDefaultLanguage(2);
    for (int value : {0, 4, -1}) {
        lang->SetDefaultLanguage(value);
        dispatcher.SetDefaultLanguage(value);
        EXPECT_EQ(lang->DefaultLanguage(), 2) << value;
        EXPECT_EQ(dispatcher.DefaultLanguage(), 2) << value;
    }
    lang->SetDefaultLanguage(3);
    EXPECT_EQ(lang->DefaultLanguage(), 3);
}

TEST(TmlCustomLang, EmptyTextFallsBackToTheDefaultLanguage) {
    test::TTestControls window;
    auto* lang = new TmlLang(&window);
    LoadStoredTable(*lang, Properties("UseDefaultLanguage=1\r\nDefaultLanguage=2\r\n"),
                    test::TableText("stCaptions\r\nLabel1|Etichetta|Label||\r\n"
                                    "Button1|Apri|||\r\n"
                                    "stStrings\r\nIDS_1|Uno|One||\r\nIDS_2|Due|||\r\n"));
    lang->SetActiveLanguage(3);
    EXPECT_EQ(lang->GetTextOrDefault("IDS_1"), "One");
    // Empty in the default language as well: language 1.
    EXPECT_EQ(lang->GetTextOrDefault("IDS_2"), "Due");
    EXPECT_EQ(window.Label1->Caption(), "Label");

    lang->UseDefaultLanguage = false;
    EXPECT_EQ(lang->GetTextOrDefault("IDS_1"), "Uno");
}

// ---- texts stored as UTF-8 ----

TEST(TmlCustomLang, TextsStoredAsUtf8AreLookedUpInTheirLanguagesCodePage) {
    test::TMainForm owner;
    auto* lang = new TmlLang(&owner);
    LoadStoredTable(*lang,
                    "[TmlLang]\r\nNumOfLanguages=2\r\nLangDelim=1\r\n"
                    "LangNames=Italiano,Russian\r\n",
                    "stStrings\r\nIDS_1\1Perch\xE8\1\xC4\xE0\1\r\nIDS_2\1Caff\xE8\1\1\r\n"
                    "stOtherStrings\r\nTMainForm.Hint\1S\xEC\1\xC4\1\r\n"
                    "stCharSets\r\nTMainForm\1ANSI_CHARSET\1RUSSIAN_CHARSET\1\r\n");
    lang->SetStoreAsUTF8(true);
    lang->SetActiveLanguage(2);
    EXPECT_EQ(lang->GetTextOrDefault("IDS_1"), "\xC4\xE0");
    EXPECT_EQ(lang->GetTextOrDefault("IDS_2"), "Caff\xE8");
    EXPECT_EQ(lang->InternalGetText(lang->OtherStrings(), "TMainForm.Hint", false), "\xC4");
    EXPECT_EQ(lang->InternalGetTextByIndex(lang->OtherStrings(), 0, false), "\xC4");

    lang->SetTranslation(lang->Strings(), "\xC0", 2, "IDS_2");
    EXPECT_EQ(lang->Strings()[1], "IDS_2\1Caff\xC3\xA8\1\xD0\x90\1");
    EXPECT_EQ(lang->GetTextOrDefault("IDS_2"), "\xC0");
}

TEST(TmlCustomLang, TextsStoredAsUtf8ReachTheWindowInItsCodePage) {
    test::TTestControls window;
    auto* lang = new TmlLang(&window);
    LoadStoredTable(*lang, Properties(""),
                    test::TableText("stCaptions\r\nLabel1|Perché|Why|Warum|\r\n"));
    lang->SetStoreAsUTF8(true);
    lang->SetActiveLanguage(2);
    lang->SetActiveLanguage(1);
    EXPECT_EQ(window.Label1->Caption(), QString::fromUtf8("Perché"));
}

} // namespace
} // namespace vx
