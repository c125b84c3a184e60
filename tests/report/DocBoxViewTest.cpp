#include "report/view/DocBoxView.h"

#include "data/Databuff.h"
#include "localisation/Strglobmod.h"
#include "platform/graphics/EnginePaint.h"
#include "platform/graphics/TextMetrics.h"
#include "platform/runtime/Streams.h"
#include "platform/ui/DragDrop.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/StringGrid.h"
#include "report/DocBox.h"
#include "report/EditorHooks.h"
#include "report/Intestazione.h"
#include "report/WPPage.h"
#include "report/view/PageView.h"

#include "support/DragTestSupport.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <vector>

namespace vx {
namespace {

// A page that records what reaches its own mouse handlers.
class TSpyPage : public TWPPage {
public:
    using TWPPage::TWPPage;
    void PageMouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override {
        downs.push_back({x, y});
        TWPPage::PageMouseDown(button, shift, x, y);
    }
    std::vector<TPoint> downs;
};

// A graph page at zoom 100 on "VP-A4-600": margins 20/15/5/12 mm, header 15 % with its first
// cell brushed red, shown in a container view.
class DocBoxViewTest : public ::testing::Test {
protected:
    DocBoxViewTest() {
        test::InstallVirtualPrinter();
        SetFixedTextMetrics(true);
        CreateSTRGlobData();
        page = new TSpyPage(nullptr);
        page->DataBuffer = &buffer;
        page->MarginLeft = 20;
        page->MarginTop = 15;
        page->MarginRight = 5;
        page->MarginBottom = 12;
        page->AltezzaIntestazione = 15;
        page->SetPageKind(PK_GRAPHIC);
        page->Header()->GetCell(0, 0)->Brush.Color = clRed;
        page->SetZoomPercent(100);
        box.AdoptPage(page);
        view = std::make_unique<TDocBoxView>(&box);
        view->resize(1000, 700);
        view->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        box.ShowPage(0);
        Settle();
    }
    ~DocBoxViewTest() override {
        view.reset();
        box.ClearPages();
        FreeSTRGlobData();
        SetFixedTextMetrics(false);
    }
    void Settle() {
        page->Paint();
        page->Paint();
        ProcessMessages();
    }
    TPageView& PageView() { return *view->PageView(); }
    void MoveTo(int x, int y) {
        QMouseEvent move(QEvent::MouseMove, QPointF(x, y), PageView().mapToGlobal(QPointF(x, y)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&PageView(), &move);
    }

    TDatabuffer buffer;
    TDocBox box;
    TSpyPage* page;
    std::unique_ptr<TDocBoxView> view;
};

TEST_F(DocBoxViewTest, ThePageViewShowsThePageAndItsObjects) {
    EXPECT_EQ(box.ClientWidth(), view->viewport()->width());
    EXPECT_EQ(PageView().geometry(),
              QRect(page->Left(), page->Top(), page->Width(), page->Height()));
    EXPECT_EQ(page->Top(), 10);
    const TIntestazione& header = *page->Header();
    EXPECT_EQ(QRect(header.Left(), header.Top(), header.Width(), header.Height()),
              QRect(92, 73, 667, 148));
    const QImage image = PageView().grab().toImage();
    EXPECT_EQ(image.pixelColor(158, 87), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(40, 40), QColor(Qt::white)) << "outside the margins";
    // The page is taller than the client: the area scrolls.
    EXPECT_GT(view->verticalScrollBar()->maximum(), 0);

    box.DeletePage(0);
    EXPECT_FALSE(PageView().isVisible()) << "a deleted page is never painted";
    EXPECT_EQ(PageView().Page(), nullptr);
}

TEST_F(DocBoxViewTest, AZoomMovesAndResizesThePageView) {
    box.SetZoomPercent(50);
    EXPECT_EQ(page->Width(), page->ScreenPageWidth());
    EXPECT_EQ(PageView().geometry(),
              QRect(page->Left(), page->Top(), page->Width(), page->Height()));
    EXPECT_EQ(page->Left(), (box.ClientWidth() - page->Width()) / 2) << "centred";
    EXPECT_EQ(view->verticalScrollBar()->maximum(), 0) << "the smaller page fits";

    view->resize(700, 700);
    EXPECT_EQ(box.ClientWidth(), view->viewport()->width());
    EXPECT_EQ(PageView().x(), (box.ClientWidth() - page->Width()) / 2);
}

TEST_F(DocBoxViewTest, TheHeaderEdgeDragsWithTheSizingCursor) {
    page->Altezzapiepagina = 25;
    page->ObjectChanged();
    Settle();
    MoveTo(300, 219);
    EXPECT_EQ(PageView().cursor().shape(), Qt::SizeVerCursor);
    MoveTo(300, 216);
    EXPECT_EQ(PageView().cursor().shape(), Qt::ArrowCursor);

    MoveTo(300, 219);
    const QImage before = PageView().grab().toImage();
    QTest::mousePress(&PageView(), Qt::LeftButton, {}, QPoint(300, 219));
    const int hs = page->MarginRectOnScreen(3) - page->MarginRectOnScreen(1);
    const int y65 = page->Header()->Top() + hs * 65 / 100;
    QTest::mouseMove(&PageView(), QPoint(300, y65));
    ASSERT_TRUE(page->Dragging());
    const QImage dragging = PageView().grab().toImage();
    int changed = 0;
    for (int y = 80; y < 200; ++y)
        changed += dragging.pixelColor(92, y) != before.pixelColor(92, y);
    EXPECT_GT(changed, 0) << "the focus rectangle is painted while dragging";
    QTest::mouseRelease(&PageView(), Qt::LeftButton, {}, QPoint(300, y65));
    EXPECT_FALSE(page->Dragging());
    EXPECT_EQ(page->AltezzaIntestazione, 55) << "the footer's 25 % leave the header 55 %";
    const QImage after = PageView().grab().toImage();
    int left = 0;
    for (int y = 80; y < 200; ++y)
        left += after.pixelColor(92, y) != before.pixelColor(92, y);
    EXPECT_EQ(left, 0) << "no focus rectangle after the drag";
}

TEST_F(DocBoxViewTest, PressesGoToTheTopmostEnabledObjectElseToThePage) {
    std::vector<std::string> clicks;
    page->Header()->OnClick = [&](TComponent*) { clicks.push_back("header"); };
    QTest::mouseClick(&PageView(), Qt::LeftButton, {}, QPoint(158, 87));
    EXPECT_EQ(clicks, (std::vector<std::string>{"header"}));
    ASSERT_EQ(page->downs.size(), 1u) << "the header passes its press on to the page";
    EXPECT_EQ(page->downs[0], (TPoint{158, 87}));

    page->Header()->SetEnabled(false);
    EXPECT_EQ(PageView().ObjectAt(158, 87), nullptr);
    QTest::mouseClick(&PageView(), Qt::LeftButton, {}, QPoint(158, 87));
    EXPECT_EQ(clicks.size(), 1u);
    ASSERT_EQ(page->downs.size(), 2u);
    EXPECT_EQ(page->downs[1], (TPoint{158, 87}));
}

TEST_F(DocBoxViewTest, WheelTurnsGoToTheBoundHandlers) {
    std::vector<std::string> turns;
    view->OnMouseWheelDown = [&](QObject*, TShiftState shift, TPoint, bool& handled) {
        turns.push_back(shift & ssCtrl ? "down ctrl" : "down");
        handled = true;
    };
    view->OnMouseWheelUp = [&](QObject*, TShiftState, TPoint, bool&) { turns.push_back("up"); };
    const auto wheel = [&](int delta, Qt::KeyboardModifiers modifiers) {
        QWheelEvent event(QPointF(50, 50), view->viewport()->mapToGlobal(QPointF(50, 50)), {},
                          {0, delta}, Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view->viewport(), &event);
    };
    wheel(-120, Qt::ControlModifier);
    EXPECT_EQ(view->verticalScrollBar()->value(), 0) << "a handled turn does not scroll";
    wheel(-120, {});
    wheel(120, {});
    EXPECT_EQ(turns, (std::vector<std::string>{"down ctrl", "down", "up"}));
}

// Lets the header's edit mode open without a palette window.
struct OpenPaletteHooks : TEditorHooks {
    OpenPaletteHooks() { SetEditorHooks(this); }
    ~OpenPaletteHooks() override { SetEditorHooks(nullptr); }
    bool OpenCellPalette(TIntestazione&) override { return true; }
};

TEST_F(DocBoxViewTest, AGridCellDroppedOnAHeaderInEditModeBecomesAPlaceholder) {
    OpenPaletteHooks hooks;
    TIntestazione& header = *page->Header();
    TStringGrid grid(nullptr, "Grid1");
    grid.Tag = 1;
    grid.SetCells(2, 4, "Lotto");
    grid.SetCol(2);
    grid.SetRow(4);
    TListBox list(nullptr, "ListBox1");
    test::RecordedDrag drag;
    const auto bytes = [&] {
        TMemoryStream s;
        header.WriteCells(s);
        return s.Bytes();
    };
    // The middle of cell (1, 0) of the five-by-five table.
    const QPoint cell(header.Left() + header.Width() * 3 / 10, header.Top() + header.Height() / 10);

    BeginDrag(&grid);
    const std::string untouched = bytes();
    EXPECT_FALSE(test::DropOn(&PageView(), cell, drag.Data())) << "not in edit mode";
    EXPECT_EQ(bytes(), untouched);

    header.SwitchCellEditor();
    ASSERT_TRUE(header.EditMode());
    EXPECT_TRUE(test::DropOn(&PageView(), cell, drag.Data()));
    EXPECT_EQ(header.GetCell(1, 0)->text.Items(), (std::vector<std::string>{"&<1;2;4(Lotto)>"}));
    EXPECT_TRUE(test::DropOn(&PageView(), cell, drag.Data()));
    EXPECT_EQ(header.GetCell(1, 0)->text.Items(),
              (std::vector<std::string>{"&<1;2;4(Lotto)> &<1;2;4(Lotto)>"}));

    const std::string edited = bytes();
    const QPoint content(page->Width() / 2, page->Height() / 2);
    ASSERT_NE(PageView().ObjectAt(content.x(), content.y()), &header);
    EXPECT_FALSE(test::DropOn(&PageView(), content, drag.Data())) << "beside the tables";
    BeginDrag(&list);
    EXPECT_FALSE(test::DropOn(&PageView(), cell, drag.Data())) << "not a grid";
    EXPECT_EQ(bytes(), edited);
    header.SwitchCellEditor();
}

} // namespace
} // namespace vx
