#include "localisation/mlComp.h"
#include "localisation/mlExtended.h"
#include "localisation/mlLangDispatcher.h"
#include "localisation/mlStoredTable.h"
#include "platform/ui/StatusBar.h"

#include "TestWindow.h"

#include <QObject>
#include <gtest/gtest.h>

#include <string>

namespace vx::test {

// A component with one property of each kind that an extended translation can write.
class TValueHolder : public QObject {
    Q_OBJECT
    Q_PROPERTY(TAlign Align MEMBER Align)
    Q_PROPERTY(TStyles Style READ GetStyle WRITE SetStyle)
    Q_PROPERTY(double Ratio MEMBER Ratio)
    Q_PROPERTY(qlonglong Big MEMBER Big)
    Q_PROPERTY(bool Checked MEMBER Checked)
    Q_PROPERTY(int Count MEMBER Count)
public:
    enum TAlign { alNone, alTop, alClient };
    Q_ENUM(TAlign)
    enum TStyle { fsBold = 1, fsItalic = 2, fsUnderline = 4 };
    Q_DECLARE_FLAGS(TStyles, TStyle)
    Q_FLAG(TStyles)

    TValueHolder(QObject* owner, const char* name) : QObject(owner) { setObjectName(name); }
    TAlign Align = alNone;
    TStyles Style;
    TStyles GetStyle() const { return Style; }
    void SetStyle(TStyles style) { Style = style; }
    double Ratio = 0;
    qlonglong Big = 0;
    bool Checked = false;
    int Count = 0;
};

class TExtendedWindow : public TTestControls {
public:
    TExtendedWindow() {
        StatusBar1 = new TStatusBar(this, "StatusBar1");
        StatusBar1->AddPanel();
        StatusBar1->AddPanel();
        Holder1 = new TValueHolder(this, "Holder1");
    }
    TStatusBar* StatusBar1;
    TValueHolder* Holder1;
};

} // namespace vx::test

