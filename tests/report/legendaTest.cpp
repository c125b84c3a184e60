#include "report/legenda.h"

#include "RecordingCanvas.h"
#include "data/AttributiProve.h"
#include "data/Databuff.h"
#include "platform/graphics/Drawing.h"
#include "platform/graphics/TextMetrics.h"
#include "platform/runtime/ComponentStream.h"
#include "platform/runtime/Streams.h"
#include "report/DataOwner.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace vx {
namespace {

using test::RecordingCanvas;

// Fixed metrics on the 600 dpi virtual printer: the default legend font is 67 pixels high
// and 34 wide a character; 10 mm are 236 pixels.
class legendaTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetFixedTextMetrics(true);
        // Circles everywhere, so that the lines drawn are the line samples alone.
        for (int i = 0; i < TAttributiProve::kCount; ++i)
            AttributiProve().Record(i).PointType = 0;
    }
    void TearDown() override {
        SetFixedTextMetrics(false);
        AttributiProve() = saved_;
    }

    // Tests named T0, T1, ... so that each entry's text tells which test it is.
    void AddTests(int n) {
        for (int i = 0; i < n; ++i) {
            const std::string name = "T" + std::to_string(data_->ProvaCount());
            data_->AddProva(1).FileName = name;
        }
    }
    // A fresh buffer of that many tests each time.
    Tlegenda& Legend(int tests, int numrows, TRect bounds = Rect(100, 0, 3001, 600)) {
        data_ = std::make_unique<TDatabuffer>();
        AddTests(tests);
        legend_.SetData(data_.get());
        legend_.Visible = true;
        legend_.Numrows = numrows;
        legend_.Align = 0;
        legend_.Border.Visible = false;
        legend_.BoundsRect = bounds;
        return legend_;
    }
    std::vector<std::string> Draw() {
        canvas_.Ops.clear();
        legend_.Draw(canvas_);
        return canvas_.Ops;
    }

    std::unique_ptr<TDatabuffer> data_;
    Tlegenda legend_{nullptr};
    RecordingCanvas canvas_;
    TAttributiProve saved_ = AttributiProve();
};

// Stands in for the graph, whose tests the legend takes when it is made.
class Graph : public TComponent, public TDataOwner {
public:
    Graph() : TComponent(nullptr) {}
    TDatabuffer* Data() override { return &data; }
    TDatabuffer data;
};

TEST_F(legendaTest, ANewLegendIsHiddenWithOneRowCentredAndAFrame) {
    Tlegenda l(nullptr);
    EXPECT_FALSE(l.Visible);
    EXPECT_EQ(l.Numrows, 1);
    EXPECT_EQ(l.Align, 6);
    EXPECT_EQ(l.legendAlign, alTop);
    EXPECT_TRUE(l.showfile);
    EXPECT_TRUE(l.Border.Visible);
    EXPECT_EQ(l.Border.Width, 1);
    EXPECT_EQ(l.Border.Color, clBlack);
    EXPECT_TRUE(l.legendFont().SameAttributes(*CreateDefaultFont()));
    EXPECT_EQ(l.Data(), nullptr);
    EXPECT_EQ(l.ClassName(), "Tlegenda");
    Graph graph;
    auto* owned = new Tlegenda(&graph);
    EXPECT_EQ(owned->Data(), &graph.data);
    EXPECT_EQ(owned->Owner(), &graph);
}

