#include "report/WPGraph.h"

#include "RecordingCanvas.h"
#include "data/Databuff.h"
#include "data/GlobalText.h"
#include "data/WPComp.h"
#include "platform/graphics/TextMetrics.h"
#include "platform/runtime/ComponentStream.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Streams.h"
#include "report/Asse.h"
#include "report/Serie.h"
#include "report/WPSection.h"
#include "report/legenda.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace vx {
namespace {

using test::FromHex;
using test::RecordingCanvas;

// The page's conversions at 600 dpi and a zoom in percent: zoom 100 shows 96 screen pixels
// per inch.
struct ZoomPage : TMetaobjParent {
    int32_t zoom = 50;
    int32_t ScreenToPrinterX(int32_t v) const override { return MulDiv(v, 60000, 96 * zoom); }
    int32_t ScreenToPrinterY(int32_t v) const override { return MulDiv(v, 60000, 96 * zoom); }
    int32_t PrinterToScreenX(int32_t v) const override { return MulDiv(v, 96 * zoom, 60000); }
    int32_t PrinterToScreenY(int32_t v) const override { return MulDiv(v, 96 * zoom, 60000); }
    void PageMouseDown(TMouseButton, TShiftState, int32_t x, int32_t y) override {
        events.push_back("down " + std::to_string(x) + "," + std::to_string(y));
    }
    void PageMouseMove(TShiftState, int32_t, int32_t) override {}
    void PageMouseUp(TMouseButton, TShiftState, int32_t, int32_t) override {
        events.push_back("up");
    }
    std::vector<std::string> events;
};

std::string Rect(const TRect& r) {
    return "(" + std::to_string(r.Left) + ", " + std::to_string(r.Top) + ")-(" +
           std::to_string(r.Right) + ", " + std::to_string(r.Bottom) + ")";
}

// X [0, 1, 2, 3], channel 1 [5, 6, 7, 8], channel 2 "A", "B", "B", "A".
std::unique_ptr<TDatabuffer> SmallData() {
    auto data = std::make_unique<TDatabuffer>();
    TdataProva& t = data->AddProva(4);
    const char* columns[3][4] = {{"0", "1", "2", "3"}, {"5", "6", "7", "8"}, {"A", "B", "B", "A"}};
    for (int c = 0; c < 3; ++c)
        for (const char* v : columns[c])
            t.GetChannel(c).AddText(v);
    for (const char* n : {"X", "P", "K"})
        t.ChannelNames.Add(n);
    for (const char* u : {"s", "bar", "-"})
        t.Units.Add(u);
    return data;
}

class WPGraphTest : public ::testing::Test {
protected:
    void SetUp() override { SetFixedTextMetrics(true); }
    void TearDown() override {
        SetFixedTextMetrics(false);
        SetEditorHooks(nullptr);
        TWPGraph::SetTypingChannel(0);
    }

    // A graph on a page rectangle of w x h printer pixels from the page's corner.
    std::unique_ptr<TWPGraph> NewGraph(int32_t w = 2000, int32_t h = 3000,
                                       TDatabuffer* data = nullptr) {
        auto g = std::make_unique<TWPGraph>(nullptr, data);
        g->SetParent(&page);
        g->SetCoord(0, 0);
        g->SetCoord(1, 0);
        g->SetCoord(2, w);
        g->SetCoord(3, h);
        return g;
    }
    static TAsse& LeftAxis(const TWPGraph& g, int i = 0) { return *g.LeftSide().GetAxisByIndex(i); }
    static TAsse& RightAxis(const TWPGraph& g, int i = 0) {
        return *g.RightSide().GetAxisByIndex(i);
    }

    ZoomPage page;
};

// ---- zones and layout ----

TEST_F(WPGraphTest, NewGraphLaysOutItsZonesAndFramesThePage) {
    auto g = NewGraph();
    const int32_t zones[] = {30, 2970, 400, 1600, 2823, 177};
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(g->ZonePixel(k), zones[k]) << k;
    EXPECT_EQ(g->ZonePixel(6), 0);
    RecordingCanvas canvas;
    g->DrawContent(canvas);
    EXPECT_EQ(Rect(g->XAxis().BoundsRect), "(400, 2823)-(1600, 2970)");
    EXPECT_EQ(Rect(LeftAxis(*g).BoundsRect), "(0, 30)-(399, 2823)");
    EXPECT_EQ(Rect(RightAxis(*g).BoundsRect), "(1600, 30)-(2000, 2823)");
    ASSERT_FALSE(canvas.OpsOf("polyline").empty());
    EXPECT_EQ(canvas.OpsOf("polyline")[0], "polyline 2,2 1998,2 1998,2998 2,2998 2,2 pen 0 w3 s0");
    EXPECT_TRUE(LeftAxis(*g).LeftSide);
    EXPECT_FALSE(RightAxis(*g).LeftSide);
    EXPECT_EQ(g->XAxis().Channels().Count(), 1);
    EXPECT_FALSE(g->XAxis().Vertical);
    EXPECT_EQ(g->Series().size(), 2u);
}

TEST_F(WPGraphTest, ZoneIndexesMapOntoTheTwoRectangles) {
    auto g = NewGraph();
    const int32_t defaults[] = {10, 990, 10, 990, 200, 800, 50, 950};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(g->GetZone(i), defaults[i]) << i;
        g->SetZone(i, 100 + i);
        EXPECT_EQ(g->GetZone(i), 100 + i) << i;
    }
    g->SetZone(8, 5);
    g->SetZone(-1, 5);
    EXPECT_EQ(g->GetZone(8), 0);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(g->GetZone(i), 100 + i);
    // At zoom 50 one screen pixel is 12.5 printer pixels: (2, 3) are x, the rest y.
    g->SetZone(0, 10);
    g->SetZone(1, 990);
    g->SetZone(2, 10);
    g->SetZone(3, 990);
    g->SetZone(4, 200);
    g->SetZone(5, 800);
    g->SetZone(6, 50);
    g->SetZone(7, 950);
    const int32_t screen[] = {2, 238, 32, 128, 226, 14};
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(g->ZoneScreen(k), screen[k]) << k;
    EXPECT_EQ(g->ZoneScreen(6), 0);
}

