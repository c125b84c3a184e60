#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/GroupBox.h"
#include "platform/ui/Label.h"
#include "platform/ui/Memo.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/TabSet.h"

#include <QSignalSpy>
#include <QTextCursor>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vx {
namespace {

TEST(ControlKitTest, ComboItemsChangeInPlaceKeepingTheCurrentItemSilently) {
    TComboBox combo(nullptr, "ComboBox1");
    combo.SetItems({"uno", "due", "tre"});
    combo.SetItemIndex(1);
    int changes = 0;
    combo.OnChange = [&](QObject*) { ++changes; };
    QSignalSpy index(&combo, &QComboBox::currentIndexChanged);
    QSignalSpy text(&combo, &QComboBox::currentTextChanged);

    struct Case {
        QStringList items;
        int expectedIndex;
    };
    const Case cases[] = {
        {{"one", "two", "three"}, 1},
        {{"one", "two", "three", "four"}, 1}, // appended
        {{"eins", "zwei"}, 1},                // surplus removed from the end
        {{"eins"}, -1},                       // the current item is gone
    };
    for (const Case& c : cases) {
        combo.setProperty("Items", c.items);
        EXPECT_EQ(combo.Items(), c.items);
        EXPECT_EQ(combo.ItemIndex(), c.expectedIndex);
    }
    combo.SetItemIndex(0);
    combo.SetItemIndex(7);
    EXPECT_EQ(combo.ItemIndex(), -1);
    EXPECT_EQ(index.count(), 0);
    EXPECT_EQ(text.count(), 0);
    EXPECT_EQ(changes, 0);
}

TEST(ControlKitTest, ComboReportsTheUsersChoice) {
    TComboBox combo(nullptr, "ComboBox1");
    combo.SetItems({"a", "b"});
    std::vector<std::string> events;
    combo.OnClick = [&](QObject* s) {
        EXPECT_EQ(s, &combo);
        events.push_back("click");
    };
    combo.OnChange = [&](QObject*) { events.push_back("change"); };
    combo.setCurrentIndex(1);
    emit combo.activated(1);
    EXPECT_EQ(events, (std::vector<std::string>{"click", "change"}));
}

TEST(ControlKitTest, EditableComboKeepsShowingTheTranslatedCurrentItem) {
    TComboBox combo(nullptr, "ComboBox1", TComboBoxStyle::csDropDown);
    combo.SetItems({"rosso", "verde"});
    combo.SetItemIndex(1);
    combo.SetItems({"red", "green"});
    EXPECT_EQ(combo.Text(), "green");
    combo.SetText("blu");
    EXPECT_EQ(combo.Text(), "blu");
}

TEST(ControlKitTest, MemoLinesChangeInPlaceAndFireOneChange) {
    TMemo memo(nullptr, "Memo1");
    memo.SetLines({"alfa", "beta", "gamma"});
    QTextCursor cursor = memo.textCursor();
    cursor.setPosition(2); // inside "alfa", which stays
    memo.setTextCursor(cursor);
    int changes = 0;
    memo.OnChange = [&](QObject*) { ++changes; };
    QSignalSpy qtChanged(&memo, &QPlainTextEdit::textChanged);

    struct Case {
        QStringList lines;
        QString text;
    };
    const Case cases[] = {
        {{"alfa", "BETA", "gamma"}, "alfa\nBETA\ngamma"},
        {{"alfa", "BETA", "gamma", "delta"}, "alfa\nBETA\ngamma\ndelta"},
        {{"alfa"}, "alfa"},
        {{"alfa", "", "x"}, "alfa\n\nx"},
    };
    int expectedChanges = 0;
    for (const Case& c : cases) {
        memo.setProperty("Lines", c.lines);
        EXPECT_EQ(memo.Text(), c.text);
        EXPECT_EQ(memo.Lines(), c.lines);
        EXPECT_EQ(changes, ++expectedChanges);
        EXPECT_EQ(memo.textCursor().position(), 2);
    }
    memo.SetLines({"alfa", "", "x"}); // the same lines: nothing happens
    EXPECT_EQ(changes, expectedChanges);
    EXPECT_EQ(qtChanged.count(), 0);
}

TEST(ControlKitTest, MemoLinesIgnoreAFinalLineBreak) {
    TMemo memo;
    EXPECT_TRUE(memo.Lines().isEmpty());
    memo.SetText("a\nb\n");
    EXPECT_EQ(memo.Lines(), (QStringList{"a", "b"}));
    memo.SetLines({"c"});
    EXPECT_EQ(memo.Text(), "c");
    memo.SetLines({});
    EXPECT_EQ(memo.Text(), "");
}

TEST(ControlKitTest, MemoWordWrapIsAProperty) {
    TMemo memo;
    memo.setProperty("WordWrap", false);
    EXPECT_EQ(memo.lineWrapMode(), QPlainTextEdit::NoWrap);
    memo.setProperty("WordWrap", true);
    EXPECT_TRUE(memo.WordWrap());
}

TEST(ControlKitTest, TabSetAsksBeforeEveryChangeAndMayRefuse) {
    TTabSet tabs(nullptr, "TabSet1");
    tabs.SetTabs({"P1", "P2", "P3"});
    tabs.SetTabIndex(0);
    std::vector<std::string> events;
    bool allow = true;
    tabs.OnChange = [&](QObject*, int newTab, bool& allowChange) {
        events.push_back("change " + std::to_string(newTab));
        allowChange = allow;
    };
    tabs.OnClick = [&](QObject*) { events.push_back("click"); };

    tabs.setProperty("TabIndex", 2); // by code
    EXPECT_EQ(tabs.TabIndex(), 2);
    allow = false;
    tabs.SetTabIndex(1);
    EXPECT_EQ(tabs.TabIndex(), 2);
    tabs.setCurrentIndex(0); // as a click on the bar does
    EXPECT_EQ(tabs.TabIndex(), 2);
    EXPECT_EQ(tabs.currentIndex(), 2);
    allow = true;
    tabs.setCurrentIndex(0);
    EXPECT_EQ(tabs.TabIndex(), 0);
    EXPECT_EQ(events, (std::vector<std::string>{"change 2", "click", "change 1", "change 0",
                                                "change 0", "click"}));

    events.clear();
    tabs.setProperty("Tabs", QStringList{"S1", "S2"});
    EXPECT_EQ(tabs.Tabs(), (QStringList{"S1", "S2"}));
    EXPECT_EQ(tabs.TabIndex(), 0);
    EXPECT_TRUE(events.empty());
}

TEST(ControlKitTest, PageControlReportsOnlyTheUsersChange) {
    TPageControl pages(nullptr, "PageControl1");
    auto* first = new TTabSheet(&pages, "TabSheet1");
    auto* second = new TTabSheet(&pages, "TabSheet2");
    second->setProperty("Caption", "&Grafico");
    EXPECT_EQ(pages.tabText(1), "&Grafico");
    int changes = 0;
    pages.OnChange = [&](QObject*) { ++changes; };
    pages.SetActivePage(second);
    EXPECT_EQ(pages.ActivePage(), second);
    pages.setProperty("ActivePageIndex", 0);
    EXPECT_EQ(pages.ActivePage(), first);
    EXPECT_EQ(changes, 0);
    pages.setCurrentIndex(1); // as a click on the tab does
    EXPECT_EQ(changes, 1);
}

TEST(ControlKitTest, MenuItemClicksAndSeparators) {
    TMenuItem item(nullptr, "Apri1");
    int clicks = 0;
    item.OnClick = [&](QObject*) { ++clicks; };
    item.setProperty("Caption", "&Apri");
    item.setProperty("Hint", "Apre un documento");
    EXPECT_EQ(item.text(), "&Apri");
    EXPECT_EQ(item.statusTip(), "Apre un documento");
    item.setProperty("Checked", true);
    EXPECT_TRUE(item.isChecked());
    EXPECT_EQ(clicks, 0);
    item.trigger();
    item.Click();
    EXPECT_EQ(clicks, 2);
    item.SetCaption("-");
    EXPECT_TRUE(item.isSeparator());
}

TEST(ControlKitTest, LabelShowsItsCaptionWithoutAcceleratorMarks) {
    TLabel label(nullptr, "Label1");
    struct Case {
        const char* caption;
        const char* shown;
    };
    for (const Case& c :
         {Case{"&Nome", "Nome"}, Case{"A && B", "A & B"}, Case{"fine&", "fine&"}, Case{"", ""}}) {
        label.setProperty("Caption", QString(c.caption));
        EXPECT_EQ(label.text(), c.shown);
        EXPECT_EQ(label.property("Caption").toString(), c.caption);
    }
}

TEST(ControlKitTest, FontIsAnObjectWithNameAndCharset) {
    QWidget parent;
    parent.setFont(QFont("Liberation Serif"));
    auto* box = new TGroupBox(&parent, "GroupBox1");
    EXPECT_TRUE(box->property("ParentFont").toBool());
    EXPECT_EQ(box->Font()->Name(), "Liberation Serif");

    auto* font = qvariant_cast<QObject*>(box->property("Font"));
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->property("Charset").toInt(), 1);
    font->setProperty("Name", "Liberation Mono");
    font->setProperty("Charset", 238);
    EXPECT_EQ(box->font().family(), "Liberation Mono");
    EXPECT_EQ(box->Font()->Charset(), 238);
    EXPECT_FALSE(box->ParentFont());

