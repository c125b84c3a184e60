// Multi-group reports whose sheets were recorded from an earlier, proven build: each sheet,
// whenever and in whatever order it is composed, must draw the same records and the same
// pixels; printed sheets come in the same order.
#include "report/wpreport.h"

#include "PageFixture.h"
#include "ReportFixture.h"
#include "SheetDigest.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace vx {
namespace {

constexpr const char* kReferenceFile = "report_sheets.txt";

// "<case> <sheet> <records digest> <pixels digest>" per line.
std::map<std::string, std::vector<std::string>> ReadReference() {
    std::map<std::string, std::vector<std::string>> cases;
    std::istringstream in(test::ReadFile(test::DataFile(VX_TEST_DATA_DIR, kReferenceFile)));
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string name, records, pixels;
        size_t sheet = 0;
        if (!(fields >> name >> sheet >> records >> pixels))
            continue;
        auto& sheets = cases[name];
        sheets.resize(std::max(sheets.size(), sheet + 1));
        sheets[sheet] = records + " " + pixels;
    }
    return cases;
}

// Set VX_WRITE_REFERENCE to record the reference anew from the build under test.
void WriteReference(const std::string& name, const std::vector<std::string>& digests) {
    std::ofstream out(test::DataFile(VX_TEST_DATA_DIR, kReferenceFile), std::ios::app);
    for (size_t s = 0; s < digests.size(); ++s)
        out << name << " " << s << " " << digests[s] << "\n";
}

// Rows of two types, "A" twice as often as "B", with values of changing width.
std::vector<std::vector<std::string>> TypedChannels(int rows) {
    std::vector<std::vector<std::string>> channels(3);
    for (int i = 0; i < rows; ++i) {
        channels[0].push_back(i % 3 == 2 ? "B" : "A");
        channels[1].push_back(std::to_string(i * 37 % 1000) + "." + std::to_string(i % 7));
        channels[2].push_back(i % 11 == 0 ? "" : std::to_string(i * 1.25));
    }
    return channels;
}

std::vector<std::vector<std::string>> PlainChannels(int rows) {
    std::vector<std::vector<std::string>> channels(2);
    for (int i = 0; i < rows; ++i) {
        channels[0].push_back(std::to_string(i));
        channels[1].push_back(std::to_string(100000 - i * 13) + ".5");
    }
    return channels;
}

// Three groups: the rows of type "A" of the first test, every row of the second, the rows of
// type "B" of the first; a missing channel gives blank cells.
void AddThreeGroups(TDatabuffer& buffer, TWPReport& report) {
    auto addTest = [&](const std::vector<std::vector<std::string>>& channels) {
        return test::AddTextTest(buffer, channels);
    };
    auto addGroup = [&](const char* type, const char* title) {
        report.SetGroupCount(report.GroupCount() + 1);
        Tdefgruppo& g = *report.GetGroup(report.GroupCount() - 1);
        g.tipo = type;
        g.titolo = title;
        return report.GroupCount() - 1;
    };
    auto addColumn = [&](int group, int test, int channel) -> Tdefcanale& {
        const int i = report.GetChannelCount(group);
        report.SetChannelCount(group, i + 1);
        Tdefcanale& c = *report.GetChannel(group, i);
        c.Prova = test;
        c.Canale = channel;
        c.FontI->SetSize(12);
        c.FontD->SetSize(12);
        return c;
    };
    const int typed = addTest(TypedChannels(1500));
    const int plain = addTest(PlainChannels(250));
    const int a = addGroup("A", "Tipo A");
    addColumn(a, typed, 1).Align = 2;
    addColumn(a, typed, 2).Align = 6;
    addColumn(a, typed, 9).formato = "0.000";
    const int all = addGroup("*.*", "Tutte");
    addColumn(all, plain, 0).IAlign = 0;
    Tdefcanale& second = addColumn(all, plain, 1);
    second.formato = "0.000";
    second.Brush.Color = 0xDDEEFF;
    const int b = addGroup("B", "Tipo B");
    addColumn(b, typed, 1).IAlign = 2;
    addColumn(b, typed, 0);
    report.differenzia = 0;
}