TEST_F(WPGraphTest, SectionsShareTheHeightAndDoubleAxesTakeTwoSlots) {
    auto g = NewGraph(3000, 2000);
    g->SetZone(2, 20);
    g->SetZone(3, 980);
    g->SetZone(4, 150);
    g->SetZone(5, 850);
    g->SetZone(6, 100);
    g->SetZone(7, 900);
    g->Legend().Visible = true;
    TWPSide& left = g->LeftSide();
    left.GetSection(0)->Size = 70;
    left.GetSection(0)->AddAxes(1);
    left.GetSection(0)->GetAxis(0)->DoubleAxe = true;
    left.AddSections(1);
    left.GetSection(1)->Size = 30;
    left.GetSection(1)->AddAxes(1);
    g->Layout();
    const int32_t zones[] = {40, 1960, 450, 2550, 1768, 232};
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(g->ZonePixel(k), zones[k]) << k;
    EXPECT_EQ(Rect(g->Legend().BoundsRect), "(50, 40)-(2950, 232)");
    EXPECT_EQ(Rect(g->XAxis().BoundsRect), "(450, 1768)-(2550, 1960)");
    EXPECT_EQ(Rect(LeftAxis(*g, 0).BoundsRect), "(0, 232)-(298, 1307)");
    EXPECT_EQ(Rect(LeftAxis(*g, 1).BoundsRect), "(298, 232)-(447, 1307)");
    EXPECT_EQ(Rect(LeftAxis(*g, 2).BoundsRect), "(0, 1307)-(449, 1768)");
    EXPECT_EQ(Rect(RightAxis(*g).BoundsRect), "(2550, 232)-(3000, 1768)");
    // Every axis is told the plotting rectangle and the common grid.
    EXPECT_EQ(Rect(LeftAxis(*g, 2).PlotRect()), "(450, 232)-(2550, 1768)");
    EXPECT_EQ(LeftAxis(*g, 2).GridCellCount(), 25);
}

TEST_F(WPGraphTest, ASectionWithoutAxesKeepsItsShareAndPlacesNothing) {
    auto g = NewGraph();
    TAsse axis(nullptr);
    TMemoryStream s(FromHex("02000000 28000000 00000000 3C000000 01000000"));
    s.Seek(0, TSeekOrigin::soEnd);
    WriteComponent(s, axis);
    s.SetPosition(0);
    g->LeftSide().ReadFromStream(s);
    ASSERT_EQ(g->LeftSide().AxisCount(), 1);
    RecordingCanvas canvas;
    g->DrawContent(canvas);
    EXPECT_EQ(Rect(LeftAxis(*g).BoundsRect), "(0, 1147)-(399, 2823)");
}

// ---- watermark ----

TEST_F(WPGraphTest, WatermarkKeepsItsPhysicalSizeInEachMode) {
    struct Case {
        int32_t w, h;
        uint8_t mode;
        std::vector<std::string> pieces;
    };
    const std::vector<Case> cases = {
        {96, 96, 0, {"bitmap 700,1200-1300,1800"}},
        {96,
         96,
         1,
         {"bitmap 400,177-1000,777", "bitmap 1000,177-1600,777", "bitmap 400,777-1000,1377",
          "bitmap 1000,777-1600,1377", "bitmap 400,1377-1000,1977", "bitmap 1000,1377-1600,1977",
          "bitmap 400,1977-1000,2577", "bitmap 1000,1977-1600,2577"}},
        {96, 96, 2, {"bitmap 400,177-1600,2823"}},
        {288, 96, 0, {"bitmap 400,1200-1600,1800"}},
        {288, 96, 1, {}},
    };
    for (const Case& c : cases) {
        auto g = NewGraph();
        g->Filigrana.SetSize(c.w, c.h);
        g->Filigrana_Status = c.mode;
        RecordingCanvas canvas;
        g->DrawContent(canvas);
        EXPECT_EQ(canvas.OpsOf("bitmap"), c.pieces) << c.w << " mode " << int(c.mode);
    }
}

// ---- stream ----

TEST_F(WPGraphTest, NewGraphStreamHasItsFiveParts) {
    auto g = NewGraph();
    TMemoryStream s;
    g->SaveToStream(s);
    const std::string bytes = s.Bytes();
    const std::string graph = ComponentToBytes(*g);
    const std::string xAxis = ComponentToBytes(g->XAxis());
    const std::string legend = ComponentToBytes(g->Legend());
    const std::string axis = ComponentToBytes(LeftAxis(*g));
    const std::string oneSection = FromHex("01000000 64000000 01000000");
    EXPECT_EQ(bytes, graph + xAxis + oneSection + axis + oneSection +
                         ComponentToBytes(RightAxis(*g)) + legend);
    EXPECT_EQ(graph.substr(0, 13), std::string("TPF0\x08TWPGraph", 13));
    EXPECT_EQ(xAxis.substr(0, 10), std::string("TPF0\x05TAsse", 10));
    EXPECT_EQ(axis.substr(0, 10), std::string("TPF0\x05TAsse", 10));
    EXPECT_EQ(legend.substr(0, 13), std::string("TPF0\x08Tlegenda", 13));
    // The graph's own properties: the base bounds at zoom 50, then only the border width,
    // which differs from a frame's default.
    EXPECT_EQ(test::HexBytes(graph), test::HexBytes(FromHex("54504630 08 5457504772617068 00"
                                                            "04 4C656674 02 00"
                                                            "03 546F70 02 00"
                                                            "05 5769647468 03 A000"
                                                            "06 486569676874 03 F000"
                                                            "0C 626F726465722E5769647468 02 03"
                                                            "00 00")));
}

