#include "report/Intestazione.h"

#include "data/Databuff.h"
#include "localisation/Strglobmod.h"
#include "localisation/mlLangDispatcher.h"
#include "platform/graphics/MetafileData.h"
#include "platform/graphics/PainterCanvas.h"
#include "platform/graphics/TextMetrics.h"
#include "platform/runtime/ComponentStream.h"
#include "platform/runtime/Streams.h"
#include "report/EditorHooks.h"
#include "support/TestSupport.h"

#include <QImage>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vx {
namespace {

// A page at 1:1, so that screen and printer pixels are the same.
struct IdentityPage : TMetaobjParent {
    int32_t ScreenToPrinterX(int32_t v) const override { return v; }
    int32_t ScreenToPrinterY(int32_t v) const override { return v; }
    int32_t PrinterToScreenX(int32_t v) const override { return v; }
    int32_t PrinterToScreenY(int32_t v) const override { return v; }
    void PageMouseDown(TMouseButton, TShiftState, int32_t x, int32_t y) override {
        events.push_back("down " + std::to_string(x) + "," + std::to_string(y));
    }
    void PageMouseMove(TShiftState, int32_t x, int32_t y) override {
        events.push_back("move " + std::to_string(x) + "," + std::to_string(y));
    }
    void PageMouseUp(TMouseButton, TShiftState, int32_t x, int32_t y) override {
        events.push_back("up " + std::to_string(x) + "," + std::to_string(y));
    }
    std::vector<std::string> events;
};

// The cell palette as the table sees it.
struct FakePalette : TEditorHooks {
    bool OpenCellPalette(TIntestazione& table) override {
        calls.push_back("open");
        edited = &table;
        return true;
    }
    void CellSelectionChanged(TIntestazione& table) override {
        const auto& s = table.Selection;
        calls.push_back("selection " + std::to_string(s.Left) + "," + std::to_string(s.Top) + "-" +
                        std::to_string(s.Right) + "," + std::to_string(s.Bottom));
    }
    void CloseCellPalette(TIntestazione&) override {
        calls.push_back("close");
        edited = nullptr;
    }
    std::vector<std::string> calls;
    TIntestazione* edited = nullptr;
};

struct ScopedHooks {
    explicit ScopedHooks(TEditorHooks& hooks) { SetEditorHooks(&hooks); }
    ~ScopedHooks() { SetEditorHooks(nullptr); }
};

std::vector<float> Widths(const TIntestazione& t, int row) {
    std::vector<float> w;
    for (int c = 0; c < t.ColumnCount(); ++c)
        w.push_back(t.GetCell(c, row)->DIMW);
    return w;
}

std::vector<float> Heights(const TIntestazione& t, int column) {
    std::vector<float> h;
    for (int r = 0; r < t.RowCount(); ++r)
        h.push_back(t.GetCell(column, r)->DIMH);
    return h;
}

void ExpectEveryRow(const TIntestazione& t, const std::vector<float>& widths) {
    for (int r = 0; r < t.RowCount(); ++r)
        EXPECT_EQ(Widths(t, r), widths) << "row " << r;
}

void Place(TIntestazione& t, int32_t width, int32_t height) {
    t.SetCoord(0, 0);
    t.SetCoord(1, 0);
    t.SetCoord(2, width);
    t.SetCoord(3, height);
}

// The records of a picture, one line each: fills, pictures, lines and rectangles with their
// pen width, texts with their alignment flags.
std::vector<std::string> Records(const Metafile& mf) {
    const MetafileData& d = *mf.Data();
    std::vector<std::string> out;
    int32_t pen = 1;
    uint32_t align = 0;
    auto ints = [&d](const MetaRecord& r, size_t n) {
        std::string s;
        for (size_t i = 0; i < n; ++i)
            s += " " + std::to_string(d.Ints[r.Offset + i]);
        return s;
    };
    for (const MetaRecord& r : d.Records) {
        switch (r.Kind) {
        case MetaRecordKind::SetPen:
            pen = d.Pens[r.Index].Width;
            break;
        case MetaRecordKind::SetText:
            align = d.TextStates[r.Index].Align;
            break;
        case MetaRecordKind::SetBrush:
            break;
        case MetaRecordKind::FillRect:
            out.push_back("fill" + ints(r, 4));
            break;
        case MetaRecordKind::DrawBitmap:
            out.push_back("bitmap" + ints(r, 4));
            break;
        case MetaRecordKind::Polyline:
            out.push_back("line" + ints(r, 2 * r.Count) + " pen " + std::to_string(pen));
            break;
        case MetaRecordKind::Rectangle:
            out.push_back("rect" + ints(r, 4) + " pen " + std::to_string(pen));
            break;
        case MetaRecordKind::Text:
        case MetaRecordKind::ClippedText:
            out.push_back("text" + ints(r, 2) + " flags " + std::to_string(align) + " " +
                          d.Texts[r.Index]);
            break;
        case MetaRecordKind::InvertRect:
            out.push_back("invert" + ints(r, 4));
            break;
        default:
            out.push_back("other");
            break;
        }
    }
    return out;
}

std::vector<std::string> Texts(const Metafile& mf) {
    std::vector<std::string> out;
    for (const std::string& r : Records(mf))
        if (r.rfind("text", 0) == 0)
            out.push_back(r);
    return out;
}

class CellTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetFixedTextMetrics(true);
        CreateSTRGlobData();
        STRGlobData->mlLangDispatcher1->SetActiveLanguage(2);
        // Test 1: channel 0 10, 25, 30, 45 keyed by channel 1 A, B, A, B; channel 2 up to
        // 12.345; two header cells. Test 2: channel 1 4, -2.5, 7.125, 0.5; channel 2 empty.
        TdataProva& t1 = data.AddProva(4);
        for (const char* v : {"10", "25", "30", "45"})
            t1.GetChannel(0).AddText(v);
        for (const char* v : {"A", "B", "A", "B"})
            t1.GetChannel(1).AddText(v);
        for (const char* v : {"1", "12.345", "3", "2"})
            t1.GetChannel(2).AddText(v);
        t1.HeaderCells.Add("1,1#5");
        t1.HeaderCells.Add("2,4#Op. Rossi");
        TdataProva& t2 = data.AddProva(4);
        for (const char* v : {"1", "2", "3", "4"})
            t2.GetChannel(0).AddText(v);
        for (const char* v : {"4", "-2.5", "7.125", "0.5"})
            t2.GetChannel(1).AddText(v);
        table.DataBuffer = &data;
    }
    void TearDown() override {
        FreeSTRGlobData();
        SetFixedTextMetrics(false);
    }

    // A cell with 9-point lines (75 printer pixels a line at 600 dpi).
    TCella& Lines(int c, int r, std::vector<std::string> lines, uint16_t halign = 0,
                  uint16_t walign = 0) {
        TCella& cell = *table.GetCell(c, r);
        cell.Font.SetSize(9);
        cell.text.Clear();
        for (const std::string& l : lines)
            cell.text.Add(l);
        cell.HAlign = halign;
        cell.WAlign = walign;
        return cell;
    }

    test::ScopedUi ui;
    TDatabuffer data;
    TIntestazione table{nullptr};
};

