#include "report/Asse.h"

#include "ReportTestPrinters.h"
#include "data/Databuff.h"
#include "data/Settings.h"
#include "platform/graphics/Metafile.h"
#include "platform/graphics/Printer.h"
#include "platform/graphics/TextMetrics.h"
#include "platform/runtime/ComponentStream.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vx {
namespace {

using test::FromHex;
using test::HexBytes;

// What an axis drew, with the state each operation was drawn in.
class RecordingCanvas : public TCanvas {
public:
    RecordingCanvas() : TCanvas(Printer().Caps()) {}

    struct Line {
        TPoint From, To;
        int32_t Width;
        TColor Color;
        TPenStyle Style;
    };
    struct Text {
        int32_t X, Y;
        std::string Value;
        uint32_t Align;
        int32_t Escapement;
        TColor Color;
    };
    struct Shape {
        TRect R;
        int32_t Width;
        TColor Color;
        TBrushStyle Brush;
    };
    std::vector<Line> lines;
    std::vector<Text> texts;
    std::vector<Shape> rectangles;
    std::vector<Shape> ellipses;

    bool IsRaster() const override { return false; }

    // Lines at y (horizontal ticks of a vertical axis), in drawing order.
    std::vector<Line> HorizontalLines() const {
        std::vector<Line> out;
        for (const Line& l : lines)
            if (l.From.Y == l.To.Y && l.From.X != l.To.X)
                out.push_back(l);
        return out;
    }
    const Text* FindText(const std::string& value) const {
        for (const Text& t : texts)
            if (t.Value == value)
                return &t;
        return nullptr;
    }
    std::vector<std::string> TextValues() const {
        std::vector<std::string> out;
        for (const Text& t : texts)
            out.push_back(t.Value);
        return out;
    }
    bool Empty() const {
        return lines.empty() && texts.empty() && rectangles.empty() && ellipses.empty();
    }

protected:
    void DoLine(TPoint from, TPoint to) override {
        lines.push_back({from, to, Pen.Width, Pen.Color, Pen.Style});
    }
    void DoPolyline(const TPoint* p, size_t n) override {
        for (size_t i = 1; i < n; ++i)
            DoLine(p[i - 1], p[i]);
    }
    void DoPolygon(const TPoint* p, size_t n) override { DoPolyline(p, n); }
    void DoRectangle(const TRect& r) override {
        rectangles.push_back({r, Pen.Width, Pen.Color, Brush.Style});
    }
    void DoEllipse(const TRect& r) override {
        ellipses.push_back({r, Pen.Width, Pen.Color, Brush.Style});
    }
    void DoFillRect(const TRect&) override {}
    void DoInvertRect(const TRect&) override {}
    void DoText(int32_t x, int32_t y, std::string_view text, const TRect*) override {
        texts.push_back(
            {x, y, std::string(text), TextAlign(), Font.LogFont().lfEscapement, Font.Color()});
    }
    void DoDrawMetafile(const TRect&, const Metafile&) override {}
    void DoDrawBitmap(const TRect&, const Bitmap&, const TRect&) override {}
};

// The graph as the axis sees it: the owner that hands over the tests.
struct FakeGraph : TComponent, TDataOwner {
    FakeGraph() : TComponent(nullptr) {}
    TDatabuffer buffer;
    TDatabuffer* Data() override { return &buffer; }
};

struct Channel {
    std::string name, unit;
    std::vector<std::string> values;
};

TdataProva& AddTest(TDatabuffer& buffer, const std::vector<Channel>& channels) {
    TdataProva& test = buffer.AddProva(static_cast<int>(channels.size()) + 1);
    for (size_t i = 0; i < channels.size(); ++i) {
        test.ChannelNames.Add(channels[i].name);
        test.Units.Add(channels[i].unit);
        for (const std::string& v : channels[i].values)
            test.GetChannel(static_cast<int>(i)).AddText(v);
    }
    return test;
}

std::string AsseBytes(const std::vector<int32_t>& channels);

class AsseTest : public ::testing::Test {
protected:
    void SetUp() override {
        FormatSettings().DecimalSeparator = '.';
        SetFixedTextMetrics(true);
        test::InstallVirtualPrinter();
        method_ = ImpostazioniRec.AutoLimitMethod();
        ImpostazioniRec.SetAutoLimitMethod(0);
    }
    void TearDown() override {
        SetFixedTextMetrics(false);
        ImpostazioniRec.SetAutoLimitMethod(method_);
    }

    // Speed [rpm] and Torque [Nm] in one test.
    void AddSpeedAndTorque() {
        AddTest(graph.buffer, {{"Speed", "rpm", {"0", "60"}}, {"Torque", "Nm", {"1", "2"}}});
    }

    // A left axis of Speed [rpm], 0..60 in steps of 10, 3 minor ticks, 1445 pixels high.
    TAsse& LeftSpeedAxis() {
        AddSpeedAndTorque();
        axis.Channels().Add(0);
        axis.BoundsRect = Rect(0, 0, 300, 1445);
        axis.Maximum = 60;
        axis.Increment = 10;
        axis.Sottotacche = 3;
        return axis;
    }