TEST_F(WPGraphTest, GraphReadBackHasTheSameZonesSidesAxesLegendAndWatermark) {
    auto data = SmallData();
    auto g = NewGraph(2000, 3000, data.get());
    g->SetZone(4, 250);
    g->SetZone(7, 900);
    g->Globalgrid = true;
    g->Filigrana.SetSize(4, 3, clRed);
    g->Filigrana_Status = 1;
    g->Legend().Visible = true;
    g->LeftSide().GetSection(0)->Size = 60;
    g->LeftSide().AddSections(1);
    g->LeftSide().GetSection(1)->Size = 40;
    g->LeftSide().GetSection(1)->AddAxes(2);
    LeftAxis(*g, 2).Caption = "third";
    TMemoryStream first;
    g->SaveToStream(first);
    EXPECT_NE(first.Bytes().find("\x0E"
                                 "Filigrana.Data\x0A"),
              std::string::npos);

    auto read = NewGraph(2000, 3000, data.get());
    read->Dirty = false;
    first.SetPosition(0);
    read->LoadFromStream(first);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(read->GetZone(i), g->GetZone(i)) << i;
    EXPECT_TRUE(read->Globalgrid);
    EXPECT_EQ(read->Filigrana_Status, 1);
    EXPECT_EQ(read->Filigrana.SaveToBytes(), g->Filigrana.SaveToBytes());
    EXPECT_TRUE(read->Legend().Visible);
    ASSERT_EQ(read->LeftSide().SectionCount(), 2);
    EXPECT_EQ(read->LeftSide().GetSection(1)->Size, 40);
    EXPECT_EQ(LeftAxis(*read, 2).Caption, "third");
    EXPECT_EQ(read->Series().size(), 4u);
    EXPECT_EQ(read->Series()[3]->YAxis(), &RightAxis(*read));
    EXPECT_TRUE(read->AutoLimitsPending());
    EXPECT_TRUE(read->Dirty);
    // The rebuilt axes answer clicks through the graph.
    LeftAxis(*read, 2).OnClick(&LeftAxis(*read, 2));
    EXPECT_TRUE(LeftAxis(*read, 2).Selected);
    LeftAxis(*read, 2).Selected = false;
    TMemoryStream again;
    read->SaveToStream(again);
    EXPECT_EQ(test::HexBytes(again.Bytes()), test::HexBytes(first.Bytes()));
}

TEST_F(WPGraphTest, BrokenSideStreamRaisesAndKeepsTheGraph) {
    auto g = NewGraph();
    TMemoryStream full;
    g->SaveToStream(full);
    const std::string bytes = full.Bytes();
    const std::string graphAndX = ComponentToBytes(*g) + ComponentToBytes(g->XAxis());
    // A left side that claims 9 sections.
    TMemoryStream broken(graphAndX + FromHex("09000000"));
    EXPECT_THROW(g->LoadFromStream(broken), EReadError);
    EXPECT_EQ(g->LeftSide().SectionCount(), 1);
    EXPECT_EQ(g->Series().size(), 2u);
}

// ---- data range and limits ----

TEST_F(WPGraphTest, DataRangeFollowsTheAxisFilters) {
    auto data = SmallData();
    auto g = NewGraph(2000, 3000, data.get());
    TAsse& y = LeftAxis(*g);
    double min = 0, max = 0;
    g->DataRange(y, min, max);
    EXPECT_EQ(min, 0);
    EXPECT_EQ(max, 100) << "no channels";
    y.Channels().Add(1);
    g->DataRange(y, min, max);
    EXPECT_EQ(min, 5);
    EXPECT_EQ(max, 8);
    struct Case {
        int filter;
        std::string value;
        double yMin, yMax, xMin, xMax;
    };
    const Case cases[] = {
        {2, "B", 6, 7, 1, 2},
        {2, "C", 0, 100, 0, 100}, // no row passes
        {7, "B", 0, 100, 0, 100}, // the tests lack the filter channel
    };
    for (const Case& c : cases) {
        y.filtro = c.filter;
        y.filtrotipo = 1;
        y.filtrovalore = c.value;
        g->DataRange(y, min, max);
        EXPECT_EQ(min, c.yMin) << c.value;
        EXPECT_EQ(max, c.yMax) << c.value;
        g->DataRange(g->XAxis(), min, max);
        EXPECT_EQ(min, c.xMin) << c.value;
        EXPECT_EQ(max, c.xMax) << c.value;
    }
    // Without any data an axis with channels still gets the default range.
    auto empty = NewGraph();
    LeftAxis(*empty).Channels().Add(1);
    empty->DataRange(LeftAxis(*empty), min, max);
    EXPECT_EQ(max, 100);
}