// ------------------------------------------------------------------------------- structure

TEST_F(CellTableTest, NewTableIsFiveByFiveOfTwentyPercent) {
    EXPECT_EQ(table.ColumnCount(), 5);
    EXPECT_EQ(table.RowCount(), 5);
    ExpectEveryRow(table, {20, 20, 20, 20, 20});
    EXPECT_EQ(Heights(table, 4), (std::vector<float>{20, 20, 20, 20, 20}));
    EXPECT_TRUE(table.Dirty);
    EXPECT_TRUE(table.Enabled());
    EXPECT_TRUE(table.Visible());
    EXPECT_FALSE(table.EditMode());
    EXPECT_TRUE(table.BorderSizing);
    EXPECT_EQ(table.Selection.Left, -1);
    EXPECT_EQ(table.Selection.Bottom, -1);
    const TCella& cell = *table.GetCell(4, 4);
    EXPECT_EQ(cell.Owner(), &table);
    EXPECT_EQ(cell.Name(), "");
    EXPECT_EQ(cell.Border, BorderBit(BS_None));
    EXPECT_EQ(cell.Font.Name(), "Testline");
    EXPECT_EQ(cell.Font.Size(), 8);
    EXPECT_TRUE(cell.jailrect);
    EXPECT_EQ(cell.Bitmapscale, 1.0);
    EXPECT_EQ(table.ClassName(), "TIntestazione");
    EXPECT_EQ(GetClass("TCella"), &TCella::StaticClassInfo());
    EXPECT_EQ(GetClass("TIntestazione"), &TIntestazione::StaticClassInfo());
    EXPECT_THROW(table.GetCell(5, 0), EInvalidelement);
}

TEST_F(CellTableTest, CellPublishesItsPropertiesInOrder) {
    std::vector<std::string> names;
    for (const TPropInfo* p : TCella::StaticClassInfo().AllProperties())
        names.push_back(p->Name);
    EXPECT_EQ(names, (std::vector<std::string>{"Name",
                                               "Tag",
                                               "Width",
                                               "Height",
                                               "DIMW",
                                               "DIMH",
                                               "Border",
                                               "borderLwidth",
                                               "borderTwidth",
                                               "borderRwidth",
                                               "borderBwidth",
                                               "Pen",
                                               "Brush",
                                               "Font",
                                               "text",
                                               "bitmap",
                                               "Bitmap_visualization",
                                               "Fontorientation",
                                               "WAlign",
                                               "HAlign",
                                               "jailrect",
                                               "Bitmapscale"}));
    TCella lone(nullptr);
    EXPECT_EQ(lone.DIMW, 10.0f);
    EXPECT_EQ(lone.DIMH, 10.0f);
}

TEST_F(CellTableTest, InsertedColumnsShareTheLastColumn) {
    table.InsertColumns(0, 1);
    ExpectEveryRow(table, {10, 20, 20, 20, 20, 10});
    EXPECT_TRUE(ui.ui.Messages.empty());

    TIntestazione fresh(nullptr);
    fresh.InsertColumns(0, 19);
    EXPECT_EQ(fresh.ColumnCount(), 24);
    EXPECT_EQ(fresh.GetCell(0, 0)->DIMW, 1.0f);
    EXPECT_EQ(fresh.GetCell(23, 4)->DIMW, 1.0f);
    EXPECT_EQ(fresh.GetCell(19, 0)->DIMW, 20.0f);
}

