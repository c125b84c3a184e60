#pragma once

// A table report on a sheet of the virtual printer (A4 at 600 dpi less 15-mm page margins)
// with header and footer 611 pixels high and fixed text metrics: 12-point fonts give lines of
// 100 pixels and characters 50 pixels wide.

#include "data/Databuff.h"
#include "platform/graphics/TextMetrics.h"
#include "report/wpreport.h"

#include "SheetRecords.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vx::test {

// A test whose channels hold the texts given; names "Ch<i>" and units "U<i>". Its index.
inline int AddTextTest(TDatabuffer& buffer, const std::vector<std::vector<std::string>>& channels) {
    TdataProva& test = buffer.AddProva(static_cast<int>(channels.size()) + 1);
    for (size_t c = 0; c < channels.size(); ++c) {
        test.ChannelNames.Add("Ch" + std::to_string(c));
        test.Units.Add("U" + std::to_string(c));
        for (const std::string& text : channels[c])
            test.GetChannel(static_cast<int>(c)).AddText(text);
    }
    return buffer.ProvaCount() - 1;
}

class ReportFixture : public ::testing::Test {
protected:
    static constexpr int32_t kWidth = 4052;
    static constexpr int32_t kHeight = 6108;
    // rientro_laterale + half the number column ("XXXXX" in 12 points).
    static constexpr int32_t kNumberX = 1 + 125;

    ReportFixture() {
        SetFixedTextMetrics(true);
        report.SetCoord(0, 0);
        report.SetCoord(1, 0);
        report.SetCoord(2, kWidth);
        report.SetCoord(3, kHeight);
        report.SetHeaderHeight(611);
        report.SetFooterHeight(611);
        report.SetDataBuffer(&buffer);
        report.FontT->SetSize(12);
    }
    ~ReportFixture() override { SetFixedTextMetrics(false); }

    // A test whose channels hold the texts given; names "Ch<i>" and units "U<i>".
    int AddTest(const std::vector<std::vector<std::string>>& channels) {
        return AddTextTest(buffer, channels);
    }
    static std::vector<std::string> Numbers(int n) {
        std::vector<std::string> texts;
        for (int i = 1; i <= n; ++i)
            texts.push_back(std::to_string(i));
        return texts;
    }

    int AddGroup() {
        report.SetGroupCount(report.GroupCount() + 1);
        return report.GroupCount() - 1;
    }
    Tdefcanale& AddColumn(int group, int test, int channel) {
        const int i = report.GetChannelCount(group);
        report.SetChannelCount(group, i + 1);
        Tdefcanale& c = *report.GetChannel(group, i);
        c.Prova = test;
        c.Canale = channel;
        c.FontI->SetSize(12);
        c.FontD->SetSize(12);
        return c;
    }
    // One group of one column over a test of n rows.
    void OneGroup(int rows) { AddColumn(AddGroup(), AddTest({Numbers(rows)}), 0); }

    SheetRecords Sheet(int i) {
        const auto m = report.GetPageMetafile(i);
        EXPECT_TRUE(m) << i;
        return m ? ReadSheet(*m) : SheetRecords{};
    }
    // The row numbers drawn on a sheet, in order.
    std::vector<int> RowNumbers(int sheet, int32_t numberX = kNumberX) {
        std::vector<int> numbers;
        for (const SheetText& t : Sheet(sheet).Texts)
            if (t.X == numberX && t.Text != "N.")
                numbers.push_back(std::stoi(t.Text));
        return numbers;
    }
    std::vector<int> RowsPerSheet() {
        std::vector<int> counts;
        for (int i = 0; i < report.PageCount(); ++i)
            counts.push_back(static_cast<int>(RowNumbers(i).size()));
        return counts;
    }
    // Where the number column's heading stands on a sheet: one per drawing of the headers.
    std::vector<int32_t> HeaderYs(int sheet) {
        std::vector<int32_t> ys;
        for (const SheetText& t : Sheet(sheet).Texts)
            if (t.Text == "N.")
                ys.push_back(t.Y);
        return ys;
    }
    std::vector<const SheetText*> TextsAt(const SheetRecords& s, int32_t y) const {
        std::vector<const SheetText*> found;
        for (const SheetText& t : s.Texts)
            if (t.Y == y)
                found.push_back(&t);
        return found;
    }

    TDatabuffer buffer;
    TWPReport report{nullptr};
};

} // namespace vx::test
