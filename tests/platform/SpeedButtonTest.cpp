#include "platform/ui/SpeedButton.h"

#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <string>

namespace vx {
namespace {

TEST(SpeedButtonTest, GroupsKeepOneButtonDown) {
    QWidget parent;
    TSpeedButton a(&parent, "A"), b(&parent, "B"), c(&parent, "C");
    a.SetGroupIndex(1);
    b.SetGroupIndex(1);
    c.SetGroupIndex(2); // another group
    c.SetDown(true);
    std::string clicks;
    for (TSpeedButton* button : {&a, &b, &c})
        button->OnClick = [&](QObject* s) { clicks += s->objectName().toStdString(); };
    parent.show();

    struct Step {
        TSpeedButton* clicked;
        bool a, b;
    };
    const Step steps[] = {
        {&a, true, false},
        {&b, false, true},
        {&b, false, true}, // a down button without AllowAllUp stays down
        {&a, true, false},
    };
    for (const Step& s : steps) {
        QTest::mouseClick(s.clicked, Qt::LeftButton);
        EXPECT_EQ(a.Down(), s.a);
        EXPECT_EQ(b.Down(), s.b);
        EXPECT_TRUE(c.Down());
    }
    EXPECT_EQ(clicks, "ABBA");
    a.SetDown(false); // refused: the group would have none down
    EXPECT_TRUE(a.Down());
    b.SetDown(true);
    EXPECT_FALSE(a.Down());
    EXPECT_EQ(clicks, "ABBA"); // changes by code fire nothing
}

TEST(SpeedButtonTest, AllowAllUpMakesAToggleAndGroupZeroIsAPlainButton) {
    QWidget parent;
    TSpeedButton toggle(&parent, "Toggle"), plain(&parent, "Plain");
    toggle.SetGroupIndex(1);
    toggle.SetAllowAllUp(true);
    int clicks = 0;
    toggle.OnClick = [&](QObject*) { ++clicks; };
    plain.OnClick = [&](QObject*) { ++clicks; };
    toggle.Click();
    EXPECT_TRUE(toggle.Down());
    toggle.Click();
    EXPECT_FALSE(toggle.Down());
    toggle.setProperty("Down", true);
    EXPECT_TRUE(toggle.Down());
    toggle.SetGroupIndex(0);
    EXPECT_FALSE(toggle.Down());

    plain.SetDown(true);
    plain.Click();
    EXPECT_FALSE(plain.Down());
    EXPECT_EQ(clicks, 3);
}

} // namespace
} // namespace vx