TEST_F(CellTableTest, TooManyColumnsOrRowsChangeNothingAndSaySo) {
    struct Case {
        bool columns;
        int at;
        int count;
        std::string message;
    };
    const Case cases[] = {
        {true, 0, 20,
         "Attenzione sono state inserite troppe colonne!\r\n"
         "Per ultimare l'operazione occorre allargare l'ultima colonna"},
        {false, 2, 20,
         "Attenzione sono state inserite troppe righe!\r\n"
         "Per ultimare l'operazione occorre allargare l'ultima riga"},
    };
    for (const Case& c : cases) {
        ui.ui.Messages.clear();
        table.Dirty = false;
        if (c.columns)
            table.InsertColumns(c.at, c.count);
        else
            table.InsertRows(c.at, c.count);
        EXPECT_EQ(table.ColumnCount(), 5);
        EXPECT_EQ(table.RowCount(), 5);
        ExpectEveryRow(table, {20, 20, 20, 20, 20});
        EXPECT_FALSE(table.Dirty);
        ASSERT_EQ(ui.ui.Messages.size(), 1u);
        EXPECT_EQ(ui.ui.Messages[0].Text, c.message);
    }
}

TEST_F(CellTableTest, InsertedRowsShareTheLastRow) {
    table.InsertRows(0, 1);
    EXPECT_EQ(Heights(table, 0), (std::vector<float>{10, 20, 20, 20, 20, 10}));
    table.InsertRows(2, 10);
    EXPECT_EQ(table.RowCount(), 6);
    ASSERT_EQ(ui.ui.Messages.size(), 1u);
    EXPECT_EQ(ui.ui.Messages[0].Text, "Attenzione sono state inserite troppe righe!\r\n"
                                      "Per ultimare l'operazione occorre allargare l'ultima riga");
    table.InsertRows(2, 9);
    const std::vector<float> expected{10, 20, 1, 1, 1, 1, 1, 1, 1, 1, 1, 20, 20, 20, 1};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(Heights(table, c), expected) << c;
    // A new row takes the widths of the row above it.
    ExpectEveryRow(table, {20, 20, 20, 20, 20});
}

TEST_F(CellTableTest, InsertionsOutsideOrEmptyChangeNothing) {
    table.Dirty = false;
    table.InsertColumns(2, 0);
    table.InsertRows(2, -3);
    EXPECT_THROW(table.InsertColumns(6, 1), EListError);
    EXPECT_THROW(table.InsertRows(-1, 1), EListError);
    EXPECT_EQ(table.ColumnCount(), 5);
    EXPECT_EQ(table.RowCount(), 5);
    EXPECT_FALSE(table.Dirty);
    EXPECT_TRUE(ui.ui.Messages.empty());
}

TEST_F(CellTableTest, DeletionsLeaveTheRestToTheLastColumnOrRow) {
    table.Selection = {3, 3, 4, 4};
    table.DeleteColumns(0, 2);
    ExpectEveryRow(table, {20, 20, 60});
    EXPECT_EQ(table.Selection.Left, 0);
    EXPECT_EQ(table.Selection.Right, 0);
    EXPECT_EQ(table.Selection.Top, 3);
    table.SetRowCount(3);
    EXPECT_EQ(table.RowCount(), 3);
    EXPECT_EQ(Heights(table, 2), (std::vector<float>{20, 20, 60}));
    EXPECT_EQ(table.Selection.Top, 0);
    // Cut to what exists.
    table.DeleteColumns(1, 50);
    ExpectEveryRow(table, {100});
    table.DeleteRows(1, 50);
    EXPECT_EQ(table.RowCount(), 1);
    EXPECT_EQ(Heights(table, 0), (std::vector<float>{100}));
    table.DeleteRows(0, 1);
    EXPECT_EQ(table.RowCount(), 0);
    // Building again from nothing.
    table.SetRowCount(2);
    EXPECT_EQ(Heights(table, 0), (std::vector<float>{50, 50}));
    ExpectEveryRow(table, {100});
}

TEST_F(CellTableTest, ColumnCountGrowsAtTheEndAndResetGivesADefaultCell) {
    table.SetColumnCount(7);
    ExpectEveryRow(table, {20, 20, 20, 20, 20 / 3.0f, 20 / 3.0f, 20 / 3.0f});
    table.GetCell(1, 1)->text.Add("x");
    TCella* old = table.GetCell(1, 1);
    table.ResetCell(1, 1);
    EXPECT_NE(table.GetCell(1, 1), old);
    EXPECT_TRUE(table.GetCell(1, 1)->text.Empty());
    EXPECT_EQ(table.GetCell(1, 1)->Owner(), &table);
    table.SelectAll();
    EXPECT_EQ(table.Selection.Right, 6);
    EXPECT_EQ(table.Selection.Bottom, 4);
}

// ------------------------------------------------------------------------------ placeholders

