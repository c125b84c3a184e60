#include "platform/ui/DragDrop.h"
#include "platform/ui/Edit.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/Memo.h"
#include "platform/ui/StringGrid.h"

#include "support/DragTestSupport.h"

#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vx {
namespace {

std::string Name(QObject* object) {
    return object ? object->objectName().toStdString() : "null";
}

// A list box whose press on an item starts a drag, and a grid that records what reaches it.
class DragDropTest : public ::testing::Test {
protected:
    DragDropTest() {
        list = new TListBox(&window, "ListBox1");
        list->setGeometry(0, 0, 120, 100);
        list->SetItems({"Time", "Force"});
        list->OnMouseDown = [this](QObject* sender, TMouseButton, TShiftState, int32_t, int32_t) {
            BeginDrag(static_cast<QWidget*>(sender));
        };
        grid = new TStringGrid(&window, "Grid1");
        grid->setGeometry(130, 0, 400, 200);
        grid->OnDragOver = [this](QObject* sender, QObject* source, int32_t x, int32_t y,
                                  bool& accept) {
            const TGridCoord cell = grid->MouseCoord(x, y);
            events.push_back("over " + Name(sender) + " " + Name(source) + " " +
                             std::to_string(cell.X) + "," + std::to_string(cell.Y));
            accept = acceptDrops;
        };
        grid->OnDragDrop = [this](QObject* sender, QObject* source, int32_t x, int32_t y) {
            const TGridCoord cell = grid->MouseCoord(x, y);
            events.push_back("drop " + Name(sender) + " " + Name(source) + " " +
                             std::to_string(cell.X) + "," + std::to_string(cell.Y));
        };
        window.resize(540, 210);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    QPoint CellCentre(int col, int row) const {
        const TRect r = grid->CellRect(col, row);
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    void PressItem(int row) {
        const QPoint at = list->ItemRect(row).center();
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    }

    QWidget window;
    TListBox* list;
    TStringGrid* grid;
    test::RecordedDrag drag;
    std::vector<std::string> events;
    bool acceptDrops = true;
};

TEST_F(DragDropTest, AListItemDraggedOntoAGridCell) {
    PressItem(1);
    ASSERT_EQ(drag.Count(), 1);
    EXPECT_EQ(drag.Source(), list);
    EXPECT_EQ(list->ItemIndex(), 1) << "the press chose the item before the drag began";

    EXPECT_TRUE(test::DropOn(grid, CellCentre(2, 1), drag.Data()));
    ASSERT_GE(events.size(), 2u);
    for (size_t i = 0; i + 1 < events.size(); ++i)
        EXPECT_EQ(events[i], "over Grid1 ListBox1 2,1");
    EXPECT_EQ(events.back(), "drop Grid1 ListBox1 2,1");
}

TEST_F(DragDropTest, RefusedOrSourcelessDragsDropNothing) {
    PressItem(0);
    acceptDrops = false;
    EXPECT_FALSE(test::DropOn(grid, CellCentre(3, 2), drag.Data()));
    EXPECT_FALSE(events.empty());
    for (const std::string& e : events)
        EXPECT_EQ(e, "over Grid1 ListBox1 3,2");

    // Without an OnDragOver nothing is taken, even with an OnDragDrop.
    events.clear();
    acceptDrops = true;
    grid->OnDragOver = nullptr;
    EXPECT_FALSE(test::DropOn(grid, CellCentre(3, 2), drag.Data()));
    EXPECT_TRUE(events.empty());

    // A drag whose source is gone drops nothing and asks nothing.
    grid->OnDragOver = [this](QObject*, QObject*, int32_t, int32_t, bool&) {
        events.push_back("over");
    };
    delete list;
    EXPECT_EQ(drag.Source(), nullptr);
    EXPECT_FALSE(test::DropOn(grid, CellCentre(3, 2), drag.Data()));
    EXPECT_TRUE(events.empty());

    // Data of other programs is never ours.
    QMimeData text;
    text.setText("12.5");
    EXPECT_FALSE(test::DropOn(grid, CellCentre(3, 2), &text));
    EXPECT_TRUE(events.empty());
}

TEST_F(DragDropTest, GridDropsReachEditsAndMemosWithoutChangingTheirText) {
    auto* memo = new TMemo(&window, "Memo1");
    memo->setGeometry(0, 110, 120, 60);
    memo->SetText("riga");
    auto* edit = new TEdit(&window, "Edit1");
    edit->setGeometry(0, 180, 120, 24);
    edit->SetText("testo");
    memo->show();
    edit->show();
    grid->OnMouseDown = [this](QObject*, TMouseButton, TShiftState, int32_t, int32_t) {
        BeginDrag(grid);
    };
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCentre(1, 1));
    ASSERT_EQ(drag.Source(), grid);

    for (QWidget* target : {static_cast<QWidget*>(memo), static_cast<QWidget*>(edit)}) {
        std::vector<std::string> seen;
        const TDragOverEvent over = [&](QObject* sender, QObject* source, int32_t x, int32_t y,
                                        bool&) {
            seen.push_back("over " + Name(sender) + " " + Name(source) + " " + std::to_string(x) +
                           "," + std::to_string(y));
        };
        const TDragDropEvent dropped = [&](QObject* sender, QObject* source, int32_t x, int32_t y) {
            seen.push_back("drop " + Name(sender) + " " + Name(source) + " " + std::to_string(x) +
                           "," + std::to_string(y));
        };
        if (auto* m = qobject_cast<TMemo*>(target)) {
            m->OnDragOver = over;
            m->OnDragDrop = dropped;
        } else {
            edit->OnDragOver = over;
            edit->OnDragDrop = dropped;
        }
        EXPECT_TRUE(test::DropOn(target, QPoint(6, 5), drag.Data()));
        ASSERT_FALSE(seen.empty());
        EXPECT_EQ(seen.front(), "over " + Name(target) + " Grid1 6,5");
        EXPECT_EQ(seen.back(), "drop " + Name(target) + " Grid1 6,5");
    }
    EXPECT_EQ(memo->Text(), "riga");
    EXPECT_EQ(edit->Text(), "testo");

    // Qt's own text drops are off.
    QMimeData text;
    text.setText("incollato");
    EXPECT_FALSE(test::DropOn(memo, QPoint(6, 5), &text));
    EXPECT_FALSE(test::DropOn(edit, QPoint(6, 5), &text));
    EXPECT_EQ(memo->Text(), "riga");
    EXPECT_EQ(edit->Text(), "testo");
}

TEST(DragRunnerTest, TheDragCarriesItsSourceUntilTheSourceGoes) {
    auto source = std::make_unique<QWidget>();
    source->setObjectName("Source");
    std::unique_ptr<QMimeData> data = NewDragData(source.get());
    EXPECT_EQ(DragSource(data.get()), source.get());
    source.reset();
    EXPECT_EQ(DragSource(data.get()), nullptr);
    EXPECT_EQ(DragSource(nullptr), nullptr);

    // A drag whose source goes while it runs ends cleanly.
    auto* doomed = new QWidget;
    int runs = 0;
    const DragRunner previous = SetDragRunner([&](QDrag& drag) {
        ++runs;
        EXPECT_EQ(DragSource(drag.mimeData()), doomed);
        delete doomed;
    });
    BeginDrag(doomed);
    BeginDrag(nullptr);
    SetDragRunner(previous);
    EXPECT_EQ(runs, 1);
}

} // namespace
} // namespace vx
