#include "platform/graphics/Colors.h"
#include "platform/ui/Shape.h"
#include "platform/ui/TrackBar.h"

#include <QColor>
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vx {
namespace {

QColor PixelOf(QWidget& widget, int x, int y) {
    return widget.grab().toImage().pixelColor(x, y);
}

TEST(ShapeTest, BrushInsideABlackFrameWithSystemColoursFromTheTable) {
    TShape shape(nullptr, "Shape1");
    shape.resize(40, 20);
    shape.SetBrushColor(0x0000FF);
    EXPECT_EQ(PixelOf(shape, 20, 10), QColor(255, 0, 0));
    EXPECT_EQ(PixelOf(shape, 1, 1), QColor(255, 0, 0));
    for (const QPoint frame : {QPoint(0, 0), QPoint(39, 19), QPoint(20, 0), QPoint(39, 10)})
        EXPECT_EQ(PixelOf(shape, frame.x(), frame.y()), QColor(Qt::black)) << frame.x();
    shape.setProperty("BrushColor", clBtnFace);
    EXPECT_EQ(shape.BrushColor(), clBtnFace);
    EXPECT_EQ(PixelOf(shape, 20, 10), QColor(212, 208, 200));
}

TEST(ShapeTest, PressesReachOnMouseDownInClientPixels) {
    TShape shape(nullptr, "Shape1");
    shape.resize(40, 20);
    shape.show();
    std::vector<std::string> presses;
    shape.OnMouseDown = [&](QObject* sender, TMouseButton button, TShiftState shift, int32_t x,
                            int32_t y) {
        presses.push_back(sender->objectName().toStdString() + " " + std::to_string(button) + " " +
                          std::to_string(shift & ssShift) + " " + std::to_string(x) + "," +
                          std::to_string(y));
    };
    shape.SetBrushColor(clRed); // code fires nothing
    QTest::mousePress(&shape, Qt::LeftButton, {}, QPoint(5, 7));
    QTest::mouseRelease(&shape, Qt::LeftButton, {}, QPoint(5, 7));
    QTest::mousePress(&shape, Qt::RightButton, Qt::ShiftModifier, QPoint(30, 2));
    EXPECT_EQ(presses, (std::vector<std::string>{"Shape1 0 0 5,7", "Shape1 1 1 30,2"}));
}

TEST(TrackBarTest, PositionStaysWithinTheBoundsAndEveryChangeFires) {
    TTrackBar bar(nullptr, "TrackBar1");
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 10);
    EXPECT_EQ(bar.Position(), 0);
    bar.SetMin(2);
    bar.SetMax(7);
    std::vector<int> changes;
    bar.OnChange = [&](QObject*) { changes.push_back(bar.Position()); };

    struct Case {
        int set;
        int position;
    };
    for (const Case& c : {Case{9, 7}, Case{1, 2}, Case{2, 2}, Case{3, 3}}) {
        bar.setProperty("Position", c.set);
        EXPECT_EQ(bar.Position(), c.position) << c.set;
    }
    EXPECT_EQ(changes, (std::vector<int>{7, 2, 3})) << "setting the same position fires nothing";

    changes.clear();
    bar.show();
    bar.setFocus();
    QTest::keyClick(&bar, Qt::Key_Right);
    EXPECT_EQ(bar.Position(), 4);
    bar.SetMin(5);
    EXPECT_EQ(bar.Position(), 5);
    bar.SetMin(8);
    EXPECT_EQ(bar.Max(), 8) << "Max follows a Min above it";
    EXPECT_EQ(bar.Position(), 8);
    EXPECT_EQ(changes, (std::vector<int>{4, 5, 8}));
}

} // namespace
} // namespace vx