TEST_F(WPGraphTest, FirstPaintSortsByXAndComputesAutomaticLimits) {
    auto data = std::make_unique<TDatabuffer>();
    TdataProva& t = data->AddProva(3);
    for (const char* v : {"3", "1", "2"})
        t.GetChannel(0).AddText(v);
    for (const char* v : {"30", "10", "20"})
        t.GetChannel(1).AddText(v);
    auto g = NewGraph(2000, 3000, data.get());
    g->XAxis().ValueSort = true;
    LeftAxis(*g).Channels().Add(1);
    LeftAxis(*g).limitiautomatici = false;
    g->Paint();
    EXPECT_FALSE(g->AutoLimitsPending());
    EXPECT_FALSE(g->Dirty);
    EXPECT_EQ(g->GetMetafile().Width(), 2000);
    EXPECT_EQ(g->GetMetafile().Height(), 3000);
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(t.GetText(0, r), std::to_string(r + 1));
        EXPECT_EQ(t.GetText(1, r), std::to_string(10 * (r + 1)));
    }
    // The automatic X axis took the data's range, the manual Y axis kept its own.
    EXPECT_LE(g->XAxis().Minimum, 1);
    EXPECT_GE(g->XAxis().Maximum, 3);
    EXPECT_LT(g->XAxis().Maximum, 100);
    EXPECT_EQ(LeftAxis(*g).Maximum, 100);
    // A second paint with nothing changed composes nothing new.
    const auto picture = g->GetMetafile().Data();
    g->Paint();
    EXPECT_EQ(g->GetMetafile().Data(), picture);
}

// ---- selection and clicks ----

TEST_F(WPGraphTest, ClicksSelectAxesAndShiftKeepsTheOthers) {
    auto g = NewGraph();
    RecordingCanvas canvas;
    g->DrawContent(canvas);
    TAsse& a = LeftAxis(*g);
    TAsse& b = RightAxis(*g);
    // Screen points at zoom 50: A's bounds hold (8, 80), B's (150, 80), nothing (80, 80).
    auto click = [&](int32_t x, int32_t y, TShiftState shift) {
        g->Dirty = false;
        g->MouseDown(mbLeft, shift, x, y);
        g->MouseUp(mbLeft, shift, x, y);
        g->Click();
        EXPECT_TRUE(g->Dirty);
    };
    click(8, 80, 0);
    EXPECT_TRUE(a.Selected);
    EXPECT_FALSE(b.Selected);
    click(150, 80, ssShift);
    EXPECT_TRUE(a.Selected);
    EXPECT_TRUE(b.Selected);
    EXPECT_EQ(g->SelectedAxisCount(), 2);
    click(150, 80, ssShift);
    EXPECT_FALSE(b.Selected);
    EXPECT_TRUE(a.Selected);
    click(80, 80, 0);
    EXPECT_EQ(g->SelectedAxisCount(), 0);
    // A double click on no axis does nothing.
    g->Dirty = false;
    g->DblClick();
    EXPECT_FALSE(g->Dirty);

    g->XAxis().Selected = true;
    b.Selected = true;
    EXPECT_EQ(g->SelectedAxisCount(), 2);
    EXPECT_EQ(g->GetSelectedAxis(), &b);
    g->SelectAllAxes();
    EXPECT_EQ(g->SelectedAxisCount(), 3);
    g->DeselectAxes();
    EXPECT_EQ(g->GetSelectedAxis(), nullptr);
}

// ---- dragging the plotting area ----

TEST_F(WPGraphTest, HotEdgesChooseTheCursor) {
    auto g = NewGraph();
    struct Case {
        int32_t zoom, x, y;
        bool legend;
        int32_t cursor;
    };
    const Case cases[] = {
        {50, 128, 120, false, crSizeWE},                                   // right
        {50, 32, 120, false, crSizeWE},                                    // left
        {50, 80, 226, false, crSizeNS},                                    // bottom
        {50, 128, 226, false, crSizeNWSE},                                 // right and bottom
        {50, 32, 226, false, crSizeNESW},                                  // left and bottom
        {50, 80, 120, false, 0},           {100, 160, 28, true, crSizeNS}, // top
        {100, 160, 28, false, 0},         // no top edge without the legend
        {100, 256, 28, true, crSizeNESW}, // top and right
        {100, 64, 28, true, crSizeNWSE},  // top and left
    };
    for (const Case& c : cases) {
        page.zoom = c.zoom;
        g->Legend().Visible = c.legend;
        g->MouseMove(0, c.x, c.y);
        EXPECT_EQ(g->Cursor, c.cursor) << c.zoom << " " << c.x << "," << c.y;
    }
}

TEST_F(WPGraphTest, DraggingTheRightEdgeStopsShortOfTheLeftOne) {
    auto g = NewGraph();
    g->MouseMove(0, 128, 120);
    g->MouseDown(mbLeft, 0, 128, 120);
    g->MouseMove(0, 10, 120);
    ASSERT_TRUE(g->FocusOverlay());
    EXPECT_EQ(g->FocusOverlay()->Right, 52);
    g->Dirty = false;
    g->MouseUp(mbLeft, 0, 10, 120);
    EXPECT_FALSE(g->FocusOverlay());
    EXPECT_TRUE(g->Dirty);
    EXPECT_EQ(g->GetZone(5), 325);
    EXPECT_EQ(g->GetZone(4), 200);
    EXPECT_EQ(g->GetZone(6), 50);
    EXPECT_EQ(g->GetZone(7), 950);
    // The page saw the press and the release.
    EXPECT_EQ(page.events, (std::vector<std::string>{"down 128,120", "up"}));
}