// The entry's text lies at cell left + 30 + 236 + 5 + 5 with Align 0, at the cell's top.
TEST_F(legendaTest, EntriesFillTheGridRowByRowAndEmptyCellsStayEmpty) {
    struct Case {
        int tests, numrows, storedRows;
        std::vector<std::string> texts;
    };
    auto at = [](int x, int y, int i) {
        return "text " + std::to_string(x + 276) + "," + std::to_string(y) + " align 0 'T" +
               std::to_string(i) + "'";
    };
    // 7 tests in 3 rows: 3 columns of (2901 - 40) div 3 = 953 from x 101, rows 67 high.
    std::vector<std::string> seven;
    for (int i = 0; i < 7; ++i)
        seven.push_back(at(101 + 953 * (i % 3), 40 + 67 * (i / 3), i));
    std::vector<std::string> fiveInTwo;
    for (int i = 0; i < 5; ++i)
        fiveInTwo.push_back(at(101 + 953 * (i % 3), 40 + 67 * (i / 3), i));
    std::vector<std::string> oneColumn; // one column 2861 wide from x 100
    for (int i = 0; i < 4; ++i)
        oneColumn.push_back(at(100, 40 + 67 * i, i));
    std::vector<std::string> oneRow; // 4 columns of 715 from x 100 + 1 div 2
    for (int i = 0; i < 4; ++i)
        oneRow.push_back(at(100 + 715 * i, 40, i));
    const Case cases[] = {
        {7, 3, 3, seven},      {5, 2, 2, fiveInTwo}, {4, 0, 4, oneColumn},
        {4, -5, 4, oneColumn}, {4, 9, 4, oneColumn}, {4, 1, 1, oneRow},
    };
    for (const auto& c : cases) {
        Legend(c.tests, c.numrows);
        Draw();
        EXPECT_EQ(canvas_.OpsOf("text"), c.texts) << c.tests << " tests, " << c.numrows;
        EXPECT_EQ(legend_.Numrows, c.storedRows) << c.tests << " tests, " << c.numrows;
    }
}

TEST_F(legendaTest, AnEntryDrawsItsLineSampleMarkerTextAndComment) {
    AttributiProve().Record(4).PenStyle = psDash;
    AttributiProve().Record(4).PointType = 3;
    Legend(7, 3);
    legend_.showfile = false;
    legend_.testocomune = " Lot L-042/B7"; // 442 pixels
    for (int i = 0; i < 7; ++i)
        legend_.Commenti.Add(i == 4 ? "ok" : "");
    const std::vector<std::string> ops = Draw();
    // Test 4 lies in row 1, column 1: the cell (1054, 107, 2007, 174).
    std::vector<std::string> entry;
    const std::string pen = " pen " + std::to_string(clTeal) + " w1 s1";
    for (int m = 138; m <= 142; ++m)
        entry.push_back("line 1084," + std::to_string(m) + " 1320," + std::to_string(m) + pen);
    RecordingCanvas marker;
    marker.Pen.Color = clTeal;
    marker.Pen.Width = 1;
    marker.Pen.Style = psSolid;
    DrawMarker(marker, 1204, 138, 3, 22);
    ASSERT_EQ(marker.Ops.size(), 1u);
    entry.push_back(marker.Ops[0]);
    entry.push_back("text 1330,107 align 0 ' Lot L-042/B7'");
    entry.push_back("text 1807,107 align 0 'ok'");
    // Seven entries of line sample, marker and text; only test 4 has a comment.
    ASSERT_EQ(ops.size(), 7u * 7 + 1);
    const auto first = ops.begin() + 4 * 7;
    EXPECT_EQ(std::vector<std::string>(first, first + 8), entry);
    EXPECT_EQ(canvas_.TextAlign(), 0u);
}

TEST_F(legendaTest, TheAlignmentPlacesTheEntryInItsCell) {
    struct Case {
        uint16_t align;
        int x;
    };
    // 953 wide cell from 1054: right 2007 - 60 - 236 - 442 - 68; centred (953 - 776) div 2.
    const Case cases[] = {{0, 1084}, {2, 1201}, {6, 1142}, {24, 1084}, {1, 1084}};
    for (const auto& c : cases) {
        Tlegenda& l = Legend(7, 3);
        l.showfile = false;
        l.testocomune = " Lot L-042/B7";
        l.Commenti.Clear();
        for (int i = 0; i < 7; ++i)
            l.Commenti.Add(i == 4 ? "ok" : "");
        l.Align = c.align;
        Draw();
        const std::vector<std::string> lines = canvas_.OpsOf("line");
        ASSERT_EQ(lines.size(), 35u);
        EXPECT_EQ(lines[20].substr(0, 5 + std::to_string(c.x).size()),
                  "line " + std::to_string(c.x))
            << c.align;
        const std::vector<std::string> texts = canvas_.OpsOf("text");
        ASSERT_EQ(texts.size(), 8u);
        EXPECT_EQ(texts[4], "text " + std::to_string(c.x + 246) + ",107 align 0 ' Lot L-042/B7'")
            << c.align;
        EXPECT_EQ(canvas_.TextAlign(), c.align); // set back after the entries
    }
}

