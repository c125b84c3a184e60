#include "document/Sectionmanager.h"

#include "platform/runtime/Streams.h"
#include "platform/ui/QtInput.h"
#include "report/Asse.h"
#include "report/Intestazione.h"
#include "report/WPGraph.h"
#include "report/WPSection.h"

#include "support/TestSupport.h"

#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace vx::test {
namespace {

struct Row {
    int Percent;
    int Axes;
};

// A shown manager of the given size whose side holds the rows.
std::unique_ptr<TSectionmanager> Manager(int w, int h, std::initializer_list<Row> rows) {
    auto m = std::make_unique<TSectionmanager>(nullptr, "Sectionmanager1");
    m->resize(w, h);
    TWPSide& side = m->Side();
    for (const Row& row : rows) {
        side.AddSections(1);
        TWPSection& section = *side.GetSection(side.SectionCount() - 1);
        section.Size = row.Percent;
        section.AddAxes(row.Axes);
    }
    m->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(m.get()));
    return m;
}

std::vector<int> Sizes(const TSectionmanager& m) {
    std::vector<int> sizes;
    for (int k = 0; k < m.Side().SectionCount(); ++k)
        sizes.push_back(m.Side().GetSection(k)->Size);
    return sizes;
}

std::vector<int> AxisCounts(const TSectionmanager& m) {
    std::vector<int> counts;
    for (int k = 0; k < m.Side().SectionCount(); ++k)
        counts.push_back(m.Side().GetSection(k)->AxisCount());
    return counts;
}

QColor PixelAt(TSectionmanager& m, int x, int y) {
    return m.grab().toImage().pixelColor(x, y);
}

void Drag(TSectionmanager& m, int from, int to) {
    QTest::mousePress(&m, Qt::LeftButton, {}, QPoint(20, from));
    QTest::mouseMove(&m, QPoint(20, to));
    QTest::mouseRelease(&m, Qt::LeftButton, {}, QPoint(20, to));
}

TEST(SectionmanagerTest, StartsEmptyAt50By80WithTheSwitchOff) {
    TSectionmanager m;
    EXPECT_EQ(m.size(), QSize(50, 80));
    EXPECT_EQ(m.Side().SectionCount(), 0);
    EXPECT_FALSE(m.Resize);
    EXPECT_FALSE(m.Dragging());
}

TEST(SectionmanagerTest, AddRowSharesTheHeightEquallyUpToEightRows) {
    const struct {
        int Adds;
        std::vector<int> Sizes;
    } cases[] = {
        {1, {100}},
        {3, {33, 33, 34}},
        {7, {14, 14, 14, 14, 14, 14, 16}},
        {8, {12, 12, 12, 12, 12, 12, 12, 16}},
        {9, {12, 12, 12, 12, 12, 12, 12, 16}},
    };
    for (const auto& c : cases) {
        TSectionmanager m;
        for (int i = 0; i < c.Adds; ++i)
            m.AddRow();
        EXPECT_EQ(Sizes(m), c.Sizes) << c.Adds << " rows added";
        EXPECT_EQ(AxisCounts(m), std::vector<int>(c.Sizes.size(), 1)) << c.Adds;
    }
}

TEST(SectionmanagerTest, ANewGraphsSidePlusARowIsHalfAndHalf) {
    TWPGraph graph(nullptr);
    TMemoryStream stream;
    graph.LeftSide().WriteToStream(stream);
    stream.SetPosition(0);
    TSectionmanager m;
    m.Side().ReadFromStream(stream);
    m.AddRow();
    EXPECT_EQ(Sizes(m), (std::vector<int>{50, 50}));
    EXPECT_EQ(AxisCounts(m), (std::vector<int>{1, 1}));
}