TEST_F(WPGraphTest, DraggingTheTopEdgeStaysAboveTheBottom) {
    struct Case {
        int32_t toY, overlayTop, zone;
    };
    for (const Case c : {Case{100, 100, 202}, Case{470, 432, 909}}) {
        page.zoom = 100;
        auto g = NewGraph();
        g->Legend().Visible = true;
        g->MouseMove(0, 160, 28);
        g->MouseDown(mbLeft, 0, 160, 28);
        g->MouseMove(0, 160, c.toY);
        ASSERT_TRUE(g->FocusOverlay());
        EXPECT_EQ(Rect(*g->FocusOverlay()), "(0, " + std::to_string(c.overlayTop) + ")-(320, 452)");
        g->MouseUp(mbLeft, 0, 160, c.toY);
        EXPECT_EQ(g->GetZone(6), c.zone);
        EXPECT_EQ(g->GetZone(7), 950);
        EXPECT_EQ(g->GetZone(5), 800);
    }
}

TEST_F(WPGraphTest, DraggingTheBottomEdgeIsLimitedToTheZone) {
    auto g = NewGraph();
    g->MouseMove(0, 80, 226);
    g->MouseDown(mbLeft, 0, 80, 226);
    g->MouseMove(0, 80, 239); // beyond the axis zone's bottom (238)
    g->MouseUp(mbLeft, 0, 80, 239);
    EXPECT_EQ(g->GetZone(7), 1000);
    EXPECT_EQ(g->GetZone(6), 50);
    // Upwards it stops 20 pixels below the plotting top (screen 14 + 20).
    g->MouseMove(0, 80, 238);
    g->MouseDown(mbLeft, 0, 80, 238);
    g->MouseMove(0, 80, 0);
    ASSERT_TRUE(g->FocusOverlay());
    EXPECT_EQ(g->FocusOverlay()->Bottom, 34);
    g->MouseUp(mbLeft, 0, 80, 0);
    EXPECT_EQ(g->GetZone(7), 136);
}

TEST_F(WPGraphTest, DragOverAnAxisZoneWithoutHeightChangesNoZone) {
    auto g = NewGraph();
    g->SetZone(2, 500);
    g->SetZone(3, 500);
    g->Legend().Visible = true;
    g->MouseMove(0, 80, 120);
    EXPECT_EQ(g->HotEdges(1000, 1500), TWPGraph::DE_Top | TWPGraph::DE_Bottom);
    g->MouseDown(mbLeft, 0, 80, 120);
    g->MouseMove(0, 80, 100);
    g->MouseUp(mbLeft, 0, 80, 100);
    EXPECT_EQ(g->GetZone(6), 50);
    EXPECT_EQ(g->GetZone(7), 950);
}

// ---- dialogs ----

struct FakeHooks : TEditorHooks {
    std::function<void(TAxisExchange&)> axis;
    std::function<bool(std::string&, std::string&)> sections;
    std::function<void(TAxisTypingExchange&)> typing;
    std::vector<TAxisExchange> axisSeen;
    std::vector<TAxisTypingExchange> typingSeen;
    struct Window : TCursorValuesWindow {
        std::vector<std::string>* log;
        void ShowPosition(int32_t x, int32_t y) override {
            log->push_back(std::to_string(x) + "," + std::to_string(y));
        }
        void MarkClosing() override { log->push_back("closing"); }
        ~Window() override { log->push_back("freed"); }
    };
    std::vector<std::string> cursorLog;
    TDatabuffer* cursorData = nullptr;
    TAsse* cursorX = nullptr;
    TWPSide* cursorRight = nullptr;
    TWPSide* cursorLeft = nullptr;

    void EditAxis(TAxisExchange& x) override {
        axisSeen.push_back(x);
        if (axis)
            axis(x);
    }
    bool EditSections(std::string& l, std::string& r) override {
        return sections && sections(l, r);
    }
    void EditAxisTyping(TAxisTypingExchange& x) override {
        typingSeen.push_back(x);
        if (typing)
            typing(x);
    }
    TCursorValuesWindow* OpenCursorValues(TDatabuffer* data, TAsse& x, TWPSide& right,
                                          TWPSide& left) override {
        cursorData = data;
        cursorX = &x;
        cursorRight = &right;
        cursorLeft = &left;
        auto* w = new Window;
        w->log = &cursorLog;
        cursorLog.push_back("open");
        return w;
    }
};

TEST_F(WPGraphTest, AxisDialogIsFilledFromTheAxis) {
    FakeHooks hooks;
    SetEditorHooks(&hooks);
    auto data = SmallData();
    auto g = NewGraph(2000, 3000, data.get());
    TAsse& y = LeftAxis(*g);
    y.Channels().Add(2);
    g->EditAxis(y);
    y.Logarithmic = true;
    y.Minimum = -1;
    y.Maximum = 2;
    y.Increment = 1;
    y.Pen.Style = psDash;
    y.Pen.Width = 6;
    y.See_line = false;
    y.SplineRecord().Enabled = 1;
    y.filtro = 1;
    g->Globalgrid = true;
    g->EditAxis(y);
    g->EditAxis(g->XAxis());
    ASSERT_EQ(hooks.axisSeen.size(), 3u);
    const TAxisExchange& linear = hooks.axisSeen[0];
    EXPECT_EQ(linear.MaximumText, "100.00");
    EXPECT_EQ(linear.MinimumText, "0.00");
    EXPECT_EQ(linear.IncrementText, "10.00");
    EXPECT_EQ(linear.DivisionsText, "10");
    EXPECT_EQ(linear.ChannelNames, (std::vector<std::string>{"X", "P", "K"}));
    EXPECT_EQ(linear.AxisChannelNames, (std::vector<std::string>{"K"}));
    EXPECT_EQ(linear.FilterIndex, 0);
    EXPECT_EQ(linear.PenStyleIndex, 0);
    EXPECT_TRUE(linear.DivisionsEnabled);
    EXPECT_FALSE(linear.Horizontal);
    EXPECT_EQ(linear.LineIndicator.Color, 0xFFFF00);
    EXPECT_EQ(linear.FitIndicator.Color, 0x800000);
    EXPECT_EQ(linear.SplineIndicator.Color, 0x800000);
    EXPECT_EQ(linear.SplineIndicator.Text, GlobalText("IDS_24"));
    const TAxisExchange& log = hooks.axisSeen[1];
    EXPECT_EQ(log.MaximumText, "100.00");
    EXPECT_EQ(log.MinimumText, "0.10");
    EXPECT_EQ(log.IncrementText, "10.00");
    EXPECT_EQ(log.DivisionsText, "3");
    EXPECT_EQ(log.PenStyleIndex, 2);
    EXPECT_EQ(log.PenWidthIndex, PenWidthToIndex(6));
    EXPECT_EQ(log.FilterIndex, 2);
    EXPECT_EQ(log.LineIndicator.Color, 0x800000);
    EXPECT_EQ(log.SplineIndicator.Color, 0xFFFF00);
    EXPECT_EQ(log.SplineIndicator.Text, GlobalText("IDS_23"));
    EXPECT_FALSE(log.DivisionsEnabled) << "a common grid fixes a vertical axis's divisions";
    EXPECT_TRUE(hooks.axisSeen[2].Horizontal);
    EXPECT_TRUE(hooks.axisSeen[2].DivisionsEnabled);
}

