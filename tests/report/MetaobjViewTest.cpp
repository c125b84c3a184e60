#include "report/view/MetaobjView.h"

#include "platform/graphics/EnginePaint.h"
#include "platform/runtime/Numbers.h"
#include "report/Asse.h"
#include "report/WPGraph.h"
#include "report/WPSection.h"

#include <QApplication>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vx {
namespace {

// 600 dpi at zoom 50: 12.5 printer pixels per screen pixel.
struct HalfZoomPage : TMetaobjParent {
    int32_t ScreenToPrinterX(int32_t v) const override { return MulDiv(v, 60000, 4800); }
    int32_t ScreenToPrinterY(int32_t v) const override { return MulDiv(v, 60000, 4800); }
    int32_t PrinterToScreenX(int32_t v) const override { return MulDiv(v, 4800, 60000); }
    int32_t PrinterToScreenY(int32_t v) const override { return MulDiv(v, 4800, 60000); }
    void PageMouseDown(TMouseButton, TShiftState s, int32_t, int32_t) override {
        events.push_back("down" + std::string(s & ssDouble ? " double" : ""));
    }
    void PageMouseMove(TShiftState, int32_t, int32_t) override {}
    void PageMouseUp(TMouseButton, TShiftState, int32_t, int32_t) override {
        events.push_back("up");
    }
    std::vector<std::string> events;
};

// Records the order in which the view calls the object.
struct Recorder : TMetaobj {
    using TMetaobj::TMetaobj;
    std::vector<std::string> calls;
    void MouseDown(TMouseButton, TShiftState s, int32_t x, int32_t y) override {
        calls.push_back("down " + std::to_string(x) + "," + std::to_string(y) +
                        (s & ssDouble ? " double" : "") + (s & ssShift ? " shift" : ""));
    }
    void MouseUp(TMouseButton, TShiftState, int32_t, int32_t) override { calls.push_back("up"); }
    void Click() override { calls.push_back("click"); }
    void DblClick() override { calls.push_back("dblclick"); }
};

void Send(QWidget& w, QEvent::Type type, QPoint p, Qt::KeyboardModifiers keys = {}) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease || type == QEvent::MouseMove
                                      ? Qt::NoButton
                                      : Qt::LeftButton;
    QMouseEvent e(type, QPointF(p), w.mapToGlobal(QPointF(p)), button, held, keys);
    QApplication::sendEvent(&w, &e);
}

class MetaobjViewTest : public ::testing::Test {
protected:
    std::unique_ptr<TWPGraph> NewGraph() {
        auto g = std::make_unique<TWPGraph>(nullptr);
        g->SetParent(&page);
        g->SetCoord(0, 0);
        g->SetCoord(1, 0);
        g->SetCoord(2, 2000);
        g->SetCoord(3, 3000);
        return g;
    }
    HalfZoomPage page;
};

TEST_F(MetaobjViewTest, MouseEventsReachTheObjectInTheClassLibrarysOrder) {
    Recorder object(nullptr);
    object.SetBounds(0, 0, 100, 50);
    MetaobjView view(object);
    Send(view, QEvent::MouseButtonPress, {10, 20}, Qt::ShiftModifier);
    Send(view, QEvent::MouseButtonRelease, {10, 20});
    Send(view, QEvent::MouseButtonDblClick, {10, 20});
    Send(view, QEvent::MouseButtonRelease, {10, 20});
    // A release outside the control is no click.
    Send(view, QEvent::MouseButtonPress, {10, 20});
    Send(view, QEvent::MouseButtonRelease, {150, 20});
    EXPECT_EQ(object.calls,
              (std::vector<std::string>{"down 10,20 shift", "click", "up", "dblclick",
                                        "down 10,20 double", "up", "down 10,20", "up"}));
}

