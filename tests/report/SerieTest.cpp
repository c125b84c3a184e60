#include "report/Serie.h"

#include "RecordingCanvas.h"
#include "data/AttributiProve.h"
#include "data/Databuff.h"
#include "platform/graphics/Drawing.h"
#include "platform/graphics/Metafile.h"
#include "platform/graphics/PainterCanvas.h"
#include "platform/graphics/Printer.h"
#include "platform/graphics/TextMetrics.h"
#include "platform/runtime/Numbers.h"
#include "report/Asse.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vx {
namespace {

// Also writes down where the pen is moved, so that broken polylines show.
class MoveRecordingCanvas : public test::RecordingCanvas {
protected:
    void DoMoveTo(TPoint p) override {
        Ops.push_back("move " + std::to_string(p.X) + "," + std::to_string(p.Y));
    }
};

struct Seg {
    TPoint a, b;
    TColor color = 0;
    int width = 0;
    int style = 0;
};

bool ParseLine(const std::string& op, Seg& s) {
    unsigned color = 0;
    return std::sscanf(op.c_str(), "line %d,%d %d,%d pen %u w%d s%d", &s.a.X, &s.a.Y, &s.b.X,
                       &s.b.Y, &color, &s.width, &s.style) == 7 &&
           (s.color = static_cast<TColor>(color), true);
}

std::vector<Seg> Lines(const test::RecordingCanvas& c) {
    std::vector<Seg> out;
    for (const auto& op : c.Ops) {
        Seg s;
        if (ParseLine(op, s))
            out.push_back(s);
    }
    return out;
}

std::string P(TPoint p) {
    return std::to_string(p.X) + "," + std::to_string(p.Y);
}

std::string LineOp(TPoint a, TPoint b, TColor color, int width, int style) {
    return "line " + P(a) + " " + P(b) + " pen " + std::to_string(color) + " w" +
           std::to_string(width) + " s" + std::to_string(style);
}

// An X axis over x 400..1600 (its line 410..1590) and a Y axis left of it, laid out by
// drawing them as the graph does before the series; channel 0 is X, channel 1 the Y channel.
class SerieTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetFixedTextMetrics(true);
        x_.Vertical = false;
        x_.Channels().Add(0);
        y_.Channels().Add(1);
        x_.SetData(data_.get());
        y_.SetData(data_.get());
        SetLimits(x_, 0, 10, 1);
        SetLimits(y_, 0, 10, 1);
        y_.MarkerRecord().ShowMarkers = 0;
    }
    void TearDown() override {
        SetFixedTextMetrics(false);
        AttributiProve() = saved_;
    }

    static void SetLimits(TAsse& axis, double min, double max, double increment) {
        axis.Minimum = min;
        axis.Maximum = max;
        axis.Increment = increment;
    }
    // A test whose channel i holds the texts channels[i].
    TdataProva& AddTest(const std::vector<std::vector<std::string>>& channels) {
        TdataProva& p = data_->AddProva(static_cast<int>(channels.size()) + 1);
        for (size_t i = 0; i < channels.size(); ++i)
            for (const auto& text : channels[i])
                p.GetChannel(static_cast<int>(i)).AddText(text);
        return p;
    }
    void Layout() {
        x_.BoundsRect = Rect(400, 2000, 1600, 2300);
        y_.BoundsRect = Rect(100, 0, 400, 2000);
        test::RecordingCanvas scratch;
        x_.Draw(scratch);
        y_.Draw(scratch);
    }
    std::vector<std::string> Draw() {
        Layout();
        canvas_.Ops.clear();
        serie_.Draw(canvas_);
        return canvas_.Ops;
    }
    void Begin() {
        Layout();
        ASSERT_TRUE(serie_.BeginDraw(canvas_));
        canvas_.Ops.clear();
    }
    void ResetData() {
        data_ = std::make_unique<TDatabuffer>();
        x_.SetData(data_.get());
        y_.SetData(data_.get());
        serie_.SetData(data_.get());
    }
    TPoint Pixel(double x, double y) const { return {x_.ValueToPos(x), y_.ValueToPos(y)}; }

    std::unique_ptr<TDatabuffer> data_ = std::make_unique<TDatabuffer>();
    TAsse x_{nullptr};
    TAsse y_{nullptr};
    TSerie serie_{nullptr, &x_, &y_, data_.get()};
    MoveRecordingCanvas canvas_;
    TAttributiProve saved_ = AttributiProve();
};

