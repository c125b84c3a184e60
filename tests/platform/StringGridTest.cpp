#include "platform/ui/StringGrid.h"

#include "platform/graphics/Colors.h"

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace vx {
namespace {

// A grid on screen, so that cells have rectangles and take the focus.
std::unique_ptr<TStringGrid> ShownGrid(int cols = 5, int rows = 5) {
    auto grid = std::make_unique<TStringGrid>(nullptr, "Grid1");
    grid->SetColCount(cols);
    grid->SetRowCount(rows);
    grid->resize(400, 200);
    grid->show();
    grid->activateWindow();
    grid->setFocus();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(grid.get()));
    return grid;
}

QPoint CenterOf(const TStringGrid& grid, int col, int row) {
    const TRect r = grid.CellRect(col, row);
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}

// What the window system delivers for a double click.
void DoubleClick(TStringGrid& grid, QPoint p) {
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, p);
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, p);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, p);
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, p);
}

QLineEdit* EditorOf(TStringGrid& grid) {
    return grid.viewport()->findChild<QLineEdit*>();
}

TEST(StringGridTest, StartsAsTheClassLibrarysGrid) {
    TStringGrid grid;
    EXPECT_EQ(grid.ColCount(), 5);
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.FixedCols(), 1);
    EXPECT_EQ(grid.FixedRows(), 1);
    EXPECT_EQ(grid.Col(), 1);
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(grid.Selection(), (TGridRect{1, 1, 1, 1}));
    EXPECT_EQ(grid.ColWidths(0), 64);
    EXPECT_EQ(grid.RowHeights(0), 24);
    EXPECT_EQ(grid.Options(), goRangeSelect);
    EXPECT_FALSE(grid.EditorMode());
}

TEST(StringGridTest, CellsHoldCp1252BytesAndShowThemAsUnicode) {
    TStringGrid grid;
    grid.SetCells(2, 3,
                  "25 \xB0"
                  "C");
    EXPECT_EQ(grid.Cells(2, 3), "25 \xB0"
                                "C");
    EXPECT_EQ(grid.model()->index(3, 2).data().toString(), QString::fromUtf8("25 °C"));
    // Outside the grid: nothing is written and nothing is read.
    for (auto [c, r] : {std::pair{-1, 0}, {0, -1}, {5, 0}, {0, 5}}) {
        grid.SetCells(c, r, "x");
        EXPECT_EQ(grid.Cells(c, r), "") << c << "," << r;
    }
}

TEST(StringGridTest, ResizingKeepsTheCellsThatStayAndBoundsTheFixedCells) {
    TStringGrid grid;
    grid.SetCells(1, 1, "a");
    grid.SetCells(4, 4, "z");
    grid.SetColWidths(1, 30);
    grid.SetColCount(8);
    grid.SetRowCount(7);
    EXPECT_EQ(grid.Cells(1, 1), "a");
    EXPECT_EQ(grid.Cells(4, 4), "z");
    EXPECT_EQ(grid.Cells(7, 6), "");
    EXPECT_EQ(grid.ColWidths(1), 30);
    EXPECT_EQ(grid.ColWidths(7), 64);

    grid.SetColCount(4);
    grid.SetColCount(8);
    EXPECT_EQ(grid.Cells(4, 4), "") << "a cell cut off comes back empty";
    EXPECT_EQ(grid.Cells(1, 1), "a");

    grid.SetColCount(1);
    EXPECT_EQ(grid.FixedCols(), 0);
    grid.SetColCount(0);
    EXPECT_EQ(grid.ColCount(), 1);
    EXPECT_THROW(grid.SetFixedCols(1), EInvalidGridOperation);
    EXPECT_THROW(grid.SetFixedRows(7), EInvalidGridOperation);
    EXPECT_THROW(grid.SetFixedRows(-1), EInvalidGridOperation);
    EXPECT_EQ(grid.FixedRows(), 1);
}