TEST_F(CellTableTest, ChannelPlaceholdersGiveValuesOrErr) {
    const std::pair<std::string, std::string> cases[] = {
        {"&<CHN;2;1;MIN;0.1>", "-2.5"},
        {"&<CHN;2;1;last;0.0>", "1"},
        {"&<chn;2;1;max;0.1>", "7.1"},
        {"&<CHN;2;1;MAX;0.2;>", "7.13"},
        {"&<CHN;2;1;2;0.2>", "7.13"},
        {"&<CHN;2;1;First;0.3>", "4.000"},
        {"&<CHN;2;1;4;0.1>", "Err!"},
        {"&<CHN;2;1;x;0.1>", "Err!"},
        {"a&<CHN;2;1;-1;0.1>b", "ab"},
        {"Max: &<CHN;1;2;MAX;0.2>", "Max: 12.35"},
        {"&<CHN;2;2;LAST;0.0>", "Err!"},
        {"&<CHN;2;2;FIRST;0.0>", "Err!"},
        // The placeholder itself is wrong: it is left out.
        {"a&<CHN;3;1;0;0.1>b", "ab"},
        {"a&<CHN;0;1;0;0.1>b", "ab"},
        {"a&<CHN;1;3;0;0.1>b", "ab"},
        {"a&<CHN;1;x;0;0.1>b", "ab"},
        {"a&<CHN;1;1;0>b", "ab"},
        {"a&<CHN;1;0;0;0.q>b", "ab"},
        // Keyed by channel 1.
        {"&<CHN;1;0;MAX;0.0;A>", "30"},
        {"&<CHN;1;0;MIN;0.1;B>", "25.0"},
        {"&<CHN;1;0;1;0.0;A>", "30"},
        {"&<CHN;1;0;LAST;0.0;B>", "45"},
        {"&<CHN;1;0;2;0.0;A>", "Err!"},
        {"&<CHN;1;0;FIRST;0.0;C>", "Err!"},
        {"&<CHN;1;0;MAX;0.0;C>", "0"},
        {"&<CHN;1;0;MIN;0.0;C>", "0"},
    };
    for (const auto& [line, expected] : cases)
        EXPECT_EQ(table.ExpandCellText(line), expected) << line;
}

TEST_F(CellTableTest, HeaderCellAndRowPlaceholders) {
    const std::pair<std::string, std::string> cases[] = {
        {"Tester: &<1;2;4(old)> ok", "Tester: Op. Rossi ok"},
        {"&<1;1;1(x)>", "5"},
        {"&<1;3;4(x)>", ""},
        {"&<3;2;4(x)>", ""},
        {"&<1;a;4(x)>", ""},
        {"Note: &<ROW;1;5;3>", "Note: ROW;1;5;3>"},
        {"&<ROW;1;5;3> &<1;2;4(old)>", "ROW;1;5;3> Op. Rossi"},
        {"a &<1;2 b", "a 1;2 b"},
        {"&<CHN;2;1;MIN;0.1> and &<1;2;4(x)>", "-2.5 and Op. Rossi"},
        {"plain text", "plain text"},
    };
    for (const auto& [line, expected] : cases)
        EXPECT_EQ(table.ExpandCellText(line), expected) << line;
    table.DataBuffer = nullptr;
    EXPECT_EQ(table.ExpandCellText("<&<1;2;4(old)>|&<CHN;2;1;MIN;0.1>>"), "<|>");
}

TEST_F(CellTableTest, DeeplyNestedRowPlaceholdersEndWithoutExhaustingTheStack) {
    std::string line;
    for (int i = 0; i < 50000; ++i)
        line += "&<ROW;";
    line += ")>";
    const std::string drawn = table.ExpandCellText(line);
    EXPECT_EQ(drawn.find("&<"), std::string::npos);
    EXPECT_EQ(drawn.substr(0, 8), "ROW;ROW;");
    TCella& cell = *table.GetCell(0, 0);
    cell.text.Add(line);
    table.ShiftRowReferences(0, 1);
    EXPECT_EQ(cell.text[0], line);
}

TEST_F(CellTableTest, ShiftRowReferencesMovesOnlyHeaderCellRows) {
    struct Case {
        int from;
        int delta;
        std::string line;
        std::string expected;
    };
    const Case cases[] = {
        {3, 2, "&<1;0;4(x)>", "&<1;0;6(x)>"},
        {3, 2, "&<1;0;2(x)>", "&<1;0;2(x)>"},
        {3, 2, "&<1;0;3(x)> &<CHN;1;0;5;0.1>", "&<1;0;5(x)> &<CHN;1;0;5;0.1>"},
        {5, -1, "A &<2;3;5(v)> B &<2;3;4(w)> &<CHN;1;0;5;0.1>",
         "A &<2;3;4(v)> B &<2;3;4(w)> &<CHN;1;0;5;0.1>"},
        {5, 1, "&<chn;1;0;5;0.1> &<2;3;5(v)>", "&<chn;1;0;5;0.1> &<2;3;6(v)>"},
        {5, 1, "&<ROW;1;5;3> &<1;2;5(v)>", "&<ROW;1;5;3> &<1;2;6(v)>"},
        {0, 1, "a &<1;2 b &<x(y)>", "a &<1;2 b &<x(y)>"},
    };
    for (const Case& c : cases) {
        TCella& cell = *table.GetCell(2, 3);
        cell.text.Clear();
        cell.text.Add(c.line);
        cell.text.Add("&<1;0;9(z)>");
        table.ShiftRowReferences(c.from, c.delta);
        EXPECT_EQ(cell.text[0], c.expected) << c.line;
        EXPECT_EQ(cell.text[1], "&<1;0;" + std::to_string(9 + c.delta) + "(z)>");
    }
}

