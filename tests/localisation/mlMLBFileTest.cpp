#include "localisation/mlMLBFile.h"

#include "TestOwners.h"
#include "TestWindow.h"
#include "localisation/mlComp.h"
#include "localisation/mlLangComponent.h"
#include "localisation/mlLangDispatcher.h"
#include "localisation/mlStoredTable.h"
#include "platform/runtime/Streams.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace vx {
namespace {

using test::TableText;

std::string U16(size_t n) {
    return {static_cast<char>(n & 0xFF), static_cast<char>((n >> 8) & 0xFF)};
}
std::string U32(size_t n) {
    return U16(n & 0xFFFF) + U16(n >> 16);
}

// Header, name list, entries and the tables' component streams, in the order given.
std::string MlbFile(const std::vector<std::pair<std::string, std::string>>& tables,
                    std::string_view header = TMLBFileManager::kHeader) {
    std::string names;
    size_t entriesSize = 0;
    for (const auto& [name, stream] : tables) {
        names += name + "\r\n";
        entriesSize += 2 + name.size() + 4;
    }
    std::string bytes = std::string(header) + '\0' + U16(tables.size()) + U16(names.size()) + names;
    size_t position = bytes.size() + entriesSize;
    for (const auto& [name, stream] : tables) {
        bytes += U16(name.size()) + name + U32(position);
        position += stream.size();
    }
    for (const auto& table : tables)
        bytes += table.second;
    return bytes;
}

// The component stream of a table of three languages with the given lines.
std::string TableStream(const std::string& strings, const std::string& captions = "",
                        char delimiter = '\1') {
    QObject owner;
    TmlLang lang(&owner);
    ApplySystemTableSettings(lang);
    lang.SetLangDelim(delimiter);
    TStringList lines;
    lines.SetText(strings);
    lang.Strings().Assign(lines);
    lines.SetText(captions);
    lang.Captions().Assign(lines);
    TMemoryStream stream;
    WriteLangComponent(stream, lang);
    return stream.Bytes();
}

std::string ReadError(const std::string& path, TmlCustomLang& lang) {
    try {
        TMLBFileManager(path).ReadTable(lang);
    } catch (const Exception& e) {
        return e.Message;
    }
    return "no error";
}

struct Target {
    Target() {
        ApplySystemTableSettings(lang);
        lang.Strings().Add(TableText("IDS_1|Uno|One||"));
        lang.Strings().Add(TableText("IDS_2|Due|Two||"));
    }
    test::TMainForm owner;
    TmlLang lang{&owner};
};

TEST(mlMLBFileTest, FileWithoutTheHeaderTextIsRefused) {
    test::TempDir dir;
    const std::string path = dir.File("t.mlb");
    const std::string good = MlbFile({});
    for (const std::string& bytes :
         {std::string(), std::string("MLB file"), good.substr(0, good.size() - 5),
          MlbFile({}, "MLB file: TmlLang binary translation dat"),
          MlbFile({}, "MLB file: TmlLang binary translation data!"), std::string(4000, 'M')}) {
        test::WriteFile(path, bytes);
        Target target;
        EXPECT_EQ(ReadError(path, target.lang), "Unrecognized stream format!") << bytes.size();
        EXPECT_EQ(target.lang.Strings().Count(), 2);
    }
}

TEST(mlMLBFileTest, TableOfTheOwnersClassReplacesAndExtendsTheTexts) {
    test::TempDir dir;
    const std::string path = dir.File("t.mlb");
    // Another window's table first; the file's table uses the tab as its delimiter.
    test::WriteFile(path, MlbFile({{"TAboutBox", TableStream(TableText("IDS_1|X|X|X|"))},
                                   {"TMainForm", TableStream("IDS_1\tUno!\tOne!\tEins\t\r\n"
                                                             "IDS_3\tTre\tThree\tDrei\t",
                                                             "Button1\tSi\tYes\tJa\t", '\t')}}));
    Target target;
    target.lang.Captions().Add(TableText("Button1|Vecchio|||"));
    ASSERT_TRUE(TMLBFileManager(path).ReadTable(target.lang));
    EXPECT_EQ(target.lang.Strings().Text(), TableText("IDS_1|Uno!|One!|Eins|\r\n"
                                                      "IDS_2|Due|Two||\r\n"
                                                      "IDS_3|Tre|Three|Drei|\r\n"));
    EXPECT_EQ(target.lang.Captions().Text(), TableText("Button1|Si|Yes|Ja|\r\n"));
    EXPECT_FALSE(target.lang.InternalInstance);

    // One kind alone.
    Target strings;
    strings.lang.Captions().Add(TableText("Button1|Vecchio|||"));
    ASSERT_TRUE(TMLBFileManager(path).ReadTable(strings.lang, stStrings));
    EXPECT_EQ(strings.lang.Strings().Count(), 3);
    EXPECT_EQ(strings.lang.Captions().Text(), TableText("Button1|Vecchio|||\r\n"));
}

TEST(mlMLBFileTest, ExtendedItemsAreCopiedByIdentifier) {
    test::TMainForm owner;
    TmlLang source(&owner);
    ApplySystemTableSettings(source);
    for (const char* id : {"TMainForm.Edit1.Text", "TMainForm.Edit2.Text"}) {
        TmlExtendedItem& item = source.ExtendedTranslations().Add();
        item.SetIdentifier(id);
        item.PropertyType = tkLString;
        item.Values = TableText("nuovo|new||");
    }
    TMemoryStream stream;
    WriteLangComponent(stream, source);
    test::TempDir dir;
    test::WriteFile(dir.File("t.mlb"), MlbFile({{"TMainForm", stream.Bytes()}}));

    Target target;
    TmlExtendedItem& old = target.lang.ExtendedTranslations().Add();
    old.SetIdentifier("TMainForm.Edit1.Text");
    old.Values = TableText("vecchio|old||");
    ASSERT_TRUE(TMLBFileManager(dir.File("t.mlb")).ReadTable(target.lang));
    ASSERT_EQ(target.lang.ExtendedTranslations().Count(), 2);
    EXPECT_EQ(target.lang.ExtendedTranslations().Items(0).Values, TableText("nuovo|new||"));
    EXPECT_EQ(target.lang.ExtendedTranslations().Items(1).Identifier(), "TMainForm.Edit2.Text");
    EXPECT_EQ(target.lang.ExtendedTranslations().Items(1).PropertyType, tkLString);
}

TEST(mlMLBFileTest, StoreAsUtf8OfTheFileIsTakenOver) {
    QObject owner;
    TmlLang source(&owner);
    ApplySystemTableSettings(source);
    source.Strings().Add(TableText("IDS_3|Perché|Why||"));
    source.SetStoreAsUTF8(true);
    TMemoryStream stream;
    WriteLangComponent(stream, source);
    test::TempDir dir;
    test::WriteFile(dir.File("t.mlb"), MlbFile({{"TMainForm", stream.Bytes()}}));

    Target target;
    target.lang.Strings().Add(TableText("IDS_4|Città|City||"));
    ASSERT_TRUE(TMLBFileManager(dir.File("t.mlb")).ReadTable(target.lang));
    EXPECT_TRUE(target.lang.StoreAsUTF8());
    // The target's own texts now share the file's encoding.
    EXPECT_EQ(target.lang.Strings()[2], "IDS_4\1Citt\xC3\xA0\1City\1\1");
    EXPECT_EQ(target.lang.Strings()[3], "IDS_3\1Perch\xC3\xA9\1Why\1\1");
}

TEST(mlMLBFileTest, MissingFileOrClassReadsNothing) {
    test::TempDir dir;
    Target target;
    EXPECT_FALSE(TMLBFileManager(dir.File("none.mlb")).ReadTable(target.lang));
    test::WriteFile(dir.File("t.mlb"), MlbFile({{"TAboutBox", TableStream("IDS_1\1X\1")}}));
    EXPECT_FALSE(TMLBFileManager(dir.File("t.mlb")).ReadTable(target.lang));
    EXPECT_EQ(target.lang.Strings().Count(), 2);
}

TEST(mlMLBFileTest, DamagedFilesFailCleanly) {
    test::TempDir dir;
    const std::string path = dir.File("t.mlb");
    const std::string good = MlbFile({{"TMainForm", TableStream(TableText("IDS_1|Nuovo|New||"))}});
    std::vector<std::string> damaged;
    for (size_t n = TMLBFileManager::kHeader.size() + 1; n < good.size(); n += 3)
        damaged.push_back(good.substr(0, n));
    const std::string head = std::string(TMLBFileManager::kHeader) + '\0';
    // A count of entries the file cannot hold, a name list beyond its end, a position past it.
    damaged.push_back(head + U16(0xFFFF) + U16(0));
    damaged.push_back(head + U16(0) + U16(0xFFFF) + "ab");
    damaged.push_back(head + U16(1) + U16(0) + U16(9) + "TMainForm" + U32(0xFFFFFFF0));
    for (const std::string& bytes : damaged) {
        test::WriteFile(path, bytes);
        Target target;
        EXPECT_THROW(TMLBFileManager(path).ReadTable(target.lang), Exception) << bytes.size();
        EXPECT_EQ(target.lang.Strings().Text(),
                  TableText("IDS_1|Uno|One||\r\nIDS_2|Due|Two||\r\n"));
        EXPECT_FALSE(target.lang.InternalInstance);
    }
}

// A window with a table that links to the dispatcher as its form is loaded.
TmlLang* LoadWindowTable(QObject* owner, TmlLangDispatcher& dispatcher, const std::string& data) {
    auto* lang = new TmlLang(owner);
    lang->BeginLoading();
    ApplySystemTableSettings(*lang);
    lang->SetLangDispatcher(&dispatcher);
    TMemoryStream stream{data};
    lang->ReadTranslationData(stream);
    lang->Loaded();
    return lang;
}

TEST(mlMLBFileTest, DispatcherLoadsItsFileIntoEveryTableThatLinks) {
    test::TempDir dir;
    const std::string path = dir.File("Texts.MLB");
    test::WriteFile(path, MlbFile({{"TForm", TableStream(TableText("IDS_1|Uno|One|Eins|"),
                                                         TableText("Button1|Si|Yes|Ja|"))}}));
    TmlLangDispatcher dispatcher;
    TStringList names;
    for (const char* name : {"Italiano", "English", "Deutsch"})
        names.Add(name);
    dispatcher.SetLangNames(names);
    dispatcher.SetActiveLanguage(2);
    dispatcher.SetFileName(path);

    test::TTestControls window;
    TmlLang* lang = LoadWindowTable(&window, dispatcher,
                                    TableText("stCaptions\r\nButton1|No|No|Nein|\r\n"
                                              "stStrings\r\nIDS_2|Due|Two|Zwei|\r\n"));
    EXPECT_EQ(lang->ActiveLanguage(), 2);
    EXPECT_EQ(lang->Language(), "English");
    EXPECT_EQ(window.Button1->Caption(), "Yes");
    EXPECT_EQ(lang->GetTextOrDefault("IDS_1"), "One");
    EXPECT_EQ(lang->GetTextOrDefault("IDS_2"), "Two");
    EXPECT_EQ(dispatcher.LangCount(), 1);

    // An INI-style file is read as a text file; a file that does not exist leaves the
    // table's own texts.
    {
        TForm source;
        TmlLang texts(&source);
        ApplySystemTableSettings(texts);
        texts.Captions().Add(TableText("Button1|Bene|Fine|Gut|"));
        texts.SaveAllToFile(dir.File("Texts.ini"));
    }
    dispatcher.SetFileName(dir.File("Texts.ini"));
    test::TTestControls fromIni;
    LoadWindowTable(&fromIni, dispatcher, TableText("stCaptions\r\nButton1|No|No|Nein|\r\n"));
    EXPECT_EQ(fromIni.Button1->Caption(), "Fine");
    dispatcher.SetFileName(dir.File("None.ini"));
    test::TTestControls other;
    LoadWindowTable(&other, dispatcher, TableText("stCaptions\r\nButton1|No|No|Nein|\r\n"));
    EXPECT_EQ(other.Button1->Caption(), "No");
}

} // namespace
} // namespace vx
