#include "report/canvasObj.h"

#include "ReportTestPrinters.h"
#include "platform/graphics/Metafile.h"

#include <gtest/gtest.h>
#include <vector>

namespace vx {
namespace {

using test::DpiPrinter;
using test::ScopedPrinter;

class Drawable : public TcanvasObj {
public:
    using TcanvasObj::TcanvasObj;
    void Draw(TCanvas& canvas) override { canvas_ = &canvas; }
};

TEST(canvasObjTest, ScaleToDeviceUsesThePrinterResolution) {
    struct Case {
        int dpi, a, b, expected;
    };
    const Case cases[] = {{300, 1, 360, 1}, {300, 30, 360, 25}, {300, 3, 360, 2},
                          {600, 3, 360, 5}, {600, 0, 360, 1},   {600, 10, 360, 17}};
    for (const auto& c : cases) {
        ScopedPrinter printer(std::make_shared<DpiPrinter>(c.dpi));
        EXPECT_EQ(TcanvasObj::ScaleToDevice(c.a, c.b), c.expected)
            << c.dpi << " dpi, " << c.a << "/" << c.b;
    }
}

TEST(canvasObjTest, HitTestIncludesEveryEdgeAndFiresOneEvent) {
    Drawable o(nullptr);
    o.BoundsRect = Rect(10, 20, 110, 220);
    std::vector<std::string> fired;
    struct Case {
        int x, y;
        bool single, withClick, hit;
        const char* event;
    };
    const Case cases[] = {
        {110, 220, true, true, true, "click"},     {10, 20, false, true, true, "dblclick"},
        {110, 100, true, false, true, "dblclick"}, {50, 221, true, true, false, ""},
        {9, 100, false, true, false, ""},
    };
    for (const auto& c : cases) {
        fired.clear();
        o.OnClick = c.withClick ? TEngineNotifyEvent([&](TComponent* s) {
            EXPECT_EQ(s, &o);
            fired.push_back("click");
        })
                                : nullptr;
        o.OnDblClick = [&](TComponent*) { fired.push_back("dblclick"); };
        EXPECT_EQ(o.HitTest(c.x, c.y, c.single), c.hit) << c.x << "," << c.y;
        EXPECT_EQ(fired, c.hit ? std::vector<std::string>{c.event} : std::vector<std::string>{})
            << c.x << "," << c.y;
    }
    o.OnDblClick = nullptr;
    EXPECT_TRUE(o.HitTest(50, 50, false)); // a hit without events
}

TEST(canvasObjTest, FittingAFontNudgesItsSizeAndKeepsIt) {
    ScopedPrinter printer(std::make_shared<DpiPrinter>(600));
    Metafile mf;
    TMetafileCanvas canvas(mf, Printer().Caps());
    Drawable o(nullptr);
    struct Case {
        int size;
        std::vector<int> steps;
    };
    const Case cases[] = {{10, {11, 10}}, {144, {143, 144}}, {200, {199, 200}}};
    for (const auto& c : cases) {
        canvas.Font.SetPixelsPerInch(96);
        canvas.Font.SetSize(c.size);
        std::vector<int> sizes;
        canvas.Font.OnChange = [&](TFont& f) { sizes.push_back(f.Size()); };
        o.FitFontToDevice(canvas);
        canvas.Font.OnChange = nullptr;
        EXPECT_EQ(sizes, c.steps) << c.size;
        EXPECT_EQ(canvas.Font.Size(), c.size);
        EXPECT_EQ(canvas.Font.PixelsPerInch(), 600);
    }
    EXPECT_EQ(canvas.Font.Height(), -1667); // 200 points at 600 dpi
}

TEST(canvasObjTest, AssignFontTakesTheFontAtPrinterResolution) {
    ScopedPrinter printer(std::make_shared<DpiPrinter>(600));
    Metafile mf;
    TMetafileCanvas canvas(mf, Printer().Caps());
    TFont font;
    font.SetName("Arial");
    font.SetSize(12);
    font.SetColor(clRed);
    Drawable o(nullptr);
    o.AssignFont(canvas, font);
    EXPECT_EQ(canvas.Font.Name(), "Arial");
    EXPECT_EQ(canvas.Font.Color(), clRed);
    EXPECT_EQ(canvas.Font.Height(), -100);
    EXPECT_EQ(canvas.TextHeight("X"), 112);
}

TEST(canvasObjTest, RotateFontSetsEscapementOrientationAndTrueTypeOnly) {
    Metafile mf;
    TMetafileCanvas canvas(mf, TDeviceCaps{});
    canvas.Font.SetName("Arial");
    canvas.Font.SetHeight(-50);
    const LOGFONTA before = canvas.Font.LogFont();
    Drawable o(nullptr);
    o.RotateFont(canvas, 90);
    const LOGFONTA after = canvas.Font.LogFont();
    EXPECT_EQ(after.lfEscapement, 900);
    EXPECT_EQ(after.lfOrientation, 900);
    EXPECT_EQ(after.lfOutPrecision, 7);
    LOGFONTA rest = after;
    rest.lfEscapement = rest.lfOrientation = 0;
    rest.lfOutPrecision = before.lfOutPrecision;
    EXPECT_EQ(rest, before);
    const auto bytes = after.ToBytes();
    EXPECT_EQ(LOGFONTA::FromBytes(bytes.data(), bytes.size()), after);
}

TEST(canvasObjTest, PenIsPublishedAndCreationIsStamped) {
    Drawable o(nullptr);
    EXPECT_EQ(o.ClassName(), "TcanvasObj");
    EXPECT_FALSE(o.Selected);
    EXPECT_GE(o.CreationTime, 0.0);
    EXPECT_LT(o.CreationTime, 1.0); // a time of day
    o.Pen.Width = 7;
    const TPropRef width = FindPropertyPath(MetaHandle(&o), o.ClassInfo(), "Pen.Width");
    ASSERT_TRUE(width);
    EXPECT_EQ(width.Prop->GetOrd(width.Handle), 7);
    EXPECT_EQ(width.Prop->Default, 1);
}

} // namespace
} // namespace vx