    test::ScopedFormatSettings formats_;
    uint8_t method_ = 0;
    FakeGraph graph;
    TAsse axis{&graph};
    RecordingCanvas canvas;
};

TEST_F(AsseTest, NewAxisTakesTheOwnersDataAndTheDeclaredDefaults) {
    EXPECT_EQ(axis.Data(), &graph.buffer);
    TAsse orphan(nullptr);
    EXPECT_EQ(orphan.Data(), nullptr);
    EXPECT_EQ(axis.ClassName(), "TAsse");
    EXPECT_EQ(GetClass("TAsse"), &TAsse::StaticClassInfo());
    EXPECT_EQ(axis.Channels().Count(), 0);
    EXPECT_EQ(axis.GridCellCount(), 25);
    EXPECT_FALSE(axis.GridAlignment());
    EXPECT_EQ(axis.TickLength(), 30);
    EXPECT_EQ(axis.FontGrand.Name(), "Testline");
    EXPECT_EQ(axis.FontValues.Size(), 8);

    std::vector<std::string> names;
    for (const TPropInfo* p : axis.ClassInfo().AllProperties())
        names.push_back(p->Name);
    const std::vector<std::string> expected = {"Name",
                                               "Tag",
                                               "Pen",
                                               "centeraxe",
                                               "Maximum",
                                               "Minimum",
                                               "Increment",
                                               "Vertical",
                                               "LeftSide",
                                               "DoubleAxe",
                                               "FontGrand",
                                               "FontUmis",
                                               "FontValues",
                                               "Grandezza",
                                               "Umisura",
                                               "Caption",
                                               "Formato",
                                               "limitiautomatici",
                                               "tipoetichette",
                                               "Sottotacche",
                                               "See_line",
                                               "Gradofunzionale",
                                               "See_funzionale",
                                               "usa_attributi_asse",
                                               "filtro",
                                               "filtrotipo",
                                               "filtrovalore",
                                               "filtrotolleranza",
                                               "valori",
                                               "ValueSort",
                                               "Conversionformula",
                                               "Umis2",
                                               "Zeroinclude",
                                               "Scala2Indipendente",
                                               "Logarithmic",
                                               "ShowLineAttrib",
                                               "UseLimitkind",
                                               "OnClick",
                                               "OnDblClick"};
    EXPECT_EQ(names, expected);

    const TClassInfo& info = axis.ClassInfo();
    struct Ord {
        const char* name;
        int64_t def;
        const char* type;
    };
    for (const Ord& o : {Ord{"centeraxe", 0, "Boolean"}, Ord{"Vertical", 1, "Boolean"},
                         Ord{"limitiautomatici", 1, "Boolean"}, Ord{"tipoetichette", 0, "Byte"},
                         Ord{"Sottotacche", 1, "Byte"}, Ord{"Gradofunzionale", 2, "Integer"},
                         Ord{"filtro", -1, "Integer"}, Ord{"usa_attributi_asse", 1, "Boolean"},
                         Ord{"UseLimitkind", 0, "TLimitkind"}}) {
        const TPropInfo* p = info.FindProperty(o.name);
        ASSERT_TRUE(p) << o.name;
        EXPECT_EQ(p->Default, o.def) << o.name;
        EXPECT_EQ(p->TypeName, o.type) << o.name;
    }
    EXPECT_EQ(info.FindProperty("Maximum")->FloatInit, 100);
    EXPECT_EQ(info.FindProperty("Increment")->FloatInit, 10);
    EXPECT_EQ(info.FindProperty("Formato")->StringInit, "0.0");
    EXPECT_EQ(info.FindProperty("Caption")->MaxLength, 255u);
    EXPECT_EQ(info.FindProperty("Conversionformula")->MaxLength, 0u);
    EXPECT_EQ(info.FindProperty("OnClick")->Kind, TPropKind::Method);
    EXPECT_EQ(info.FindProperty("UseLimitkind")->Names,
              (std::vector<std::string>{"LK_RealData", "LK_AXELimit"}));
}

TEST_F(AsseTest, ComponentStreamCarriesPropertiesAndTheAsseRecords) {
    axis.Maximum = 0; // differs from the constructor's 100, so it must be written
    axis.Minimum = -5;
    axis.Caption = std::string(300, 'c');
    axis.Conversionformula = std::string(300, 'X');
    axis.UseLimitkind = LK_AXELimit;
    axis.Sottotacche = 9;
    axis.filtro = 2;
    axis.Channels().Add(4);
    axis.SplineRecord().Value = 12.5;
    bool clicked = false;
    axis.OnClick = [&](TComponent*) { clicked = true; };
    const std::string bytes = ComponentToBytes(axis);

    TAsse back(nullptr);
    ComponentFromBytes(bytes, back);
    EXPECT_EQ(back.Maximum, 0);
    EXPECT_EQ(back.Minimum, -5);
    EXPECT_EQ(back.Caption, std::string(255, 'c'));
    EXPECT_EQ(back.Conversionformula, std::string(300, 'X'));
    EXPECT_EQ(back.UseLimitkind, LK_AXELimit);
    EXPECT_EQ(back.Sottotacche, 9);
    EXPECT_EQ(back.filtro, 2);
    ASSERT_EQ(back.Channels().Count(), 1);
    EXPECT_EQ(back.Channels().GetItem(0), 4);
    EXPECT_EQ(back.SplineRecord().Value, 12.5);
    EXPECT_TRUE(back.ChannelsLoaded());
    EXPECT_FALSE(back.OnClick);
    EXPECT_EQ(bytes.find("OnClick"), std::string::npos);
}

TEST_F(AsseTest, AsseIsTheLastPropertyOfTheComponentStreamAndEventsAreSkipped) {
    const std::string bytes = ComponentToBytes(axis);
    const std::string tail = std::string("\x04"
                                         "Asse\x0A") +
                             FromHex("49000000") + AsseBytes({}) + std::string(2, '\0');
    ASSERT_GE(bytes.size(), tail.size());
    EXPECT_EQ(HexBytes(bytes.substr(bytes.size() - tail.size())), HexBytes(tail));

    // An event named in an older stream is passed over; the bound handler stays.
    bool clicked = false;
    axis.OnClick = [&](TComponent*) { clicked = true; };
    const std::string stored = std::string("TPF0\x05TAsse") + std::string(1, '\0') +
                               "\x07OnClick\x07\x09" + "AxisClick" + "\x07Maximum\x02\x32" +
                               std::string(2, '\0');
    ComponentFromBytes(stored, axis);
    EXPECT_EQ(axis.Maximum, 50);
    ASSERT_TRUE(axis.OnClick);
    axis.OnClick(&axis);
    EXPECT_TRUE(clicked);
}

TEST_F(AsseTest, DrawRefitsTheIncrementToWholeDivisions) {
    struct Case {
        double increment, expected;
    };
    for (const Case& c :
         {Case{30, 100.0 / 3}, Case{300, 100}, Case{25, 25}, Case{0, 0}, Case{-5, -5}}) {
        TAsse a(&graph);
        a.Channels().Add(0);
        a.BoundsRect = Rect(0, 0, 300, 1445);
        a.Increment = c.increment;
        RecordingCanvas rc;
        EXPECT_NO_THROW(a.Draw(rc));
        EXPECT_DOUBLE_EQ(a.Increment, c.expected) << c.increment;
        if (c.increment <= 0) {
            EXPECT_EQ(a.Length(), 0);
            EXPECT_TRUE(rc.Empty()) << "nothing of the axis is drawn";
            a.CalcAutoLimits(0, 97); // five divisions when there are none
            EXPECT_EQ(a.Minimum, 0);
            EXPECT_EQ(a.Maximum, 100);
            EXPECT_EQ(a.Increment, 20);
        }
    }
}

TEST_F(AsseTest, DivisionCountOfLinearAndLogarithmicAxes) {
    struct Case {
        bool log;
        double min, max, increment;
        int32_t expected;
    };
    const Case cases[] = {
        {false, 0, 100, 10, 10}, {false, 0, 100, 30, 3},   {false, 0, 100, 0, 0},
        {false, 0, 100, -5, 0},  {false, 0, 1, 1e-300, 0}, {true, 0, 3, 1, 3},
        {true, -3, 1, 7, 4},     {true, 0, 0.4, 1, 0},     {false, 0, 25, 10, 2},
    };
    for (const Case& c : cases) {
        axis.Logarithmic = c.log;
        axis.Minimum = c.min;
        axis.Maximum = c.max;
        axis.Increment = c.increment;
        EXPECT_EQ(axis.DivisionCount(), c.expected)
            << c.min << ".." << c.max << " / " << c.increment;
    }
}

TEST_F(AsseTest, HorizontalAxisIsCentredAndMapsValuesInSinglePrecision) {
    AddSpeedAndTorque();
    axis.Vertical = false;
    axis.Channels().Add(0);
    axis.BoundsRect = Rect(0, 0, 320, 200);
    axis.Draw(canvas);
    EXPECT_EQ(axis.Start(), 10);
    EXPECT_EQ(axis.End(), 310);
    EXPECT_EQ(axis.Length(), 300);
    EXPECT_EQ(axis.ValueToPos(10.5), 41); // a double fraction would give 42
    EXPECT_EQ(axis.ValueToPos(0), 10);
    EXPECT_EQ(axis.ValueToPos(100), 310);
    // Pixels exactly halfway go to the even neighbour, on either side of the axis.
    const std::pair<double, int32_t> halves[] = {
        {12.5, 10 + 38}, {37.5, 10 + 112}, {62.5, 10 + 188}, {-37.5, 10 - 112}, {137.5, 10 + 412}};
    for (const auto& [value, pixel] : halves)
        EXPECT_EQ(axis.ValueToPos(value), pixel) << value;
    EXPECT_DOUBLE_EQ(axis.PosToValue(150), 50);
    EXPECT_DOUBLE_EQ(axis.PosToValue(0), 0);

    axis.BoundsRect = Rect(400, 0, 1600, 200);
    axis.Sottotacche = 4;
    axis.Draw(canvas);
    EXPECT_EQ(axis.Start(), 425);
    EXPECT_EQ(axis.End(), 1575);
}

TEST_F(AsseTest, LeftAxisDrawsLineTicksValuesAndCaptions) {
    LeftSpeedAxis();
    axis.Caption = "Test 1";
    axis.Pen.Color = clRed;
    axis.Draw(canvas);
    EXPECT_EQ(axis.Start(), 188);
    EXPECT_EQ(axis.End(), 1412);
    EXPECT_EQ(axis.Length(), 1224);

    ASSERT_FALSE(canvas.lines.empty());
    const auto& line = canvas.lines.front();
    EXPECT_EQ(line.From, (TPoint{300, 188}));
    EXPECT_EQ(line.To, (TPoint{300, 1412}));
    EXPECT_EQ(line.Width, 5);
    EXPECT_EQ(line.Color, clRed);

    std::vector<int32_t> majors, minors;
    for (const auto& l : canvas.HorizontalLines()) {
        if (l.From.X == 300 && l.To.X == 250)
            majors.push_back(l.From.Y);
        else if (l.From.X == 275 && l.To.X == 300)
            minors.push_back(l.From.Y);
        else
            ADD_FAILURE() << "stray line at y " << l.From.Y;
    }
    EXPECT_EQ(majors, (std::vector<int32_t>{1412, 1208, 1004, 800, 596, 392, 188}));
    ASSERT_EQ(minors.size(), 18u);
    EXPECT_EQ(std::vector<int32_t>(minors.begin(), minors.begin() + 3),
              (std::vector<int32_t>{1361, 1310, 1259}));
    EXPECT_EQ(minors.back(), 188 + 51);

    const char* values[] = {"0.0", "10.0", "20.0", "30.0", "40.0", "50.0", "60.0"};
    for (int i = 0; i < 7; ++i) {
        const auto* t = canvas.FindText(values[i]);
        ASSERT_TRUE(t) << values[i];
        EXPECT_EQ(t->X, 245);
        EXPECT_EQ(t->Y, majors[i] - 33);
        EXPECT_EQ(t->Align, TA_RIGHT);
        EXPECT_EQ(t->Color, clRed);
        EXPECT_EQ(t->Escapement, 0);
    }
    struct Expected {
        const char* text;
        int32_t x, y;
        uint32_t align;
        int32_t escapement;
    };
    for (const Expected& e :
         {Expected{"Speed", 295, 11, TA_RIGHT, 0}, Expected{"[rpm]", 295, 78, TA_RIGHT, 0},
          Expected{"Test 1", 10, 1412, TA_LEFT, 900}}) {
        const auto* t = canvas.FindText(e.text);
        ASSERT_TRUE(t) << e.text;
        EXPECT_EQ(t->X, e.x) << e.text;
        EXPECT_EQ(t->Y, e.y) << e.text;
        EXPECT_EQ(t->Align, e.align) << e.text;
        EXPECT_EQ(t->Escapement, e.escapement) << e.text;
    }
    EXPECT_EQ(canvas.texts.size(), 10u);
    EXPECT_TRUE(canvas.rectangles.empty());

    // 400 high: 168 pixels of axis are no more than three value heights.
    RecordingCanvas low;
    axis.BoundsRect = Rect(0, 0, 300, 400);
    axis.Draw(low);
    EXPECT_EQ(axis.Length(), 168);
    EXPECT_TRUE(low.Empty());
}

TEST_F(AsseTest, RightAxisIsTheMirrorImage) {
    LeftSpeedAxis();
    axis.LeftSide = false;
    axis.Caption = "Test 1";
    axis.Draw(canvas);
    EXPECT_EQ(canvas.lines.front().From, (TPoint{0, 188}));
    const auto ticks = canvas.HorizontalLines();
    EXPECT_EQ(ticks.front().From, (TPoint{0, 1412}));
    EXPECT_EQ(ticks.front().To, (TPoint{50, 1412}));
    const auto* zero = canvas.FindText("0.0");
    ASSERT_TRUE(zero);
    EXPECT_EQ(zero->X, 55);
    EXPECT_EQ(zero->Align, TA_LEFT);
    EXPECT_EQ(canvas.FindText("Speed")->X, 5);
    EXPECT_EQ(canvas.FindText("Speed")->Align, TA_LEFT);
    const auto* caption = canvas.FindText("Test 1");
    EXPECT_EQ(caption->X, 300 - 67 - 10);
    EXPECT_EQ(caption->Escapement, 900);
    // Minor ticks on the tick side of the line.
    const bool minorRight = std::any_of(ticks.begin(), ticks.end(), [](const auto& l) {
        return l.From == TPoint{0, 1361} && l.To == TPoint{25, 1361};
    });
    EXPECT_TRUE(minorRight);
}

TEST_F(AsseTest, SeveralChannelsShareOneRotatedCaption) {
    LeftSpeedAxis();
    axis.Channels().Add(1);
    axis.Draw(canvas);
    const auto* t = canvas.FindText("Speed [rpm] - Torque [Nm]");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->X, 10);
    EXPECT_EQ(t->Y, 188);
    EXPECT_EQ(t->Align, TA_RIGHT);
    EXPECT_EQ(t->Escapement, 900);
    EXPECT_FALSE(canvas.FindText("Speed"));

