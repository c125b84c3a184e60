#include "report/wpreport.h"

#include "ReportFixture.h"
#include "ReportTestPrinters.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace vx {
namespace {

using test::ReportFixture;
using test::SheetText;

// ---- published properties ----

struct PropCase {
    const char* Name;
    const char* Type;
    std::optional<int64_t> Default;
};

void ExpectTable(const TClassInfo& cls, const std::vector<PropCase>& cases) {
    for (const PropCase& c : cases) {
        const TPropInfo* p = cls.FindProperty(c.Name);
        ASSERT_NE(p, nullptr) << c.Name;
        EXPECT_EQ(p->TypeName, c.Type) << c.Name;
        EXPECT_EQ(p->Default, c.Default) << c.Name;
    }
}

// Every ordinal property of a new object holds its declared default, so that streams leave
// out exactly what the constructor sets.
void ExpectDefaultsHeld(const TPersistent& object) {
    for (const TPropInfo* p : object.ClassInfo().AllProperties())
        if (p->Default && p->GetOrd) {
            EXPECT_EQ(p->GetOrd(&object), *p->Default) << p->Name;
        }
}

TEST(WPReportProperties, ReportPublishesItsSettingsWithTheirDefaults) {
    ExpectTable(TWPReport::StaticClassInfo(), {{"margine_tra_gruppi", "Integer", 5},
                                               {"margine_superiore", "Integer", 5},
                                               {"spazio_tra_colonne", "Integer", 1},
                                               {"margine_inferiore", "Integer", 5},
                                               {"rientro_laterale", "Integer", 1},
                                               {"rottura_livello_gruppo", "Boolean", 1},
                                               {"usa_griglia", "Boolean", 0},
                                               {"Numera", "Boolean", 1},
                                               {"Differenzia_righe", "Boolean", 0},
                                               {"colore_righe_pari", "TColor", clWhite},
                                               {"colore_righe_dispari", "TColor", clWhite},
                                               {"columnsspace", "tcolumnsspace", cs_automatico},
                                               {"differenzia", "Integer", -1},
                                               {"Consideralista", "TStrings", {}},
                                               {"FontT", "TFont", {}},
                                               {"Titola_tipi", "Boolean", 0},
                                               {"Titolotipi_Align", "Word", 6},
                                               {"ReportAlign", "Word", 0},
                                               {"piepagina_on_bottom", "Boolean", 0},
                                               {"GridWidth", "Integer", 2},
                                               {"Gridcolor", "TColor", clBlack},
                                               {"Traducietichette", "Boolean", 0},
                                               {"RipetiINT", "Boolean", 0},
                                               {"RipetiPie", "Boolean", 0}});
    const TPropInfo* space = TWPReport::StaticClassInfo().FindProperty("columnsspace");
    EXPECT_EQ(space->Names,
              (std::vector<std::string>{"cs_automatico", "cs_omogeneo", "cs_impostato"}));
    ASSERT_NE(TWPReport::StaticClassInfo().FindBinaryProperty("Report"), nullptr);
    TWPReport report(nullptr);
    ExpectDefaultsHeld(report);
    EXPECT_EQ(report.FontT->Name(), "Testline");
    EXPECT_EQ(report.FontT->Size(), 8);
    EXPECT_TRUE(report.Dirty);
    EXPECT_TRUE(report.NeedsPagination);
    EXPECT_EQ(report.PageCount(), 0);
    EXPECT_EQ(report.GroupCount(), 0);
    EXPECT_FALSE(report.GetPageMetafile(0));
}

TEST(WPReportProperties, ColumnsAndGroupsPublishTheirSettings) {
    ExpectTable(Tdefcanale::StaticClassInfo(), {{"pwidth", "Integer", 0},
                                                {"Height", "Integer", 0},
                                                {"DIMW", "Single", {}},
                                                {"DIMH", "Single", {}},
                                                {"Grid", "Tgridstyle", gs_both},
                                                {"Pen", "TPen", {}},
                                                {"Brush", "TBrush", {}},
                                                {"FontI", "TFont", {}},
                                                {"FontD", "TFont", {}},
                                                {"Canale", "Integer", -1},
                                                {"Prova", "Integer", -1},
                                                {"Align", "Word", 0},
                                                {"IAlign", "Word", 6},
                                                {"formato", "ShortString", {}}});
    ExpectTable(Tdefgruppo::StaticClassInfo(), {{"tipizza", "Boolean", 0},
                                                {"tipo", "ShortString", {}},
                                                {"titolo", "ShortString", {}},
                                                {"Enabled", "Boolean", 1}});
    Tdefcanale c(nullptr);
    ExpectDefaultsHeld(c);
    EXPECT_EQ(c.DIMW, 10.0f);
    EXPECT_EQ(c.DIMH, 10.0f);
    EXPECT_EQ(c.formato, "0.0");
    EXPECT_EQ(c.FontD->Name(), "Testline");
    Tdefgruppo g(nullptr);
    ExpectDefaultsHeld(g);
    EXPECT_EQ(g.tipo, "*.*");
    for (const char* name : {"Tdefcanale", "Tdefgruppo", "TWPReport", "TWPReportPRO"})
        EXPECT_NE(GetClass(name), nullptr) << name;
}

// ---- groups and columns ----

TEST(WPReportGroups, CountsGrowAndShrinkFromTheEnd) {
    TWPReport report(nullptr);
    report.SetGroupCount(3);
    report.SetChannelCount(0, 2);
    report.SetChannelCount(2, 1);
    report.SetChannelCount(3, 5); // no such group
    report.SetChannelCount(-1, 5);
    EXPECT_EQ(report.GetChannelCount(0), 2);
    EXPECT_EQ(report.GetChannelCount(3), 0);
    Tdefcanale* kept = report.GetChannel(0, 0);
    kept->Canale = 7;
    report.SetChannelCount(0, 1);
    EXPECT_EQ(report.GetChannel(0, 0), kept);
    EXPECT_EQ(report.GetChannel(0, 1), nullptr);
    EXPECT_EQ(report.GetChannel(0, -1), nullptr);
    Tdefgruppo* first = report.GetGroup(0);
    report.SetGroupCount(1);
    EXPECT_EQ(report.GroupCount(), 1);
    EXPECT_EQ(report.GetGroup(0), first);
    EXPECT_EQ(report.GetGroup(1), nullptr);
    EXPECT_EQ(report.GetChannelCount(0), 1);
    EXPECT_EQ(report.GetChannel(0, 0)->Canale, 7);
    // The report owns what it made: only the kept group and column are left.
    EXPECT_EQ(report.ComponentCount(), 2);
    report.SetGroupCount(-4);
    EXPECT_EQ(report.GroupCount(), 0);
    EXPECT_EQ(report.ComponentCount(), 0);
}

// ---- pagination ----

using WPReportLayout = ReportFixture;

TEST_F(WPReportLayout, AnEmptyReportHasOneEmptySheet) {
    report.Paginate();
    ASSERT_EQ(report.PageCount(), 1);
    EXPECT_TRUE(report.GetPageMetafile(0)->Empty());
    EXPECT_EQ(report.GetPageMetafile(0)->Width(), kWidth);
    EXPECT_EQ(report.GetPageMetafile(0)->Height(), kHeight);
    // 2 x GridWidth + header + 5 mm, then the bottom margin.
    EXPECT_EQ(report.LastPageContentHeight(), 4 + 611 + 118 + 118);
}

TEST_F(WPReportLayout, MillimetresAndFontsFollowThePrintersResolution) {
    test::ScopedPrinter printer(std::make_shared<test::DpiPrinter>(300));
    OneGroup(3);
    report.Paginate();
    // 5 mm at 300 dpi are 59 pixels; 12 points are lines of 50.
    EXPECT_EQ(HeaderYs(0), (std::vector<int32_t>{4 + 611 + 59 + 59}));
    const auto numbers = Sheet(0).Texts;
    std::vector<int32_t> rows;
    for (const SheetText& t : numbers)
        if (t.Text == "1" || t.Text == "2")
            rows.push_back(t.Y);
    EXPECT_EQ(rows, (std::vector<int32_t>{733 + 150, 733 + 200}));
    EXPECT_EQ(report.LastPageContentHeight(), 733 + 150 + 150 + 59);
}

struct SheetCase {
    const char* Name;
    bool RipetiPie;
    bool RipetiINT;
    std::vector<int> Rows;
    int32_t LaterHeaderY;
    int32_t Content;
};

TEST_F(WPReportLayout, RowsContinueOnSheetsThatRepeatTheColumnHeaders) {
    const SheetCase cases[] = {
        {"plain", false, false, {49, 56, 56, 56, 33}, 122, 3840},
        {"footer on every sheet", true, false, {42, 49, 49, 49, 49, 12}, 122, 1740},
        {"header on every sheet", false, true, {49, 50, 50, 50, 50, 1}, 733, 1251},
    };
    OneGroup(250);
    for (const SheetCase& c : cases) {
        SCOPED_TRACE(c.Name);
        report.RipetiPie = c.RipetiPie;
        report.RipetiINT = c.RipetiINT;
        report.Paginate();
        EXPECT_EQ(RowsPerSheet(), c.Rows);
        EXPECT_EQ(HeaderYs(0), (std::vector<int32_t>{851}));
        for (int s = 1; s < report.PageCount(); ++s)
            EXPECT_EQ(HeaderYs(s), (std::vector<int32_t>{c.LaterHeaderY})) << s;
        std::vector<int> all;
        for (int s = 0; s < report.PageCount(); ++s)
            for (int n : RowNumbers(s))
                all.push_back(n);
        std::vector<int> expected(250);
        for (int i = 0; i < 250; ++i)
            expected[size_t(i)] = i + 1;
        EXPECT_EQ(all, expected);
        EXPECT_EQ(report.LastPageContentHeight(), c.Content);
    }
    report.RipetiPie = report.RipetiINT = false;
    report.Paginate();
    const auto first = Sheet(0);
    // The first row stands below the two header lines and one blank row.
    EXPECT_EQ(TextsAt(first, 1151).size(), 2u);
    EXPECT_EQ(TextsAt(first, 1151)[0]->Text, "1");
    EXPECT_EQ(TextsAt(first, 1151)[1]->Text, "1.0");
}

struct FooterCase {
    int Rows;
    int32_t Footer;
    bool RipetiPie;
    int Sheets;
    int32_t Content;
};

TEST_F(WPReportLayout, AFooterThatDoesNotFitGetsASheetOfItsOwn) {
    const FooterCase cases[] = {
        {42, 611, false, 1, 5469},
        {43, 611, false, 2, 240},
        {43, 0, false, 1, 5569}, // no footer at all
        // The footer's room is already kept on the sheet: no second sheet.
        {42, 611, true, 1, 5469},
    };
    for (const FooterCase& c : cases) {
        SCOPED_TRACE(c.Rows);
        report.SetGroupCount(0);
        OneGroup(c.Rows);
        report.SetFooterHeight(c.Footer);
        report.RipetiPie = c.RipetiPie;
        report.Paginate();
        EXPECT_EQ(report.PageCount(), c.Sheets);
        EXPECT_EQ(RowsPerSheet()[0], std::min(c.Rows, c.RipetiPie ? 42 : 49));
        EXPECT_EQ(report.LastPageContentHeight(), c.Content);
        if (c.Sheets == 2) {
            EXPECT_TRUE(report.GetPageMetafile(1)->Empty());
        }
    }
}

TEST_F(WPReportLayout, HeaderAreasAreFilledWithTheColumnsBrush) {
    OneGroup(3);
    report.GetChannel(0, 0)->Brush.Color = 0x00CCFF;
    report.Paginate();
    const auto sheet = Sheet(0);
    ASSERT_FALSE(sheet.Fills.empty());
    const test::SheetFill& header = sheet.Fills.front();
    EXPECT_EQ(header.Color, 0x00CCFF);
    EXPECT_EQ(header.Rect.Top, 847);
    EXPECT_EQ(header.Rect.Bottom, 1151);
    EXPECT_EQ(header.Rect.Left, 251);
    // Without row colouring every value cell gets the brush too.
    EXPECT_EQ(sheet.Fills.size(), 4u);
    EXPECT_EQ(sheet.Fills[1].Rect, Rect(251, 1151, 251 + report.GetChannel(0, 0)->pwidth, 1251));
    EXPECT_EQ(sheet.Fills[1].Color, 0x00CCFF);
}

struct GroupsCase {
    bool NewSheet;
    int FirstRows;
    int Sheet;
    int32_t HeaderY;
    int RowsThere;
};

TEST_F(WPReportLayout, LaterGroupsStartANewSheetOrFollowAfterTheGap) {
    const GroupsCase cases[] = {
        {true, 10, 1, 240, 10},
        {false, 10, 0, 2387, 10},
        {false, 43, 0, 5687, 1},
        // Headers and four rows would reach the bottom: a new sheet after all.
        {false, 44, 1, 240, 10},
    };
    for (const GroupsCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.FirstRows) + (c.NewSheet ? " new sheet" : ""));
        report.SetGroupCount(0);
        OneGroup(c.FirstRows);
        OneGroup(10);
        report.rottura_livello_gruppo = c.NewSheet;
        report.Paginate();
        std::vector<std::pair<int, int32_t>> headers;
        for (int s = 0; s < report.PageCount(); ++s)
            for (int32_t y : HeaderYs(s))
                headers.emplace_back(s, y);
        ASSERT_GE(headers.size(), 2u);
        EXPECT_EQ(headers[1], std::make_pair(c.Sheet, c.HeaderY));
        int there = 0;
        const auto sheet = Sheet(c.Sheet);
        for (const SheetText& t : sheet.Texts)
            there += t.X == kNumberX && t.Text != "N." && t.Y > c.HeaderY;
        EXPECT_EQ(there, c.RowsThere);
        if (c.RowsThere < 10) {
            EXPECT_EQ(RowNumbers(c.Sheet + 1), (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9, 10}));
        }
    }
}

