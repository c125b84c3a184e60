#include "localisation/mlStoredTable.h"

#include "TestOwners.h"
#include "localisation/mlComp.h"
#include "localisation/mlTranslationSource.h"
#include "platform/runtime/Streams.h"
#include "support/TestSupport.h"

#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

namespace vx {
namespace {

std::string SourceText(const std::string& name) {
    return test::ReadFile(std::string(VX_TRANSLATION_SOURCES) + "/" + name);
}

TEST(StoredTable, SystemSettingsAsStoredProperties) {
    TmlLang lang;
    ApplySystemTableSettings(lang);
    EXPECT_EQ(WriteTableProperties(lang),
              "[TmlLang]\r\n"
              "ExcludedProperties=Category,SecondaryShortCuts,HelpKeyword,InitialDir,HelpKeyword,"
              "ActivePage,ImeName,DefaultExt,FileName,FieldName,PickList,DisplayFormat,EditMask,"
              "KeyList,LookupDisplayFields,DropDownSpecRow,TableName,DatabaseName,IndexName,"
              "MasterFields\r\n"
              "LangDelim=1\r\n"
              "LangNames=Italiano,English,Deutsch\r\n"
              "Language=Italiano\r\n"
              "NumOfLanguages=3\r\n"
              "StringsTypes=TIB_STRINGLIST,TSTRINGLIST\r\n"
              "\r\n");
}

TEST(StoredTable, PropertiesReadBackThroughTheSetters) {
    TmlLang source;
    ApplySystemTableSettings(source);
    TStringList smart;
    smart.SetCommaText("TMainForm.Caption,\"Panel 1.Hint\"");
    source.SetSmartExcludeProps(smart);
    source.SetActiveLanguage(3);
    source.SetDefaultLanguage(2);
    source.TranslateType = ttGetDefault;
    source.ChangingCursor = -11;
    source.SetAutoSkipEmpties(false);
    const std::string stored = WriteTableProperties(source);

    test::TMainForm owner;
    auto* lang = new TmlLang(&owner);
    LoadStoredTable(*lang, stored, "");
    EXPECT_EQ(lang->NumOfLanguages(), 3);
    EXPECT_EQ(lang->ActiveLanguage(), 3);
    EXPECT_EQ(lang->Language(), "Deutsch");
    EXPECT_EQ(lang->DefaultLanguage(), 2);
    EXPECT_EQ(lang->TranslateType, ttGetDefault);
    EXPECT_EQ(lang->ChangingCursor, -11);
    EXPECT_FALSE(lang->AutoSkipEmpties());
    EXPECT_EQ(lang->SmartExcludeProps().Items(), smart.Items());
    EXPECT_EQ(lang->ExcludedProperties().Count(), 20);
    EXPECT_FALSE(lang->IsLoading());
    EXPECT_EQ(WriteTableProperties(*lang), stored);
}

TEST(StoredTable, BadPropertiesRaiseAndEndTheLoading) {
    test::TMainForm owner;
    auto* lang = new TmlLang(&owner);
    EXPECT_THROW(LoadStoredTable(*lang, "[TmlLang]\r\nNumOfLanguages=0\r\n", ""), ELanguageError);
    EXPECT_FALSE(lang->IsLoading());
    EXPECT_THROW(SetTableProperty(*lang, "Unknown", "1"), EConvertError);
    EXPECT_THROW(SetTableProperty(*lang, "NumOfLanguages", "x"), EConvertError);
}

TEST(StoredTable, TheBuildOutputReadsBackToTheSourceTexts) {
    const TranslationSource source = ParseTranslationSource(SourceText("Sample.tsv"));
    ASSERT_EQ(source.Languages, (std::vector<std::string>{"it", "en", "de"}));
    test::TSampleForm owner;
    auto* lang = new TmlLang(&owner);
    // The owner has none of the components: applying would set their lines aside.
    lang->SuppressApply = true;
    ASSERT_TRUE(LoadTranslationResource(*lang, "Sample"));
    EXPECT_EQ(lang->SmartExcludeProps().CommaText(), "Label9.Caption");
    EXPECT_EQ(lang->LangNames().CommaText(), "Italiano,English,Deutsch");

    int items = 0;
    for (const TranslationSourceRow& row : source.Rows) {
        if (row.List == "Property")
            continue;
        const TStringList* list = nullptr;
        for (int k = 0; k < kStringsTypeCount - 1; ++k)
            if (StringsTypeName(static_cast<TStringsType>(k)).substr(2) == row.List)
                list = lang->List(static_cast<TStringsType>(k));
        ASSERT_NE(list, nullptr) << row.List;
        std::string expected = row.Key + '\1';
        for (const std::string& text : row.Texts)
            expected += text + '\1';
        EXPECT_EQ(list->IndexOf(expected) >= 0, true) << row.List << " " << row.Key;
        ++items;
        if (row.List != "Strings")
            continue;
        for (int language = 1; language <= 3; ++language) {
            lang->SetActiveLanguage(language);
            EXPECT_EQ(lang->GetText(row.Key), row.Texts[static_cast<size_t>(language - 1)]);
        }
    }
    EXPECT_GT(items, 5);
    lang->SetActiveLanguage(1);
    EXPECT_EQ(lang->GetTextOrDefault("IDS_0"), "Prezzo: 5 \x80");
    EXPECT_EQ(lang->GetTextOrDefault("IDS_1"), "Prima riga\nSeconda riga");
    lang->SetActiveLanguage(2);
    EXPECT_EQ(lang->GetTextOrDefault("IDS_2"), "Perch\xE9?");
    // The owner's caption, second in the source, comes first.
    EXPECT_EQ(lang->Captions()[0].substr(0, 12), "TSampleForm\1");
    EXPECT_EQ(lang->DlgsCaptions().Count(), 15);

    TmlLang missing;
    EXPECT_FALSE(LoadTranslationResource(missing, "NoSuchTable"));
}

TEST(TranslationSource, ParsesRowsAndEscapes) {
    const TranslationSource source = ParseTranslationSource(
        "\xEF\xBB\xBFlist\tkey\tit\ten\r\n\r\nStrings\tIDS_1\ta\\tb\\\\n\\q\t\xE2\x82\xAC\r\n"
        "Hints\tB\nProperty\tDoNotTranslate\tPanel1\n");
    ASSERT_EQ(source.Rows.size(), 3u);
    EXPECT_EQ(source.Rows[0].Texts, (std::vector<std::string>{"a\tb\\n\\q", "\x80"}));
    EXPECT_EQ(source.Rows[1].Texts, (std::vector<std::string>{"", ""}));
    EXPECT_EQ(source.Rows[1].Line, 4);

    TmlLang lang;
    FillTableFromSource(lang, source);
    EXPECT_EQ(lang.NumOfLanguages(), 2);
    EXPECT_EQ(lang.Strings()[0], "IDS_1\1a\tb\\n\\q\1\x80\1");
    EXPECT_EQ(lang.Hints()[0], "B\1\1\1");
    EXPECT_EQ(lang.DoNotTranslate().CommaText(), "Panel1");
    EXPECT_EQ(lang.DlgsCaptions()[0], "Warning\1Warning\1\1");
}

TEST(TranslationSource, RejectsFaultsWithTheirLine) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"list\tkey\tit\nStrings\tIDS_1\t\xCE\xA9\n",
         "line 2: not UTF-8, or a character outside Windows-1252"},
        {"list\tkey\tit\nStrings\tIDS_1\t\xE9\n",
         "line 2: not UTF-8, or a character outside Windows-1252"},
        {"key\tlist\tit\n", "line 1: the header must read list, key and one column per language"},
        {"list\tkey\tit\nTitles\tA\tx\n", "line 2: unknown list \"Titles\""},
        {"list\tkey\tit\n\nStrings\tA\tx\ty\n",
         "line 3: a row holds a list, a key and at most one text per language"},
        {"list\tkey\tit\nStrings\t\tx\n", "line 2: empty key"},
        {"", "line 0: no header"},
    };
    for (const Case& c : cases) {
        try {
            ParseTranslationSource(c.text);
            ADD_FAILURE() << c.text;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message, c.message);
        }
    }
    TmlLang lang;
    EXPECT_THROW(
        FillTableFromSource(lang, ParseTranslationSource("list\tkey\tit\nProperty\tWidth\t5\n")),
        EConvertError);
}