    // Label kind 1 names the quantity once, whatever the channels.
    RecordingCanvas typed;
    axis.tipoetichette = 1;
    axis.Grandezza = "Giri";
    axis.Umisura = "1/min";
    axis.Draw(typed);
    EXPECT_TRUE(typed.FindText("Giri"));
    EXPECT_TRUE(typed.FindText("[1/min]"));
}

TEST_F(AsseTest, GridAlignmentPutsTheTicksOnTheGridCells) {
    LeftSpeedAxis();
    axis.SetGridAlignment(true, Rect(0, 0, 1000, 2000), 25);
    axis.Draw(canvas);
    EXPECT_EQ(axis.Start(), 240);
    EXPECT_EQ(axis.End(), 1440);
    EXPECT_EQ(axis.Length(), 1200);
    EXPECT_DOUBLE_EQ(axis.Increment, 4);
    EXPECT_EQ(axis.DivisionCount(), 15);
    std::vector<int32_t> majors;
    for (const auto& l : canvas.HorizontalLines())
        if (l.To.X == 250)
            majors.push_back(l.From.Y);
    ASSERT_EQ(majors.size(), 16u);
    for (size_t i = 0; i < majors.size(); ++i)
        EXPECT_EQ(majors[i], 1440 - 80 * static_cast<int32_t>(i));
    EXPECT_TRUE(canvas.FindText("60.0"));
}