// ----------------------------------------------------------------------------------- render

TEST_F(CellTableTest, RenderSizesCellsAndDrawsFillsBordersThenTexts) {
    Place(table, 1000, 500);
    table.SetColumnCount(3);
    for (int r = 0; r < 5; ++r) {
        table.GetCell(0, r)->DIMW = 33.3f;
        table.GetCell(1, r)->DIMW = 33.3f;
    }
    table.NormalizeLastColumn();
    TCella& a = *table.GetCell(0, 0);
    a.Brush.Color = clRed;
    a.Border = BorderBit(BS_left) | BorderBit(BS_Bottom);
    a.BorderWidth = {2, 3, 4, 5};
    a.text.Add("A");
    TCella& b = *table.GetCell(1, 0);
    b.Brush.Color = clBlue;
    b.text.Add("B");
    table.Render();
    EXPECT_FALSE(table.Dirty);
    EXPECT_EQ(a.Width, 332); // 1000 / 100 x 33.2999992, not rounded up
    EXPECT_EQ(a.Height, 100);
    EXPECT_EQ(table.GetCell(2, 4)->Width, 334);
    EXPECT_EQ(table.GetMetafile().Width(), 1000);
    EXPECT_EQ(table.GetMetafile().Height(), 500);
    EXPECT_EQ(Records(table.GetMetafile()),
              (std::vector<std::string>{"fill 0 0 332 100", "fill 332 0 664 100",
                                        "line 0 100 0 0 pen 2", "line 332 100 0 100 pen 5",
                                        "text 10 5 flags 0 A", "text 342 5 flags 0 B"}));

    // Clean and of the same size: the records are kept.
    const auto records = table.GetMetafile().Data();
    table.Render();
    EXPECT_EQ(table.GetMetafile().Data(), records);
    table.SetCoord(3, 400);
    table.Render();
    EXPECT_NE(table.GetMetafile().Data(), records);
    EXPECT_EQ(a.Height, 80);
}

TEST_F(CellTableTest, HorizontalLinesStandByTheirAlignment) {
    Place(table, 1000, 500);
    struct Case {
        uint16_t halign;
        uint16_t walign;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {0, 2, {"text 190 5 flags 2 a", "text 190 85 flags 2 b", "text 190 165 flags 2 c"}},
        {8, 6, {"text 100 -55 flags 14 a", "text 100 20 flags 14 b", "text 100 95 flags 14 c"}},
        {24, 0, {"text 10 0 flags 24 a", "text 10 75 flags 24 b", "text 10 150 flags 24 c"}},
    };
    for (const Case& c : cases) {
        Lines(0, 0, {"a", "b", "c"}, c.halign, c.walign);
        table.Redraw();
        table.Render();
        EXPECT_EQ(Texts(table.GetMetafile()), c.expected) << c.halign << "/" << c.walign;
    }
}

TEST_F(CellTableTest, RotatedLinesAdvanceAcrossTheCell) {
    Place(table, 1000, 500);
    TCella& cell = Lines(0, 0, {"a", "&<1;2;4(x)>"}, 8, 0);
    cell.Fontorientation = 90;
    table.Render();
    EXPECT_EQ(
        Texts(table.GetMetafile()),
        (std::vector<std::string>{"text 125 100 flags 8 a", "text 200 100 flags 8 Op. Rossi"}));
    const MetafileData& d = *table.GetMetafile().Data();
    ASSERT_FALSE(d.TextStates.empty());
    EXPECT_EQ(d.TextStates.back().Font.lfEscapement, 900);
    EXPECT_EQ(d.TextStates.back().Font.lfOrientation, 900);
    EXPECT_EQ(d.TextStates.back().Font.lfOutPrecision, OUT_TT_ONLY_PRECIS);
}

TEST_F(CellTableTest, PicturesByModeWithoutFillUnderThem) {
    Place(table, 1000, 500);
    struct Case {
        int w;
        int h;
        uint8_t mode;
        double scale;
        std::string expected;
    };
    const Case cases[] = {
        {40, 20, 0, 2.0, "bitmap 0 0 500 250"}, // times 600 / 96 dpi
        {40, 50, 1, 1.0, "bitmap 0 0 80 100"},
        {40, 50, 2, 1.0, "bitmap 0 0 200 100"},
    };
    for (const Case& c : cases) {
        TCella& cell = *table.GetCell(0, 0);
        cell.bitmap.SetSize(c.w, c.h, clRed);
        cell.Brush.Color = clGreen;
        cell.Bitmap_visualization = c.mode;
        cell.Bitmapscale = c.scale;
        table.Redraw();
        table.Render();
        EXPECT_EQ(Records(table.GetMetafile()), (std::vector<std::string>{c.expected}));
    }
}

TEST_F(CellTableTest, FullBorderIsOneOutlineInTheBottomWidth) {
    Place(table, 1000, 500);
    TCella& cell = *table.GetCell(1, 0);
    cell.Border = BorderBit(BS_ALL);
    cell.BorderWidth = {1, 2, 3, 4};
    cell.Brush.Color = clYellow;
    table.Render();
    EXPECT_EQ(Records(table.GetMetafile()),
              (std::vector<std::string>{"fill 200 0 400 100", "rect 200 0 400 100 pen 4"}));
    EXPECT_EQ(table.GetMetafile().Data()->Brushes.back().Style, bsClear);
}