void SharedSheets(TWPReport& r) {
    r.rottura_livello_gruppo = false;
    r.Titola_tipi = true;
    r.Titolotipi_Align = 2;
    r.Differenzia_righe = true;
    r.colore_righe_pari = 0xEEEEEE;
    r.colore_righe_dispari = 0xCCFFCC;
    r.usa_griglia = true;
    r.GridWidth = 3;
    r.Gridcolor = 0x0000AA;
    r.RipetiINT = true;
    r.RipetiPie = true;
    r.ReportAlign = 6;
}

void SheetPerGroup(TWPReport& r) {
    r.columnsspace = cs_omogeneo;
    r.ReportAlign = 2;
    r.Numera = false;
}

// The demo's table: four channels of the first sample test, in the fonts' own metrics.
void AddDemoTable(TDatabuffer& buffer, TWPReport& report) {
    std::istringstream in(
        test::ReadFile(test::DataFile(VX_TEST_DATA_DIR, "../../../samples/Prove/Bench_01.txt")));
    TdataProva& test = buffer.AddProva(5);
    std::string line;
    bool values = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!values) {
            values = line.rfind("----", 0) == 0;
            continue;
        }
        std::istringstream fields(line);
        std::string field;
        for (int c = 0; c < 4 && std::getline(fields, field, '\t'); ++c)
            test.GetChannel(c).AddText(field);
    }
    for (const char* name : {"Tempo", "Forza", "Corsa", "Temperatura"})
        test.ChannelNames.Add(name);
    for (const char* unit : {"s", "N", "mm", "C"})
        test.Units.Add(unit);
    report.usa_griglia = true;
    report.SetGroupCount(1);
    report.SetChannelCount(0, 4);
    for (int c = 0; c < 4; ++c) {
        Tdefcanale& column = *report.GetChannel(0, c);
        column.Prova = buffer.ProvaCount() - 1;
        column.Canale = c;
        column.formato = c == 2 ? "0.000" : "0.00";
    }
}

struct SheetsCase {
    const char* Name;
    void (*Configure)(TWPReport&);
    bool Demo = false;
};

bool Writing() {
    return std::getenv("VX_WRITE_REFERENCE") != nullptr;
}

// The sheets expected of a case; empty while the reference is being written.
std::vector<std::string> Expected(const std::string& name) {
    if (Writing())
        return {};
    const auto reference = ReadReference();
    const auto it = reference.find(name);
    return it == reference.end() ? std::vector<std::string>{"missing"} : it->second;
}

class WPReportSheets : public test::ReportFixture,
                       public ::testing::WithParamInterface<SheetsCase> {};

TEST_P(WPReportSheets, EverySheetMatchesTheReferenceInAnyOrderOfShowing) {
    if (GetParam().Demo) {
        SetFixedTextMetrics(false);
        AddDemoTable(buffer, report);
    } else {
        AddThreeGroups(buffer, report);
    }
    GetParam().Configure(report);
    report.Paginate();
    const int count = report.PageCount();
    if (Writing()) {
        std::vector<std::string> digests;
        for (int s = 0; s < count; ++s)
            digests.push_back(test::SheetDigest(*report.GetPageMetafile(s), 600));
        WriteReference(GetParam().Name, digests);
        return;
    }
    const std::vector<std::string> expected = Expected(GetParam().Name);
    ASSERT_EQ(count, static_cast<int>(expected.size()));
    std::vector<int> order(static_cast<size_t>(count));
    for (int s = 0; s < count; ++s)
        order[size_t(s)] = s;
    std::vector<std::vector<int>> orders{order};
    std::reverse(order.begin(), order.end());
    orders.push_back(order);
    std::shuffle(order.begin(), order.end(), std::mt19937(7));
    orders.push_back(order);
    // Equal records draw equal pixels: the pixels are compared in one order, to save time.
    for (const auto& o : orders)
        for (int s : o) {
            const auto sheet = report.GetPageMetafile(s);
            ASSERT_TRUE(sheet);
            const std::string digest = &o == &orders.back() ? test::SheetDigest(*sheet, 600)
                                                            : test::RecordsDigest(*sheet) + " " +
                                                                  expected[size_t(s)].substr(41);
            EXPECT_EQ(digest, expected[size_t(s)]) << "sheet " << s;
            report.SetCurrentPage(s);
            EXPECT_EQ(test::RecordsDigest(report.GetMetafile()), expected[size_t(s)].substr(0, 40))
                << "shown sheet " << s;
        }
}