TEST_F(AsseTest, GridAlignmentWithoutRoomOrCells) {
    struct Case {
        int32_t plotHeight, cells;
        int32_t start, end, length;
        double increment;
    };
    // Earlier geometry is kept without cells; one cell taller than the room collapses.
    const Case cases[] = {{2000, 0, 188, 1412, 1224, 60},
                          {2000, -3, 188, 1412, 1224, 60},
                          {20, 25, 188, 1412, 1224, 60},
                          {2000, 1, 1412, 1412, 0, 10}};
    for (const Case& c : cases) {
        TAsse a(&graph);
        AddSpeedAndTorque();
        a.Channels().Add(0);
        a.BoundsRect = Rect(0, 0, 300, 1445);
        a.Maximum = 60;
        a.Sottotacche = 3;
        RecordingCanvas first;
        a.Draw(first);
        a.SetGridAlignment(true, Rect(0, 0, 10, c.plotHeight), c.cells);
        RecordingCanvas rc;
        EXPECT_NO_THROW(a.Draw(rc));
        EXPECT_EQ(a.Start(), c.start) << c.plotHeight << "/" << c.cells;
        EXPECT_EQ(a.End(), c.end) << c.plotHeight << "/" << c.cells;
        EXPECT_EQ(a.Length(), c.length) << c.plotHeight << "/" << c.cells;
        EXPECT_DOUBLE_EQ(a.Increment, c.increment) << c.plotHeight << "/" << c.cells;
    }
}

TEST_F(AsseTest, AlignedAxisWithoutDivisionsDrawsOnlyItsLine) {
    // A log axis of less than half a decade has no divisions, yet the grid gives it a length.
    LeftSpeedAxis();
    axis.Logarithmic = true;
    axis.Minimum = 0;
    axis.Maximum = 0.4;
    axis.SetGridAlignment(true, Rect(0, 0, 10, 2000), 25);
    EXPECT_NO_THROW(axis.Draw(canvas));
    EXPECT_EQ(axis.DivisionCount(), 0);
    EXPECT_EQ(axis.Length(), 1200);
    ASSERT_EQ(canvas.lines.size(), 1u);
    EXPECT_EQ(canvas.lines[0].From, (TPoint{300, 240}));
    EXPECT_EQ(canvas.TextValues(), (std::vector<std::string>{"Speed", "[rpm]"}));
}

TEST_F(AsseTest, LogarithmicAxisMapsDecadesAndDrawsTheirMultiples) {
    AddSpeedAndTorque();
    axis.Channels().Add(0);
    axis.Logarithmic = true;
    axis.Minimum = 0;
    axis.Maximum = 3;
    axis.Increment = 1;
    axis.Sottotacche = 9;
    axis.BoundsRect = Rect(0, 0, 300, 1420);
    axis.Draw(canvas);
    ASSERT_EQ(axis.Length(), 1200);
    const int32_t start = axis.Start();
    EXPECT_EQ(axis.ValueToPos(50), start + 520);
    EXPECT_EQ(axis.ValueToPos(2), start + 1080);
    EXPECT_EQ(axis.ValueToPos(1), start + 1200);
    EXPECT_EQ(axis.ValueToPos(1000), start);
    EXPECT_EQ(axis.ValueToPos(0), start + 1200); // no pixel below zero: Minimum's
    EXPECT_EQ(axis.ValueToPos(-4), start + 1200);
    EXPECT_NEAR(axis.PosToValue(400), 100, 1e-9); // a third of the way down from 1000

    bool minorAt2 = false;
    int minors = 0;
    for (const auto& l : canvas.HorizontalLines())
        if (l.To.X == 300 && l.From.X == 275) {
            ++minors;
            minorAt2 = minorAt2 || l.From.Y == start + 1080;
        }
    EXPECT_TRUE(minorAt2);
    EXPECT_EQ(minors, 27);
    EXPECT_EQ(canvas.TextValues(),
              (std::vector<std::string>{"Speed", "[rpm]", "1", "10", "100", "1000"}));
}

// A stored range may ask for a division per pixel and 255 minor ticks in each: ticks closer
// than a pixel are not drawn, or one axis would hold hundreds of thousands of lines.
TEST_F(AsseTest, MinorTicksCloserThanAPixelAreNotDrawn) {
    LeftSpeedAxis();
    axis.Sottotacche = 255;
    axis.Logarithmic = true;
    axis.Minimum = 0;
    axis.Maximum = 1000; // decades
    axis.SetGridAlignment(true, Rect(0, 0, 10, 2000), 25);
    axis.Draw(canvas);
    ASSERT_EQ(axis.DivisionCount(), 1000);
    ASSERT_GE(axis.Length(), 1000); // at least a pixel per division: the major ticks show
    EXPECT_LT(canvas.lines.size(), 2000u);
}