TEST_F(WPReportLayout, GroupTitlesStandAboveTheHeaders) {
    OneGroup(60);
    OneGroup(10);
    report.GetGroup(0)->titolo = "Prima";
    report.GetGroup(1)->titolo = "Seconda";
    report.Titola_tipi = true;
    report.Paginate();
    ASSERT_EQ(report.PageCount(), 3);
    auto title = [&](int sheet, const std::string& text) -> std::optional<SheetText> {
        for (const SheetText& t : Sheet(sheet).Texts)
            if (t.Text == text)
                return t;
        return std::nullopt;
    };
    const auto first = title(0, "Prima");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->Y, 733);
    EXPECT_EQ(first->X, kWidth / 2);
    EXPECT_EQ(first->Align, TA_CENTER);
    EXPECT_EQ(HeaderYs(0), (std::vector<int32_t>{951}));
    EXPECT_EQ(RowsPerSheet(), (std::vector<int>{48, 12, 10}));
    const auto second = title(2, "Seconda");
    ASSERT_TRUE(second);
    EXPECT_EQ(second->Y, 240);
    EXPECT_EQ(HeaderYs(2), (std::vector<int32_t>{458}));

    struct AlignCase {
        uint16_t Align;
        int32_t X;
        uint32_t Flags;
    };
    for (AlignCase a : {AlignCase{0, 1, TA_LEFT}, AlignCase{2, kWidth, TA_RIGHT}}) {
        report.Titolotipi_Align = a.Align;
        report.Paginate();
        const auto t = title(0, "Prima");
        ASSERT_TRUE(t);
        EXPECT_EQ(t->X, a.X);
        EXPECT_EQ(t->Align, a.Flags);
    }
}

