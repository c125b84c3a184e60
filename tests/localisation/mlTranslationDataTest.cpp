#include "localisation/mlComp.h"

#include "TestOwners.h"
#include "localisation/mlStoredTable.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Streams.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

const char* const kSystemProperties =
    "[TmlLang]\r\nNumOfLanguages=3\r\nLangDelim=1\r\nLangNames=Italiano,English,Deutsch\r\n";

std::string Written(const TmlCustomLang& lang) {
    TMemoryStream stream;
    lang.WriteTranslationData(stream);
    return stream.Bytes();
}

void Read(TmlCustomLang& lang, const std::string& bytes) {
    TMemoryStream stream(bytes);
    lang.ReadTranslationData(stream);
}

std::string Utf16Le(std::string_view cp1252) {
    std::string bytes;
    for (char c : cp1252) {
        const char16_t u = Cp1252ToUnicode(static_cast<unsigned char>(c));
        bytes += static_cast<char>(u & 0xFF);
        bytes += static_cast<char>(u >> 8);
    }
    return bytes;
}

// One item of every kind; the owner's caption stands second and the hint keeps one empty
// language only.
void FillEveryKind(TmlCustomLang& lang) {
    const std::pair<TStringsType, const char*> items[] = {
        {stCaptions, "Button1\1&Apri\1&Open\1\xD6"
                     "ffnen\1"},
        {stCaptions, "TAboutBox\1Informazioni\1About\1\1"},
        {stHints, "Button1\1\1"},
        {stDisplayLabels, "Field1\1Prezzo\1Price\1Preis\1"},
        {stFonts, "TAboutBox\1MS Sans Serif\1Tahoma\1\1"},
        {stMultiLines, "ComboBox3.Items\1uno,\"due tre\"\1one,\"two three\"\1\1"},
        {stDlgsCaptions, "Abort\1&Abort\1\1\1"},
        {stStrings, "IDS_0\1Riga 1\r\nRiga 2\1Line 1\r\nLine 2\1\1"},
        {stOtherStrings, "Edit1.Text\1\x80 5\1\1\1"},
        {stLocales, "Decimal Separator\1,\1.\1,\1"},
        {stCollections, "StatusBar1.Panels[0].Text\1Pronto\1Ready\1Bereit\1"},
        {stCharSets, "TAboutBox\1DEFAULT_CHARSET\1\1"},
    };
    for (int k = 0; k < kStringsTypeCount - 1; ++k)
        lang.List(static_cast<TStringsType>(k))->Clear();
    for (const auto& [type, item] : items)
        lang.List(type)->Add(item);
}

TEST(TranslationData, WritesElevenSectionsByteForByte) {
    TmlLang lang;
    FillEveryKind(lang);
    EXPECT_EQ(Written(lang), "stCaptions\r\n"
                             "Button1\1&Apri\1&Open\1\xD6"
                             "ffnen\1\r\n"
                             "TAboutBox\1Informazioni\1About\1\1\r\n"
                             "stHints\r\n"
                             "Button1\1\1\r\n"
                             "stDisplayLabels\r\n"
                             "Field1\1Prezzo\1Price\1Preis\1\r\n"
                             "stFonts\r\n"
                             "TAboutBox\1MS Sans Serif\1Tahoma\1\1\r\n"
                             "stMultiLines\r\n"
                             "ComboBox3.Items\1uno,\"due tre\"\1one,\"two three\"\1\1\r\n"
                             "stDlgsCaptions\r\n"
                             "Abort\1&Abort\1\1\1\r\n"
                             "stStrings\r\n"
                             "IDS_0\1Riga 1\x19\x1ARiga 2\1Line 1\x19\x1ALine 2\1\1\r\n"
                             "stOtherStrings\r\n"
                             "Edit1.Text\1\x80 5\1\1\1\r\n"
                             "stLocales\r\n"
                             "Decimal Separator\1,\1.\1,\1\r\n"
                             "stCollections\r\n"
                             "StatusBar1.Panels[0].Text\1Pronto\1Ready\1Bereit\1\r\n"
                             "stCharSets\r\n"
                             "TAboutBox\1DEFAULT_CHARSET\1\1\r\n");
    TmlLang empty;
    empty.DlgsCaptions().Clear();
    EXPECT_EQ(Written(empty), "stCaptions\r\nstHints\r\nstDisplayLabels\r\nstFonts\r\n"
                              "stMultiLines\r\nstDlgsCaptions\r\nstStrings\r\nstOtherStrings\r\n"
                              "stLocales\r\nstCollections\r\nstCharSets\r\n");
}