TEST(SectionmanagerTest, RowsCellsAndBordersFollowThePercents) {
    auto m = Manager(90, 120, {{33, 1}, {33, 4}, {34, 2}});
    const int spans[3][2] = {{0, 40}, {39, 79}, {78, 120}};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(m->RowTop(k), spans[k][0]) << k;
        EXPECT_EQ(m->RowBottom(k), spans[k][1]) << k;
    }
    const struct {
        int X, Y, Column, Row;
    } cells[] = {
        {10, 40, 0, 0}, {10, 41, 0, 1},  {44, 50, 1, 1},
        {45, 50, 2, 1}, {89, 119, 1, 2}, {10, 121, -1, -1},
    };
    for (const auto& c : cells) {
        int column = 7, row = 7;
        m->GetCellAt(c.X, c.Y, column, row);
        EXPECT_EQ(column, c.Column) << c.X << "," << c.Y;
        EXPECT_EQ(row, c.Row) << c.X << "," << c.Y;
    }
    const int borders[][2] = {{38, 0}, {40, 0}, {42, 0},  {37, -1}, {43, -1},
                              {78, 1}, {82, 1}, {60, -1}, {120, -1}};
    for (const auto& b : borders)
        EXPECT_EQ(m->BorderAt(b[0]), b[1]) << b[0];
}

TEST(SectionmanagerTest, OneRowHasNoBorderAndARowWithoutAxesNoCell) {
    auto m = Manager(90, 120, {{100, 1}});
    for (int y : {0, 60, 119, 120})
        EXPECT_EQ(m->BorderAt(y), -1) << y;
    // A side stream may hold a section without axes: it has a row but no column.
    auto bare = Manager(90, 120, {{50, 0}, {50, 2}});
    int column = 7, row = 7;
    bare->GetCellAt(30, 20, column, row);
    EXPECT_EQ(row, 0);
    EXPECT_EQ(column, -1);
    EXPECT_EQ(PixelAt(*bare, 60, 30), bare->palette().color(QPalette::Window))
        << "no cell is painted";
    bare->DeleteColumn(0, -1);
    EXPECT_EQ(Sizes(*bare), std::vector<int>{100});
    EXPECT_EQ(AxisCounts(*bare), std::vector<int>{2});
}

TEST(SectionmanagerTest, TheSplitCursorShowsOverABorderOnlyWithTheSwitchOn) {
    auto m = Manager(90, 120, {{33, 1}, {33, 4}, {34, 2}});
    const Qt::CursorShape split = CursorShapeOf(crVSplit);
    ASSERT_NE(split, Qt::ArrowCursor);
    QTest::mouseMove(m.get(), QPoint(20, 80));
    EXPECT_EQ(m->cursor().shape(), Qt::ArrowCursor) << "switch off";
    QTest::mousePress(m.get(), Qt::LeftButton, {}, QPoint(20, 80));
    EXPECT_FALSE(m->Dragging());
    QTest::mouseRelease(m.get(), Qt::LeftButton, {}, QPoint(20, 80));
    EXPECT_EQ(Sizes(*m), (std::vector<int>{33, 33, 34}));

    m->Resize = true;
    QTest::mouseMove(m.get(), QPoint(30, 80));
    EXPECT_EQ(m->cursor().shape(), split);
    QTest::mouseMove(m.get(), QPoint(20, 60));
    EXPECT_EQ(m->cursor().shape(), Qt::ArrowCursor);
}

