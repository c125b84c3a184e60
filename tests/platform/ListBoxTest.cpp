#include "platform/ui/ListBox.h"
#include "platform/ui/RadioGroup.h"

#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <string>

namespace vx {
namespace {

QPoint Centre(TListBox& list, int row) {
    return list.visualItemRect(list.item(row)).center();
}

TEST(ListBoxTest, ItemsChangeInPlaceKeepingTheChoiceSilently) {
    TListBox list(nullptr, "ListBox1");
    int clicks = 0;
    list.OnClick = [&](QObject*) { ++clicks; };
    list.SetItems({"uno", "due", "tre"});
    list.SetItemIndex(1);
    struct Case {
        QStringList items;
        int index;
    };
    const Case cases[] = {
        {{"one", "two", "three"}, 1},
        {{"one", "two", "three", "four"}, 1},
        {{"eins"}, -1},
    };
    for (const Case& c : cases) {
        list.setProperty("Items", c.items);
        EXPECT_EQ(list.Items(), c.items);
        EXPECT_EQ(list.ItemIndex(), c.index);
    }
    list.SetItemIndex(0);
    list.SetItemIndex(5);
    EXPECT_EQ(list.ItemIndex(), -1);
    list.Delete(3);
    list.Delete(-1);
    list.Add("zwei");
    list.Delete(0);
    EXPECT_EQ(list.Items(), QStringList{"zwei"});
    EXPECT_EQ(clicks, 0);
}

TEST(ListBoxTest, UserEventsAndKeysThatTheHandlerSwallows) {
    TListBox list(nullptr, "ListBox1");
    list.SetItems({"a", "b", "c"});
    list.show();
    std::string events;
    list.OnClick = [&](QObject*) { events += "click" + std::to_string(list.ItemIndex()) + " "; };
    list.OnDblClick = [&](QObject*) { events += "dbl" + std::to_string(list.ItemIndex()) + " "; };
    list.OnKeyDown = [&](QObject*, int& key, Qt::KeyboardModifiers) {
        events += "key ";
        if (key == Qt::Key_Up)
            key = 0;
    };
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, Centre(list, 1));
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, Centre(list, 1));
    QTest::keyClick(&list, Qt::Key_Down);
    QTest::keyClick(&list, Qt::Key_Up); // swallowed by the handler
    EXPECT_EQ(list.ItemIndex(), 2);
    EXPECT_EQ(events.substr(0, 7), "click1 ");
    EXPECT_NE(events.find("dbl1 "), std::string::npos);
    EXPECT_TRUE(events.ends_with("dbl1 key click2 key ")) << events;
}

TEST(RadioGroupTest, ChoiceFiresOnUserAndCodeChangesOnly) {
    TRadioGroup group(nullptr, "RadioGroup1");
    group.SetItems({"Automatico", "Indirizzato"});
    EXPECT_EQ(group.ItemIndex(), -1);
    std::vector<int> clicks;
    group.OnClick = [&](QObject*) { clicks.push_back(group.ItemIndex()); };
    group.resize(200, 100);
    group.show();

    group.SetItemIndex(1);
    group.SetItemIndex(1);
    QTest::mouseClick(group.Button(0), Qt::LeftButton, {},
                      QPoint(6, group.Button(0)->height() / 2));
    QTest::mouseClick(group.Button(0), Qt::LeftButton, {},
                      QPoint(6, group.Button(0)->height() / 2));
    EXPECT_EQ(clicks, (std::vector<int>{1, 0}));
    EXPECT_TRUE(group.Button(0)->isChecked());
    EXPECT_FALSE(group.Button(1)->isChecked());

    // Texts of another language keep the choice; fewer items drop a choice beyond them.
    group.setProperty("Items", QStringList{"Automatic", "Addressed"});
    EXPECT_EQ(group.ItemIndex(), 0);
    EXPECT_EQ(group.Button(0)->text(), "Automatic");
    group.SetItemIndex(1);
    group.SetItems({"Only"});
    EXPECT_EQ(group.ItemIndex(), -1);
    EXPECT_EQ(group.Button(1), nullptr);
    group.SetItemIndex(4);
    EXPECT_EQ(group.ItemIndex(), -1);
    EXPECT_FALSE(group.Button(0)->isChecked());
    EXPECT_EQ(clicks, (std::vector<int>{1, 0, 1}));
}

} // namespace
} // namespace vx