// ---- dashes ----

struct DashCase {
    const char* name;
    int width;
    TPenStyle style;
    std::vector<TPoint> path;
    std::vector<std::pair<TPoint, TPoint>> inked;
};

TEST_F(SerieTest, DashesWalkTheirOwnPatternAcrossTheVerticesOfAPolyline) {
    const std::vector<DashCase> cases = {
        // Elements of 10 div 2 + 10 = 15 pixels: 111 on the first segment, 00 turning the
        // corner, then 1 to the end.
        {"wide dash dot",
         10,
         psDashDot,
         {{0, 0}, {50, 0}, {50, 40}},
         {{{0, 0}, {15, 0}}, {{15, 0}, {30, 0}}, {{30, 0}, {45, 0}}, {{50, 25}, {50, 40}}}},
        {"diagonal dots of 10",
         0,
         psDot,
         {{0, 0}, {30, 40}},
         {{{0, 0}, {6, 8}}, {{24, 32}, {30, 40}}}},
        {"dash around two corners",
         1,
         psDash,
         {{0, 0}, {25, 0}, {25, 25}, {0, 25}},
         {{{0, 0}, {10, 0}},
          {{10, 0}, {20, 0}},
          {{20, 0}, {25, 0}},
          {{25, 0}, {25, 5}},
          {{25, 5}, {25, 15}},
          {{25, 15}, {25, 25}}}},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        Begin();
        canvas_.Pen.Width = tc.width;
        canvas_.Pen.Style = tc.style;
        canvas_.Pen.Color = 0x123456;
        serie_.ResetDash();
        canvas_.MoveTo(tc.path[0].X, tc.path[0].Y);
        canvas_.Ops.clear();
        for (size_t i = 1; i < tc.path.size(); ++i)
            serie_.DashTo(tc.path[i]);
        std::vector<std::string> expected;
        // Each piece goes out solid in the pen's colour and width.
        for (const auto& [a, b] : tc.inked)
            expected.push_back(LineOp(a, b, 0x123456, tc.width, psSolid));
        EXPECT_EQ(canvas_.OpsOf("line"), expected);
        EXPECT_EQ(canvas_.Pen.Style, tc.style);
        EXPECT_EQ(canvas_.PenPos(), tc.path.back());
    }
}

TEST_F(SerieTest, EachPolylineStartsItsDashPatternAfresh) {
    AddTest({{"1", "5"}, {"5", "5"}});
    AddTest({{"1", "5"}, {"6", "6"}});
    y_.Pen.Style = psDash;
    Draw();
    // Without the reset the second test would go on in the middle of an element.
    const auto lines = Lines(canvas_);
    for (const TPoint start : {Pixel(1, 5), Pixel(1, 6)}) {
        const auto first =
            std::find_if(lines.begin(), lines.end(), [&](const Seg& s) { return s.a == start; });
        ASSERT_NE(first, lines.end());
        EXPECT_EQ(first->b.X - first->a.X, 2 / 2 + 10);
    }
}

// ---- polylines and clipping ----

TEST_F(SerieTest, AnUnclippedSolidCurveIsOneMoveAndItsLines) {
    AddTest({{"1", "2", "3"}, {"1", "5", "2"}});
    y_.Pen.Width = 6;
    Draw();
    const std::vector<std::string> expected = {
        "move " + P(Pixel(1, 1)), LineOp(Pixel(1, 1), Pixel(2, 5), clBlack, 10, psSolid),
        LineOp(Pixel(2, 5), Pixel(3, 2), clBlack, 10, psSolid)};
    std::vector<std::string> drawn;
    for (const auto& op : canvas_.Ops)
        if (op.rfind("move", 0) == 0 || op.rfind("line", 0) == 0)
            drawn.push_back(op);
    EXPECT_EQ(drawn, expected);
}

TEST_F(SerieTest, ACurveLeavingTheWindowIsCutAtItsEdgesAndMovedAcross) {
    AddTest({{"1", "5", "9"}, {"1", "20", "1"}});
    Draw();
    const TPoint out = Pixel(1 + 4.0 * 9 / 19, 10);
    const TPoint in = Pixel(5 + 4.0 * 10 / 19, 10);
    std::vector<std::string> drawn;
    for (const auto& op : canvas_.Ops)
        if (op.rfind("move", 0) == 0 || op.rfind("line", 0) == 0)
            drawn.push_back(op.substr(0, op.find(" pen")));
    const std::vector<std::string> expected = {
        "move " + P(Pixel(1, 1)), "line " + P(Pixel(1, 1)) + " " + P(out), "move " + P(in),
        "line " + P(in) + " " + P(Pixel(9, 1))};
    EXPECT_EQ(drawn, expected);
}