TEST_F(WPReportLayout, AlternateRowColoursRestartOnEachSheet) {
    OneGroup(60);
    report.Differenzia_righe = true;
    report.colore_righe_pari = 0x0000FF;
    report.colore_righe_dispari = 0x00FF00;
    report.Paginate();
    // Row fills span the whole table, from the number column on.
    std::vector<std::pair<int32_t, TColor>> rows[2];
    for (int s = 0; s < 2; ++s)
        for (const test::SheetFill& f : Sheet(s).Fills)
            if (f.Rect.Left == 1)
                rows[s].emplace_back(f.Rect.Top, f.Color);
    ASSERT_EQ(rows[0].size(), 49u);
    ASSERT_EQ(rows[1].size(), 11u);
    EXPECT_EQ(rows[0][0], std::make_pair(1151, TColor(0x00FF00)));
    EXPECT_EQ(rows[0][1].second, 0x0000FF);
    EXPECT_EQ(rows[0][48].second, 0x00FF00);
    EXPECT_EQ(rows[1][0].second, 0x00FF00); // row 50
    EXPECT_EQ(rows[1][1].second, 0x0000FF); // row 51
    // The value cells are not filled again over the row colour.
    EXPECT_EQ(Sheet(0).Fills.size(), 49u + 1u);
}

