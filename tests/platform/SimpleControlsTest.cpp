#include "platform/graphics/Bitmap.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Image.h"
#include "platform/ui/Panel.h"

#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(SimpleControlsTest, EditReportsEveryChangeOfItsText) {
    TEdit edit(nullptr, "Edit1");
    int changes = 0;
    edit.OnChange = [&](QObject*) { ++changes; };
    edit.SetText("12");
    edit.setProperty("Text", "12");
    QTest::keyClicks(&edit, "3");
    EXPECT_EQ(edit.Text(), "123");
    EXPECT_EQ(changes, 2);
    edit.setProperty("ReadOnly", true);
    QTest::keyClicks(&edit, "4");
    EXPECT_EQ(edit.Text(), "123");
}

TEST(SimpleControlsTest, EditColourFillsTheBackground) {
    TEdit edit(nullptr, "Edit1");
    EXPECT_EQ(edit.Color(), clWindow);
    edit.resize(60, 24);
    edit.setProperty("Color", clInactiveBorder);
    EXPECT_EQ(edit.Color(), clInactiveBorder);
    const QImage shown = edit.grab().toImage();
    EXPECT_EQ(shown.pixelColor(30, 12), QColor(212, 208, 200));
    edit.SetColor(0x0000FF);
    EXPECT_EQ(edit.grab().toImage().pixelColor(30, 12), QColor(255, 0, 0));
}

TEST(SimpleControlsTest, CheckBoxClickFollowsRealChanges) {
    TCheckBox box(nullptr, "CheckBox1");
    box.SetCaption("Attiva");
    box.show();
    int clicks = 0;
    box.OnClick = [&](QObject*) { ++clicks; };
    box.SetChecked(true);
    box.SetChecked(true);
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(6, box.height() / 2));
    EXPECT_FALSE(box.Checked());
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(box.property("Caption").toString(), "Attiva");
}

TEST(SimpleControlsTest, PanelAndImageShowWhatTheyHold) {
    TPanel panel(nullptr, "Panel3");
    panel.setProperty("Caption", "Versione: 1");
    EXPECT_EQ(panel.Caption(), "Versione: 1");

    Bitmap red;
    red.SetSize(4, 2, 0x0000FF);
    TImage image(nullptr, "Image1");
    image.resize(8, 8);
    image.SetPicture(red);
    QImage shown = image.grab().toImage();
    EXPECT_EQ(shown.pixelColor(3, 1), QColor(255, 0, 0));
    EXPECT_NE(shown.pixelColor(6, 6), QColor(255, 0, 0));
    image.SetStretch(true);
    shown = image.grab().toImage();
    EXPECT_EQ(shown.pixelColor(6, 6), QColor(255, 0, 0));
}

} // namespace
} // namespace vx