namespace vx {
namespace {

using test::TValueHolder;

struct ExtendedWindow {
    explicit ExtendedWindow(const std::string& properties = "") {
        lang = new TmlLang(&window);
        LoadStoredTable(*lang,
                        "[TmlLang]\r\nNumOfLanguages=3\r\nLangDelim=1\r\n"
                        "LangNames=Italiano,English,Deutsch\r\n" +
                            properties,
                        test::TableText("stCaptions\r\nLabel1|Nome|Name|Name|\r\n"));
    }
    void Add(const char* identifier, TTypeKind kind, const char* values) {
        TmlExtendedItem& item = lang->ExtendedTranslations().Add();
        item.SetIdentifier(identifier);
        item.PropertyType = kind;
        item.Values = test::TableText(values);
    }
    test::TExtendedWindow window;
    TmlLang* lang = nullptr;
};

TEST(TmlCustomLang, ExtendedTranslationsWriteEachKindOfProperty) {
    ExtendedWindow w;
    w.Add("TTestControls.Caption", tkString, "Finestra|Window|Fenster|");
    // Stored under another form's class: read back as this owner's.
    w.Add("TOldForm.Button1.Caption", tkLString, "Apri|Open|Öffnen|");
    w.Add("TTestControls.Button1.Tag", tkInteger, "1|2|3|");
    w.Add("TTestControls.Label1.Font.Name", tkString, "Arial|Tahoma|Verdana|");
    w.Add("TTestControls.ComboBox1.Items", tkClass, "a,b|\"x y\",z|c|");
    w.Add("TTestControls.StatusBar1.Panels[1].Text", tkWString, "Pronto|Ready|Bereit|");
    w.Add("TTestControls.Holder1.Align", tkEnumeration, "alTop|alClient|alNone|");
    w.Add("TTestControls.Holder1.Style", tkSet, "[]|[fsBold, fsUnderline]|[fsItalic]|");
    w.Add("TTestControls.Holder1.Ratio", tkFloat, "1.5|2.25|3|");
    w.Add("TTestControls.Holder1.Big", tkInt64, "1|8589934592|3|");
    w.Add("TTestControls.Holder1.Checked", tkEnumeration, "False|True|False|");
    w.lang->SetActiveLanguage(2);

    const test::TExtendedWindow& win = w.window;
    EXPECT_EQ(win.Caption(), "Window");
    EXPECT_EQ(win.Button1->Caption(), "Open");
    EXPECT_EQ(win.Button1->Tag, 2);
    EXPECT_EQ(win.Label1->Font()->Name(), "Tahoma");
    EXPECT_EQ(win.ComboBox1->Items(), (QStringList{"x y", "z"}));
    EXPECT_EQ(win.StatusBar1->Panel(1)->Text(), "Ready");
    EXPECT_EQ(win.Holder1->Align, TValueHolder::alClient);
    EXPECT_EQ(win.Holder1->Style, TValueHolder::fsBold | TValueHolder::fsUnderline);
    EXPECT_DOUBLE_EQ(win.Holder1->Ratio, 2.25);
    EXPECT_EQ(win.Holder1->Big, 8589934592LL);
    EXPECT_TRUE(win.Holder1->Checked);
    // The regular translation ran as well.
    EXPECT_EQ(win.Label1->Caption(), "Name");
}

TEST(TmlCustomLang, ExtendedTextsThatDoNotFitTheirKindAreSkipped) {
    ExtendedWindow w;
    w.window.Button1->Tag = 7;
    w.window.Holder1->Count = 5;
    const struct {
        const char* identifier;
        TTypeKind kind;
    } skipped[] = {
        {"TTestControls.Button1.Tag", tkInteger},              // "x" is no number
        {"TTestControls.Holder1.Align", tkEnumeration},        // no such value name
        {"TTestControls.Holder1.Style", tkSet},                // no such flag
        {"TTestControls.Holder1.Count", tkMethod},             // a kind that is never written
        {"TTestControls.NoSuchThing.Caption", tkString},       // no such component
        {"TTestControls.StatusBar1.Panels[5].Text", tkString}, // no such item
        {"TTestControls.Holder1.Ratio", tkString},             // a number written as text
    };
    for (const auto& s : skipped)
        w.Add(s.identifier, s.kind, "x|x|x|");
    w.Add("TTestControls.Button1.Caption", tkString, "Apri|Open||");
    w.lang->SetActiveLanguage(2);
    EXPECT_EQ(w.window.Button1->Tag, 7);
    EXPECT_EQ(w.window.Holder1->Align, TValueHolder::alNone);
    EXPECT_EQ(w.window.Holder1->Style, TValueHolder::TStyles());
    EXPECT_EQ(w.window.Holder1->Count, 5);
    EXPECT_EQ(w.window.Holder1->Ratio, 0.0);
    EXPECT_EQ(w.window.Button1->Caption(), "Open");
}

TEST(TmlCustomLang, EmptyExtendedTextFallsBack) {
    const struct {
        const char* properties;
        bool testMode;
        const char* caption;
    } cases[] = {
        {"", false, "Apri"}, // an empty text changes nothing: language 1 was applied first
        {"TranslateType=ttGetDefault\r\nDefaultLanguage=2\r\n", false, "Open"},
        {"UseDefaultLanguage=1\r\nDefaultLanguage=2\r\n", false, "Open"},
        {"UseDefaultLanguage=1\r\nDefaultLanguage=2\r\n", true, "aPRI"},
    };
    for (const auto& c : cases) {
        TmlLangDispatcher dispatcher;
        TStringList names;
        for (const char* name : {"Italiano", "English", "Deutsch"})
            names.Add(name);
        dispatcher.SetLangNames(names);
        ExtendedWindow w(c.properties);
        w.Add("TTestControls.Button1.Caption", tkString, "Apri|Open||");
        w.lang->SetLangDispatcher(&dispatcher);
        dispatcher.TestModeInfo().Active = c.testMode;
        dispatcher.TestModeInfo().Kind = tmkFlipCase;
        dispatcher.SetActiveLanguage(3);
        EXPECT_EQ(w.window.Button1->Caption(), c.caption) << c.properties << c.testMode;
    }
}

TEST(TmlCustomLang, ExtendedTranslationsComeLastUnlessAskedFirst) {
    for (bool first : {false, true}) {
        ExtendedWindow w(first ? "TranslateExtendedFirst=1\r\n" : "");
        w.Add("TTestControls.Label1.Caption", tkString, "Uno|One|Eins|");
        w.lang->SetActiveLanguage(2);
        EXPECT_EQ(w.window.Label1->Caption(), first ? "Name" : "One");
    }
    // Applying one list leaves them alone.
    ExtendedWindow w;
    const QString before = w.window.Button1->Caption();
    w.Add("TTestControls.Button1.Caption", tkString, "Uno|One|Eins|");
    w.lang->SetList(stCaptions, w.lang->Captions());
    EXPECT_EQ(w.window.Button1->Caption(), before);
}

} // namespace
} // namespace vx

#include "mlApplyExtendedTest.moc"