TEST(StringGridTest, CurrentCellAndSelectionSetByCodeStayOutOfTheFixedCells) {
    TStringGrid grid;
    grid.SetColCount(6);
    grid.SetRowCount(6);
    struct Case {
        TGridRect set;
        TGridRect expected;
    };
    const Case cases[] = {
        {{2, 2, 3, 4}, {2, 2, 3, 4}},
        {{3, 4, 2, 2}, {2, 2, 3, 4}}, // edges in any order
        {{0, 0, 9, 9}, {1, 1, 5, 5}}, // clamped to the cells that are not fixed
    };
    for (const Case& c : cases) {
        grid.SetSelection(c.set);
        EXPECT_EQ(grid.Selection(), c.expected);
        EXPECT_EQ(grid.Col(), c.expected.Right);
        EXPECT_EQ(grid.Row(), c.expected.Bottom);
    }
    grid.SetRow(2);
    grid.SetCol(3);
    EXPECT_EQ(grid.Selection(), (TGridRect{3, 2, 3, 2}));
    grid.SetCol(0); // fixed
    grid.SetRow(6); // outside
    EXPECT_EQ(grid.Col(), 3);
    EXPECT_EQ(grid.Row(), 2);

    grid.SetFixedCols(4);
    EXPECT_EQ(grid.Col(), 4) << "the current cell leaves the cells that became fixed";
}

TEST(StringGridTest, ChangesByCodeFireNothing) {
    auto grid = ShownGrid();
    std::vector<std::string> events;
    grid->OnClick = [&](QObject*) { events.push_back("click"); };
    grid->OnSetEditText = [&](QObject*, int, int, const std::string&) { events.push_back("set"); };
    grid->OnKeyDown = [&](QObject*, uint16_t&, TShiftState) { events.push_back("key"); };
    grid->OnMouseDown = [&](QObject*, TMouseButton, TShiftState, int, int) {
        events.push_back("down");
    };
    grid->SetCells(1, 1, "a");
    grid->SetColCount(6);
    grid->SetRow(3);
    grid->SetSelection({1, 1, 2, 2});
    grid->SetOptions(goEditing);
    grid->SetEditorMode(true);
    grid->SetEditorMode(false);
    EXPECT_TRUE(events.empty());
}

TEST(StringGridTest, CellRectAndMouseToCellAgree) {
    auto grid = ShownGrid();
    grid->SetColWidths(1, 40);
    grid->SetRowHeights(2, 30);
    const TRect r = grid->CellRect(1, 2);
    EXPECT_EQ(r, (TRect{65, 50, 105, 80})) << "cells 64 wide plus one grid line";
    int col = 0, row = 0;
    grid->MouseToCell(r.Left, r.Top, col, row);
    EXPECT_EQ(col, 1);
    EXPECT_EQ(row, 2);
    grid->MouseToCell(r.Right - 1, r.Bottom - 1, col, row);
    EXPECT_EQ(col, 1);
    EXPECT_EQ(row, 2);
    grid->MouseToCell(399, 199, col, row);
    EXPECT_EQ(col, -1);
    EXPECT_EQ(row, -1);
    EXPECT_EQ(grid->CellRect(9, 9), TRect{});
    grid->SetRowCount(100);
    EXPECT_EQ(grid->CellRect(1, 99), TRect{}) << "scrolled out of view";
}

TEST(StringGridTest, UserClicksSelectAndReportButFixedCellsKeepTheSelection) {
    auto grid = ShownGrid();
    std::vector<std::string> events;
    grid->OnMouseDown = [&](QObject* s, TMouseButton b, TShiftState shift, int, int) {
        EXPECT_EQ(s, grid.get());
        events.push_back("down " + std::to_string(b) + " " + std::to_string(shift & ssLeft));
    };
    grid->OnMouseUp = [&](QObject*, TMouseButton, TShiftState, int, int) {
        events.push_back("up");
    };
    grid->OnClick = [&](QObject*) { events.push_back("click"); };
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CenterOf(*grid, 3, 2));
    EXPECT_EQ(grid->Selection(), (TGridRect{3, 2, 3, 2}));
    EXPECT_EQ(events, (std::vector<std::string>{"down 0 8", "up", "click"}));

    events.clear();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CenterOf(*grid, 0, 3));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CenterOf(*grid, 2, 0));
    EXPECT_EQ(grid->Selection(), (TGridRect{3, 2, 3, 2}));
    EXPECT_EQ(events, (std::vector<std::string>{"down 0 8", "up", "down 0 8", "up"}));

    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ShiftModifier, CenterOf(*grid, 1, 4));
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 2, 3, 4}));
}

