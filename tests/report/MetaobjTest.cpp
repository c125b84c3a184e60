#include "report/Metaobj.h"

#include "ReportTestPrinters.h"
#include "platform/runtime/ComponentStream.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vx {
namespace {

using test::DpiPrinter;
using test::ScopedPrinter;

// A page at 10 printer pixels per screen pixel.
struct FakePage : TMetaobjParent {
    int32_t ScreenToPrinterX(int32_t v) const override { return v * 10; }
    int32_t ScreenToPrinterY(int32_t v) const override { return v * 10; }
    int32_t PrinterToScreenX(int32_t v) const override { return (v + 5) / 10; }
    int32_t PrinterToScreenY(int32_t v) const override { return (v + 5) / 10; }
    void PageMouseDown(TMouseButton b, TShiftState, int32_t x, int32_t y) override {
        events.push_back("down " + std::to_string(b) + " " + Point(x, y));
    }
    void PageMouseMove(TShiftState, int32_t x, int32_t y) override {
        events.push_back("move " + Point(x, y));
    }
    void PageMouseUp(TMouseButton b, TShiftState, int32_t x, int32_t y) override {
        events.push_back("up " + std::to_string(b) + " " + Point(x, y));
    }
    static std::string Point(int32_t x, int32_t y) {
        return std::to_string(x) + "," + std::to_string(y);
    }
    std::vector<std::string> events;
};

struct PageObject : TMetaobj {
    using TMetaobj::TMetaobj;
    int paints = 0;
    void Paint() override {
        TMetaobj::Paint();
        ++paints;
    }
};

TEST(MetaobjTest, NewObjectIsTwentyPixelsWithAnEmptyPicture) {
    PageObject o(nullptr);
    EXPECT_EQ(o.Width(), 20);
    EXPECT_EQ(o.Height(), 20);
    EXPECT_EQ(o.PageRect(), TRect{});
    EXPECT_FALSE(o.PlacedFromPage());
    EXPECT_TRUE(o.GetMetafile().Empty());
    EXPECT_EQ(o.ClassName(), "TMetaobj");
}

TEST(MetaobjTest, CoordinatesOfThePageRectangle) {
    PageObject o(nullptr);
    o.SetCoord(0, 100);
    o.SetCoord(1, 200);
    o.SetCoord(2, 400);
    o.SetCoord(3, 260);
    const int32_t expected[] = {100, 200, 400, 260, 300, 60, 0, 0};
    for (int kind = 0; kind < 8; ++kind)
        EXPECT_EQ(o.GetCoord(kind), expected[kind]) << kind;
    EXPECT_EQ(o.GetCoord(-1), 0);
}

TEST(MetaobjTest, SetCoordMovesTheControlByDifferencesOfConvertedEdges) {
    FakePage page;
    PageObject o(nullptr);
    o.SetParent(&page);
    o.SetCoord(0, 104); // screen 10
    o.SetCoord(2, 156); // screen 16 - 10
    o.SetCoord(1, 15);  // screen 2
    o.SetCoord(3, 44);  // screen 4 - 2
    EXPECT_EQ(o.Left(), 10);
    EXPECT_EQ(o.Width(), 6); // not round(52 / 10) = 5
    EXPECT_EQ(o.Top(), 2);
    EXPECT_EQ(o.Height(), 2);
    // The bounds were recorded, so painting keeps the page rectangle as it was set.
    o.Paint();
    EXPECT_EQ(o.PageRect(), Rect(104, 15, 156, 44));
}

TEST(MetaobjTest, PaintDerivesThePageRectangleUntilThePagePlacesTheObject) {
    FakePage page;
    PageObject o(nullptr);
    o.SetParent(&page);
    o.SetBounds(5, 6, 30, 40);
    o.Paint();
    EXPECT_EQ(o.PageRect(), Rect(50, 60, 350, 460));
    // Placed by the page with no move in between: from now on the page rectangle leads.
    o.ApplyCoords();
    EXPECT_TRUE(o.PlacedFromPage());
    o.SetBounds(7, 6, 30, 40);
    o.Paint();
    EXPECT_EQ(o.PageRect(), Rect(50, 60, 350, 460));
    o.ApplyCoords();
    EXPECT_EQ(o.Left(), 5);
}

TEST(MetaobjTest, ApplyCoordsAfterAMoveLeavesTheObjectFollowingTheScreen) {
    FakePage page;
    PageObject o(nullptr);
    o.SetParent(&page);
    o.SetBounds(5, 6, 30, 40);
    o.ApplyCoords(); // the move was not yet seen: not placed from the page
    EXPECT_FALSE(o.PlacedFromPage());
    EXPECT_EQ(o.Width(), 0); // the page rectangle was still empty
}

TEST(MetaobjTest, MouseEventsReachThePageInItsCoordinates) {
    FakePage page;
    PageObject o(nullptr);
    o.SetParent(&page);
    o.SetBounds(50, 70, 100, 100);
    o.MouseDown(mbLeft, ssShift, 3, 4);
    o.MouseMove(0, 3, 4);
    o.MouseUp(mbRight, 0, 3, 4);
    EXPECT_EQ(page.events, (std::vector<std::string>{"down 0 53,74", "move 53,74", "up 1 53,74"}));
}

TEST(MetaobjTest, ChangesAskForOneEnginePaint) {
    FakePage page;
    PageObject o(nullptr);
    o.SetBounds(1, 1, 10, 10); // no page yet: nothing to compose for
    EXPECT_FALSE(PaintPending(o));
    o.SetParent(&page);
    o.SetLeft(3);
    o.SetVisible(false);
    o.SetEnabled(false);
    EXPECT_TRUE(PaintPending(o));
    ProcessMessages();
    EXPECT_EQ(o.paints, 1);
    EXPECT_EQ(o.PageRect(), Rect(30, 10, 130, 110));
}

TEST(MetaobjTest, PrinterFontsKeepTheirSize) {
    ScopedPrinter printer(std::make_shared<DpiPrinter>(600));
    PageObject o(nullptr);
    for (int size : {10, 143, 144, 150}) {
        TFont source;
        source.SetName("Arial");
        source.SetSize(size);
        TFont target;
        std::vector<int> sizes;
        target.OnChange = [&](TFont& f) { sizes.push_back(f.Size()); };
        o.SetPrinterFont(target, source);
        EXPECT_EQ(target.Size(), size);
        EXPECT_EQ(target.PixelsPerInch(), 600);
        EXPECT_EQ(target.Name(), "Arial");
        ASSERT_GE(sizes.size(), 2u);
        EXPECT_EQ(sizes[sizes.size() - 2], size < 144 ? size + 1 : size - 1);
    }
}

TEST(MetaobjTest, ClicksFireTheirEventsOnlyWhenAssigned) {
    PageObject o(nullptr);
    o.Click();
    o.DblClick(); // nothing assigned: nothing happens
    std::vector<std::string> fired;
    o.OnClick = [&](TComponent* sender) { fired.push_back(sender == &o ? "click" : "?"); };
    o.Click();
    o.DblClick();
    o.OnDblClick = [&](TComponent* sender) { fired.push_back(sender == &o ? "double" : "?"); };
    o.DblClick();
    EXPECT_EQ(fired, (std::vector<std::string>{"click", "double"}));
}

TEST(MetaobjTest, PublishesTheControlProperties) {
    const auto props = TMetaobj::StaticClassInfo().AllProperties();
    std::vector<std::string> names;
    for (const TPropInfo* p : props)
        names.push_back(p->Name);
    EXPECT_EQ(names, (std::vector<std::string>{"Name", "Tag", "Left", "Top", "Width", "Height",
                                               "Cursor", "Hint", "HelpType", "HelpKeyword",
                                               "HelpContext", "Visible", "enabled"}));
}

TEST(MetaobjTest, TheUsersSwitchIsStoredAsLowerCaseEnabledAndReadInAnyCase) {
    TMetaobj o(nullptr);
    o.SetName("Piede");
    o.SetEnabled(false);
    const std::string bytes = ComponentToBytes(o);
    EXPECT_NE(bytes.find(test::FromHex("07 65 6E 61 62 6C 65 64 08")), std::string::npos)
        << test::HexBytes(bytes);
    EXPECT_EQ(bytes.find("Enabled"), std::string::npos);
    for (const char* spelling : {"enabled", "Enabled", "ENABLED"}) {
        std::string other = bytes;
        other.replace(bytes.find("enabled"), 7, spelling);
        TMetaobj back(nullptr);
        ComponentFromBytes(other, back);
        EXPECT_FALSE(back.Enabled()) << spelling;
    }
}

// A component told of an object's end that asks the object for a paint, as a page that lays
// out its remaining objects may: the object is gone before the paint round comes.
struct InvalidatesOnRemove : TComponent {
    using TComponent::TComponent;
    TMetaobj* watched = nullptr;
    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        if (operation == TOperation::opRemove && component == watched)
            watched->Invalidate();
    }
};