TEST_F(SerieTest, ALogarithmicAxisClipsAtItsLowestDecadeAndMarksOnlyPointsInside) {
    y_.Logarithmic = true;
    SetLimits(y_, 0, 3, 1);
    AddTest({{"2", "4"}, {"0", "5"}});
    y_.MarkerRecord().ShowMarkers = 1;
    y_.valori.Y = true;
    y_.Formato = "0";
    Draw();
    const auto lines = Lines(canvas_);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].a, Pixel(2.4, 1));
    EXPECT_EQ(lines[0].a.Y, y_.End());
    EXPECT_EQ(lines[0].b, Pixel(4, 5));
    const auto texts = canvas_.OpsOf("text");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find("'5'"), std::string::npos);
    EXPECT_EQ(canvas_.OpsOf("ellipse").size(), 1u);
}

TEST_F(SerieTest, RaggedTestsPairUpToTheShorterAndMissingChannelsDrawNothing) {
    AddTest({{"1", "2", "3", "4", "5"}, {"1", "2", "3"}});
    data_->AddProva(2).GetChannel(0).AddText("1"); // no channel 1 at all
    Draw();
    const auto lines = Lines(canvas_);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].b, Pixel(3, 3));
}

// ---- the filter ----

struct FilterCase {
    const char* name;
    uint8_t kind;
    std::string value;
    std::string tolerance;
    std::vector<std::string> filter;
    std::vector<int> rows;
};

TEST_F(SerieTest, TheFilterKeepsTheSameRowsInTheXListAndInEveryYList) {
    const std::vector<FilterCase> cases = {
        {"numeric", 0, "2", "0.25", {"2.0", "2.25", "2.5", "1.75", "1.7"}, {0, 1, 3}},
        {"inclusive", 0, "5", "0.5", {"4.5", "5.5", "4.49", "5.51", "5"}, {0, 1, 4}},
        {"exact text", 1, "B7", "", {"B7", "b7", "B7 ", "B70", "7"}, {0}},
        {"value no number", 0, "abc", "0.25", {"0.25", "-0.25", "0.3", "abc", "-0.26"}, {0, 1, 3}},
        {"tolerance no number", 0, "2", "x", {"2", "2.0", "2.01", "1", "2"}, {0, 1, 4}},
        {"short filter channel", 0, "1", "0", {"1", "1", "1"}, {0, 1, 2}},
    };
    y_.Channels().Add(2);
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        ResetData();
        y_.filtro = 3;
        y_.filtrotipo = tc.kind;
        y_.filtrovalore = tc.value;
        y_.filtrotolleranza = tc.tolerance;
        for (const char* tag : {"p", "q"})
            AddTest({{"0", "1", "2", "3", "4"},
                     {std::string(tag) + "a0", std::string(tag) + "a1", std::string(tag) + "a2",
                      std::string(tag) + "a3", std::string(tag) + "a4"},
                     {"b0", "b1", "b2", "b3", "b4"},
                     tc.filter});
        serie_.BuildFilteredData();
        ASSERT_EQ(serie_.FilteredX().size(), 2u);
        ASSERT_EQ(serie_.FilteredY().size(), 4u);
        for (int t = 0; t < 2; ++t) {
            const std::string tag = t == 0 ? "p" : "q";
            std::vector<std::string> xs, ys1, ys2;
            for (int r : tc.rows) {
                xs.push_back(std::to_string(r));
                ys1.push_back(tag + "a" + std::to_string(r));
                ys2.push_back("b" + std::to_string(r));
            }
            auto texts = [](const Tdatavector& v) {
                std::vector<std::string> out;
                for (int i = 0; i < v.Count(); ++i)
                    out.push_back(v.GetText(i));
                return out;
            };
            EXPECT_EQ(texts(*serie_.FilteredX()[t]), xs);
            EXPECT_EQ(texts(*serie_.FilteredY()[t * 2]), ys1);
            EXPECT_EQ(texts(*serie_.FilteredY()[t * 2 + 1]), ys2);
        }
    }
}