TEST_F(WPGraphTest, AxisDialogCarriesOnlyChangedValuesToTheOtherSelectedAxes) {
    FakeHooks hooks;
    SetEditorHooks(&hooks);
    auto g = NewGraph();
    TAsse& a = LeftAxis(*g);
    TAsse& b = RightAxis(*g);
    a.Caption = "T";
    a.DoubleAxe = true;
    a.Conversionformula = "x*2";
    b.Caption = "P";
    a.Selected = b.Selected = true;

    hooks.axis = [](TAxisExchange& x) {
        x.Formato = "0.00";
        x.ModalResult = 2;
    };
    g->EditAxis(a);
    EXPECT_EQ(a.Formato, "0.0");
    EXPECT_EQ(b.Formato, "0.0");
    EXPECT_EQ(a.Conversionformula, "x*2");
    EXPECT_FALSE(b.DoubleAxe);

    hooks.axis = [](TAxisExchange& x) {
        x.Formato = "0.00";
        x.ModalResult = 1;
    };
    g->Dirty = false;
    g->EditAxis(a);
    EXPECT_EQ(a.Formato, "0.00");
    EXPECT_EQ(b.Formato, "0.00");
    EXPECT_EQ(a.Caption, "T");
    EXPECT_EQ(b.Caption, "P");
    EXPECT_TRUE(b.DoubleAxe);
    EXPECT_EQ(a.Conversionformula, "X*2");
    EXPECT_EQ(b.Conversionformula, "X*2");
    EXPECT_TRUE(g->Dirty);
    EXPECT_EQ(g->XAxis().Formato, "0.0") << "not selected";
}

TEST_F(WPGraphTest, AxisDialogLimitsOfAManualLogarithmicAxis) {
    FakeHooks hooks;
    SetEditorHooks(&hooks);
    auto g = NewGraph();
    TAsse& a = LeftAxis(*g);
    a.limitiautomatici = false;
    a.Logarithmic = true;
    a.Minimum = 0;
    a.Maximum = 1;
    a.Increment = 1;
    hooks.axis = [](TAxisExchange& x) {
        x.MinimumText = "0.50";
        x.MaximumText = "200.00";
        x.ModalResult = 1;
    };
    g->EditAxis(a);
    EXPECT_EQ(a.Minimum, -1);
    EXPECT_EQ(a.Maximum, 3);
    EXPECT_EQ(a.Increment, 1);
}

TEST_F(WPGraphTest, AxisDialogSwitchesSortingAndLogarithmicTicks) {
    FakeHooks hooks;
    SetEditorHooks(&hooks);
    auto data = std::make_unique<TDatabuffer>();
    TdataProva& t = data->AddProva(2);
    for (const char* v : {"2", "1"})
        t.GetChannel(0).AddText(v);
    auto g = NewGraph(2000, 3000, data.get());
    hooks.axis = [](TAxisExchange& x) {
        x.ValueSort = true;
        x.ModalResult = 1;
    };
    g->EditAxis(g->XAxis());
    EXPECT_TRUE(g->XAxis().ValueSort);
    EXPECT_TRUE(data->Sorted());
    EXPECT_EQ(t.GetText(0, 0), "1");
    hooks.axis = [](TAxisExchange& x) {
        x.ValueSort = false;
        x.ModalResult = 1;
    };
    g->EditAxis(g->XAxis());
    EXPECT_FALSE(data->Sorted());
    EXPECT_EQ(t.GetText(0, 0), "2");
    // A vertical axis never sorts.
    hooks.axis = [](TAxisExchange& x) {
        x.ValueSort = true;
        x.Logarithmic = true;
        x.ModalResult = 1;
    };
    TAsse& y = LeftAxis(*g);
    g->EditAxis(y);
    EXPECT_FALSE(y.ValueSort);
    EXPECT_TRUE(y.Logarithmic);
    EXPECT_EQ(y.Sottotacche, 9);
}