TEST_F(WPReportLayout, GridFramesHeadersAndRowsWithLinesBetweenColumns) {
    const int t = AddTest({Numbers(49), Numbers(49), Numbers(49)});
    const int g = AddGroup();
    for (int c = 0; c < 3; ++c)
        AddColumn(g, t, c).DIMW = 30;
    report.columnsspace = cs_impostato;
    report.usa_griglia = true;
    report.GridWidth = 6;
    report.Gridcolor = 0x123456;
    report.SetFooterHeight(0);
    report.Paginate();
    ASSERT_EQ(report.PageCount(), 1);
    EXPECT_EQ(HeaderYs(0), (std::vector<int32_t>{859}));
    const auto sheet = Sheet(0);
    const int32_t right = 1 + 250 + 3 * 1215;
    ASSERT_EQ(sheet.Rectangles.size(), 2u);
    EXPECT_EQ(sheet.Rectangles[0].Rect, Rect(1, 853, right, 1065));
    EXPECT_EQ(sheet.Rectangles[1].Rect, Rect(1, 1159, right, 1159 + 49 * 100));
    for (const auto& r : sheet.Rectangles) {
        EXPECT_EQ(r.Pen.Width, 6);
        EXPECT_EQ(r.Pen.Color, 0x123456);
        EXPECT_EQ(r.Brush.Style, bsClear);
    }
    std::vector<int32_t> verticals, rowLines;
    for (const auto& line : sheet.Lines) {
        ASSERT_EQ(line.Points.size(), 2u);
        if (line.Points[0].X == line.Points[1].X) {
            EXPECT_EQ(line.Pen.Width, 6);
            verticals.push_back(line.Points[0].X);
        } else {
            EXPECT_EQ(line.Pen.Width, 4);
            EXPECT_EQ(line.Points[0].X, 1);
            EXPECT_EQ(line.Points[1].X, right);
            rowLines.push_back(line.Points[0].Y);
        }
    }
    EXPECT_EQ(verticals, (std::vector<int32_t>{251, 1466, 2681}));
    ASSERT_EQ(rowLines.size(), 50u);
    EXPECT_EQ(rowLines.front(), 1159);
    EXPECT_EQ(rowLines.back(), 1159 + 49 * 100);

    // Without the number column only the lines between the columns are left.
    report.Numera = false;
    report.Paginate();
    verticals.clear();
    for (const auto& line : Sheet(0).Lines)
        if (line.Points[0].X == line.Points[1].X)
            verticals.push_back(line.Points[0].X);
    EXPECT_EQ(verticals, (std::vector<int32_t>{1216, 2431}));
}

