#include "localisation/mlLangDispatcher.h"
#include "localisation/mlComp.h"
#include "localisation/mlStoredTable.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Streams.h"

#include "TestWindow.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vx {
namespace {

// A window's table as a loaded form links it: settings, dispatcher, lists, Loaded.
TmlLang* LinkedTable(QObject* owner, TmlLangDispatcher* dispatcher, const std::string& data = "") {
    auto* lang = new TmlLang(owner);
    lang->BeginLoading();
    ApplySystemTableSettings(*lang);
    lang->SetLangDispatcher(dispatcher);
    TMemoryStream stream{data};
    lang->ReadTranslationData(stream);
    lang->Loaded();
    return lang;
}

void SetThreeLanguages(TmlLangDispatcher& d) {
    TStringList names;
    for (const char* name : {"Italiano", "English", "Deutsch"})
        names.Add(name);
    d.SetLangNames(names);
}

struct ThreeTables {
    ThreeTables() {
        SetThreeLanguages(dispatcher);
        for (int i = 0; i < 3; ++i) {
            owners.push_back(std::make_unique<QObject>());
            TmlLang* lang = LinkedTable(owners.back().get(), &dispatcher);
            lang->OnLanguageChanging = [this, i](TmlCustomLang*, int, bool& allow) {
                asked.push_back(i);
                allow = i != veto;
            };
            lang->OnChangeLanguage = [this, i](TmlCustomLang*) { switched.push_back(i); };
            tables.push_back(lang);
        }
        dispatcher.OnLanguageChanged = [this](TmlLangDispatcher*) { ++changed; };
    }
    TmlLangDispatcher dispatcher;
    std::vector<std::unique_ptr<QObject>> owners;
    std::vector<TmlLang*> tables;
    std::vector<int> asked, switched;
    int veto = -1;
    int changed = 0;
};

TEST(TmlLangDispatcher, SwitchAsksThenSetsEveryTableInLinkingOrder) {
    ThreeTables t;
    ASSERT_EQ(t.dispatcher.LangCount(), 3);
    t.dispatcher.SetActiveLanguage(2);
    // Each table is asked once: not again while the dispatcher sets it.
    EXPECT_EQ(t.asked, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(t.switched, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(t.changed, 1);
    for (TmlLang* lang : t.tables) {
        EXPECT_EQ(lang->ActiveLanguage(), 2);
        EXPECT_EQ(lang->Language(), "English");
        EXPECT_FALSE(lang->SetByDispatcher);
    }
    EXPECT_EQ(t.dispatcher.Language(), "English");

    t.dispatcher.SetActiveLanguage(2);
    EXPECT_EQ(t.asked.size(), 3u);
    EXPECT_EQ(t.changed, 1);

    // Set directly, a table asks its own handler.
    t.tables[0]->SetActiveLanguage(3);
    EXPECT_EQ(t.asked.size(), 4u);
}

TEST(TmlLangDispatcher, AVetoLeavesEverythingInTheOldLanguage) {
    ThreeTables t;
    t.veto = 1;
    t.dispatcher.SetActiveLanguage(2);
    EXPECT_EQ(t.asked, (std::vector<int>{0, 1}));
    EXPECT_TRUE(t.switched.empty());
    EXPECT_EQ(t.changed, 0);
    EXPECT_EQ(t.dispatcher.ActiveLanguage(), 1);
    for (TmlLang* lang : t.tables)
        EXPECT_EQ(lang->ActiveLanguage(), 1);

    t.veto = -1;
    int dispatcherAsked = 0;
    t.dispatcher.OnLanguageChanging = [&](TmlLangDispatcher*, int value, bool& allow) {
        ++dispatcherAsked;
        allow = value != 3;
    };
    t.dispatcher.SetActiveLanguage(3);
    EXPECT_EQ(dispatcherAsked, 1);
    EXPECT_EQ(t.asked.size(), 2u);
    EXPECT_EQ(t.dispatcher.ActiveLanguage(), 1);
}

TEST(TmlLangDispatcher, AnOutOfRangeLanguageStopsAtTheFirstTableAndClearsItsFlag) {
    ThreeTables t;
    EXPECT_THROW(t.dispatcher.SetActiveLanguage(4), ELanguageError);
    EXPECT_EQ(t.dispatcher.ActiveLanguage(), 4);
    for (TmlLang* lang : t.tables) {
        EXPECT_EQ(lang->ActiveLanguage(), 1);
        EXPECT_FALSE(lang->SetByDispatcher);
    }
}

TEST(TmlLangDispatcher, TablesAndDispatcherMayBeDestroyedInEitherOrder) {
    ThreeTables t;
    t.owners[1].reset();
    ASSERT_EQ(t.dispatcher.LangCount(), 2);
    EXPECT_EQ(t.dispatcher.Langs(1), t.tables[2]);
    t.dispatcher.SetActiveLanguage(3);
    EXPECT_EQ(t.switched, (std::vector<int>{0, 2}));

    auto dispatcher = std::make_unique<TmlLangDispatcher>();
    QObject owner;
    TmlLang* lang = LinkedTable(&owner, dispatcher.get());
    EXPECT_EQ(lang->LangDispatcher(), dispatcher.get());
    dispatcher.reset();
    EXPECT_EQ(lang->LangDispatcher(), nullptr);
    lang->SetActiveLanguage(1);
}

TEST(TmlLangDispatcher, RelinkingMovesATableAndLinkingTwiceAddsItOnce) {
    TmlLangDispatcher a, b;
    SetThreeLanguages(a);
    SetThreeLanguages(b);
    b.SetActiveLanguage(3);
    QObject owner;
    TmlLang* lang = LinkedTable(&owner, &a);
    a.AddLang(lang);
    EXPECT_EQ(a.LangCount(), 1);
    lang->SetLangDispatcher(&b);
    EXPECT_EQ(a.LangCount(), 0);
    EXPECT_EQ(b.LangCount(), 1);
    EXPECT_EQ(lang->ActiveLanguage(), 3);
    EXPECT_EQ(lang->Language(), "Deutsch");
}

TEST(TmlLangDispatcher, NumberOfLanguagesAndNames) {
    TmlLangDispatcher d;
    EXPECT_EQ(d.LangNames().CommaText(), "\"Language N1\"");
    d.SetNumOfLanguages(3);
    EXPECT_EQ(d.LangNames().CommaText(), "\"Language N1\",\"Language N2\",\"Language N3\"");
    d.SetNumOfLanguages(2);
    EXPECT_EQ(d.LangNames().Count(), 2);

    QObject owner;
    TmlLang* lang = LinkedTable(&owner, &d);
    SetThreeLanguages(d);
    EXPECT_EQ(d.NumOfLanguages(), 3);
    EXPECT_EQ(d.Language(), "Italiano");
    EXPECT_EQ(lang->NumOfLanguages(), 3);
    EXPECT_EQ(lang->LangNames().CommaText(), "Italiano,English,Deutsch");

    d.SetLanguage("deutsch");
    EXPECT_EQ(d.ActiveLanguage(), 3);
    EXPECT_EQ(lang->ActiveLanguage(), 3);
    try {
        d.SetLanguage("Français");
        FAIL();
    } catch (const ELanguageError& e) {
        EXPECT_STREQ(e.what(), "Language name shall be included in LangNames property!");
    }
    EXPECT_EQ(d.ActiveLanguage(), 3);

    d.SetDefaultLanguage(2);
    EXPECT_EQ(lang->DefaultLanguage(), 2);
    d.SetDefaultLanguage(4);
    EXPECT_EQ(d.DefaultLanguage(), 2);
    d.SetUseDefaultLanguage(true);
    EXPECT_TRUE(lang->UseDefaultLanguage);

    d.SetLangNames(TStringList());
    EXPECT_EQ(d.NumOfLanguages(), 1);
}

class TTestWindow : public test::TTestControls {
public:
    explicit TTestWindow(TmlLangDispatcher* dispatcher, QWidget* parent = nullptr)
        : TTestControls(parent) {
        ComboBox1->SetItems({"rosso", "verde", "blu"});
        ComboBox1->SetItemIndex(1);
        mlLang1 = LinkedTable(
            this, dispatcher,
            test::TableText(
                "stCaptions\r\nTestWindow|Finestra|Window|Fenster|\r\nLabel1|Nome|Name|Name|\r\n"
                "Button1|&Apri|&Open|Ö&ffnen|\r\nNoSuchLabel|x|y|z|\r\n"
                "GroupBox1|Opzioni|Options|Optionen|\r\nApri1|&Apri|&Open|Ö&ffnen|\r\n"
                "TabSheet1|Pagina|Page|Seite|\r\n"
                "stHints\r\nButton1|Apre|Opens|Öffnet|\r\n"
                "stMultiLines\r\nComboBox1.Items|rosso,verde,blu|red,green,blue|rot,grün,blau|\r\n"
                "Memo1.Lines|\"riga uno\"|\"line one\"|\"Zeile eins\"|\r\n"));
    }
    TmlLang* mlLang1;
};

struct Shown {
    const char *window, *label, *button, *hint, *group, *menu, *tab;
    QStringList items, lines;
};
const Shown kShown[] = {
    {"Finestra",
     "Nome",
     "&Apri",
     "Apre",
     "Opzioni",
     "&Apri",
     "Pagina",
     {"rosso", "verde", "blu"},
     {"riga uno"}},
    {"Window",
     "Name",
     "&Open",
     "Opens",
     "Options",
     "&Open",
     "Page",
     {"red", "green", "blue"},
     {"line one"}},
    {"Fenster",
     "Name",
     "Ö&ffnen",
     "Öffnet",
     "Optionen",
     "Ö&ffnen",
     "Seite",
     {"rot", "grün", "blau"},
     {"Zeile eins"}},
};

void ExpectLanguage(const TTestWindow& w, int language) {
    SCOPED_TRACE(language);
    const Shown& e = kShown[language - 1];
    EXPECT_EQ(w.Caption(), QString::fromUtf8(e.window));
    EXPECT_EQ(w.Label1->text(), QString::fromUtf8(e.label));
    EXPECT_EQ(w.Button1->text(), QString::fromUtf8(e.button));
    EXPECT_EQ(w.Button1->toolTip(), QString::fromUtf8(e.hint));
    EXPECT_EQ(w.GroupBox1->title(), QString::fromUtf8(e.group));
    EXPECT_EQ(w.Apri1->text(), QString::fromUtf8(e.menu));
    EXPECT_EQ(w.PageControl1->tabText(0), QString::fromUtf8(e.tab));
    EXPECT_EQ(w.ComboBox1->Items(), e.items);
    EXPECT_EQ(w.ComboBox1->ItemIndex(), 1);
    EXPECT_EQ(w.Memo1->Lines(), e.lines);
}

TEST(TmlLangDispatcher, AWindowFollowsEverySwitch) {
    TmlLangDispatcher d;
    SetThreeLanguages(d);
    TTestWindow w(&d);
    QSignalSpy comboIndex(w.ComboBox1, &QComboBox::currentIndexChanged);
    for (int language : {1, 2, 3, 1}) {
        d.SetActiveLanguage(language);
        ExpectLanguage(w, language);
    }
    EXPECT_EQ(comboIndex.count(), 0);
    // The line of the component the window lacks is set aside.
    ASSERT_EQ(w.mlLang1->SetAside().Count(), 1);
    EXPECT_EQ(w.mlLang1->SetAside()[0], "NoSuchLabel\1x\1y\1z\1");
}

TEST(TmlLangDispatcher, AWindowMadeAfterASwitchShowsThatLanguageAtOnce) {
    TmlLangDispatcher d;
    SetThreeLanguages(d);
    d.SetActiveLanguage(3);
    TTestWindow w(&d);
    EXPECT_EQ(w.mlLang1->ActiveLanguage(), 3);
    ExpectLanguage(w, 3);
}

TEST(TmlLangDispatcher, MainAndChildWindowsKeepTheirOwnTexts) {
    TmlLangDispatcher d;
    SetThreeLanguages(d);
    TForm main(nullptr, "MainForm");
    auto* mainLabel = new TLabel(&main, "Label1");
    LinkedTable(&main, &d, test::TableText("stCaptions\r\nLabel1|Principale|Main|Haupt|\r\n"));
    auto* child = new TForm(&main, "ChildForm");
    auto* childLabel = new TLabel(child, "Label1");
    LinkedTable(child, &d, test::TableText("stCaptions\r\nLabel1|Figlio|Child|Kind|\r\n"));
    d.SetActiveLanguage(2);
    EXPECT_EQ(mainLabel->text(), "Main");
    EXPECT_EQ(childLabel->text(), "Child");
    d.SetActiveLanguage(3);
    EXPECT_EQ(mainLabel->text(), "Haupt");
    EXPECT_EQ(childLabel->text(), "Kind");
}

} // namespace
} // namespace vx