TEST(StringGridTest, EditorOpensOnlyWithTheEditingOption) {
    auto grid = ShownGrid();
    grid->SetCells(1, 1, "old");
    QTest::keyClick(grid.get(), Qt::Key_F2);
    QTest::keyClick(grid.get(), Qt::Key_A);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CenterOf(*grid, 1, 1));
    grid->SetEditorMode(true);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(grid->Cells(1, 1), "old");

    grid->SetOptions(goEditing | goRangeSelect);
    QTest::keyClick(grid.get(), Qt::Key_F2);
    ASSERT_TRUE(grid->EditorMode());
    ASSERT_NE(EditorOf(*grid), nullptr);
    EXPECT_EQ(EditorOf(*grid)->text(), "old");
    QTest::keyClick(EditorOf(*grid), Qt::Key_Escape);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(grid->Cells(1, 1), "old");
}

TEST(StringGridTest, TypingStartsAnEditThatReplacesTheCellAndReportsIt) {
    auto grid = ShownGrid();
    grid->SetOptions(goEditing);
    grid->SetCells(1, 1, "old");
    std::vector<std::string> set;
    grid->OnSetEditText = [&](QObject*, int c, int r, const std::string& t) {
        set.push_back(std::to_string(c) + "," + std::to_string(r) + " " + t);
    };
    QTest::keyClicks(grid.get(), QString::fromUtf8("°"));
    ASSERT_TRUE(grid->EditorMode());
    QTest::keyClicks(EditorOf(*grid), "x");
    QTest::keyClick(EditorOf(*grid), Qt::Key_Return);
    QApplication::processEvents(); // the view commits through a queued call
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(grid->Cells(1, 1), "\xB0x");
    EXPECT_EQ(set, (std::vector<std::string>{"1,1 \xB0x"}));
}

TEST(StringGridTest, KeyHandlersSeeVirtualKeysAndMaySwallowThem) {
    auto grid = ShownGrid();
    std::vector<std::pair<uint16_t, TShiftState>> keys;
    grid->OnKeyDown = [&](QObject*, uint16_t& key, TShiftState shift) {
        keys.emplace_back(key, shift);
        if (key == 'Q')
            key = 0;
    };
    QTest::keyClick(grid.get(), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(grid.get(), Qt::Key_Delete);
    QTest::keyClick(grid.get(), Qt::Key_Period);
    QTest::keyClick(grid.get(), Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 1, 1, 2}));
    QTest::keyClick(grid.get(), Qt::Key_Q);
    grid->SetOptions(goEditing);
    QTest::keyClick(grid.get(), Qt::Key_Q);
    EXPECT_FALSE(grid->EditorMode()) << "a swallowed key opens no editor";
    // QTest presses the modifier keys as a keyboard does.
    const std::vector<std::pair<uint16_t, TShiftState>> expected{
        {VK_CONTROL, ssCtrl}, {'C', ssCtrl},      {VK_DELETE, 0}, {VK_PACKET, 0},
        {VK_SHIFT, ssShift},  {VK_DOWN, ssShift}, {'Q', 0},       {'Q', 0}};
    EXPECT_EQ(keys, expected);
}

TEST(StringGridTest, APressOnTheCurrentCellOrADoubleClickOpensTheEditor) {
    auto grid = ShownGrid();
    grid->SetOptions(goEditing);
    std::vector<std::string> events;
    grid->OnDblClick = [&](QObject*) { events.push_back("dbl"); };
    grid->OnMouseDown = [&](QObject*, TMouseButton, TShiftState shift, int, int) {
        events.push_back((shift & ssDouble) ? "down double" : "down");
    };
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CenterOf(*grid, 2, 2));
    EXPECT_FALSE(grid->EditorMode()) << "the first press only makes the cell current";
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CenterOf(*grid, 2, 2));
    EXPECT_TRUE(grid->EditorMode());
    grid->SetEditorMode(false);

    events.clear();
    DoubleClick(*grid, CenterOf(*grid, 3, 3));
    EXPECT_TRUE(grid->EditorMode());
    EXPECT_EQ(grid->Col(), 3);
    EXPECT_EQ(events, (std::vector<std::string>{"down", "dbl", "down double"}));
}