TEST_F(WPReportLayout, EverySheetOfALongGroupGetsItsOwnGrid) {
    OneGroup(60);
    report.usa_griglia = true;
    report.Paginate();
    ASSERT_EQ(report.PageCount(), 2);
    EXPECT_EQ(Sheet(0).Rectangles.size(), 2u);
    EXPECT_EQ(Sheet(1).Rectangles.size(), 2u);
    EXPECT_EQ(Sheet(1).Rectangles[1].Rect.Bottom, 422 + 11 * 100);
}

struct AlignCase {
    uint16_t ReportAlign;
    int32_t StartX;
};

TEST_F(WPReportLayout, SetWidthsAndTheTablesAlignment) {
    const int t = AddTest({Numbers(2), Numbers(2), Numbers(2)});
    const int g = AddGroup();
    for (int c = 0; c < 3; ++c)
        AddColumn(g, t, c).DIMW = 30;
    report.columnsspace = cs_impostato;
    for (AlignCase c : {AlignCase{6, 79}, AlignCase{2, 156}, AlignCase{0, 1}}) {
        SCOPED_TRACE(c.ReportAlign);
        report.ReportAlign = c.ReportAlign;
        report.Paginate();
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(report.GetChannel(g, i)->pwidth, 1215);
        const auto sheet = Sheet(0);
        EXPECT_EQ(RowNumbers(0, c.StartX + 125), (std::vector<int>{1, 2}));
        EXPECT_EQ(sheet.Fills.front().Rect.Left, c.StartX + 250);
        EXPECT_EQ(sheet.Fills.front().Rect.Right, c.StartX + 250 + 1215);
    }
}

