#include "platform/ui/ListBox.h"
#include "platform/graphics/Colors.h"
#include "platform/ui/CheckListBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/RadioGroup.h"

#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vx {
namespace {

QPoint Centre(TListBox& list, int row) {
    return list.ItemRect(row).center();
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

TEST(ListBoxTest, MousePressesAndMovesInClientPixelsAfterTheChoice) {
    TListBox list(nullptr, "ListBox1");
    list.SetItems({"Time", "Force", "Stroke"});
    list.resize(120, 100);
    list.show();
    std::vector<std::string> events;
    list.OnMouseDown = [&](QObject* sender, TMouseButton button, TShiftState, int32_t x,
                           int32_t y) {
        EXPECT_EQ(sender, &list);
        events.push_back("down " + std::to_string(button) + " " + std::to_string(x) + "," +
                         std::to_string(y) + " item " + std::to_string(list.ItemIndex()));
    };
    list.OnMouseMove = [&](QObject*, TShiftState, int32_t x, int32_t y) {
        events.push_back("move " + std::to_string(x) + "," + std::to_string(y));
    };
    const QPoint force = Centre(list, 1);
    QTest::mousePress(list.viewport(), Qt::LeftButton, {}, force);
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, force);
    QTest::mouseMove(list.viewport(), QPoint(7, 9));
    const std::string at = std::to_string(force.x()) + "," + std::to_string(force.y());
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events.front(), "down 0 " + at + " item 1");
    EXPECT_EQ(events.back(), "move 7,9");
}

TEST(ListBoxTest, SetItemsReplacesTheListAndAddAndDeleteFollow) {
    TListBox list(nullptr, "ListBox1");
    list.show();
    struct Case {
        QStringList items;
        int choose;
        int index; // after the next change
    };
    const Case cases[] = {{{"a", "b", "c"}, 2, 2}, {{"x"}, 0, 0}, {{}, -1, -1}, {{"p", "q"}, 1, 1}};
    for (const Case& c : cases) {
        list.SetItems(c.items);
        list.SetItemIndex(c.choose);
        EXPECT_EQ(list.Items(), c.items);
        EXPECT_EQ(list.Count(), c.items.size());
        EXPECT_EQ(list.ItemIndex(), c.index);
    }
    list.Add("r");
    list.Delete(0);
    EXPECT_EQ(list.Items(), (QStringList{"q", "r"}));
    EXPECT_EQ(list.Item(1), "r");
    EXPECT_EQ(list.Item(2), "");
    EXPECT_TRUE(list.ItemRect(5).isNull());
}

TEST(CheckListBoxTest, CodeChecksSilentlyAndTheUsersToggleFires) {
    TCheckListBox list(nullptr, "CheckListBox1");
    list.SetItems({"a", "b", "c"});
    list.resize(120, 100);
    list.show();
    int clicks = 0;
    list.OnClickCheck = [&](QObject* sender) {
        EXPECT_EQ(sender, &list);
        ++clicks;
    };
    list.SetChecked(1, true);
    list.SetChecked(7, true);
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(list.Checked(1));
    EXPECT_FALSE(list.Checked(7));

    QStyleOptionViewItem option;
    option.initFrom(list.viewport());
    option.rect = list.ItemRect(2);
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.text = "c";
    const QPoint box = list.style()
                           ->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, &list)
                           .center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, box);
    EXPECT_TRUE(list.Checked(2));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(list.Items(), (QStringList{"a", "b", "c"}));

    // The boxes stay with their positions; a new item comes clear.
    list.Add("d");
    list.Delete(0);
    EXPECT_EQ(std::vector<bool>({list.Checked(0), list.Checked(1), list.Checked(2)}),
              std::vector<bool>({true, true, false}));
    EXPECT_EQ(clicks, 1);
}

// What OnDrawItem was asked to draw: index, state, rectangle.
struct DrawCall {
    int index;
    TOwnerDrawState state;
    TRect rect;
};