TEST(SectionmanagerTest, DraggingABorderSharesTheTwoRowsAnew) {
    auto half = Manager(50, 200, {{50, 1}, {50, 1}});
    half->Resize = true;
    Drag(*half, 100, 60);
    EXPECT_EQ(Sizes(*half), (std::vector<int>{30, 70}));

    auto m = Manager(90, 120, {{33, 1}, {33, 4}, {34, 2}});
    m->Resize = true;
    QTest::mousePress(m.get(), Qt::LeftButton, {}, QPoint(20, 81));
    ASSERT_TRUE(m->Dragging());
    EXPECT_EQ(m->DragLine(), 80);
    EXPECT_EQ(m->DragLimit(), (TRect{0, 40, 90, 121}));
    QTest::mouseMove(m.get(), QPoint(20, 100));
    EXPECT_EQ(m->DragLine(), 100);
    QTest::mouseRelease(m.get(), Qt::LeftButton, {}, QPoint(20, 100));
    // 50 and 18 (17.5 to even) sum to 101 with the first row: the upper row gives one back.
    EXPECT_EQ(Sizes(*m), (std::vector<int>{33, 49, 18}));

    QTest::mousePress(m.get(), Qt::LeftButton, {}, QPoint(20, 99));
    ASSERT_TRUE(m->Dragging());
    QTest::mouseMove(m.get(), QPoint(20, 119));
    EXPECT_EQ(m->DragLine(), 116) << "5 pixels from the limit";
    EXPECT_EQ(PixelAt(*m, 70, 116), QColor(Qt::black)) << "the line is drawn";
    QTest::mouseRelease(m.get(), Qt::LeftButton, {}, QPoint(20, 119));
    EXPECT_EQ(Sizes(*m), (std::vector<int>{33, 63, 4}));
    EXPECT_FALSE(m->Dragging());
    EXPECT_EQ(PixelAt(*m, 70, 116), QColor(Qt::white)) << "no line remains";
    EXPECT_EQ(m->cursor().shape(), Qt::ArrowCursor);

    // Upwards the upper row keeps 5 pixels.
    QTest::mousePress(m.get(), Qt::LeftButton, {}, QPoint(20, 40));
    QTest::mouseMove(m.get(), QPoint(20, 2));
    EXPECT_EQ(m->DragLine(), 5);
    QTest::mouseRelease(m.get(), Qt::LeftButton, {}, QPoint(20, 2));
    EXPECT_EQ(Sizes(*m), (std::vector<int>{4, 92, 4})) << "92.5 to even";
}

TEST(SectionmanagerTest, DeletingColumnsAndRows) {
    auto m = Manager(90, 120, {{20, 2}, {30, 1}, {50, 3}});
    m->DeleteColumn(2, 1);
    EXPECT_EQ(Sizes(*m), (std::vector<int>{20, 30, 50}));
    EXPECT_EQ(AxisCounts(*m), (std::vector<int>{2, 1, 2}));
    m->DeleteColumn(1, 0);
    EXPECT_EQ(Sizes(*m), (std::vector<int>{50, 50}));
    EXPECT_EQ(AxisCounts(*m), (std::vector<int>{2, 2}));
    m->AddColumn(0);
    EXPECT_EQ(AxisCounts(*m), (std::vector<int>{3, 2}));

    auto single = Manager(100, 100, {{100, 1}});
    single->DeleteRow(0);
    EXPECT_EQ(single->Side().SectionCount(), 0);
    EXPECT_EQ(PixelAt(*single, 50, 50), QColor(128, 128, 128));
}

TEST(SectionmanagerTest, CellsAreBlueWhenTheirAxisIsSelected) {
    auto m = Manager(100, 100, {{50, 2}, {50, 1}});
    m->Side().GetSection(0)->GetAxis(1)->Selected = true;
    const QImage image = m->grab().toImage();
    EXPECT_EQ(image.pixelColor(75, 25), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(40, 35), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(75, 75), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(50, 25), QColor(Qt::black)) << "the cells' frames";

    auto empty = Manager(100, 100, {});
    EXPECT_EQ(PixelAt(*empty, 50, 50), QColor(128, 128, 128));
}

TEST(SectionmanagerTest, AClickKeepsWhereTheMouseWas) {
    auto m = Manager(90, 120, {{100, 1}});
    std::vector<QPoint> clicks;
    m->OnClick = [&](QObject* sender) {
        EXPECT_EQ(sender, m.get());
        clicks.push_back(m->ClickPoint());
    };
    QTest::mouseClick(m.get(), Qt::LeftButton, {}, QPoint(33, 44));
    QTest::mouseClick(m.get(), Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, std::vector<QPoint>{QPoint(33, 44)});
}

} // namespace
} // namespace vx::test