TEST_F(MetaobjViewTest, GraphViewShowsCursorOverlayAndPicture) {
    auto g = NewGraph();
    MetaobjView view(*g);
    EXPECT_EQ(view.geometry(), QRect(0, 0, 160, 240));
    view.show();
    Send(view, QEvent::MouseMove, {128, 120});
    EXPECT_EQ(view.cursor().shape(), Qt::SizeHorCursor);
    Send(view, QEvent::MouseMove, {128, 226});
    EXPECT_EQ(view.cursor().shape(), Qt::SizeFDiagCursor);
    Send(view, QEvent::MouseMove, {80, 120});
    EXPECT_EQ(view.cursor().shape(), Qt::ArrowCursor);

    Send(view, QEvent::MouseMove, {128, 120});
    Send(view, QEvent::MouseButtonPress, {128, 120});
    Send(view, QEvent::MouseMove, {10, 120});
    ASSERT_TRUE(g->FocusOverlay());
    // The overlay is on screen: its dotted right edge at x 51.
    const QImage during = view.grab().toImage();
    int dark = 0;
    for (int y = 40; y < 200; ++y)
        dark += qGray(during.pixel(51, y)) < 128 ? 1 : 0;
    EXPECT_GT(dark, 20);
    Send(view, QEvent::MouseButtonRelease, {10, 120});
    EXPECT_FALSE(g->FocusOverlay());
    EXPECT_EQ(g->GetZone(5), 325);

    // The engine paint composes the picture; the view copies it once per change.
    WaitUntil([&] { return !PaintPending(*g); }, 2000);
    ASSERT_FALSE(g->GetMetafile().Empty());
    const QImage shown = view.grab().toImage();
    const int renders = view.RenderCount();
    view.grab();
    EXPECT_EQ(view.RenderCount(), renders);
    // The frame along the page's top edge.
    EXPECT_LT(qGray(shown.pixel(80, 0)), 128);
    EXPECT_GT(qGray(shown.pixel(80, 120)), 128);
}

TEST_F(MetaobjViewTest, DoubleClickOnAnAxisOpensTheDialogAndKeepsThePressFromThePage) {
    struct Hooks : TEditorHooks {
        int opened = 0;
        void EditAxis(TAxisExchange&) override { ++opened; }
    } hooks;
    SetEditorHooks(&hooks);
    auto g = NewGraph();
    g->Paint(); // lays the axes out
    MetaobjView view(*g);
    Send(view, QEvent::MouseButtonPress, {8, 80});
    Send(view, QEvent::MouseButtonRelease, {8, 80});
    EXPECT_TRUE(g->LeftSide().GetAxisByIndex(0)->Selected);
    page.events.clear();
    Send(view, QEvent::MouseButtonDblClick, {8, 80});
    Send(view, QEvent::MouseButtonRelease, {8, 80});
    EXPECT_EQ(hooks.opened, 1);
    EXPECT_EQ(page.events, (std::vector<std::string>{"up"}));
    SetEditorHooks(nullptr);
}

// The shown image stands for the picture it was made of without holding its records: a
// graph's old picture is freed while its new one is composed.
TEST(MetaobjPictureTest, ShowsAPictureWithoutKeepingItsRecords) {
    MetaobjPicture cache;
    std::weak_ptr<const MetafileData> records;
    {
        Metafile picture;
        {
            TMetafileCanvas c(picture, TDeviceCaps{});
            c.Brush.Color = clRed;
            c.FillRect(Rect(0, 0, 10, 10));
        }
        picture.SetSize(10, 10);
        records = picture.Data();
        const QImage& image = cache.Image(picture, QSize(10, 10));
        EXPECT_EQ(image.pixel(5, 5), qRgb(255, 0, 0));
        cache.Image(picture, QSize(10, 10));
        EXPECT_EQ(cache.RenderCount(), 1);
    }
    EXPECT_TRUE(records.expired());
    // A new picture is rendered, even one that may take the old one's address.
    Metafile next;
    {
        TMetafileCanvas c(next, TDeviceCaps{});
        c.Brush.Color = clBlue;
        c.FillRect(Rect(0, 0, 10, 10));
    }
    next.SetSize(10, 10);
    EXPECT_EQ(cache.Image(next, QSize(10, 10)).pixel(5, 5), qRgb(0, 0, 255));
    EXPECT_EQ(cache.RenderCount(), 2);
}

} // namespace
} // namespace vx