TEST_F(AsseTest, LogarithmicAutoLimitsComeFromTheChannels) {
    AddTest(graph.buffer, {{"Flow", "l/s", {"0.0035", "7.2"}}, {"Key", "", {"A", "B"}}});
    AddTest(graph.buffer, {{"Flow", "l/s", {"0.5", "1"}}, {"Key", "", {"A", "A"}}});
    axis.Logarithmic = true;
    axis.Channels().Add(0);
    axis.CalcAutoLimits(123, 456); // the data range passed is not the log axis's
    EXPECT_EQ(axis.Minimum, -3);
    EXPECT_EQ(axis.Maximum, 1);
    EXPECT_EQ(axis.Increment, 1);
    axis.BoundsRect = Rect(0, 0, 300, 1445);
    axis.Draw(canvas);
    const std::vector<std::string> all = canvas.TextValues();
    const std::vector<std::string> values(all.begin() + std::min<size_t>(2, all.size()), all.end());
    EXPECT_EQ(values, (std::vector<std::string>{"0.001", "0.01", "0.1", "1", "10"}));

    // Rows of key "A" only (a text filter): 0.0035..1.
    axis.filtro = 1;
    axis.filtrotipo = 1;
    axis.filtrovalore = "A";
    axis.CalcAutoLimits(0, 0);
    EXPECT_EQ(axis.Minimum, -3);
    EXPECT_EQ(axis.Maximum, 0);
    // No row passes: the decade 1..10.
    axis.filtrovalore = "C";
    axis.CalcAutoLimits(0, 0);
    EXPECT_EQ(axis.Minimum, 0);
    EXPECT_EQ(axis.Maximum, 1);

    // Zero has no decade: the range starts at 1.
    TAsse wide(nullptr);
    wide.Logarithmic = true;
    wide.Channels().Add(0);
    FakeGraph other;
    AddTest(other.buffer, {{"Flow", "l/s", {"0", "450"}}});
    wide.SetData(&other.buffer);
    wide.CalcAutoLimits(0, 0);
    EXPECT_EQ(wide.Minimum, 0);
    EXPECT_EQ(wide.Maximum, 3);

    TAsse empty(nullptr);
    empty.Logarithmic = true;
    empty.Channels().Add(0);
    empty.CalcAutoLimits(5, 500);
    EXPECT_EQ(empty.Minimum, 0);
    EXPECT_EQ(empty.Maximum, 1);
}

TEST_F(AsseTest, LogLimitsAreTheEnclosingDecades) {
    struct Case {
        double min, max, e1, e2;
    };
    const Case cases[] = {{0.0035, 7.2, -3, 1}, {0, 450, 0, 3},        {3, 450, 0, 3},
                          {0.02, 0.5, -2, 0},   {1000, 1000, 3, 4},    {0, 0, 0, 1},
                          {100, 1000, 2, 3},    {0.001, 0.01, -3, -2}, {50, 20, 1, 2}};
    for (const Case& c : cases) {
        double e1 = 0, e2 = 0;
        TAsse::CalcLogLimits(c.min, c.max, e1, e2);
        EXPECT_EQ(e1, c.e1) << c.min << ".." << c.max;
        EXPECT_EQ(e2, c.e2) << c.min << ".." << c.max;
    }
}

TEST_F(AsseTest, NuovoLimits) {
    ImpostazioniRec.SetAutoLimitMethod(1);
    struct Case {
        double dataMin, dataMax;
        bool zero;
        double min, max, increment;
    };
    const Case cases[] = {
        {0.3, 9.7, false, 0, 10, 1},
        {5, 5, false, 4.4, 5.6, 0.2},
        {-0.042, 0.013, false, -0.05, 0.02, 0.01},
        {2.5, 47, true, 0, 50, 10},
        {-47, -2.5, true, -50, 0, 10},
        {5000, 5004, false, 4999, 5005, 1},
        {5000, 5000.4, false, 4999.4, 5000.6, 0.2},
    };
    for (const Case& c : cases) {
        axis.Zeroinclude = c.zero;
        axis.CalcAutoLimits(c.dataMin, c.dataMax);
        EXPECT_NEAR(axis.Minimum, c.min, 1e-9) << c.dataMin << ".." << c.dataMax;
        EXPECT_NEAR(axis.Maximum, c.max, 1e-9) << c.dataMin << ".." << c.dataMax;
        EXPECT_NEAR(axis.Increment, c.increment, 1e-9) << c.dataMin << ".." << c.dataMax;
    }
}

TEST_F(AsseTest, TradizionaleLimits) {
    struct Case {
        double dataMin, dataMax, min, max, increment;
    };
    const Case cases[] = {
        {0, 97, 0, 100, 20},
        {203.7, 268.2, 185, 285, 20},
        {1.234, 1.789, 1.0115, 2.0115, 0.2}, // a double half would give 1.01149
        {5, 5, -25, 35, 12},
        {0, 0.012, 0, 0.0125, 0.0025},
        {0, 340, 0, 350, 70},
        {0, 140, 0, 150, 30},
    };
    for (const Case& c : cases) {
        axis.Minimum = 0;
        axis.Maximum = 100;
        axis.Increment = 20;
        axis.CalcAutoLimits(c.dataMin, c.dataMax);
        EXPECT_NEAR(axis.Minimum, c.min, 1e-9) << c.dataMin << ".." << c.dataMax;
        EXPECT_NEAR(axis.Maximum, c.max, 1e-9) << c.dataMin << ".." << c.dataMax;
        EXPECT_NEAR(axis.Increment, c.increment, 1e-9) << c.dataMin << ".." << c.dataMax;
    }
}

TEST_F(AsseTest, AutoLimitsIgnoreARangeThatIsNoNumber) {
    const double inf = std::numeric_limits<double>::infinity();
    for (int method : {0, 1}) {
        ImpostazioniRec.SetAutoLimitMethod(static_cast<uint8_t>(method));
        axis.CalcAutoLimits(0, inf);
        axis.CalcAutoLimits(std::nan(""), 5);
        axis.CalcAutoLimits(-1e308, 1e308);
        EXPECT_EQ(axis.Minimum, 0);
        EXPECT_EQ(axis.Maximum, 100);
        EXPECT_EQ(axis.Increment, 10);
    }
}

