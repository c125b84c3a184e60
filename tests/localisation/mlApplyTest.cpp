#include "localisation/mlApply.h"
#include "localisation/mlPropInfo.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/StringList.h"
#include "platform/ui/StatusBar.h"

#include "TestWindow.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace vx {
namespace {

void Fill(TStringList& list, std::initializer_list<const char*> lines) {
    list.Clear();
    for (const char* line : lines)
        list.Add(test::TableText(line));
}

class TTestWindow : public test::TTestControls {
public:
    TTestWindow() {
        StatusBar1 = new TStatusBar(this, "StatusBar1");
        StatusBar1->AddPanel();
        StatusBar1->AddPanel();
    }
    TStatusBar* StatusBar1;
};

struct Table {
    TStringList Captions, Hints, DisplayLabels, Fonts, MultiLines, OtherStrings, Locales,
        Collections, CharSets, DoNotTranslate, SmartExcludeProps, SetAside;
    TmlApplyContext Context(QObject* owner, int language) {
        TmlApplyContext c;
        c.Owner = owner;
        c.NumOfLanguages = 3;
        c.ActiveLanguage = language;
        c.Captions = &Captions;
        c.Hints = &Hints;
        c.DisplayLabels = &DisplayLabels;
        c.Fonts = &Fonts;
        c.MultiLines = &MultiLines;
        c.OtherStrings = &OtherStrings;
        c.Locales = &Locales;
        c.Collections = &Collections;
        c.CharSets = &CharSets;
        c.DoNotTranslate = &DoNotTranslate;
        c.SmartExcludeProps = &SmartExcludeProps;
        c.SetAside = &SetAside;
        return c;
    }
    void Apply(QObject* owner, int language) {
        TmlApplyContext c = Context(owner, language);
        ApplyTranslations(c);
    }
};

class mlApplyTest : public ::testing::Test {
protected:
    void SetUp() override {
        Fill(t.Captions, {"TForm|Finestra|Window|Fenster|", "Label1|Nome|Name|Name|",
                          "Button1|&Apri|&Open|Ö&ffnen|", "Missing1|x|y|z|",
                          "GroupBox1|Opzioni|Options|Optionen|", "Apri1|&Apri|&Open|Ö&ffnen|",
                          "TabSheet1|Pagina|Page|Seite|", "Memo1||||"});
        Fill(t.Hints, {"Button1|Apre|Opens||"});
        Fill(t.MultiLines,
             {"ComboBox1.Items|rosso,verde,blu|red,green,blue|rot,grün,blau|",
              "Memo1.Lines|\"riga uno\",\"riga due\"|\"line one\",\"line two\"|\"Zeile "
              "eins\",\"Zeile zwei\"|"});
        Fill(t.Collections, {"StatusBar1.Panels[1].Text|Pronto|Ready|Bereit|",
                             "StatusBar1.Panels[7].Text|a|b|c|"});
    }