TEST_F(SerieTest, AFilteredDrawUsesOnlyThePassingRows) {
    AddTest({{"1", "2", "3", "4"}, {"1", "9", "2", "3"}, {"A", "B", "A", "A"}});
    AddTest({{"1", "2"}, {"5", "5"}}); // no filter channel: no rows pass
    y_.filtro = 2;
    y_.filtrotipo = 1;
    y_.filtrovalore = "A";
    Draw();
    const auto lines = Lines(canvas_);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].a, Pixel(1, 1));
    EXPECT_EQ(lines[0].b, Pixel(3, 2));
    EXPECT_EQ(lines[1].b, Pixel(4, 3));
    ASSERT_EQ(serie_.FilteredX().size(), 2u);
    EXPECT_EQ(serie_.FilteredX()[1]->Count(), 0);
}

// ---- attributes per test ----

TEST_F(SerieTest, WithoutAxisAttributesEachTestTakesItsStyleRecord) {
    SetLimits(y_, 0, 20, 1);
    for (int t = 0; t < 14; ++t)
        AddTest({{"1", "2"}, {std::to_string(t + 1), std::to_string(t + 1)}});
    y_.usa_attributi_asse = false;
    y_.MarkerRecord().ShowMarkers = 1;
    y_.MarkerRecord().MarkerType = 8;
    Draw();
    std::map<int, Seg> byTest;
    for (const auto& s : Lines(canvas_))
        for (int t = 0; t < 14; ++t)
            if (s.a == Pixel(1, t + 1) && s.b == Pixel(2, t + 1))
                byTest[t] = s;
    ASSERT_EQ(byTest.size(), 14u);
    struct Expect {
        int test;
        TColor color;
        int shape;
    };
    for (const auto& e :
         {Expect{3, 0x008000, 3}, Expect{5, 0x808080, 5}, Expect{13, 0x008000, 3}}) {
        SCOPED_TRACE(e.test);
        EXPECT_EQ(byTest[e.test].color, e.color);
        EXPECT_EQ(byTest[e.test].width, 3); // as stored, not scaled to the printer
        test::RecordingCanvas marker;
        marker.Pen.Color = e.color;
        marker.Pen.Width = 2;
        marker.Brush.Style = bsClear;
        const TPoint p = Pixel(1, e.test + 1);
        DrawMarker(marker, p.X, p.Y, e.shape, 9);
        ASSERT_FALSE(marker.Ops.empty());
        EXPECT_NE(std::find(canvas_.Ops.begin(), canvas_.Ops.end(), marker.Ops[0]),
                  canvas_.Ops.end());
    }
}

TEST_F(SerieTest, WithAxisAttributesEveryTestTakesTheScaledAxisPenAndMarker) {
    for (int t = 0; t < 3; ++t)
        AddTest({{"1", "2"}, {std::to_string(t + 1), std::to_string(t + 1)}});
    y_.Pen.Width = 6;
    y_.Pen.Color = 0x0000FF;
    y_.MarkerRecord().ShowMarkers = 1;
    y_.MarkerRecord().MarkerType = 2;
    Draw();
    const auto lines = Lines(canvas_);
    ASSERT_EQ(lines.size(), 3u);
    for (const auto& s : lines) {
        EXPECT_EQ(s.width, 10);
        EXPECT_EQ(s.color, 0x0000FFu);
    }
    // Shape 2 is a diamond: six of them, nothing else.
    EXPECT_EQ(canvas_.OpsOf("polygon").size(), 6u);
    EXPECT_TRUE(canvas_.OpsOf("ellipse").empty());
}

// ---- markers and labels ----

TEST_F(SerieTest, MarkerSizeIndexesGiveTheirHalfSizeInPrinterPixels) {
    AddTest({{"5"}, {"5"}});
    y_.MarkerRecord().ShowMarkers = 1;
    y_.MarkerRecord().MarkerType = 0;
    for (const auto& [index, half] :
         std::vector<std::pair<uint32_t, int>>{{0, 9}, {1, 19}, {2, 28}, {7, 9}}) {
        SCOPED_TRACE(index);
        y_.MarkerRecord().SizeIndex = index;
        Draw();
        const TPoint p = Pixel(5, 5);
        const auto ellipses = canvas_.OpsOf("ellipse");
        ASSERT_EQ(ellipses.size(), 1u);
        const std::string rect = P({p.X - half, p.Y - half}) + "-" + P({p.X + half, p.Y + half});
        EXPECT_EQ(ellipses[0].rfind("ellipse " + rect + " pen 0 w2 s0", 0), 0u) << ellipses[0];
    }
}