TEST_F(CellTableTest, TextOutsideTheCellIsClippedOnlyInJail) {
    Place(table, 1000, 500);
    TCella& cell = Lines(0, 0, {"a"});
    table.Render();
    EXPECT_EQ(table.GetMetafile().Data()->Records.back().Kind, MetaRecordKind::ClippedText);
    cell.jailrect = false;
    table.Redraw();
    table.Render();
    EXPECT_EQ(table.GetMetafile().Data()->Records.back().Kind, MetaRecordKind::Text);
}

// -------------------------------------------------------------------------------- edit mode

TEST_F(CellTableTest, DoubleClickSwitchesEditModeThroughThePalette) {
    table.DblClick(); // no palette installed: nothing to edit with
    EXPECT_FALSE(table.EditMode());
    FakePalette palette;
    ScopedHooks hooks(palette);
    table.Click(); // an empty handler
    table.DblClick();
    EXPECT_TRUE(table.EditMode());
    EXPECT_FALSE(table.BorderSizing);
    EXPECT_EQ(palette.edited, &table);
    table.Cursor = crVSplit;
    table.ToggleCellEditor(nullptr);
    EXPECT_FALSE(table.EditMode());
    EXPECT_EQ(table.Cursor, crDefault);
    EXPECT_EQ(palette.calls, (std::vector<std::string>{"open", "close"}));
    {
        TIntestazione other(nullptr);
        other.SwitchCellEditor();
    }
    // Freed while edited: its palette is closed.
    EXPECT_EQ(palette.calls.back(), "close");
    EXPECT_EQ(palette.edited, nullptr);
}

TEST_F(CellTableTest, EditModeInvertsExactlyTheSelectedCells) {
    FakePalette palette;
    ScopedHooks hooks(palette);
    Place(table, 1000, 500);
    Lines(1, 1, {"&<CHN;2;1;MIN;0.1>"});
    table.SwitchCellEditor();
    table.Render();
    const QImage plain = RenderMetafile(table.GetMetafile(), 1000, 500, clWhite);
    table.Selection = {1, 1, 2, 2};
    table.Redraw();
    table.Render();
    const QImage selected = RenderMetafile(table.GetMetafile(), 1000, 500, clWhite);
    QRect changed;
    int unchangedInside = 0;
    for (int y = 0; y < 500; ++y)
        for (int x = 0; x < 1000; ++x) {
            const bool differs = plain.pixel(x, y) != selected.pixel(x, y);
            if (differs)
                changed |= QRect(x, y, 1, 1);
            else if (x >= 200 && x < 600 && y >= 100 && y < 300)
                ++unchangedInside;
        }
    EXPECT_EQ(changed, QRect(QPoint(200, 100), QPoint(599, 299)));
    EXPECT_EQ(unchangedInside, 0);
    // Horizontal lines are expanded in edit mode too.
    EXPECT_EQ(Texts(table.GetMetafile()), (std::vector<std::string>{"text 210 105 flags 0 -2.5"}));
}

TEST_F(CellTableTest, RotatedLinesShowWhatWasTypedInEditMode) {
    FakePalette palette;
    ScopedHooks hooks(palette);
    Place(table, 1000, 500);
    Lines(0, 0, {"&<1;2;4(x)>"}).Fontorientation = 90;
    table.SwitchCellEditor();
    table.Render();
    EXPECT_EQ(Texts(table.GetMetafile()),
              (std::vector<std::string>{"text 0 100 flags 0 &<1;2;4(x)>"}));
}

TEST_F(CellTableTest, PaintLimitsTheSelectionToTheTable) {
    IdentityPage page;
    table.SetParent(&page);
    Place(table, 1000, 500);
    table.Selection = {-1, 2, 9, 7};
    table.Paint();
    EXPECT_EQ(table.Selection.Left, -1);
    EXPECT_EQ(table.Selection.Top, 2);
    EXPECT_EQ(table.Selection.Right, 4);
    EXPECT_EQ(table.Selection.Bottom, 4);
    EXPECT_FALSE(table.Dirty);
    table.SetParent(nullptr);
}

class CellTableMouseTest : public CellTableTest {
protected:
    void SetUp() override {
        CellTableTest::SetUp();
        SetEditorHooks(&palette);
        table.SetParent(&page);
        Place(table, 1000, 500);
        table.SwitchCellEditor();
        table.BorderSizing = true;
    }
    void TearDown() override {
        table.SetParent(nullptr);
        SetEditorHooks(nullptr);
        CellTableTest::TearDown();
    }
    void Drag(int32_t fromX, int32_t fromY, int32_t toX, int32_t toY) {
        table.MouseMove(0, fromX, fromY);
        table.MouseDown(mbLeft, 0, fromX, fromY);
        table.MouseMove(0, toX, toY);
        table.MouseUp(mbLeft, 0, toX, toY);
    }

    FakePalette palette;
    IdentityPage page;
};