TEST(TranslationCompiler, WritesTheTableOrFailsTheBuild) {
    test::TempDir dir;
    const std::string good = dir.File("TGood.tsv");
    test::WriteFile(good, "list\tkey\tit\ten\tde\nStrings\tIDS_1\tuno\tone\teins\n");
    const std::string bad = dir.File("TBad.tsv");
    test::WriteFile(bad, "list\tkey\tit\ten\tde\nStrings\tIDS_1\t\xE2\x84\xA6\tone\teins\n");
    auto run = [&](const std::string& source) {
        QProcess process;
        process.start(VX_TRANSLATION_COMPILER,
                      {QString::fromStdString(source), QString::fromStdString(dir.File("out"))});
        process.waitForFinished(30000);
        return std::make_pair(process.exitCode(), process.readAllStandardError().toStdString());
    };
    EXPECT_EQ(run(good).first, 0);
    TmlLang expected;
    FillTableFromSource(expected, ParseTranslationSource(test::ReadFile(good)));
    TMemoryStream data;
    expected.WriteTranslationData(data);
    EXPECT_EQ(test::ReadFile(dir.File("out/TGood.TranslationData")), data.Bytes());
    EXPECT_EQ(test::ReadFile(dir.File("out/TGood.properties")), WriteTableProperties(expected));

    const auto [code, message] = run(bad);
    EXPECT_EQ(code, 1);
    EXPECT_NE(message.find("TBad.tsv: line 2: not UTF-8, or a character outside Windows-1252"),
              std::string::npos)
        << message;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.File("out/TBad.TranslationData"))));
}

} // namespace
} // namespace vx