TEST(TranslationData, ReadsBackTheSameListsWithTheOwnerFirst) {
    TmlLang source;
    FillEveryKind(source);
    const std::string bytes = Written(source);
    for (const std::string& form : {bytes, Utf16Le(bytes)}) {
        test::TAboutBox owner;
        auto* lang = new TmlLang(&owner);
        Read(*lang, form);
        for (int k = 0; k < kStringsTypeCount - 1; ++k) {
            const auto type = static_cast<TStringsType>(k);
            TStringList expected = *source.List(type);
            if (type == stCaptions)
                expected.Move(1, 0);
            EXPECT_EQ(lang->List(type)->Items(), expected.Items()) << StringsTypeName(type);
        }
        EXPECT_EQ(lang->Strings()[0], "IDS_0\1Riga 1\r\nRiga 2\1Line 1\r\nLine 2\1\1");
        // Written again, the owner's entry leads its section.
        lang->Captions().Move(0, 1);
        EXPECT_EQ(Written(*lang), bytes);
    }
}

TEST(TranslationData, SectionsAndHeaders) {
    test::TMainForm owner;
    auto* lang = new TmlLang(&owner);
    lang->Captions().Add("kept");
    lang->Hints().Add("old hint");
    lang->CharSets().Add("kept too");
    Read(*lang, "stray line\r\n"
                "STHINTS\r\nA\1a\1\r\n"
                "stStrings\r\nIDS_1\1first\1\r\n"
                "ststrings\r\nIDS_2\1second\1\r\n"
                "stDlgsCaptions\r\n"
                "stCaptions_Unicode\r\nB\1b\1\r\n"
                "stCharSets");
    EXPECT_EQ(lang->Hints().Items(), std::vector<std::string>{"A\1a\1"});
    // The later section of a kind wins; a header with no lines empties its list.
    EXPECT_EQ(lang->Strings().Items(), std::vector<std::string>{"IDS_2\1second\1"});
    EXPECT_TRUE(lang->DlgsCaptions().Empty());
    EXPECT_EQ(lang->Captions().Items(), std::vector<std::string>{"B\1b\1"});
    // A header on the last line is ignored.
    EXPECT_EQ(lang->CharSets().Items(), std::vector<std::string>{"kept too"});
}

TEST(TranslationData, ShortOrEmptyDataChangesNothing) {
    for (const char* data : {"", "s"}) {
        TmlLang lang;
        Read(lang, data);
        EXPECT_EQ(lang.DlgsCaptions().Count(), 15);
    }
    TmlLang lang;
    const char withNul[] = "stHints\r\nA\1a\1\0stStrings\r\nX\1x\1\r\n";
    Read(lang, std::string(withNul, sizeof withNul - 1));
    EXPECT_EQ(lang.Hints().Items(), std::vector<std::string>{"A\1a\1"});
    EXPECT_TRUE(lang.Strings().Empty());
}

TEST(TranslationData, GlobalTableLayoutLeavesFiveEmptyLists) {
    test::TMainForm owner;
    auto* lang = new TmlLang(&owner);
    lang->Captions().Add("design time");
    LoadStoredTable(*lang, kSystemProperties,
                    "stCaptions\r\nstHints\r\nstDisplayLabels\r\nstFonts\r\nstMultiLines\r\n"
                    "stDlgsCaptions\r\nAbort\1&Abort\1\1\1\r\n"
                    "stStrings\r\nIDS_0\1Nuova pagina\1New page\1Neue Seite\1\r\n"
                    "stOtherStrings\r\nstLocales\r\nstCollections\r\nstCharSets\r\n");
    for (TStringsType type : {stCaptions, stHints, stDisplayLabels, stFonts, stMultiLines})
        EXPECT_TRUE(lang->List(type)->Empty()) << StringsTypeName(type);
    EXPECT_EQ(lang->DlgsCaptions().Count(), 1);
    lang->SetActiveLanguage(3);
    EXPECT_EQ(lang->GetTextOrDefault("IDS_0"), "Neue Seite");
}