TEST(MetaobjTest, AnObjectAskedToPaintWhileItEndsIsNotPaintedAfterwards) {
    ScopedPrinter printer(std::make_shared<DpiPrinter>(600));
    FakePage page;
    InvalidatesOnRemove watcher(nullptr);
    auto* object = new PageObject(nullptr);
    object->SetParent(&page);
    watcher.watched = object;
    object->FreeNotification(&watcher);
    delete object;
    ProcessMessages(); // under the sanitizer, a stale entry is a use after free
    SUCCEED();
}

// A paint that processes messages may see its document closed: the object is gone when its
// paint returns, and nothing of it is read after.
struct EndsInItsPaint : TMetaobj {
    using TMetaobj::TMetaobj;
    void Paint() override {
        TMetaobj::Paint();
        delete this;
    }
};

TEST(MetaobjTest, AnObjectThatEndsInItsOwnPaintIsNotTouchedAfterwards) {
    ScopedPrinter printer(std::make_shared<DpiPrinter>(600));
    FakePage page;
    auto* object = new EndsInItsPaint(nullptr);
    object->SetParent(&page);
    bool shown = false;
    object->OnPictureShown = [&shown] { shown = true; };
    object->Invalidate();
    ProcessMessages();
    EXPECT_FALSE(shown);
}

} // namespace
} // namespace vx