TEST_F(WPReportLayout, EvenWidthsShareTheReportWidth) {
    const int t = AddTest({{"1"}, {"2"}, {"3"}});
    const int g = AddGroup();
    for (int c = 0; c < 3; ++c) {
        Tdefcanale& col = AddColumn(g, t, c);
        col.IAlign = 6;
        col.Align = 2;
    }
    report.columnsspace = cs_omogeneo;
    report.Numera = false;
    report.Paginate();
    const auto sheet = Sheet(0);
    std::vector<int32_t> lefts, names, values;
    for (const auto& f : sheet.Fills)
        if (f.Rect.Top == 847)
            lefts.push_back(f.Rect.Left);
    for (const SheetText* tx : TextsAt(sheet, 851)) {
        EXPECT_EQ(tx->Align, TA_CENTER);
        names.push_back(tx->X);
    }
    for (const SheetText* tx : TextsAt(sheet, 1151)) {
        EXPECT_EQ(tx->Align, TA_RIGHT);
        values.push_back(tx->X);
    }
    EXPECT_EQ(report.GetChannel(g, 0)->pwidth, 1350);
    EXPECT_EQ(lefts, (std::vector<int32_t>{1, 1351, 2701}));
    EXPECT_EQ(names, (std::vector<int32_t>{676, 2026, 3376}));
    EXPECT_EQ(values, (std::vector<int32_t>{1341, 2691, 4041}));
    // No heading and no numbers without the number column.
    EXPECT_TRUE(HeaderYs(0).empty());
}