TEST(StringGridTest, DrawHookPaintsWithTheCanvasBrush) {
    auto grid = ShownGrid();
    grid->SetCells(2, 2, "t");
    std::vector<TGridDrawState> states(3);
    grid->OnDrawCell = [&](QObject*, int c, int r, const TRect& rect, TGridDrawState state) {
        ASSERT_NE(grid->Canvas(), nullptr);
        if (r == 0 && c == 0)
            states[0] = state;
        if (r == 2 && c == 2) {
            states[1] = state;
            grid->Canvas()->Brush.Color = clRed;
            grid->Canvas()->FillRect({rect.Left, rect.Top, rect.Left + 10, rect.Bottom});
        }
        if (r == 1 && c == 1)
            states[2] = state;
    };
    grid->SetSelection({1, 1, 2, 2});
    const QImage image = grid->viewport()->grab().toImage();
    const TRect r = grid->CellRect(2, 2);
    EXPECT_EQ(image.pixelColor(r.Left + 3, r.Top + 12), QColor(Qt::red));
    EXPECT_EQ(states[0], gdFixed);
    EXPECT_EQ(states[1] & gdSelected, gdSelected);
    EXPECT_EQ(states[2], gdSelected);
    EXPECT_EQ(grid->Canvas(), nullptr);
}

} // namespace
} // namespace vx

namespace vx {
namespace {

TEST(StringGridTest, FixedCellsStayWhileTheOthersScroll) {
    auto grid = ShownGrid(20, 50);
    grid->SetCells(1, 0, "H");
    grid->SetCells(0, 40, "40");
    const TRect header = grid->CellRect(1, 0);
    const TRect rowHeader = grid->CellRect(0, 1);
    grid->SetRow(40);
    grid->SetCol(15);
    ASSERT_GT(grid->verticalScrollBar()->value(), 0);
    EXPECT_EQ(grid->CellRect(1, 0).Top, header.Top);
    EXPECT_EQ(grid->CellRect(0, 40).Left, rowHeader.Left);
    EXPECT_EQ(grid->CellRect(1, 1), TRect{}) << "scrolled away behind the fixed row";
    const TRect current = grid->CellRect(15, 40);
    ASSERT_NE(current, TRect{});
    EXPECT_GE(current.Top, header.Bottom) << "the current cell is not hidden behind the header";
    EXPECT_GE(current.Left, rowHeader.Right);

    EXPECT_EQ(grid->MouseCoord(header.Left + 2, header.Top + 2).Y, 0);
    EXPECT_EQ(grid->MouseCoord(rowHeader.Left + 2, current.Top + 2), (TGridCoord{0, 40}));
    EXPECT_EQ(grid->MouseCoord(current.Left + 2, current.Top + 2), (TGridCoord{15, 40}));

    const QImage image = grid->grab().toImage();
    const QPoint origin = grid->viewport()->geometry().topLeft();
    const QPoint corner = origin + QPoint(header.Left + 3, header.Top + 3);
    const TColor face = ColorToRGB(clBtnFace);
    EXPECT_EQ(image.pixelColor(corner), QColor(face & 0xFF, (face >> 8) & 0xFF, face >> 16));

    // A click on a fixed cell reaches the handlers as that cell and keeps the selection.
    TGridCoord released{-1, -1};
    grid->OnMouseUp = [&](QObject*, TMouseButton, TShiftState, int x, int y) {
        released = grid->MouseCoord(x, y);
    };
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      QPoint(rowHeader.Left + 2, current.Top + 2));
    EXPECT_EQ(released, (TGridCoord{0, 40}));
    EXPECT_EQ(grid->Selection(), (TGridRect{15, 40, 15, 40}));
}

// A cell's object that tells when it is freed.
class TTracked : public TComponent {
public:
    TTracked(std::vector<std::string>& freed, std::string name)
        : freed_(freed), name_(std::move(name)) {}
    ~TTracked() override { freed_.push_back(name_); }

private:
    std::vector<std::string>& freed_;
    std::string name_;
};

TEST(StringGridTest, CellObjectsBelongToTheGrid) {
    std::vector<std::string> freed;
    const auto make = [&](std::string name) { return std::make_unique<TTracked>(freed, name); };
    {
        TStringGrid grid(nullptr, "Grid1");
        grid.SetObjects(2, 1, make("a"));
        grid.SetObjects(1, 3, make("b"));
        grid.SetObjects(4, 4, make("c"));
        grid.SetObjects(9, 9, make("outside"));
        EXPECT_EQ(freed, (std::vector<std::string>{"outside"}));
        EXPECT_EQ(grid.Objects(9, 9), nullptr);
        EXPECT_EQ(grid.Objects(0, 0), nullptr);

        grid.SetColCount(2); // (2, 1) and (4, 4) go, (1, 3) stays where it was
        EXPECT_EQ(freed, (std::vector<std::string>{"outside", "a", "c"}));
        ASSERT_NE(grid.Objects(1, 3), nullptr);
        grid.SetRowCount(8);
        grid.SetColCount(6);
        ASSERT_NE(grid.Objects(1, 3), nullptr);
        EXPECT_EQ(grid.Objects(2, 1), nullptr);

        grid.SetObjects(1, 3, make("d")); // the replaced one is freed
        EXPECT_EQ(freed.back(), "b");
        grid.SetObjects(2, 1, make("e"));
        std::unique_ptr<TComponent> taken = grid.TakeObjects(2, 1);
        EXPECT_EQ(grid.Objects(2, 1), nullptr);
        EXPECT_EQ(grid.TakeObjects(2, 1), nullptr);
        EXPECT_EQ(grid.TakeObjects(-1, 0), nullptr);
        taken.reset();
        EXPECT_EQ(freed.back(), "e");
        grid.SetRowCount(2); // (1, 3) goes with its row
        EXPECT_EQ(freed.back(), "d");
        grid.SetObjects(1, 1, make("f"));
    }
    EXPECT_EQ(freed, (std::vector<std::string>{"outside", "a", "c", "b", "e", "d", "f"}))
        << "the grid frees the rest with itself";
}

} // namespace
} // namespace vx