TEST_F(CellTableMouseTest, ColumnBorderDragKeepsOnePercent) {
    struct Case {
        int32_t toX;
        std::vector<float> widths;
    };
    const Case cases[] = {
        {150, {15, 25, 20, 20, 20}}, // 50 left
        {-30, {1, 39, 20, 20, 20}},  // 230 left: the first keeps 1 %
        {450, {39, 1, 20, 20, 20}},  // 250 right: the second keeps 1 %
    };
    for (const Case& c : cases) {
        for (int r = 0; r < 5; ++r)
            for (int col = 0; col < 5; ++col)
                table.GetCell(col, r)->DIMW = 20;
        Drag(200, 50, c.toX, 50);
        ExpectEveryRow(table, c.widths);
    }
    EXPECT_EQ(Heights(table, 0), (std::vector<float>{20, 20, 20, 20, 20}));
}

TEST_F(CellTableMouseTest, RowBordersComeFirstAndShowADragLine) {
    table.MouseMove(0, 205, 110); // near row border 1 and column border 1
    EXPECT_EQ(table.Cursor, crVSplit);
    table.MouseDown(mbLeft, 0, 205, 110);
    table.MouseMove(0, 205, 130);
    EXPECT_TRUE(table.DragLine().Visible);
    EXPECT_EQ(table.DragLine().From, (TPoint{0, 130}));
    EXPECT_EQ(table.DragLine().To, (TPoint{1000, 130}));
    table.MouseUp(mbLeft, 0, 205, 130);
    EXPECT_FALSE(table.DragLine().Visible);
    EXPECT_EQ(Heights(table, 3), (std::vector<float>{26, 14, 20, 20, 20}));
    table.MouseMove(0, 212, 50);
    EXPECT_EQ(table.Cursor, crHSplit);
    table.MouseMove(0, 216, 50); // 16 pixels away
    EXPECT_EQ(table.Cursor, crDefault);
    table.MouseMove(0, 990, 50); // the outer edge is no border
    EXPECT_EQ(table.Cursor, crDefault);
    // Every event reaches the page as well.
    EXPECT_EQ(page.events.front(), "move 205,110");
    EXPECT_EQ(page.events[1], "down 205,110");
    EXPECT_EQ(page.events.size(), 7u);
}

TEST_F(CellTableMouseTest, SelectionFollowsTheMouseAndTellsThePalette) {
    table.BorderSizing = false; // borders are not taken while the palette forbids it
    table.MouseMove(0, 200, 50);
    EXPECT_EQ(table.Cursor, crDefault);
    table.MouseDown(mbLeft, 0, 250, 150);
    table.MouseMove(0, 650, 420);
    EXPECT_EQ(table.Selection.Right, 3);
    EXPECT_EQ(table.Selection.Bottom, 4);
    table.MouseMove(0, 2000, 20); // beyond the table: the last column
    table.MouseUp(mbLeft, 0, 2000, 20);
    EXPECT_EQ(palette.calls, (std::vector<std::string>{"open", "selection 1,1-4,0"}));
}

TEST_F(CellTableMouseTest, ZeroPixelPartsTakeNoDrag) {
    Place(table, 1000, 0);
    Drag(200, 0, 100, 0); // every row is 0 pixels high: the row border is found, not moved
    EXPECT_EQ(Heights(table, 0), (std::vector<float>{20, 20, 20, 20, 20}));
    ExpectEveryRow(table, {20, 20, 20, 20, 20});
}

TEST_F(CellTableMouseTest, GridDropsAddPlaceholders) {
    Lines(0, 0, {"first", "T:"});
    EXPECT_TRUE(table.DropGridCell(50, 50, 2, 3, 7, "12.5"));
    EXPECT_EQ(table.GetCell(0, 0)->text[1], "T: &<2;3;7(12.5)>");
    EXPECT_TRUE(table.DropGridCell(450, 150, 1, 2, 4, "Op. Rossi"));
    EXPECT_EQ(table.GetCell(2, 1)->text.Items(), (std::vector<std::string>{"&<1;2;4(Op. Rossi)>"}));
    EXPECT_TRUE(table.Dirty);
    table.SwitchCellEditor();
    EXPECT_FALSE(table.DropGridCell(450, 150, 1, 2, 4, "x"));
    EXPECT_EQ(table.GetCell(2, 1)->text.Count(), 1);
}

// ----------------------------------------------------------------------------------- stream

std::string CellBytes(const TIntestazione& t) {
    TMemoryStream s;
    t.WriteCells(s);
    return s.Bytes();
}