TEST_F(WPGraphTest, AxisDoubleClickOpensTheDialogAndSwallowsTheNextPress) {
    FakeHooks hooks;
    SetEditorHooks(&hooks);
    auto g = NewGraph();
    RecordingCanvas canvas;
    g->DrawContent(canvas);
    g->MouseDown(mbLeft, 0, 8, 80);
    g->MouseUp(mbLeft, 0, 8, 80);
    g->DblClick();
    EXPECT_EQ(hooks.axisSeen.size(), 1u);
    page.events.clear();
    // The press that follows starts no drag even on a hot edge and stays with the graph.
    g->MouseDown(mbLeft, ssDouble, 128, 120);
    EXPECT_TRUE(page.events.empty());
    EXPECT_FALSE(g->FocusOverlay());
    g->MouseDown(mbLeft, 0, 128, 120);
    EXPECT_EQ(page.events.size(), 1u);
    EXPECT_TRUE(g->FocusOverlay());
}

TEST_F(WPGraphTest, SectionDialogRebuildsTheSidesOnlyOnOk) {
    FakeHooks hooks;
    SetEditorHooks(&hooks);
    auto g = NewGraph();
    std::string leftSeen, rightSeen;
    bool ok = true;
    const auto dialog = [&](std::string& l, std::string& r) {
        leftSeen = l;
        rightSeen = r;
        TComponent owner;
        TWPSide side(&owner);
        TMemoryStream in(l);
        side.ReadFromStream(in);
        side.AddSections(1);
        side.GetSection(1)->Size = 50;
        side.GetSection(1)->AddAxes(2);
        TMemoryStream out;
        side.WriteToStream(out);
        l = out.Bytes();
        return ok;
    };
    hooks.sections = dialog;
    TMemoryStream leftBefore, rightBefore;
    g->LeftSide().WriteToStream(leftBefore);
    g->RightSide().WriteToStream(rightBefore);
    ok = false;
    g->EditSections();
    TMemoryStream leftAfter, rightAfter;
    g->LeftSide().WriteToStream(leftAfter);
    g->RightSide().WriteToStream(rightAfter);
    EXPECT_EQ(leftAfter.Bytes(), leftBefore.Bytes());
    EXPECT_EQ(rightAfter.Bytes(), rightBefore.Bytes());
    EXPECT_EQ(leftSeen, leftBefore.Bytes());
    EXPECT_EQ(rightSeen, rightBefore.Bytes());

    // A right side the dialog broke: neither side changes.
    hooks.sections = [&](std::string&, std::string& r) {
        r = FromHex("09000000");
        return true;
    };
    EXPECT_THROW(g->EditSections(), EReadError);
    TMemoryStream leftBroken;
    g->LeftSide().WriteToStream(leftBroken);
    EXPECT_EQ(leftBroken.Bytes(), leftBefore.Bytes());

    hooks.sections = dialog;
    ok = true;
    g->Dirty = false;
    g->EditSections();
    EXPECT_EQ(g->LeftSide().SectionCount(), 2);
    EXPECT_EQ(g->Series().size(), 4u);
    EXPECT_TRUE(g->Dirty);
    EXPECT_TRUE(LeftAxis(*g, 2).LeftSide);
}

TEST_F(WPGraphTest, AxisTypingFiltersEachAxisByTheChosenChannel) {
    FakeHooks hooks;
    SetEditorHooks(&hooks);
    auto data = SmallData();
    auto g = NewGraph(2000, 3000, data.get());
    LeftAxis(*g).Channels().Add(1);
    RightAxis(*g).filtrovalore = "old";
    RightAxis(*g).filtro = 2;
    hooks.typing = [](TAxisTypingExchange& x) {
        x.ChannelIndex = 2;
        x.Rows[0][1] = "B";
        x.Rows[1][1] = "*.*";
        x.ModalResult = 1;
    };
    g->EditAxisTyping();
    ASSERT_EQ(hooks.typingSeen.size(), 1u);
    const TAxisTypingExchange& first = hooks.typingSeen[0];
    EXPECT_EQ(first.ChannelIndex, 0);
    EXPECT_EQ(first.Channels, (std::vector<std::string>{"X[s]", "P[bar]", "K[-]"}));
    ASSERT_EQ(first.Rows.size(), 2u);
    EXPECT_EQ(first.Rows[0][0], "P");
    EXPECT_EQ(first.Rows[0][1], "*.*");
    EXPECT_EQ(first.Rows[1][1], "old");
    EXPECT_EQ(first.Choices, (std::vector<std::string>{"*.*", "0", "1", "2", "3"}));
    EXPECT_EQ(LeftAxis(*g).filtro, 2);
    EXPECT_EQ(LeftAxis(*g).filtrovalore, "B");
    EXPECT_EQ(LeftAxis(*g).filtrotipo, 1);
    EXPECT_EQ(RightAxis(*g).filtrovalore, "");
    EXPECT_EQ(RightAxis(*g).filtro, -1);
    hooks.typing = nullptr;
    g->EditAxisTyping();
    EXPECT_EQ(hooks.typingSeen[1].ChannelIndex, 2);
    EXPECT_EQ(hooks.typingSeen[1].Choices, (std::vector<std::string>{"*.*", "A", "B"}));
    EXPECT_EQ(LeftAxis(*g).filtrovalore, "B") << "Cancel";
    // An empty value, as "Setta" with none chosen writes it, also means every value.
    hooks.typing = [](TAxisTypingExchange& x) {
        x.Rows[0][1] = "";
        x.ModalResult = 1;
    };
    g->EditAxisTyping();
    EXPECT_EQ(LeftAxis(*g).filtro, -1);
    EXPECT_EQ(LeftAxis(*g).filtrovalore, "");
}