TEST_F(SerieTest, MarkersAreFilledOnlyWithTheFillFlagAndAxisAttributes) {
    AddTest({{"5"}, {"5"}});
    y_.MarkerRecord().ShowMarkers = 1;
    y_.MarkerRecord().FillColor = 0x00FFFF;
    struct Case {
        bool filled, axis;
        std::string brush;
    };
    for (const auto& c :
         {Case{true, true, "brush 65535 s0"}, Case{true, false, " s1"}, Case{false, true, " s1"}}) {
        y_.MarkerRecord().Filled = c.filled;
        y_.usa_attributi_asse = c.axis;
        Draw();
        const auto ellipses = canvas_.OpsOf("ellipse");
        ASSERT_EQ(ellipses.size(), 1u);
        EXPECT_NE(ellipses[0].find(c.brush), std::string::npos) << ellipses[0];
    }
}

struct LabelCase {
    bool x, y;
    std::string maskX, maskY;
    double px, py;
    std::string text;
};

TEST_F(SerieTest, LabelsShowTheValuesByTheMasksOfTheirAxes) {
    SetLimits(x_, 0, 20, 1);
    SetLimits(y_, 0, 30, 1);
    const std::vector<LabelCase> cases = {
        {true, true, "0", "0.0", 12.7, 0.27, "13 ; 0.3"},
        {true, true, "0.0", "0.0", 1.5, 20, "1.5 ; 20.0"},
        {true, false, "0.0", "0.00", 1.5, 20, "1.5"},
        {false, true, "0.0", "0.00", 1.5, 20, "20.00"},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.text);
        ResetData();
        AddTest({{FloatToStr(tc.px)}, {FloatToStr(tc.py)}});
        y_.MarkerRecord().ShowMarkers = 1;
        y_.valori.X = tc.x;
        y_.valori.Y = tc.y;
        x_.Formato = tc.maskX;
        y_.Formato = tc.maskY;
        Draw();
        const auto texts = canvas_.OpsOf("text");
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_NE(texts[0].find("'" + tc.text + "'"), std::string::npos) << texts[0];
    }
}

TEST_F(SerieTest, ALabelSitsBelowItsPointByTheOffsetsInABoxWithBackgroundAndBorder) {
    AddTest({{"5"}, {"5"}});
    y_.MarkerRecord().ShowMarkers = 1;
    Tvaluedefnt& v = y_.valori;
    v.Y = true;
    v.SX = 2;
    v.SY = 1;
    v.background = true;
    v.backgroundcolor = 0x00FF00;
    v.border = true;
    v.bordercolor = 0xFF0000;
    y_.Formato = "0.0";
    Draw();
    test::RecordingCanvas metrics;
    serie_.AssignFont(metrics, v.font);
    const TPoint p = Pixel(5, 5);
    const int32_t ax = p.X + 47;
    const int32_t ay = p.Y + 24 + metrics.TextHeight("X");
    const int32_t half = metrics.TextWidth("5.0") / 2;
    const std::string box =
        P({ax - half - 5, ay - 5}) + "-" + P({ax + half + 5, ay + metrics.TextHeight("5.0") + 5});
    std::vector<std::string> label;
    for (const auto& op : canvas_.Ops)
        if (op.rfind("fill", 0) == 0 || op.rfind("rect", 0) == 0 || op.rfind("text", 0) == 0)
            label.push_back(op);
    const std::vector<std::string> expected = {
        "fill " + box + " brush 65280 s0",
        "rect " + box + " pen 16711680 w2 s0 brush 65280 s1",
        "text " + P({ax, ay}) + " align 6 '5.0'",
    };
    EXPECT_EQ(label, expected);
}

// ---- the grid ----