TEST_F(CellTableTest, CellsStreamRowByRowAfterVersionAndCounts) {
    TIntestazione one(nullptr);
    one.SetColumnCount(1);
    one.SetRowCount(1);
    // A default cell writes its sizes, the font (whose properties have no default) and its
    // picture scale, a float that is not 0.
    EXPECT_EQ(test::HexBytes(CellBytes(one)),
              "07 56 65 72 20 31 2C 30 01 00 00 00 01 00 00 00 "
              "54 50 46 30 06 54 43 65 6C 6C 61 00 "
              "04 44 49 4D 57 05 00 00 00 00 00 00 00 C8 05 40 "
              "04 44 49 4D 48 05 00 00 00 00 00 00 00 C8 05 40 "
              "0C 46 6F 6E 74 2E 43 68 61 72 73 65 74 07 0F 44 45 46 41 55 4C 54 5F 43 48 41 52 "
              "53 45 54 "
              "0A 46 6F 6E 74 2E 43 6F 6C 6F 72 07 07 63 6C 42 6C 61 63 6B "
              "0B 46 6F 6E 74 2E 48 65 69 67 68 74 02 F5 "
              "09 46 6F 6E 74 2E 4E 61 6D 65 06 08 54 65 73 74 6C 69 6E 65 "
              "0A 46 6F 6E 74 2E 53 74 79 6C 65 0B 00 "
              "0B 42 69 74 6D 61 70 73 63 61 6C 65 05 00 00 00 00 00 00 00 80 FF 3F "
              "00 00");

    table.SetColumnCount(3);
    table.SetRowCount(2);
    table.GetCell(2, 1)->text.Add("&<1;2;4(old)>");
    table.GetCell(1, 0)->Border = BorderBit(BS_ALL) | BorderBit(BS_left);
    table.GetCell(0, 1)->bitmap.SetSize(2, 2, clRed);
    const std::string bytes = CellBytes(table);
    EXPECT_EQ(test::HexBytes(bytes.substr(0, 28)),
              "07 56 65 72 20 31 2C 30 03 00 00 00 02 00 00 00 54 50 46 30 06 54 43 65 6C 6C "
              "61 00");
    TIntestazione back(nullptr);
    TMemoryStream in(bytes);
    back.ReadCells(in);
    EXPECT_EQ(back.ColumnCount(), 3);
    EXPECT_EQ(back.RowCount(), 2);
    EXPECT_EQ(Widths(back, 1), (std::vector<float>{20, 20, 60}));
    EXPECT_EQ(Heights(back, 2), (std::vector<float>{20, 80}));
    EXPECT_EQ(back.GetCell(2, 1)->text[0], "&<1;2;4(old)>");
    EXPECT_EQ(back.GetCell(0, 1)->bitmap.Pixel(1, 1), clRed);
    EXPECT_EQ(CellBytes(back), bytes);
}

TEST_F(CellTableTest, WholeTableRoundTripsThroughTheComponentStream) {
    table.SetColumnCount(2);
    table.SetRowCount(1);
    table.GetCell(0, 0)->DIMW = 30;
    table.GetCell(1, 0)->DIMW = 50; // reading makes the last column take the rest
    table.SFONDO.SetSize(1, 1, clBlue);
    const std::string bytes = ComponentToBytes(table);
    // The cells travel as the last property, the binary "Intestazione".
    const std::string cells = CellBytes(table);
    TMemoryStream tail;
    tail.WriteShortString("Intestazione");
    tail.WriteU8(vaBinary);
    tail.WriteU32(static_cast<uint32_t>(cells.size()));
    tail.WriteBytes(cells);
    tail.WriteBytes(std::string(2, '\0'));
    EXPECT_EQ(bytes.substr(0, 19), std::string("TPF0\x0DTIntestazione\0", 19));
    ASSERT_GT(bytes.size(), tail.Bytes().size());
    EXPECT_EQ(bytes.substr(bytes.size() - tail.Bytes().size()), tail.Bytes());
    TIntestazione back(nullptr);
    ComponentFromBytes(bytes, back);
    EXPECT_EQ(Widths(back, 0), (std::vector<float>{30, 70}));
    EXPECT_EQ(back.SFONDO.Pixel(0, 0), clBlue);
    EXPECT_TRUE(back.Dirty);
}

TEST_F(CellTableTest, BadCellStreamsRaiseAndChangeNothing) {
    TIntestazione small(nullptr);
    small.SetColumnCount(3);
    small.SetRowCount(2);
    const std::string good = CellBytes(small);
    auto counts = [](int32_t columns, int32_t rows) {
        TMemoryStream s;
        s.WriteShortString("Ver 1,0");
        s.WriteI32(columns);
        s.WriteI32(rows);
        return s.Bytes();
    };
    const std::string cases[] = {
        counts(100000, 100000),
        counts(-1, 2),
        counts(2, 2),
        good.substr(0, good.size() - 1),
        good.substr(0, 16) + "TPF1" + good.substr(20),
    };
    table.GetCell(4, 4)->text.Add("kept");
    for (const std::string& bad : cases) {
        TMemoryStream s(bad);
        EXPECT_THROW(table.ReadCells(s), EReadError) << test::HexBytes(bad.substr(0, 16));
        EXPECT_EQ(table.ColumnCount(), 5);
        EXPECT_EQ(table.RowCount(), 5);
        ExpectEveryRow(table, {20, 20, 20, 20, 20});
        EXPECT_EQ(table.GetCell(4, 4)->text[0], "kept");
        EXPECT_EQ(table.ComponentCount(), 25);
    }
}

TEST_F(CellTableTest, CutPictureLeavesTheCellItsOwn) {
    TCella& cell = *table.GetCell(0, 0);
    cell.bitmap.SetSize(4, 4, clGreen);
    const std::string bytes = cell.bitmap.SaveToBytes();
    const TPropInfo* p = TCella::StaticClassInfo().FindProperty("bitmap");
    ASSERT_NE(p, nullptr);
    EXPECT_THROW(p->SetStr(MetaHandle(&cell), bytes.substr(0, 80)), EInvalidGraphic);
    EXPECT_EQ(cell.bitmap.Pixel(3, 3), clGreen);
}

} // namespace
} // namespace vx