TEST_F(legendaTest, TestsBeyondTheTenthTakeTheStylesInTurn) {
    AttributiProve().Record(3).Color = 0x123456;
    Legend(14, 0);
    Draw();
    const std::vector<std::string> lines = canvas_.OpsOf("line");
    ASSERT_EQ(lines.size(), 14u * 5);
    for (int test : {3, 13})
        EXPECT_NE(lines[static_cast<size_t>(test) * 5].find(" pen 1193046 w1 s0"),
                  std::string::npos)
            << lines[static_cast<size_t>(test) * 5];
    EXPECT_EQ(lines[12 * 5].find(" pen 1193046 "), std::string::npos);
}

TEST_F(legendaTest, TheTextIsTheFileNameWithoutFolderAndTheExpandedCommonText) {
    struct Case {
        std::string file;
        bool showfile;
        std::string expected;
    };
    const Case cases[] = {
        {"C:\\Prove\\RUN7.txt", true, "RUN7.txt Lot L-042/B7"},
        {"/data/RUN7.txt", true, "RUN7.txt Lot L-042/B7"},
        {"RUN7.txt", true, "RUN7.txt Lot L-042/B7"},
        {"C:\\Prove\\RUN7.txt", false, " Lot L-042/B7"},
    };
    Legend(1, 1);
    TdataProva& test = data_->GetProva(0);
    test.HeaderCells.Add("1,1#B7");
    test.HeaderCells.Add("3,2#L-042");
    legend_.testocomune = " Lot &<*;3;2(Lotto)>/&<*;1;1(Banco)>";
    for (const auto& c : cases) {
        test.FileName = c.file;
        legend_.showfile = c.showfile;
        Draw();
        const std::vector<std::string> texts = canvas_.OpsOf("text");
        ASSERT_EQ(texts.size(), 1u) << c.file; // and no comment
        EXPECT_EQ(texts[0], "text 376,40 align 0 '" + c.expected + "'") << c.file;
    }
}