    Table t;
};

TEST_F(mlApplyTest, EachLanguageReachesEveryKindOfControl) {
    TTestWindow w;
    w.ComboBox1->SetItems({"rosso", "verde", "blu"});
    w.ComboBox1->SetItemIndex(2);
    QSignalSpy comboIndex(w.ComboBox1, &QComboBox::currentIndexChanged);
    int comboChanges = 0;
    w.ComboBox1->OnChange = [&](QObject*) { ++comboChanges; };

    struct Expect {
        int language;
        const char *window, *label, *button, *hint, *group, *menu, *tab, *panel;
        QStringList items, lines;
    };
    const Expect cases[] = {
        {1,
         "Finestra",
         "Nome",
         "&Apri",
         "Apre",
         "Opzioni",
         "&Apri",
         "Pagina",
         "Pronto",
         {"rosso", "verde", "blu"},
         {"riga uno", "riga due"}},
        {2,
         "Window",
         "Name",
         "&Open",
         "Opens",
         "Options",
         "&Open",
         "Page",
         "Ready",
         {"red", "green", "blue"},
         {"line one", "line two"}},
        // No German hint: the English one stays.
        {3,
         "Fenster",
         "Name",
         "Ö&ffnen",
         "Opens",
         "Optionen",
         "Ö&ffnen",
         "Seite",
         "Bereit",
         {"rot", "grün", "blau"},
         {"Zeile eins", "Zeile zwei"}},
        {1,
         "Finestra",
         "Nome",
         "&Apri",
         "Apre",
         "Opzioni",
         "&Apri",
         "Pagina",
         "Pronto",
         {"rosso", "verde", "blu"},
         {"riga uno", "riga due"}},
    };
    for (const Expect& e : cases) {
        SCOPED_TRACE(e.language);
        t.Apply(&w, e.language);
        EXPECT_EQ(w.Caption(), QString::fromUtf8(e.window));
        EXPECT_EQ(w.Label1->text(), QString::fromUtf8(e.label));
        EXPECT_EQ(w.Button1->text(), QString::fromUtf8(e.button));
        EXPECT_EQ(w.Button1->toolTip(), QString::fromUtf8(e.hint));
        EXPECT_EQ(w.GroupBox1->title(), QString::fromUtf8(e.group));
        EXPECT_EQ(w.Apri1->text(), QString::fromUtf8(e.menu));
        EXPECT_EQ(w.PageControl1->tabText(0), QString::fromUtf8(e.tab));
        EXPECT_EQ(w.StatusBar1->Panel(1)->Text(), QString::fromUtf8(e.panel));
        EXPECT_EQ(w.ComboBox1->Items(), e.items);
        EXPECT_EQ(w.ComboBox1->ItemIndex(), 2);
        EXPECT_EQ(w.Memo1->Lines(), e.lines);
    }
    EXPECT_EQ(comboIndex.count(), 0);
    EXPECT_EQ(comboChanges, 0);
}

TEST_F(mlApplyTest, LinesOfMissingComponentsAreSetAsideAndLaterLinesStillApply) {
    TTestWindow w;
    t.Apply(&w, 2);
    EXPECT_EQ(w.GroupBox1->title(), "Options"); // the line after "Missing1"
    ASSERT_EQ(t.SetAside.Count(), 2);
    EXPECT_EQ(t.SetAside[0], "Missing1\1x\1y\1z\1");
    EXPECT_EQ(t.SetAside[1], "StatusBar1.Panels[7].Text\1a\1b\1c\1");
    EXPECT_EQ(t.Captions.IndexOf("Missing1\1x\1y\1z\1"), -1);
    // A line without any text is gone from the list as well.
    EXPECT_EQ(t.Captions.IndexOf("Memo1\1\1\1\1"), -1);
    EXPECT_EQ(t.Captions.Count(), 6);
    EXPECT_EQ(t.Collections.Count(), 1);
}

TEST_F(mlApplyTest, EmptyTextsNeverChangeAPropertyUnlessLanguageOneIsTheDefault) {
    TTestWindow w;
    Fill(t.Hints, {"Label1|Suggerimento||Hinweis|"});
    w.Label1->SetHint("prima");
    t.Apply(&w, 2);
    EXPECT_EQ(w.Label1->Hint(), "prima");
    TmlApplyContext c = t.Context(&w, 2);
    c.GetDefault = true;
    ApplyTranslations(c);
    EXPECT_EQ(w.Label1->Hint(), "Suggerimento");
}

TEST_F(mlApplyTest, DoNotTranslateAndSmartExcludeKeepTheirTexts) {
    TTestWindow w;
    Fill(t.DoNotTranslate, {"label1"});
    Fill(t.SmartExcludeProps, {"TForm.Caption"});
    w.SetCaption("Vornix");
    w.Label1->SetCaption("fisso");
    t.Apply(&w, 2);
    EXPECT_EQ(w.Caption(), "Vornix");
    EXPECT_EQ(w.Label1->Caption(), "fisso");
    EXPECT_EQ(w.Button1->Caption(), "&Open");
}

TEST_F(mlApplyTest, FontsAndCharacterSetsSpareControlsWithTheParentsFont) {
    TTestWindow w;
    Fill(t.Fonts, {"TForm|Liberation Sans|Liberation Sans|Liberation Serif|",
                   "Label1|Liberation Mono|Liberation Mono|Liberation Mono|",
                   "Button1|Liberation Mono|Liberation Mono|Liberation Mono|"});
    Fill(t.CharSets, {"TForm|DEFAULT_CHARSET|DEFAULT_CHARSET|EASTEUROPE_CHARSET|",
                      "Label1|GREEK_CHARSET|GREEK_CHARSET|NO_SUCH_CHARSET|",
                      "Button1|GREEK_CHARSET|GREEK_CHARSET|GREEK_CHARSET|"});
    w.Label1->SetParentFont(false);
    ASSERT_TRUE(w.Button1->ParentFont());
    t.Apply(&w, 3);
    EXPECT_EQ(w.Font()->Name(), "Liberation Serif");
    EXPECT_EQ(w.Font()->Charset(), 238);
    EXPECT_EQ(w.Label1->Font()->Name(), "Liberation Mono");
    EXPECT_EQ(w.Label1->Font()->Charset(), 1); // a name outside the 19 changes nothing
    EXPECT_TRUE(w.Button1->ParentFont());
    EXPECT_EQ(w.Button1->Font()->Charset(), 1);
}

TEST_F(mlApplyTest, ComponentsOfANestedOwnerAreNotTheOuterOwners) {
    TTestWindow main;
    auto* child = new TTestWindow;
    child->setParent(&main);
    child->setObjectName("DocForm1");
    main.Label1->setObjectName("Other1");
    auto hasOwnTable = [&](const QObject* o) { return o == child; };
    EXPECT_EQ(FindOwnedComponent(&main, "LABEL1", hasOwnTable), nullptr);
    EXPECT_EQ(FindOwnedComponent(&main, "label1", {}), child->Label1);
    EXPECT_EQ(FindOwnedComponent(&main, "memo1", hasOwnTable), main.Memo1);
    EXPECT_EQ(FindOwnedComponent(child, "memo1", {}), child->Memo1);
}

TEST_F(mlApplyTest, OtherStringsReachPropertiesThroughAnObjectStep) {
    TTestWindow w;
    Fill(t.OtherStrings,
         {"Button1.Font.Name|Liberation Serif|Liberation Mono||", "ComboBox1.Text|||x|"});
    t.Apply(&w, 2);
    EXPECT_EQ(w.Button1->font().family(), "Liberation Mono");
    EXPECT_EQ(t.OtherStrings.Count(), 2);
}

TEST(mlPropInfoTest, PropertiesAreFoundIgnoringCase) {
    TLabel label(nullptr, "Label1");
    const TmlPropInfoList props(&label);
    ASSERT_NE(props.Find("caption"), nullptr);
    EXPECT_STREQ(props.Find("CAPTION")->name(), "Caption");
    EXPECT_EQ(props.Find("NoSuchProperty"), nullptr);
    EXPECT_EQ(PropKind(*props.Find("Font")), TmlPropKind::Object);
    EXPECT_TRUE(HasProperty(&label, "font", TmlPropKind::Object, "TControlFont"));
    EXPECT_FALSE(HasProperty(&label, "font", TmlPropKind::Object, "TFont"));
    SetStrProp(&label, "CAPTION", "Citt\xE0");
    EXPECT_EQ(label.Caption(), QString::fromUtf8("Città"));
    EXPECT_EQ(GetStrProp(&label, "caption"), "Citt\xE0");
    EXPECT_EQ(GetStrProp(&label, "Missing"), "");
    try {
        TmlPropInfoList none(nullptr);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "NIL passed as AObject in TmlPropInfoList.Create!");
    }
}

} // namespace
} // namespace vx