TEST(OwnerDrawTest, AListDrawsItsItemsThroughOnDrawItemOnAFilledBackground) {
    TListBox list(nullptr, "ListBox1");
    list.SetItems({"zero", "one", "two"});
    list.SetStyle(lbOwnerDrawFixed);
    list.SetItemHeight(20);
    list.resize(120, 100);
    list.show();
    std::vector<DrawCall> calls;
    list.OnDrawItem = [&](QObject* sender, int index, const TRect& rect, TOwnerDrawState state) {
        ASSERT_EQ(sender, &list);
        ASSERT_NE(list.Canvas(), nullptr);
        calls.push_back({index, state, rect});
        if (index == 1) {
            list.Canvas()->Brush.Color = clGreen;
            list.Canvas()->FillRect(rect);
        }
    };
    EXPECT_EQ(list.Canvas(), nullptr);
    const QRect one = list.ItemRect(1);
    EXPECT_EQ(one.height(), 20);
    const QImage image = list.viewport()->grab().toImage();
    EXPECT_EQ(image.pixelColor(one.center()), QColor(0, 128, 0));
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[1].index, 1);
    EXPECT_EQ(calls[1].rect, (TRect{one.left(), one.top(), one.right() + 1, one.bottom() + 1}));
    EXPECT_EQ(list.Canvas(), nullptr);

    // The chosen item's background is filled in the highlight colour before the handler,
    // which leaves it as it is.
    list.SetItemIndex(2);
    calls.clear();
    const QImage chosenImage = list.viewport()->grab().toImage();
    const auto chosen =
        std::find_if(calls.begin(), calls.end(), [](const DrawCall& c) { return c.index == 2; });
    ASSERT_NE(chosen, calls.end());
    EXPECT_TRUE(chosen->state & odSelected);
    const TColor highlight = ColorToRGB(clHighlight);
    EXPECT_EQ(chosenImage.pixelColor(list.ItemRect(2).center()),
              QColor(GetRValue(highlight), GetGValue(highlight), GetBValue(highlight)));
}

TEST(OwnerDrawTest, AClosedComboDrawsItsCurrentItemThroughOnDrawItem) {
    TComboBox combo(nullptr, "ComboBox3", TComboBoxStyle::csOwnerDrawFixed);
    EXPECT_FALSE(combo.isEditable());
    combo.SetItems({"solid", "dot", "dash"});
    combo.SetItemIndex(2);
    combo.resize(120, 24);
    std::vector<DrawCall> calls;
    combo.OnDrawItem = [&](QObject*, int index, const TRect& rect, TOwnerDrawState state) {
        ASSERT_NE(combo.Canvas(), nullptr);
        calls.push_back({index, state, rect});
        combo.Canvas()->Brush.Color = clGreen;
        combo.Canvas()->FillRect(rect);
    };
    const QImage image = combo.grab().toImage();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].index, 2);
    EXPECT_TRUE(calls[0].state & odComboBoxEdit);
    const TRect& r = calls[0].rect;
    EXPECT_EQ(image.pixelColor((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2), QColor(0, 128, 0));

    // Back to a plain list: Qt draws the item.
    combo.SetStyle(TComboBoxStyle::csDropDownList);
    calls.clear();
    combo.grab();
    EXPECT_TRUE(calls.empty());
}

TEST(OwnerDrawTest, AMillionItemsGoInAtOnceAndTheComboKeepsItsWidth) {
    QStringList texts;
    const int n = 1000000;
    texts.reserve(n);
    for (int i = 0; i < n; ++i)
        texts << QString::number(i);
    TListBox list(nullptr, "ListBox1");
    list.resize(120, 100);
    list.show();
    list.SetItems(texts);
    EXPECT_EQ(list.Count(), n);
    EXPECT_EQ(list.Item(n - 1), "999999");
    EXPECT_EQ(list.ItemRect(n - 1).height(), list.ItemRect(0).height());

    TComboBox combo(nullptr, "ComboBox1");
    combo.resize(90, 24);
    combo.show();
    const int width = combo.sizeHint().width();
    combo.SetItems(texts);
    combo.SetItemIndex(n - 1);
    EXPECT_EQ(combo.Count(), n);
    EXPECT_EQ(combo.Text(), "999999");
    EXPECT_EQ(combo.sizeHint().width(), width);
    EXPECT_EQ(combo.width(), 90);
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