TEST_F(legendaTest, PlaceholdersTakeTheTestsHeaderCells) {
    Legend(2, 1);
    TdataProva& test = data_->GetProva(1);
    for (const char* cell : {"1,1#B7", "3,2#L-042", "2,1#7,5 bar", "x,1#bad", "4#5,6", "2,1#late"})
        test.HeaderCells.Add(cell);
    struct Case {
        std::string text, expected;
    };
    const Case cases[] = {
        {" Lot &<*;3;2(Lotto)>/&<*;1;1(Banco)>", " Lot L-042/B7"},
        {"Run &<1;2;1(x)> ok", "Run 7,5 bar ok"}, // the first cell that matches
        {"&<*;9;9(none)>", ""},
        {" Lot &<*;3;2(Lotto", " Lot L-042"}, // never closed: runs to the end
        {"a&<*;x;2(q)>b", "ab"},              // not an integer: dropped, the rest goes on
        {"a&<*;3>b", "ab"},                   // no row
        {"a&<>b&<1;1;1>c", "abB7c"},
        {"plain text", "plain text"},
        {"&<", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(legend_.ExpandTags(c.text, 1), c.expected) << c.text;
    EXPECT_EQ(legend_.ExpandTags("x&<*;1;1>", 0), "x"); // test 0 has no header cells
    EXPECT_EQ(legend_.GetHeaderCell(1, 2, 1), "7,5 bar");
    EXPECT_EQ(legend_.GetHeaderCell(1, 4, 5), ""); // '#' before ',' is no cell
    EXPECT_EQ(legend_.GetHeaderCell(2, 1, 1), "");
    EXPECT_EQ(legend_.GetHeaderCell(-1, 1, 1), "");
    legend_.SetData(nullptr);
    EXPECT_EQ(legend_.GetHeaderCell(1, 1, 1), "");
}

TEST_F(legendaTest, HiddenEmptyOrDatalessLegendsDrawNothingNotEvenTheirBorder) {
    Legend(0, 1);
    legend_.Border.Visible = true;
    EXPECT_TRUE(Draw().empty()); // no tests
    AddTests(2);
    legend_.Visible = false;
    EXPECT_TRUE(Draw().empty());
    legend_.Visible = true;
    legend_.SetData(nullptr);
    EXPECT_TRUE(Draw().empty());
    EXPECT_EQ(legend_.Numrows, 1);
}

TEST_F(legendaTest, AVisibleBorderIsAFrameAlongTheBoundsDrawnLast) {
    Legend(2, 1, Rect(10, 20, 1500, 300));
    legend_.Border.Visible = true;
    legend_.Border.Width = 7;
    legend_.Border.Color = clRed;
    const std::vector<std::string> ops = Draw();
    ASSERT_FALSE(ops.empty());
    EXPECT_EQ(ops.back(),
              "rect 10,20-1500,300 pen 255 w7 s0 brush " + std::to_string(clWhite) + " s1");
    EXPECT_EQ(canvas_.OpsOf("rect").size(), 1u);
}

TEST_F(legendaTest, TheStreamHoldsOnlyWhatDiffersFromTheDefaultsInOrder) {
    Tlegenda l(nullptr);
    const std::string fresh = ComponentToBytes(l);
    // Only the default font: no Visible, Numrows, Align, legendAlign, showfile or border.
    const std::string expected = std::string("TPF0\x08Tlegenda\x00", 14) +
                                 "\x12legendFont.Charset\x07\x0f"
                                 "DEFAULT_CHARSET" +
                                 "\x10legendFont.Color\x07\x07"
                                 "clBlack" +
                                 "\x11legendFont.Height\x02\xf5" +
                                 "\x0flegendFont.Name\x06\x08"
                                 "Testline" +
                                 std::string("\x10legendFont.Style\x0b\x00\x00\x00", 21);
    EXPECT_EQ(test::HexBytes(fresh), test::HexBytes(expected));

    l.Numrows = 2;
    l.legendAlign = alBottom;
    const std::string bytes = ComponentToBytes(l);
    EXPECT_NE(bytes.find(std::string("\x07Numrows\x02\x02", 10)), std::string::npos);
    EXPECT_NE(bytes.find(std::string("\x0BlegendAlign\x07\x08") + "alBottom"), std::string::npos);

    l.Visible = true;
    l.Commenti.Add("c");
    l.Align = 2;
    l.testocomune = "t";
    l.showfile = false;
    l.Pen.Width = 4;
    l.Border.Width = 3;
    const std::string all = ComponentToBytes(l);
    std::vector<size_t> at;
    for (const char* name :
         {"Pen.Width", "legendFont.Name", "Visible", "Commenti.Strings", "Numrows", "Align",
          "legendAlign", "Border.Width", "testocomune", "showfile"}) {
        const std::string entry = std::string(1, static_cast<char>(std::strlen(name))) + name;
        at.push_back(all.find(entry));
        EXPECT_NE(at.back(), std::string::npos) << name;
    }
    EXPECT_TRUE(std::is_sorted(at.begin(), at.end()));
}

TEST_F(legendaTest, AStoredLegendReadsBackEqual) {
    Tlegenda l(nullptr);
    l.Visible = true;
    l.Commenti.Add("first");
    l.Commenti.Add("second");
    l.Numrows = 2;
    l.Align = 2;
    l.legendAlign = alBottom;
    l.Border.Width = 3;
    l.Border.Color = clBlue;
    l.testocomune = " Lot &<*;3;2(Lotto)>";
    l.showfile = false;
    l.legendFont().SetName("Arial");
    l.legendFont().SetSize(11);
    l.Pen.Color = clRed;
    const std::string bytes = ComponentToBytes(l);

    Tlegenda r(nullptr);
    ComponentFromBytes(bytes, r);
    EXPECT_TRUE(r.Visible);
    EXPECT_EQ(r.Commenti.Text(), "first\r\nsecond\r\n");
    EXPECT_EQ(r.Numrows, 2);
    EXPECT_EQ(r.Align, 2);
    EXPECT_EQ(r.legendAlign, alBottom);
    EXPECT_EQ(r.Border, l.Border);
    EXPECT_EQ(r.testocomune, l.testocomune);
    EXPECT_FALSE(r.showfile);
    EXPECT_TRUE(r.legendFont().SameAttributes(l.legendFont()));
    EXPECT_EQ(r.Pen, l.Pen);
    EXPECT_EQ(ComponentToBytes(r), bytes);
}

} // namespace
} // namespace vx