TEST_F(SerieTest, TheGridDrawsVerticalLinesWithDottedMinorOnesThenTheFrame) {
    SetLimits(x_, 0, 100, 20);
    x_.Sottotacche = 1;
    TGridRecord& g = y_.GridRecord();
    g.Enabled = 1;
    g.MinorLines = 1;
    g.Orientation = 1;
    g.PenWidth = 4;
    g.PenStyle = psDash;
    g.Color = 0x0000FF;
    serie_.SetData(nullptr);
    Draw();
    ASSERT_EQ(x_.Start(), 410);
    ASSERT_EQ(x_.End(), 1590);
    const TRect& b = serie_.BoundsRect;
    EXPECT_EQ(b, Rect(410, y_.Start(), 1590, y_.End()));
    std::vector<std::string> expected;
    for (int i = 0; i <= 10; ++i) {
        const bool minor = i % 2 != 0;
        expected.push_back(LineOp({410 + 118 * i, b.Top}, {410 + 118 * i, b.Bottom}, 0x0000FF,
                                  minor ? 1 : 4, minor ? psDot : psDash));
    }
    expected.push_back("polyline " + P({b.Left, b.Top}) + " " + P({b.Right, b.Top}) + " " +
                       P({b.Right, b.Bottom}) + " " + P({b.Left, b.Bottom}) + " " +
                       P({b.Left, b.Top}) + " pen 0 w4 s0");
    std::vector<std::string> drawn;
    for (const auto& op : canvas_.Ops)
        if (op.rfind("move", 0) != 0)
            drawn.push_back(op);
    EXPECT_EQ(drawn, expected);
}

TEST_F(SerieTest, ALogarithmicGridLiesOnTheDecadesAndTheirMultiples) {
    y_.Logarithmic = true;
    SetLimits(y_, 0, 3, 1);
    y_.Sottotacche = 9;
    TGridRecord& g = y_.GridRecord();
    g.Enabled = 1;
    g.Orientation = 2;
    g.PenWidth = 3;
    serie_.SetData(nullptr);

    auto horizontal = [&] {
        std::vector<std::pair<int32_t, bool>> out; // pixel, dotted
        for (const auto& s : Lines(canvas_))
            out.emplace_back(s.a.Y, s.style == psDot);
        return out;
    };
    Draw();
    std::vector<std::pair<int32_t, bool>> expected;
    for (double v : {1, 10, 100, 1000})
        expected.emplace_back(y_.ValueToPos(v), false);
    EXPECT_EQ(horizontal(), expected);

    g.MinorLines = 1;
    Draw();
    expected.clear();
    for (int decade = 1; decade <= 3; ++decade) {
        const double top = std::pow(10.0, decade);
        expected.emplace_back(y_.ValueToPos(top), false);
        for (int k = 1; k <= 9; ++k)
            expected.emplace_back(y_.ValueToPos(k * top / 10), true);
    }
    EXPECT_EQ(horizontal(), expected);
}

TEST_F(SerieTest, NothingIsDrawnWithoutBothAxesWithChannelsAndOnlyTheGridWithoutData) {
    AddTest({{"1", "2"}, {"1", "2"}});
    y_.GridRecord().Enabled = 1;
    y_.GridRecord().Orientation = 1;
    Draw();
    EXPECT_FALSE(canvas_.OpsOf("polyline").empty());
    EXPECT_EQ(Lines(canvas_).size(), 11u + 1u); // the grid, then the curve

    serie_.SetData(nullptr);
    Draw();
    EXPECT_EQ(Lines(canvas_).size(), 11u);

    y_.Channels().Clear();
    Draw();
    EXPECT_TRUE(canvas_.Ops.empty());
    y_.Channels().Add(1);
    serie_.SetXAxis(nullptr);
    Layout();
    canvas_.Ops.clear();
    serie_.Draw(canvas_);
    EXPECT_TRUE(canvas_.Ops.empty());
    EXPECT_EQ(canvas_.Brush.Style, bsClear);
}

// ---- fit and spline ----

TEST_F(SerieTest, AFitOfALineGivesTheLineAcrossTheData) {
    Begin();
    std::vector<double> x, y;
    for (int i = 0; i <= 10; ++i) {
        x.push_back(i);
        y.push_back(2 * i + 1);
    }
    const int count = serie_.CurvePointCount();
    EXPECT_EQ(count, 1180);
    std::vector<double> cx, cy;
    ASSERT_TRUE(serie_.FitCurve(x, y, count, cx, cy));
    ASSERT_EQ(cx.size(), 1180u);
    EXPECT_NEAR(cx.front(), 0, 1e-9);
    EXPECT_NEAR(cx.back(), 10, 1e-9);
    for (size_t i = 0; i < cx.size(); ++i)
        ASSERT_NEAR(cy[i], 2 * cx[i] + 1, 1e-5) << i;
}