TEST_F(WPGraphTest, CursorWindowFollowsTheMouseAndClosesWithTheGraph) {
    FakeHooks hooks;
    SetEditorHooks(&hooks);
    auto data = SmallData();
    auto g = NewGraph(2000, 3000, data.get());
    g->ShowCursorValues(true);
    EXPECT_EQ(hooks.cursorData, data.get());
    EXPECT_EQ(hooks.cursorX, &g->XAxis());
    EXPECT_EQ(hooks.cursorRight, &g->RightSide());
    EXPECT_EQ(hooks.cursorLeft, &g->LeftSide());
    g->MouseMove(0, 100, 100);
    g->ShowCursorValues(false);
    g->MouseMove(0, 1, 1);
    g->ShowCursorValues(true);
    g.reset();
    EXPECT_EQ(hooks.cursorLog, (std::vector<std::string>{"open", "1250,1250", "closing", "freed",
                                                         "open", "closing", "freed"}));
}

TEST_F(WPGraphTest, WithoutHooksEveryDialogIsCancel) {
    auto data = SmallData();
    auto g = NewGraph(2000, 3000, data.get());
    TMemoryStream before;
    g->SaveToStream(before);
    g->EditAxis(LeftAxis(*g));
    g->EditSections();
    g->EditAxisTyping();
    g->ShowCursorValues(true);
    EXPECT_FALSE(g->CursorValuesShown());
    TMemoryStream after;
    g->SaveToStream(after);
    EXPECT_EQ(after.Bytes(), before.Bytes());
}

} // namespace
} // namespace vx

namespace vx {
namespace {

TEST_F(WPGraphTest, SeriesDrawTheirCurvesAfterTheAxes) {
    auto data = SmallData();
    auto g = NewGraph(2000, 3000, data.get());
    TAsse& x = g->XAxis();
    TAsse& y = LeftAxis(*g);
    y.Channels().Add(1);
    for (TAsse* a : {&x, &y})
        a->limitiautomatici = false;
    x.Minimum = 0;
    x.Maximum = 3;
    x.Increment = 1;
    y.Minimum = 5;
    y.Maximum = 8;
    y.Increment = 1;
    RecordingCanvas canvas;
    g->DrawContent(canvas);
    auto at = [&](int i) {
        return std::to_string(x.ValueToPos(i)) + "," + std::to_string(y.ValueToPos(5 + i));
    };
    size_t lastAxisText = 0, previous = 0;
    for (size_t i = 0; i < canvas.Ops.size(); ++i)
        if (canvas.Ops[i].rfind("text", 0) == 0)
            lastAxisText = i;
    for (int i = 0; i < 3; ++i) {
        const std::string segment = "line " + at(i) + " " + at(i + 1);
        const auto it = std::find_if(canvas.Ops.begin(), canvas.Ops.end(),
                                     [&](const auto& op) { return op.rfind(segment, 0) == 0; });
        ASSERT_NE(it, canvas.Ops.end()) << segment;
        const size_t index = static_cast<size_t>(it - canvas.Ops.begin());
        EXPECT_GT(index, lastAxisText);
        EXPECT_GT(index, previous);
        previous = index;
    }
}

// Two tests of different lengths whose X runs beyond the axis limits both ways, a text
// that is no number, a logarithmic and a dashed axis, markers: every way a point can be
// clipped, skipped or mapped.
TEST_F(WPGraphTest, SeriesSharingTheXChannelDrawExactlyAsEachAlone) {
    auto data = std::make_unique<TDatabuffer>();
    const std::vector<std::vector<const char*>> tests[] = {
        {{"-2", "0", "0.5", "1.25", "2", "2", "3.75", "5", "7"},
         {"5", "6.5", "abc", "7", "5.5", "9", "6", "7.25", "5"},
         {"0.5", "10", "100", "0", "-3", "20", "30", "40", "50"}},
        {{"1", "1.5", "2.5", "4"}, {"7", "5", "6", "8"}, {"2", "3", "4", "5"}},
    };
    for (const auto& columns : tests) {
        TdataProva& t = data->AddProva(3);
        for (int c = 0; c < 3; ++c)
            for (const char* v : columns[static_cast<size_t>(c)])
                t.GetChannel(c).AddText(v);
    }
    auto g = NewGraph(2000, 3000, data.get());
    g->LeftSide().GetSection(0)->AddAxes(1);
    g->RebuildSeries();
    TAsse& x = g->XAxis();
    TAsse& lin = LeftAxis(*g, 0);
    TAsse& dashed = LeftAxis(*g, 1);
    TAsse& log = RightAxis(*g);
    lin.Channels().Add(1);
    lin.Channels().Add(2);
    lin.MarkerRecord().ShowMarkers = 1;
    dashed.Channels().Add(1);
    dashed.Pen.Style = psDash;
    log.Channels().Add(2);
    log.Logarithmic = true;
    for (TAsse* a : {&x, &lin, &dashed, &log})
        a->limitiautomatici = false;
    x.Minimum = 0;
    x.Maximum = 4;
    lin.Minimum = dashed.Minimum = 5.5;
    lin.Maximum = dashed.Maximum = 7.5;
    log.Minimum = 0;
    log.Maximum = 1.5;
    g->Paint(); // lays the axes out
    ASSERT_EQ(g->Series().size(), 3u);

    RecordingCanvas alone, shared;
    for (const auto& serie : g->Series())
        serie->Draw(alone);
    TSerieXCache cache;
    for (const auto& serie : g->Series()) {
        serie->SetXCache(&cache);
        serie->Draw(shared);
        serie->SetXCache(nullptr);
    }
    EXPECT_GT(alone.Ops.size(), 20u);
    EXPECT_EQ(shared.Ops, alone.Ops);
}

} // namespace
} // namespace vx