TEST_F(WPReportLayout, AutomaticWidthsFitTheWidestTextInsideTheInsets) {
    const int t = AddTest({{"1234.5", "7"}, {"1", "2", "3"}});
    buffer.GetProva(t).ChannelNames.Put(0, "Speed");
    buffer.GetProva(t).Units.Put(0, "rpm");
    const int g = AddGroup();
    AddColumn(g, t, 0);
    AddColumn(g, t, 1);
    AddColumn(g, 5, 0); // no such test
    report.Paginate();
    // "1234.5" in 12 points, 10 pixels inside each edge; 10 % of the width otherwise.
    EXPECT_EQ(report.GetChannel(g, 0)->pwidth, 320);
    EXPECT_EQ(report.GetChannel(g, 2)->pwidth, 405);
    const auto sheet = Sheet(0);
    std::vector<std::string> speeds;
    for (int32_t y : {1151, 1251, 1351})
        for (const SheetText* tx : TextsAt(sheet, y))
            if (tx->X == 251 + 10)
                speeds.push_back(tx->Text);
    EXPECT_EQ(speeds, (std::vector<std::string>{"1234.5", "7.0", "    "}));
    // The column without a test shows blank headers and blank cells.
    const int32_t x = 251 + 320 + report.GetChannel(g, 1)->pwidth + 10;
    std::vector<std::string> missing;
    for (const SheetText& tx : sheet.Texts)
        if (tx.X == x)
            missing.push_back(tx.Text);
    EXPECT_EQ(missing, (std::vector<std::string>{"    ", "    ", "    "}));
}

struct TypeCase {
    const char* Tipo;
    std::vector<std::string> Values;
};

TEST_F(WPReportLayout, TheTypeFilterKeepsRowsOfExactlyThatType) {
    const int t =
        AddTest({{"Lot A", "lot A", "Lot A ", "Lot B", "Lot A"}, {"10", "11", "12", "13", "14"}});
    const TypeCase cases[] = {
        {"Lot A", {"10.0", "14.0"}},
        {"*.*", {"10.0", "11.0", "12.0", "13.0", "14.0"}},
        {"Lot C", {}},
    };
    const int g = AddGroup();
    AddColumn(g, t, 1);
    report.differenzia = 0;
    for (const TypeCase& c : cases) {
        SCOPED_TRACE(c.Tipo);
        report.GetGroup(g)->tipo = c.Tipo;
        report.Paginate();
        ASSERT_EQ(report.PageCount(), 1);
        std::vector<std::string> values;
        std::vector<int> numbers = RowNumbers(0);
        for (const SheetText& tx : Sheet(0).Texts)
            if (tx.X == 251 + 10 && tx.Y >= 1151)
                values.push_back(tx.Text);
        EXPECT_EQ(values, c.Values);
        EXPECT_EQ(numbers.size(), c.Values.size());
        if (!numbers.empty()) {
            EXPECT_EQ(numbers.front(), 1);
        }
        EXPECT_EQ(HeaderYs(0).empty(), c.Values.empty());
    }
    // Without a type channel a named type matches nothing.
    report.GetGroup(g)->tipo = "Lot A";
    for (int32_t channel : {-1, 9}) {
        report.differenzia = channel;
        report.Paginate();
        EXPECT_TRUE(HeaderYs(0).empty()) << channel;
    }
}

TEST_F(WPReportLayout, GroupsWithoutAValidColumnOrSwitchedOffAreSkipped) {
    const int t = AddTest({{"12,5abc", "x"}});
    AddColumn(AddGroup(), 3, 0); // names a test that is not there
    Tdefcanale& text = AddColumn(AddGroup(), t, 0);
    text.formato = "Stringa";
    AddColumn(AddGroup(), t, 0);
    report.GetGroup(2)->Enabled = false;
    const int none = AddGroup();
    AddColumn(none, t, 0).Canale = -1;
    report.Paginate();
    // Only the text group is drawn, as the first group on the first sheet.
    ASSERT_EQ(report.PageCount(), 1);
    EXPECT_EQ(HeaderYs(0), (std::vector<int32_t>{851}));
    std::vector<std::string> values;
    for (const SheetText& tx : Sheet(0).Texts)
        if (tx.X == 261 && tx.Y >= 1151)
            values.push_back(tx.Text);
    EXPECT_EQ(values, (std::vector<std::string>{"12,5abc", "x"}));
}