    box->setProperty("ParentFont", true);
    EXPECT_EQ(box->font().family(), "Liberation Serif");
    box->setProperty("ParentFont", false);
    parent.setFont(QFont("Liberation Sans"));
    EXPECT_EQ(box->font().family(), "Liberation Serif");
}

TEST(ControlKitTest, StatusPanelsAreReachedThroughTheirCollection) {
    TStatusBar bar(nullptr, "StatusBar1");
    bar.AddPanel(80);
    bar.AddPanel();
    const auto panels = bar.property("Panels").value<QList<QObject*>>();
    ASSERT_EQ(panels.size(), 2);
    panels[1]->setProperty("Text", "Pronto");
    EXPECT_EQ(bar.Panel(1)->Text(), "Pronto");
    EXPECT_EQ(bar.Panel(0)->Width(), 80);
    EXPECT_EQ(bar.Panel(2), nullptr);
    bar.setProperty("SimplePanel", true);
    bar.setProperty("SimpleText", "Stampa...");
    EXPECT_EQ(bar.currentMessage(), "Stampa...");
    bar.SetSimplePanel(false);
    EXPECT_EQ(bar.currentMessage(), "");
}

TEST(ControlKitTest, ButtonClickByCodeAndByUser) {
    TButton button(nullptr, "Button1");
    int clicks = 0;
    button.OnClick = [&](QObject*) { ++clicks; };
    button.setProperty("Caption", "&OK");
    EXPECT_EQ(button.text(), "&OK");
    button.Click();
    button.click();
    EXPECT_EQ(clicks, 2);
}

} // namespace
} // namespace vx