TEST(TranslationData, ShortItemsStayShortUntilTheLanguagesChange) {
    test::TMainForm owner;
    auto* lang = new TmlLang(&owner);
    LoadStoredTable(*lang, "[TmlLang]\r\nNumOfLanguages=2\r\nLangDelim=1\r\n",
                    "stHints\r\nkey\1\1\r\nstStrings\r\nIDS_1\1uno\1\r\n");
    EXPECT_EQ(lang->Hints()[0], "key\1\1");
    EXPECT_EQ(lang->Strings()[0], "IDS_1\1uno\1");
    EXPECT_EQ(Written(*lang).substr(0, 28), "stCaptions\r\nstHints\r\nkey\1\1\r\n");
    lang->SetNumOfLanguages(3);
    EXPECT_EQ(lang->Strings()[0], "IDS_1\1uno\1\1\1");
    EXPECT_EQ(lang->Hints()[0], "key\1\1");
}

TEST(TranslationData, LoadingRemovesItemsOfExcludedProperties) {
    TmlLang settings;
    ApplySystemTableSettings(settings);
    const std::string properties =
        WriteTableProperties(settings) + "SmartExcludeProps=Panel1.Caption\r\n";
    test::TMainForm owner;
    auto* lang = new TmlLang(&owner);
    LoadStoredTable(*lang, properties,
                    "stCaptions\r\nPanel1\1p\1\1\1\r\nButton1\1b\1\1\1\r\n"
                    "stOtherStrings\r\nOpenDialog1.InitialDir\1C:\\\1\1\1\r\n"
                    "Edit1.Text\1t\1\1\1\r\nDialog1.Options.FileName\1f\1\1\1\r\n"
                    "stCollections\r\nGrid1.Columns[0].FieldName\1f\1\1\1\r\n"
                    "StatusBar1.Panels[0].Text\1s\1\1\1\r\n");
    EXPECT_EQ(lang->OtherStrings().Items(), std::vector<std::string>{"Edit1.Text\1t\1\1\1"});
    EXPECT_EQ(lang->Collections().Items(),
              std::vector<std::string>{"StatusBar1.Panels[0].Text\1s\1\1\1"});
    EXPECT_EQ(lang->Captions().Items(), std::vector<std::string>{"Button1\1b\1\1\1"});
}

TEST(TranslationData, ExcludedKindsAreEmptiedWhole) {
    test::TMainForm owner;
    auto* lang = new TmlLang(&owner);
    LoadStoredTable(*lang, "[TmlLang]\r\nNumOfLanguages=3\r\nExcludedProperties=Hint,Font\r\n",
                    "stHints\r\nB\1h\1\1\1\r\nstFonts\r\nB\1Arial\1\1\1\r\n"
                    "stCharSets\r\nB\1ANSI_CHARSET\1\1\1\r\nstCaptions\r\nB\1c\1\1\1\r\n");
    EXPECT_TRUE(lang->Hints().Empty());
    EXPECT_TRUE(lang->Fonts().Empty());
    EXPECT_TRUE(lang->CharSets().Empty());
    EXPECT_EQ(lang->Captions().Count(), 1);
}

TEST(TranslationData, InheritedOwnerMergesByKey) {
    test::TMainForm owner;
    auto* lang = new TmlLang(&owner);
    lang->IsInheritedOwner = true;
    lang->Captions().Add("B\1a\1b\1");
    lang->Captions().Add("C\1c\1");
    Read(*lang, "stCaptions\r\nb\1\1B\1X\1\r\nD\1d\1\r\nTMainForm\1f\1\r\n");
    EXPECT_EQ(lang->Captions().Items(),
              (std::vector<std::string>{"TMainForm\1f\1", "B\1a\1B\1X\1", "C\1c\1", "D\1d\1"}));
}

} // namespace
} // namespace vx