TEST_F(SerieTest, WithAxisLimitsOnALogarithmicXAxisTheFitSpansItsDecades) {
    x_.Logarithmic = true;
    SetLimits(x_, 0, 2, 1);
    x_.UseLimitkind = LK_AXELimit;
    Begin();
    const std::vector<double> x = {2, 5, 10, 50};
    std::vector<double> y;
    for (double v : x)
        y.push_back(2 * v + 1);
    std::vector<double> cx, cy;
    ASSERT_TRUE(serie_.FitCurve(x, y, 100, cx, cy));
    EXPECT_NEAR(cx.front(), 1, 1e-4);
    EXPECT_NEAR(cx.back(), 100, 1e-4);
}

TEST_F(SerieTest, TooFewPointsGiveNoFitAndNoSpline) {
    Begin();
    std::vector<double> cx, cy;
    const std::vector<double> one = {3};
    EXPECT_FALSE(serie_.FitCurve(one, one, 50, cx, cy));
    EXPECT_FALSE(serie_.SplineCurve(one, one, 50, cx, cy));
    const std::vector<double> twoX = {1, 2}, twoY = {1, 4};
    y_.Gradofunzionale = 2;
    EXPECT_FALSE(serie_.FitCurve(twoX, twoY, 50, cx, cy));
    const std::vector<double> same = {5, 5}, ys = {1, 2};
    EXPECT_FALSE(serie_.FitCurve(same, ys, 50, cx, cy));
    EXPECT_FALSE(serie_.SplineCurve(same, ys, 50, cx, cy));

    // Drawn: neither a fit nor a spline line, only the markers' absence of lines.
    AddTest({{"5", "5"}, {"1", "2"}});
    y_.See_line = false;
    y_.See_funzionale = true;
    y_.SplineRecord().Enabled = 1;
    Draw();
    EXPECT_TRUE(Lines(canvas_).empty());
}

TEST_F(SerieTest, ASplineThroughAParabolaFollowsItAndHoldsOrExtrapolatesItsEnds) {
    SetLimits(x_, -1, 4, 1);
    Begin();
    const std::vector<double> x = {3, 1, 2, 0}, y = {9, 1, 4, 0};
    TSplineRecord& r = y_.SplineRecord();
    r.Parameter = 4;
    r.Value = 0;
    for (const auto& [extrapolate, first] :
         std::vector<std::pair<uint8_t, double>>{{0, 0}, {1, 1}}) {
        SCOPED_TRACE(int(extrapolate));
        r.Extrapolation = extrapolate;
        std::vector<double> cx, cy;
        ASSERT_TRUE(serie_.SplineCurve(x, y, 500, cx, cy));
        ASSERT_EQ(cx.size(), 500u);
        EXPECT_DOUBLE_EQ(cx[0], -1);
        EXPECT_NEAR(cy[0], first, 1e-6);
        EXPECT_DOUBLE_EQ(cx[1], -1 + 5.0 / 500);
        for (size_t i = 0; i < cx.size(); ++i) {
            if (cx[i] >= 0 && cx[i] <= 3) {
                ASSERT_NEAR(cy[i], cx[i] * cx[i], 1e-6) << cx[i];
            }
        }
    }
}

TEST_F(SerieTest, DrawingGoesGridLinesFitSplineMarkersInThatOrder) {
    AddTest({{"1", "2", "3", "4"}, {"1", "4", "9", "16"}});
    SetLimits(y_, 0, 20, 1);
    y_.GridRecord().Enabled = 1;
    y_.GridRecord().Orientation = 2;
    y_.See_funzionale = true;
    y_.SplineRecord().Enabled = 1;
    y_.MarkerRecord().ShowMarkers = 1;
    y_.Pen.Color = 0x0000FF;
    Draw();
    const auto& ops = canvas_.Ops;
    const auto frame = std::find_if(
        ops.begin(), ops.end(), [](const std::string& s) { return s.rfind("polyline", 0) == 0; });
    ASSERT_NE(frame, ops.end());
    const auto firstCurve = std::find_if(ops.begin(), ops.end(), [](const std::string& s) {
        return s.find("pen 255 ") != std::string::npos;
    });
    const auto firstMarker = std::find_if(
        ops.begin(), ops.end(), [](const std::string& s) { return s.rfind("ellipse", 0) == 0; });
    EXPECT_LT(frame, firstCurve);
    EXPECT_LT(firstCurve, firstMarker);
    EXPECT_EQ(std::count_if(firstMarker, ops.end(),
                            [](const std::string& s) { return s.rfind("ellipse", 0) == 0; }),
              4);
    // Lines (3 segments), then the fit and the spline over the whole X axis.
    EXPECT_GT(Lines(canvas_).size(), 3u + 100u);
}