INSTANTIATE_TEST_SUITE_P(Reports, WPReportSheets,
                         ::testing::Values(SheetsCase{"shared-sheets", SharedSheets},
                                           SheetsCase{"sheet-per-group", SheetPerGroup},
                                           SheetsCase{"demo-table", [](TWPReport&) {}, true}),
                         [](const auto& info) {
                             std::string name = info.param.Name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

class WPReportOnDemand : public test::ReportFixture {};

// Paging through a thousand sheets holds a few composed pictures at any time, and the
// pictures of sheets turned away from are released.
TEST_F(WPReportOnDemand, PagingThroughAThousandSheetsHoldsAFewPictures) {
    OneGroup(56000);
    report.Paginate();
    ASSERT_GE(report.PageCount(), 1000);
    EXPECT_EQ(report.HeldSheets(), 0) << "pagination composes nothing";
    std::weak_ptr<const MetafileData> first;
    int most = 0;
    for (int s = 0; s < report.PageCount(); ++s) {
        report.SetCurrentPage(s);
        if (s == 0)
            first = report.GetMetafile().Data();
        most = std::max(most, report.HeldSheets());
    }
    EXPECT_LE(most, 4);
    EXPECT_TRUE(first.expired());
    EXPECT_EQ(RowNumbers(report.PageCount() - 1).back(), 56000);
}

// Sheets asked for after the definition or the tests changed, before the next pagination,
// draw what is still there: groups and columns that are gone are left out, missing rows are
// blank.
TEST_F(WPReportOnDemand, SheetsAskedForAfterAChangeDrawWhatIsStillThere) {
    AddThreeGroups(buffer, report);
    SharedSheets(report);
    report.Paginate();
    const int count = report.PageCount();
    struct Change {
        const char* Name;
        std::function<void()> Apply;
    };
    const Change changes[] = {
        {"rows gone", [&] { buffer.GetProva(0).GetChannel(1).SetCount(10); }},
        {"column added", [&] { report.SetChannelCount(1, 3); }},
        {"columns gone", [&] { report.SetChannelCount(0, 0); }},
        {"groups gone", [&] { report.SetGroupCount(1); }},
    };
    for (const Change& c : changes) {
        SCOPED_TRACE(c.Name);
        c.Apply();
        for (int s = 0; s < count; ++s) {
            report.SetCurrentPage(s);
            EXPECT_EQ(report.GetMetafile().Width(), kWidth);
        }
    }
    report.Paginate();
    EXPECT_LT(report.PageCount(), count);
}

class ReportPagePrint : public test::PageFixture {};

// Sheets 2 and 3 of the page, twice: the printer gets 2, 3, 2, 3 as the reference has them.
TEST_F(ReportPagePrint, SheetsTwoToThreeTwiceGiveTheReferenceSheets) {
    page->SetPageKind(PK_REPORT);
    MarkParts();
    AddThreeGroups(buffer, *page->Report());
    SharedSheets(*page->Report());
    Settle();
    page->Report()->Paint();
    ASSERT_GE(page->Report()->PageCount(), 3);
    auto& printer = dynamic_cast<VirtualPrinter&>(Printer());
    printer.ClearJobs();
    page->Print(2, 2, 3);
    ASSERT_EQ(printer.Jobs().size(), 1u);
    std::vector<std::string> digests;
    for (const Metafile& sheet : printer.Jobs()[0].Pages)
        digests.push_back(test::SheetDigest(sheet, 600));
    if (Writing()) {
        WriteReference("print-2-3-twice", digests);
        return;
    }
    const std::vector<std::string> expected = Expected("print-2-3-twice");
    ASSERT_EQ(digests.size(), 4u);
    EXPECT_EQ(digests, expected);
    EXPECT_EQ(digests[0], digests[2]);
    EXPECT_EQ(digests[1], digests[3]);
    EXPECT_NE(digests[0], digests[1]);
}

} // namespace
} // namespace vx