namespace vx {
namespace {

TEST(StringGridTest, ACellSourceIsReadForEveryCellAndNothingIsStored) {
    auto grid = ShownGrid(3, 3);
    grid->SetCells(1, 1, "own");
    grid->SetObjects(1, 1, std::make_unique<TComponent>());
    int asked = 0;
    grid->SetCellSource([&asked](int32_t col, int32_t row) {
        ++asked;
        return "c" + std::to_string(col) + "r" + std::to_string(row);
    });
    // A million rows cost no cells.
    grid->SetRowCount(1'000'000);
    EXPECT_EQ(grid->Cells(1, 1), "c1r1");
    EXPECT_EQ(grid->Cells(2, 999'999), "c2r999999");
    EXPECT_EQ(grid->Cells(3, 0), "") << "outside the grid";
    EXPECT_GT(asked, 0);
    grid->SetCells(1, 1, "typed");
    EXPECT_EQ(grid->Cells(1, 1), "c1r1");
    grid->SetObjects(1, 1, std::make_unique<TComponent>());
    EXPECT_EQ(grid->Objects(1, 1), nullptr);
    EXPECT_EQ(grid->TakeObjects(1, 1), nullptr);

    // Shown cells are not edited.
    grid->SetOptions(goEditing);
    grid->SetCol(1);
    grid->SetRow(1);
    QTest::keyClick(grid.get(), Qt::Key_F2);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(EditorOf(*grid), nullptr);

    // Without the source the grid holds empty cells of its own again.
    grid->SetRowCount(4);
    grid->SetCellSource({});
    EXPECT_EQ(grid->RowCount(), 4);
    EXPECT_EQ(grid->Cells(1, 1), "");
    grid->SetCells(1, 3, "x");
    EXPECT_EQ(grid->Cells(1, 3), "x");
}

TEST(StringGridTest, TextWidthIsTheSumOfTheCharacterAdvances) {
    TStringGrid grid;
    const std::array<int32_t, 256> advances = grid.CharAdvances();
    for (const std::string text : {"", "Pressione [bar]", "-12.5", "Velocit\xE0"}) {
        int32_t sum = 0;
        for (const char c : text)
            sum += advances[static_cast<unsigned char>(c)];
        EXPECT_EQ(grid.TextWidth(text), sum) << text;
    }
    EXPECT_GT(grid.TextWidth("W"), grid.TextWidth("i"));
}

} // namespace
} // namespace vx