// ---- decimation ----

// 200,000 noisy points with a one-sample spike every 997 points, across 1180 pixel columns.
class DecimationTest : public SerieTest {
protected:
    void Fill(int count = 200000) {
        SetLimits(x_, 0, count, count / 10);
        SetLimits(y_, 0, 10, 1);
        TdataProva& p = data_->AddProva(3);
        uint32_t seed = 12345;
        for (int i = 0; i < count; ++i) {
            seed = seed * 1103515245u + 12345u;
            double v = 4.5 + (seed >> 16) % 1000 / 1000.0;
            if (i % 997 == 500) {
                v = (i / 997) % 2 ? 9.5 : 0.5;
                spikes_.emplace_back(i, v);
            }
            p.GetChannel(0).AddText(std::to_string(i));
            p.GetChannel(1).AddText(FloatToStr(v));
        }
        y_.usa_attributi_asse = false;
    }
    Metafile Compose(bool decimate) {
        Layout();
        Metafile mf;
        mf.SetSize(1700, 2100);
        {
            TMetafileCanvas c(mf, Printer().Caps());
            serie_.SetDecimation(decimate);
            serie_.Draw(c);
        }
        return mf;
    }
    std::vector<std::pair<int, double>> spikes_;
};

TEST_F(DecimationTest, ThinnedCurvesPlayBackPixelForPixelAsTheFullOnes) {
    Fill();
    for (uint32_t width : {10u, 1u}) {
        SCOPED_TRACE(width);
        AttributiProve().Record(0).Width = width;
        const Metafile full = Compose(false);
        const Metafile thin = Compose(true);
        const QImage a = RenderMetafile(full, 1700, 2100, clWhite);
        const QImage b = RenderMetafile(thin, 1700, 2100, clWhite);
        EXPECT_TRUE(a == b);
        EXPECT_TRUE(RenderMetafile(full, 272, 336, clWhite) ==
                    RenderMetafile(thin, 272, 336, clWhite));
        for (const auto& [i, v] : spikes_) {
            const TPoint p = Pixel(i, v);
            ASSERT_NE(b.pixel(p.X, p.Y), QColor(Qt::white).rgb()) << i;
        }
    }
}

TEST_F(DecimationTest, AThinnedRunKeepsAtMostFourPointsPerPixelColumn) {
    Fill();
    Layout();
    serie_.SetDecimation(true);
    canvas_.Ops.clear();
    serie_.Draw(canvas_);
    std::map<int32_t, int> column;
    int worst = 0;
    size_t segments = 0;
    for (const auto& op : canvas_.Ops) {
        if (op.rfind("move", 0) == 0) {
            column.clear();
            int x = 0, y = 0;
            std::sscanf(op.c_str(), "move %d,%d", &x, &y);
            ++column[x];
            continue;
        }
        Seg s;
        if (!ParseLine(op, s))
            continue;
        ++segments;
        worst = std::max(worst, ++column[s.b.X]);
    }
    EXPECT_LE(worst, 4);
    EXPECT_LT(segments, 4u * 1181u);
    // Every spike's tip is still a vertex.
    for (const auto& [i, v] : spikes_) {
        const std::string tip = " " + P(Pixel(i, v)) + " pen";
        EXPECT_TRUE(std::any_of(canvas_.Ops.begin(), canvas_.Ops.end(), [&](const std::string& op) {
            return op.find(tip) != std::string::npos;
        })) << i;
    }
}

TEST_F(DecimationTest, DashedCurvesAreNeverThinned) {
    Fill(5000);
    AttributiProve().Record(0).PenStyle = psDash;
    AttributiProve().Record(0).Width = 1;
    Layout();
    canvas_.Ops.clear();
    serie_.Draw(canvas_);
    const size_t on = Lines(canvas_).size();
    serie_.SetDecimation(false);
    canvas_.Ops.clear();
    serie_.Draw(canvas_);
    EXPECT_EQ(Lines(canvas_).size(), on);
}

} // namespace
} // namespace vx