TEST_F(AsseTest, ChannelTextsByLabelKind) {
    AddSpeedAndTorque();
    graph.buffer.LabelTable.Add("Drehzahl\xA7"
                                "1/min");
    axis.Grandezza = "Coppia";
    axis.Umisura = "Nm";
    struct Case {
        uint8_t kind;
        int32_t channel;
        const char *caption, *quantity, *unit;
    };
    const Case cases[] = {
        {0, 0, "Speed [rpm]", "Speed", "rpm"},
        {0, 1, "Torque [Nm]", "Torque", "Nm"},
        {2, 0, "Drehzahl[1/min]", "Drehzahl", "1/min"},
        {2, 1, "Torque [Nm]", "Torque", "Nm"},
        {1, 0, "Coppia[Nm]", "Coppia", "Nm"},
        {7, 0, "Speed", "Speed", "rpm"},
        {0, 5, " []", "", ""},
        {7, -1, "", "", ""},
    };
    for (const Case& c : cases) {
        axis.tipoetichette = c.kind;
        EXPECT_EQ(axis.ChannelCaption(c.channel), c.caption) << int(c.kind) << "/" << c.channel;
        EXPECT_EQ(axis.ChannelQuantity(c.channel), c.quantity) << int(c.kind) << "/" << c.channel;
        EXPECT_EQ(axis.ChannelUnit(c.channel), c.unit) << int(c.kind) << "/" << c.channel;
    }
    // A table entry without the separator is all quantity.
    graph.buffer.LabelTable.Add("Coppia");
    axis.tipoetichette = 2;
    EXPECT_EQ(axis.ChannelCaption(1), "Coppia[]");

    TAsse noData(nullptr);
    EXPECT_EQ(noData.ChannelCaption(0), " []");
    EXPECT_EQ(noData.ChannelQuantity(0), "");
}

TEST_F(AsseTest, GetChannelDataFindsTheVectorOfATest) {
    AddSpeedAndTorque();
    TdataProva& second = AddTest(graph.buffer, {{"Speed", "rpm", {"7"}}});
    axis.Channels().Add(1);
    axis.Channels().Add(0);
    axis.Channels().Add(4);
    EXPECT_EQ(axis.GetChannelData(0, 0), &graph.buffer.GetProva(0).GetChannel(1));
    EXPECT_EQ(axis.GetChannelData(1, 1), &second.GetChannel(0));
    EXPECT_EQ(axis.GetChannelData(1, 0), nullptr); // the second test has one channel
    EXPECT_EQ(axis.GetChannelData(0, 2), nullptr); // no channel 4
    EXPECT_EQ(axis.GetChannelData(0, 3), nullptr); // no fourth position
    EXPECT_EQ(axis.GetChannelData(2, 0), nullptr);
    EXPECT_EQ(axis.GetChannelData(-1, 0), nullptr);
    TAsse noData(nullptr);
    noData.Channels().Add(0);
    EXPECT_EQ(noData.GetChannelData(0, 0), nullptr);
}

// [12] and [-2, 3] as the "Asse" property stores them.
std::string AsseBytes(const std::vector<int32_t>& channels) {
    TAsse a(nullptr);
    for (int32_t c : channels)
        a.Channels().Add(c);
    TMemoryStream s;
    a.WriteAsse(s);
    return s.Bytes();
}

std::vector<int32_t> ChannelsOf(const TAsse& a) {
    std::vector<int32_t> out;
    for (int i = 0; i < a.Channels().Count(); ++i)
        out.push_back(a.Channels().GetItem(i));
    return out;
}

void ReadAsseBytes(TAsse& a, const std::string& bytes) {
    TMemoryStream s;
    s.WriteBytes(bytes);
    s.SetPosition(0);
    a.ReadAsse(s);
}

TEST_F(AsseTest, AsseBytesOfAFullAndOfANewAxis) {
    axis.Channels().Add(0);
    TPointMarkerRecord& m = axis.MarkerRecord();
    m.MarkerType = 3;
    m.FillColor = 0x0000FF;
    m.Filled = 1;
    m.ShowMarkers = 1;
    m.SizeIndex = 2;
    TGridRecord& g = axis.GridRecord();
    g.Enabled = 1;
    g.PenWidth = 3;
    g.PenStyle = 2;
    g.Color = 0x808080;
    g.MinorLines = 1;
    g.Orientation = 2;
    TSplineRecord& sp = axis.SplineRecord();
    sp.Enabled = 1;
    sp.Parameter = 5;
    sp.Value = 25.0;
    TMemoryStream s;
    axis.WriteAsse(s);
    EXPECT_EQ(HexBytes(s.Bytes()),
              HexBytes(FromHex("01000000 00000000 03000000 FF000000 01 01 0000 02000000 08") +
                       "Griglia " +
                       FromHex("01000000 03000000 02000000 80808000 01 02 0000"
                               "01 05 000000000000 0000000000003940 00 00000000000000")));
    EXPECT_EQ(s.Bytes().size(), 77u);

    TAsse back(nullptr);
    back.Channels().Add(9);
    ReadAsseBytes(back, s.Bytes());
    EXPECT_EQ(ChannelsOf(back), std::vector<int32_t>{0});
    EXPECT_EQ(back.MarkerRecord(), axis.MarkerRecord());
    EXPECT_EQ(back.GridRecord(), axis.GridRecord());
    EXPECT_EQ(back.SplineRecord(), axis.SplineRecord());
    EXPECT_TRUE(back.ChannelsLoaded());

    const std::string fresh = AsseBytes({});
    EXPECT_EQ(HexBytes(fresh),
              HexBytes(FromHex("00000000 00000000 FFFFFF00 00 01 0000 00000000 08") + "Griglia " +
                       std::string(20, '\0') + FromHex("00 04") + std::string(22, '\0')));
    EXPECT_EQ(fresh.size(), 73u);
}