TEST_F(WPReportLayout, LabelTableNamesTheChannels) {
    const int t = AddTest({{"1"}, {"2"}});
    buffer.LabelTable.Add("Altro");
    buffer.LabelTable.Add("Drehzahl\xA7U/min");
    const int g = AddGroup();
    AddColumn(g, t, 1);
    AddColumn(g, t, 0);
    auto headers = [&] {
        std::vector<std::string> texts;
        const auto sheet = Sheet(0);
        for (int32_t y : {851, 951})
            for (const SheetText* tx : TextsAt(sheet, y))
                if (tx->Text != "N.")
                    texts.push_back(tx->Text);
        return texts;
    };
    report.Paginate();
    EXPECT_EQ(headers(), (std::vector<std::string>{"Ch1", "Ch0", "U1", "U0"}));
    report.Traducietichette = true;
    report.Paginate();
    // Without a mark the whole entry is the name.
    EXPECT_EQ(headers(), (std::vector<std::string>{"Drehzahl", "Altro", "U/min", ""}));
}

TEST_F(WPReportLayout, ARowTallerThanASheetStillEnds) {
    OneGroup(3);
    report.GetChannel(0, 0)->FontD->SetSize(1000);
    report.Paginate();
    // Each row gets a sheet of its own; the sheets stay bounded by the rows.
    EXPECT_LE(report.PageCount(), 6);
    std::vector<int> all;
    for (int s = 0; s < report.PageCount(); ++s)
        for (int n : RowNumbers(s))
            all.push_back(n);
    EXPECT_EQ(all, (std::vector<int>{1, 2, 3}));
}

TEST_F(WPReportLayout, OutlandishSettingsStillGiveSheets) {
    const int t = AddTest({Numbers(5), Numbers(5)});
    const int g = AddGroup();
    AddColumn(g, t, 0).DIMW = 1e30f;
    AddColumn(g, t, 1).DIMW = std::numeric_limits<float>::quiet_NaN();
    AddColumn(g, t, 1).DIMW = -5;
    report.columnsspace = cs_impostato;
    report.usa_griglia = true;
    report.Titola_tipi = true;
    for (int32_t v : {std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()}) {
        SCOPED_TRACE(v);
        report.GridWidth = v;
        report.margine_superiore = report.margine_inferiore = report.margine_tra_gruppi = v;
        report.rientro_laterale = v;
        for (uint16_t align : {0, 2, 6}) {
            report.ReportAlign = align;
            report.Paginate();
            EXPECT_GE(report.PageCount(), 1);
            EXPECT_LE(report.PageCount(), 8);
        }
        EXPECT_EQ(report.GetChannel(g, 2)->pwidth, 0);
        EXPECT_EQ(report.GetChannel(g, 1)->pwidth, 0);
    }
}

TEST_F(WPReportLayout, MissingChannelsAndRowsGiveBlankCells) {
    const int t = AddTest({{"1", "2", "3"}, {"5"}});
    const int g = AddGroup();
    AddColumn(g, t, 1);
    AddColumn(g, t, 40); // the test has no such channel
    report.columnsspace = cs_impostato;
    report.Paginate();
    const auto sheet = Sheet(0);
    std::vector<std::string> second, third;
    for (const SheetText& tx : sheet.Texts) {
        if (tx.X == 251 + 10 && tx.Y >= 1151)
            second.push_back(tx.Text);
        if (tx.X == 251 + 405 + 10)
            third.push_back(tx.Text);
    }
    // The group's rows come from its longest channel only: the missing one has none.
    EXPECT_EQ(second, (std::vector<std::string>{"5.0"}));
    EXPECT_EQ(third, (std::vector<std::string>{"    "}));
}

} // namespace
} // namespace vx
