#include "localisation/mlComp.h"

#include "TestOwners.h"
#include "localisation/MemIni.h"
#include "localisation/mlStoredTable.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace vx {
namespace {

const char* const kThreeLanguages = "[TmlLang]\r\nNumOfLanguages=3\r\nLangDelim=1\r\n"
                                    "LangNames=Italiano,English,Deutsch\r\nLanguage=Italiano\r\n";

// A table of a TMainForm loaded as a form's stream loads it.
struct Table {
    explicit Table(const std::string& data, const char* properties = kThreeLanguages) {
        LoadStoredTable(*lang, properties, data);
    }
    test::TMainForm owner;
    TmlLang* lang = new TmlLang(&owner);
};

std::string Strings(std::initializer_list<const char*> items) {
    std::string data = "stStrings\r\n";
    for (const char* item : items)
        data.append(item).append("\r\n");
    return data;
}

void ExpectLanguageError(const std::function<void()>& action, const std::string& message) {
    try {
        action();
        ADD_FAILURE() << "no ELanguageError";
    } catch (const ELanguageError& e) {
        EXPECT_EQ(e.Message, message);
    }
}

TEST(TmlCustomLang, LooksTextsUpWithTheFallBacks) {
    Table t(Strings({"IDS_5\1Cinque\1\1F\xFCnf\1", "IDS_7\1a\\nb\1x\1y\1", "IDS_1\1\1\1\1"}));
    TmlLang& lang = *t.lang;
    lang.SetActiveLanguage(2);
    EXPECT_EQ(lang.GetTextOrDefault("IDS_5"), "Cinque");
    EXPECT_EQ(lang.GetText("IDS_5"), "");
    EXPECT_EQ(lang.GetTextOrDefault("ids_5"), "Cinque");
    EXPECT_EQ(lang.GetTextOrDefault("IDS_6"), "");
    EXPECT_EQ(lang.GetTextOrDefault("IDS_1"), "");
    // Stored texts keep their backslashes: no table of the system decodes escapes.
    EXPECT_EQ(lang.GetTextOrDefault("IDS_7"), "x");
    lang.SetActiveLanguage(1);
    EXPECT_EQ(lang.GetTextOrDefault("IDS_7"), "a\\nb");
    EXPECT_EQ(lang.GetTextOrDefault("IDS_7").size(), 4u);
    lang.SetActiveLanguage(3);
    EXPECT_EQ(lang.GetText("IDS_5"), "F\xFCnf");

    lang.SetActiveLanguage(2);
    lang.TranslateType = ttGetDefault;
    EXPECT_EQ(lang.GetText("IDS_5"), "Cinque");
}

TEST(TmlCustomLang, BinarySearchFindsEveryItemAndNothingElse) {
    const std::vector<std::string> ids = {"IDS_10", "IDS_2", "b", "IDS_0", "z", "a", "M"};
    for (size_t n = 1; n <= ids.size(); ++n) {
        std::string data = "stStrings\r\n";
        for (size_t i = 0; i < n; ++i)
            data += ids[i] + "\1text " + ids[i] + "\1\1\1\r\n";
        Table t(data);
        for (size_t i = 0; i < n; ++i)
            EXPECT_EQ(t.lang->GetTextOrDefault(ids[i]), "text " + ids[i]) << n << " " << ids[i];
        for (const char* missing : {"", "0", "IDS_1", "IDS_3", "c", "zz", "\xFF"})
            EXPECT_EQ(t.lang->GetTextOrDefault(missing), "") << n << " " << missing;
    }
}

TEST(TmlCustomLang, IndexIsSortedIgnoringCase) {
    Table t(Strings({"IDS_2\1two\1\1\1", "ids_10\1ten\1\1\1", "Abc\1abc\1\1\1"}));
    const TmlStringsCollection& index = t.lang->StringsTable();
    ASSERT_EQ(index.Count(), 3);
    EXPECT_EQ(index.Items(0).ID, "Abc");
    EXPECT_EQ(index.Items(1).ID, "ids_10");
    EXPECT_EQ(index.Items(2).ID, "IDS_2");
    EXPECT_EQ(index.Items(1).Texts, (std::vector<std::string>{"ten", "", ""}));
    EXPECT_TRUE(index.Sorted());
}

TEST(TmlCustomLang, ActiveLanguageOutOfRangeRaisesAndKeepsTheLanguage) {
    Table t(Strings({}));
    for (int value : {0, 4})
        ExpectLanguageError([&] { t.lang->SetActiveLanguage(value); },
                            "TMainForm: " + std::to_string(value) +
                                " - is not a valid property value!\rValue must be within [1..3]!");
    EXPECT_EQ(t.lang->ActiveLanguage(), 1);

    TmlLang ownerless;
    ownerless.SetNumOfLanguages(3);
    ExpectLanguageError([&] { ownerless.SetActiveLanguage(4); },
                        "4 - is not a valid property value!\rValue must be within [1..3]!");
    EXPECT_EQ(ownerless.ActiveLanguage(), 1);
}

TEST(TmlCustomLang, LanguageChangeEventsAndVeto) {
    Table t(Strings({}));
    TmlLang& lang = *t.lang;
    std::vector<int> asked;
    int changed = 0;
    bool allow = true;
    lang.OnLanguageChanging = [&](TmlCustomLang* sender, int value, bool& allowChange) {
        EXPECT_EQ(sender, &lang);
        asked.push_back(value);
        allowChange = allow;
    };
    lang.OnChangeLanguage = [&](TmlCustomLang*) { ++changed; };

    lang.SetActiveLanguage(1);
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(changed, 0);

    lang.SetActiveLanguage(2);
    EXPECT_EQ(asked, std::vector<int>{2});
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(lang.Language(), "English");

    allow = false;
    lang.SetActiveLanguage(3);
    EXPECT_EQ(asked, (std::vector<int>{2, 3}));
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(lang.ActiveLanguage(), 2);
    EXPECT_EQ(lang.Language(), "English");

    allow = true;
    lang.SetLanguage("Deutsch");
    EXPECT_EQ(lang.ActiveLanguage(), 3);
    EXPECT_EQ(changed, 2);
    ExpectLanguageError(
        [&] {
            lang.SetLanguage("Fran\xE7"
                             "ais");
        },
        "Language name shall be included in LangNames property!");
    EXPECT_EQ(lang.Language(), "Deutsch");
}

TEST(TmlCustomLang, NumOfLanguagesCutsAndPads) {
    Table t("stHints\r\nB\1h1\1h2\1h3\1\r\nS\1\1\r\n" +
            Strings({"IDS_1\1a\1b\1c\1", "IDS_2\1a\1"}));
    TmlLang& lang = *t.lang;
    lang.SetNumOfLanguages(2);
    EXPECT_EQ(lang.Hints()[0], "B\1h1\1h2\1");
    EXPECT_EQ(lang.Hints()[1], "S\1\1");
    EXPECT_EQ(lang.Strings()[0], "IDS_1\1a\1b\1");
    // Changed outside loading, the lists that lookups pad grow to the number of languages.
    EXPECT_EQ(lang.DlgsCaptions()[0], "Warning\1Warning\1\1");
    EXPECT_EQ(lang.LangNames().Count(), 2);

    ExpectLanguageError([&] { lang.SetNumOfLanguages(0); },
                        "0 - is not a valid property value !\rValue must be more than ZERO !");
    EXPECT_EQ(lang.NumOfLanguages(), 2);

    // Growing pads Strings, DlgsCaptions and Locales only.
    lang.SetNumOfLanguages(3);
    EXPECT_EQ(lang.Strings()[1], "IDS_2\1a\1\1\1");
    EXPECT_EQ(lang.DlgsCaptions()[0], "Warning\1Warning\1\1\1");
    EXPECT_EQ(lang.Hints()[1], "S\1\1");
    EXPECT_EQ(lang.LangNames()[2], "Language N3");
    lang.SetActiveLanguage(3);
    EXPECT_EQ(lang.GetTextOrDefault("IDS_1"), "a");
}

TEST(TmlCustomLang, OneTablePerOwner) {
    test::TAboutBox owner;
    auto* first = new TmlLang(&owner);
    try {
        TmlLang second(&owner);
        ADD_FAILURE() << "a second table was created";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Only one TmlCustomLang component per Form/DataModule allowed!");
    }
    EXPECT_EQ(owner.findChildren<TmlCustomLang*>(), QList<TmlCustomLang*>{first});
    EXPECT_EQ(first->OwnerClassName(), "TAboutBox");
}

TEST(TmlCustomLang, CreationState) {
    TmlLang lang;
    ASSERT_EQ(lang.DlgsCaptions().Count(), 15);
    EXPECT_EQ(lang.DlgsCaptions()[12], "No To All\1N&o to All\1");
    EXPECT_EQ(lang.ExcludedProperties().Count(), 30);
    EXPECT_EQ(lang.ExcludedProperties()[3], "InitialDir");
    EXPECT_EQ(lang.LangNames()[0], "Language N1");
    EXPECT_EQ(lang.Language(), "Language N1");
    EXPECT_EQ(lang.LangDelim(), '\1');
    EXPECT_EQ(lang.StringsTypes().CommaText(), "TIB_STRINGLIST,TSTRINGLIST");
}

TEST(TmlCustomLang, DecodesCEscapesOnlyWhenSwitchedOn) {
    struct Case {
        const char* in;
        const char* out;
    };
    for (const Case& c : std::initializer_list<Case>{{"a\\tb", "a\tb"},
                                                     {"\\x41", "A"},
                                                     {"\\101", "A"},
                                                     {"\\q", "\\q"},
                                                     {"\\x", "\\x"},
                                                     {"\\xg", "\\xg"},
                                                     {"\\x414", "A4"},
                                                     {"end\\", "end\\"},
                                                     {"\\\\n", "\\n"},
                                                     {"\\777", "\xFF"}})
        EXPECT_EQ(DecodeCEscapes(c.in), c.out) << c.in;

    UseCEscapes = true;
    Table decoding(Strings({"IDS_1\1a\\tb\1\1\1"}));
    UseCEscapes = false;
    Table plain(Strings({"IDS_1\1a\\tb\1\1\1"}));
    EXPECT_EQ(decoding.lang->GetTextOrDefault("IDS_1"), "a\tb");
    EXPECT_EQ(plain.lang->GetTextOrDefault("IDS_1"), "a\\tb");
}

TEST(TmlCustomLang, RaisesForAMissingIdentifierOnlyWhenAsked) {
    Table t(Strings({"IDS_1\1uno\1\1\1"}));
    t.lang->DoRaiseExceptions = true;
    EXPECT_EQ(t.lang->GetTextOrDefault("ids_1"), "uno");
    ExpectLanguageError([&] { t.lang->GetTextOrDefault("IDS_9"); },
                        "String identifier \"IDS_9\" not found!");
    ExpectLanguageError([&] { t.lang->InternalGetText(t.lang->Captions(), "X", true); },
                        "String identifier \"X\" not found!");
}

TEST(TmlCustomLang, DefaultLanguageIsTriedBeforeLanguageOne) {
    Table t(Strings({"IDS_1\1uno\1\1drei\1", "IDS_2\1due\1\1\1"}));
    TmlLang& lang = *t.lang;
    lang.SetActiveLanguage(2);
    lang.SetDefaultLanguage(3);
    EXPECT_EQ(lang.GetTextOrDefault("IDS_1"), "uno");
    lang.UseDefaultLanguage = true;
    EXPECT_EQ(lang.GetTextOrDefault("IDS_1"), "drei");
    EXPECT_EQ(lang.GetTextOrDefault("IDS_2"), "due");
    EXPECT_EQ(lang.ActiveLanguage(), 2);

    lang.SetDefaultLanguage(0);
    lang.SetDefaultLanguage(4);
    EXPECT_EQ(lang.DefaultLanguage(), 3);
}

TEST(TmlCustomLang, OtherListsAreSearchedAsText) {
    Table t("stCaptions\r\nbutton1\1Apri\1Open\1\1\r\nLabel1\1Nome\1\1Name\1\r\n");
    TmlLang& lang = *t.lang;
    // The owner has no such components: applying would set their lines aside.
    lang.SuppressApply = true;
    lang.SetActiveLanguage(2);
    EXPECT_EQ(lang.InternalGetText(lang.Captions(), "BUTTON1", false), "Open");
    EXPECT_EQ(lang.InternalGetText(lang.Captions(), "label1", false), "");
    EXPECT_EQ(lang.InternalGetText(lang.Captions(), "label1", true), "Nome");
    EXPECT_EQ(lang.InternalGetText(lang.Captions(), "Label", true), "");
    EXPECT_EQ(lang.InternalGetTextByIndex(lang.Captions(), 1, true), "Nome");
    EXPECT_EQ(lang.InternalGetTextByIndex(lang.Captions(), 2, true), "");
}

TEST(TmlCustomLang, SetTranslationReplacesOneLanguage) {
    Table t(Strings({"IDS_1\1uno\1one\1eins\1", "IDS_2\1due\1"}));
    TmlLang& lang = *t.lang;
    lang.SetTranslation(lang.Strings(), "ONE", 2, "ids_1");
    lang.SetTranslation(lang.Strings(), "zwei", 3, "IDS_2");
    lang.SetTranslation(lang.Strings(), "x", 1, "IDS_9");
    EXPECT_EQ(lang.Strings()[0], "IDS_1\1uno\1ONE\1eins\1");
    EXPECT_EQ(lang.Strings()[1], "IDS_2\1due\1\1zwei\1");
    lang.SetActiveLanguage(2);
    EXPECT_EQ(lang.GetTextOrDefault("IDS_1"), "ONE");
}

TEST(TmlCustomLang, DelimiterChangesRewriteTheItems) {
    Table t("stCaptions\r\nB\1a\1b\1\r\n");
    t.lang->SetLangDelim('|');
    EXPECT_EQ(t.lang->Captions()[0], "B|a|b|");
    EXPECT_EQ(t.lang->DlgsCaptions()[0], "Warning|Warning|");

    // A table stored with the tab as delimiter is converted when it is loaded.
    Table tabbed("stCaptions\r\nB\ta\tb\t\t\r\n" + Strings({"IDS_1\tuno\tone\t\t"}),
                 "[TmlLang]\r\nNumOfLanguages=3\r\nLangDelim=9\r\n");
    EXPECT_EQ(tabbed.lang->LangDelim(), '\1');
    EXPECT_EQ(tabbed.lang->Captions()[0], "B\1a\1b\1\1");
    tabbed.lang->SetActiveLanguage(2);
    EXPECT_EQ(tabbed.lang->GetTextOrDefault("IDS_1"), "one");
}

TEST(TmlCustomLang, DialogCaptionsKeepTheStandardKeys) {
    std::string all = "stDlgsCaptions\r\n";
    TmlLang full;
    full.SetNeedAllDlgs(true);
    ASSERT_EQ(full.DlgsCaptions().Count(), 86);
    EXPECT_EQ(full.DlgsCaptions()[28], "|Solid\1|S&olid\1");
    for (int i = 0; i < 86; ++i)
        all += full.DlgsCaptions()[i] + "\r\n";
    Table t(all);
    EXPECT_EQ(t.lang->DlgsCaptions().Count(), 15);
    EXPECT_EQ(GetDelimitedField(t.lang->DlgsCaptions()[14], '\1', 0), "Help");
}

TEST(TmlCustomLang, CharacterSetsPerLanguage) {
    Table t("stCharSets\r\nTMainForm\1DEFAULT_CHARSET\1RUSSIAN_CHARSET\1Greek\1\r\n");
    EXPECT_EQ(t.lang->LanguageCharSet(1), 1);
    EXPECT_EQ(t.lang->LanguageCharSet(2), 204);
    EXPECT_EQ(t.lang->LanguageCharSet(3), 1);
    EXPECT_EQ(t.lang->CurrentCharSet(), 1);
    t.lang->SetActiveLanguage(2);
    EXPECT_EQ(t.lang->CurrentCharSet(), 204);
    EXPECT_EQ(CharSetOfName("OEM_CHARSET"), 255);
    EXPECT_EQ(CharSetOfName("oem_charset"), 1);
}

} // namespace
} // namespace vx