TEST_F(AsseTest, AsseReaderTakesOlderStreamsAndRefusesShortOnes) {
    TSplineRecord spline;
    spline.Enabled = 1;
    spline.Parameter = 2;
    spline.Value = -1.5;
    spline.Extrapolation = 1;
    const auto sb = spline.ToBytes();
    TPointMarkerRecord marker;
    marker.MarkerType = 7;
    const auto mb = marker.ToBytes();
    // The older form: channels, marker record, spline record.
    const std::string old = FromHex("02000000 05000000 01000000") +
                            std::string(mb.begin(), mb.end()) + std::string(sb.begin(), sb.end());
    TAsse fresh(nullptr);
    ReadAsseBytes(fresh, old);
    EXPECT_EQ(ChannelsOf(fresh), (std::vector<int32_t>{5, 1}));
    EXPECT_EQ(fresh.MarkerRecord(), marker);
    EXPECT_EQ(fresh.GridRecord(), TGridRecord{});
    EXPECT_EQ(fresh.SplineRecord(), spline);

    // The grid record stays as it was when the stream has none.
    TAsse kept(nullptr);
    kept.GridRecord().Enabled = 1;
    kept.GridRecord().Color = 0x123456;
    ReadAsseBytes(kept, old);
    EXPECT_EQ(kept.GridRecord().Color, 0x123456);

    // No channels in the stream: none on the axis.
    TAsse three(nullptr);
    three.Channels().Add(3);
    ReadAsseBytes(three, AsseBytes({}));
    EXPECT_TRUE(ChannelsOf(three).empty());

    const std::string full = AsseBytes({1, 2});
    for (size_t cut : {size_t{0}, size_t{3}, size_t{8}, size_t{20}, size_t{40}, full.size() - 1}) {
        TAsse a(nullptr);
        a.Channels().Add(4);
        a.SplineRecord().Value = 3;
        try {
            ReadAsseBytes(a, full.substr(0, cut));
            ADD_FAILURE() << "no error at " << cut;
        } catch (const EReadError& e) {
            EXPECT_STREQ(e.what(), "Stream read error");
        }
        EXPECT_EQ(ChannelsOf(a), std::vector<int32_t>{4}) << cut;
        EXPECT_EQ(a.SplineRecord().Value, 3) << cut;
        EXPECT_FALSE(a.ChannelsLoaded()) << cut;
    }
    // A count beyond the bytes is refused before anything is allocated.
    TAsse huge(nullptr);
    EXPECT_THROW(ReadAsseBytes(huge, FromHex("FFFFFF7F") + std::string(64, '\0')), EReadError);
}

TEST_F(AsseTest, ChannelsReadFromAStreamAreClampedToTheTestsAtTheFirstDraw) {
    std::vector<Channel> eight;
    for (int i = 0; i < 8; ++i)
        eight.push_back({"C" + std::to_string(i), "u", {"1"}});
    AddTest(graph.buffer, eight);
    ReadAsseBytes(axis, AsseBytes({12, -2, 3}));
    EXPECT_EQ(ChannelsOf(axis), (std::vector<int32_t>{12, -2, 3}));
    axis.BoundsRect = Rect(0, 0, 300, 1445);
    axis.Draw(canvas);
    EXPECT_EQ(ChannelsOf(axis), (std::vector<int32_t>{7, 0, 3}));
    EXPECT_FALSE(axis.ChannelsLoaded());

    // Only once: indexes set later are the caller's.
    axis.Channels().SetItem(0, 12);
    axis.Draw(canvas);
    EXPECT_EQ(axis.Channels().GetItem(0), 12);

    graph.buffer.AddProva(0); // a test without channels
    ReadAsseBytes(axis, AsseBytes({1}));
    axis.ClampChannels();
    EXPECT_TRUE(ChannelsOf(axis).empty());

    TAsse noData(nullptr);
    ReadAsseBytes(noData, AsseBytes({12}));
    noData.ClampChannels();
    EXPECT_EQ(ChannelsOf(noData), std::vector<int32_t>{12});
    EXPECT_FALSE(noData.ChannelsLoaded());
}

TEST_F(AsseTest, PensAndFramesAtPrinterResolution) {
    LeftSpeedAxis();
    axis.Selected = true;
    axis.Pen.Color = clBlue;
    axis.Draw(canvas);
    EXPECT_EQ(axis.TickLength(), 50);
    EXPECT_EQ(canvas.lines.front().Width, 5);
    ASSERT_EQ(canvas.rectangles.size(), 1u);
    const auto& frame = canvas.rectangles.back();
    EXPECT_EQ(frame.R, Rect(5, 5, 295, 1440));
    EXPECT_EQ(frame.Width, 17);
    EXPECT_EQ(frame.Color, clBlack);
    EXPECT_EQ(frame.Brush, bsClear);

    // Not on paper.
    RecordingCanvas printed;
    Printer().BeginDoc();
    axis.Draw(printed);
    Printer().EndDoc();
    EXPECT_TRUE(printed.rectangles.empty());
    EXPECT_FALSE(printed.lines.empty());

    // Without channels, only the placeholder frame.
    TAsse empty(&graph);
    empty.BoundsRect = Rect(0, 0, 300, 1445);
    empty.Pen.Color = clGreen;
    RecordingCanvas placeholder;
    empty.Draw(placeholder);
    ASSERT_EQ(placeholder.rectangles.size(), 1u);
    EXPECT_EQ(placeholder.rectangles[0].R, Rect(75, 75, 225, 1370));
    EXPECT_EQ(placeholder.rectangles[0].Width, 2);
    EXPECT_EQ(placeholder.rectangles[0].Color, clGreen);
    EXPECT_TRUE(placeholder.lines.empty());
    EXPECT_TRUE(placeholder.texts.empty());
}

TEST_F(AsseTest, DoubleAxisLabelsItsSecondScaleThroughTheFormula) {
    for (char separator : {'.', ','}) {
        FormatSettings().DecimalSeparator = separator;
        TAsse a(&graph);
        AddSpeedAndTorque();
        a.Channels().Add(0);
        a.BoundsRect = Rect(0, 0, 300, 1445);
        a.DoubleAxe = true;
        a.Increment = 20;
        a.Formato = "0";
        a.Conversionformula = "X*1.8+32";
        a.Umis2 = "F";
        RecordingCanvas rc;
        a.Draw(rc);
        std::vector<std::string> second;
        for (const auto& t : rc.texts)
            if (t.X == 150 + 50 + 5 && t.Align == TA_LEFT)
                second.push_back(t.Value);
        EXPECT_EQ(second, (std::vector<std::string>{"32", "68", "104", "140", "176", "212"}))
            << separator;
        const auto* primary = rc.FindText("100");
        ASSERT_TRUE(primary);
        EXPECT_EQ(primary->X, 150 - 50 - 5);
        EXPECT_EQ(primary->Align, TA_RIGHT);
        EXPECT_EQ(rc.FindText("Speed")->Align, TA_CENTER);
        EXPECT_EQ(rc.FindText("[rpm]")->X, 146);
        EXPECT_EQ(rc.FindText("[F]")->X, 154);
    }
}

TEST_F(AsseTest, RightDoubleAxisMirrorsBothScales) {
    LeftSpeedAxis();
    axis.LeftSide = false;
    axis.DoubleAxe = true;
    axis.Formato = "0";
    axis.Conversionformula = "X*2";
    axis.Umis2 = "F";
    axis.Draw(canvas);
    const auto* primary = canvas.FindText("60");
    ASSERT_TRUE(primary);
    EXPECT_EQ(primary->X, 150 + 55);
    EXPECT_EQ(primary->Align, TA_LEFT);
    const auto* second = canvas.FindText("120");
    ASSERT_TRUE(second);
    EXPECT_EQ(second->X, 150 - 55);
    EXPECT_EQ(second->Align, TA_RIGHT);
    EXPECT_EQ(canvas.FindText("[rpm]")->X, 154);
    EXPECT_EQ(canvas.FindText("[rpm]")->Align, TA_LEFT);
    EXPECT_EQ(canvas.FindText("[F]")->X, 146);
    EXPECT_EQ(canvas.FindText("[F]")->Align, TA_RIGHT);
    // Minor ticks centred on the line.
    const auto ticks = canvas.HorizontalLines();
    EXPECT_TRUE(std::any_of(ticks.begin(), ticks.end(), [](const auto& l) {
        return l.From == TPoint{138, 1361} && l.To == TPoint{163, 1361};
    }));
}

TEST_F(AsseTest, IndependentSecondScaleGetsTicksWithoutValues) {
    LeftSpeedAxis();
    axis.DoubleAxe = true;
    axis.Scala2Indipendente = true;
    axis.Conversionformula = "X*2";
    axis.Draw(canvas);
    int right = 0, left = 0, minor = 0;
    for (const auto& l : canvas.HorizontalLines()) {
        if (l.From.X == 150 && l.To.X == 200)
            ++right;
        else if (l.From.X == 150 && l.To.X == 100)
            ++left;
        else
            ++minor;
    }
    EXPECT_EQ(left, 7);
    EXPECT_EQ(right, 7);
    EXPECT_EQ(minor, 0);
    for (const auto& t : canvas.texts)
        EXPECT_NE(t.X, 205) << t.Value;
}

TEST_F(AsseTest, HorizontalAxisTextsAndTicks) {
    AddSpeedAndTorque();
    axis.Vertical = false;
    axis.Channels().Add(0);
    axis.BoundsRect = Rect(400, 1000, 1600, 1200);
    axis.Caption = "X";
    axis.Formato = "0";
    axis.Draw(canvas); // 410..1590, 118 pixels a division
    EXPECT_EQ(canvas.lines.front().From, (TPoint{410, 1000}));
    EXPECT_EQ(canvas.lines.front().To, (TPoint{1590, 1000}));
    const auto* channel = canvas.FindText("Speed [rpm]");
    ASSERT_TRUE(channel);
    EXPECT_EQ(channel->X, 410);
    EXPECT_EQ(channel->Y, 1200 - 67);
    EXPECT_EQ(channel->Align, TA_LEFT);
    const auto* caption = canvas.FindText("X");
    EXPECT_EQ(caption->X, 1590);
    EXPECT_EQ(caption->Align, TA_RIGHT);
    const auto* fifty = canvas.FindText("50");
    ASSERT_TRUE(fifty);
    EXPECT_EQ(fifty->X, 410 + 5 * 118);
    EXPECT_EQ(fifty->Y, 1000 + 50 + 2);
    EXPECT_EQ(fifty->Align, TA_CENTER);
    int majors = 0, minors = 0;
    for (const auto& l : canvas.lines) {
        if (l.From.X != l.To.X)
            continue;
        EXPECT_EQ(l.From.Y, 1000);
        if (l.To.Y == 1050)
            ++majors;
        else if (l.To.Y == 1025)
            ++minors;
    }
    EXPECT_EQ(majors, 11);
    EXPECT_EQ(minors, 10);

    // Double: the line in the middle, the second scale above it.
    RecordingCanvas dbl;
    axis.DoubleAxe = true;
    axis.Conversionformula = "X+1000";
    axis.Umis2 = "mm";
    axis.Draw(dbl);
    EXPECT_EQ(dbl.lines.front().From.Y, 1100);
    const auto* second = dbl.FindText("1050");
    ASSERT_TRUE(second);
    EXPECT_EQ(second->Y, 1100 - 67 - 50 - 2);
    EXPECT_EQ(dbl.FindText("[mm]")->Y, 1000);
    const auto* quantity = dbl.FindText("Speed");
    ASSERT_TRUE(quantity);
    EXPECT_EQ(quantity->X, 410 - 134);
    EXPECT_EQ(quantity->Escapement, 900);

    // Independent second scale: the line alone.
    RecordingCanvas line;
    axis.Scala2Indipendente = true;
    axis.Draw(line);
    EXPECT_EQ(line.lines.size(), 1u);
}

TEST_F(AsseTest, LineSampleShowsThePenAndThreeMarkers) {
    LeftSpeedAxis();
    axis.ShowLineAttrib = true;
    axis.Pen.Style = psDot;
    axis.MarkerRecord().MarkerType = 0;
    axis.Draw(canvas);
    std::vector<RecordingCanvas::Line> sample;
    for (const auto& l : canvas.lines)
        if (l.Width == 1)
            sample.push_back(l);
    ASSERT_EQ(sample.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(sample[i].From, (TPoint{24 + i, 1412}));
        EXPECT_EQ(sample[i].To, (TPoint{24 + i, 1412 - 180}));
        EXPECT_EQ(sample[i].Style, psDot);
    }
    ASSERT_EQ(canvas.ellipses.size(), 3u);
    const int32_t above[] = {20, 80, 140};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(canvas.ellipses[i].R, Rect(15, 1412 - above[i] - 10, 35, 1412 - above[i] + 10));

    RecordingCanvas hidden;
    axis.MarkerRecord().ShowMarkers = 0;
    axis.Draw(hidden);
    EXPECT_TRUE(hidden.ellipses.empty());
}

TEST_F(AsseTest, MappingWithoutARangeOrALength) {
    axis.Minimum = axis.Maximum = 5;
    EXPECT_NO_THROW(axis.ValueToPos(5));
    EXPECT_EQ(axis.ValueToPos(7), axis.Start() + axis.Length());
    EXPECT_EQ(axis.PosToValue(10), 5);
    axis.Vertical = false;
    EXPECT_EQ(axis.ValueToPos(7), axis.Start());
    // Far beyond the limits the pixel stays a number.
    axis.Minimum = 0;
    axis.Maximum = 1e-300;
    EXPECT_NO_THROW(axis.ValueToPos(1e300));
}

TEST_F(AsseTest, DrawsIntoAMetafileAtPrinterResolution) {
    LeftSpeedAxis();
    Metafile mf;
    {
        TMetafileCanvas mc(mf, Printer().Caps());
        axis.Draw(mc);
    }
    EXPECT_FALSE(mf.Empty());
}

} // namespace
} // namespace vx
