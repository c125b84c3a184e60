#include "platform/graphics/PdfPrinter.h"

#include "platform/graphics/TextMetrics.h"
#include "platform/runtime/Cp1252.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cmath>
#include <map>

#include <QRegularExpression>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vx {
namespace {

struct PdfFixture : ::testing::Test {
    test::TempDir dir;
    std::string target = dir.File("out put.pdf");
    PdfPrinter pdf{[this] { return target; }};

    // One job of `sheets` sheets, each holding its label.
    void Job(const std::string& title, TPrinterOrientation o, std::vector<std::string> labels) {
        pdf.SetOrientation(o);
        pdf.Title = title;
        pdf.BeginDoc();
        for (size_t i = 0; i < labels.size(); ++i) {
            if (i > 0)
                pdf.NewPage();
            TCanvas& c = pdf.Canvas();
            c.Font.SetName("Arial");
            c.Font.SetPixelsPerInch(600);
            c.Font.SetSize(14);
            c.TextOut(600, 600, labels[i]);
        }
        pdf.EndDoc();
    }

    std::string Info(const std::string& file) {
        return test::RunTool(test::FindTool("pdfinfo"), {"-f", "1", "-l", "99", file}).Output;
    }
    // "595x842" per page, sizes rounded to whole points.
    std::vector<std::string> PageSizes(const std::string& file) {
        std::vector<std::string> sizes;
        const std::string info = Info(file);
        static const QRegularExpression size(R"(Page\s+\d+ size:\s+([\d.]+) x ([\d.]+) pts)");
        for (const QRegularExpressionMatch& m : size.globalMatch(QString::fromStdString(info)))
            sizes.push_back(std::to_string(std::lround(m.captured(1).toDouble())) + "x" +
                            std::to_string(std::lround(m.captured(2).toDouble())));
        return sizes;
    }
    std::string Text(const std::string& file, int page) {
        const std::string p = std::to_string(page);
        return test::RunTool(test::FindTool("pdftotext"), {"-f", p, "-l", p, file, "-"}).Output;
    }
};

TEST_F(PdfFixture, IsA4At600DpiWithoutBorder) {
    EXPECT_EQ(pdf.Name(), "Vornix PDF");
    const int indices[] = {PHYSICALWIDTH, PHYSICALHEIGHT, PHYSICALOFFSETX, PHYSICALOFFSETY,
                           HORZRES,       VERTRES,        LOGPIXELSX,      LOGPIXELSY};
    const int expected[] = {4960, 7016, 0, 0, 4960, 7016, 600, 600};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(pdf.GetDeviceCaps(indices[i]), expected[i]) << indices[i];
}

// Where pdftotext finds each word: its left and top edge and its right edge, in points.
struct WordBox {
    double Left = 0, Top = 0, Right = 0;
};

std::map<std::string, WordBox> WordBoxes(const std::string& file) {
    std::map<std::string, WordBox> boxes;
    const std::string html =
        test::RunTool(test::FindTool("pdftotext"), {"-bbox", file, "-"}).Output;
    static const QRegularExpression word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="[\d.]+">([^<]*)</word>)re");
    for (auto it = word.globalMatch(QString::fromStdString(html)); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        boxes[m.captured(4).toStdString()] = {m.captured(1).toDouble(), m.captured(2).toDouble(),
                                              m.captured(3).toDouble()};
    }
    return boxes;
}

// Texts in every alignment, opaque or clear, clipped, turned, with and without letters whose
// ink leaves the line: each stands in the PDF where the canvas put it.
TEST_F(PdfFixture, TextsStandWhereTheCanvasPutThem) {
    if (test::FindTool("pdftotext").empty())
        GTEST_SKIP() << "pdftotext is missing";
    struct Case {
        const char* Text;
        uint32_t Align;
        int32_t X, Y;
        bool Opaque;
        bool Clipped;
    };
    const Case cases[] = {
        {"Left", TA_LEFT | TA_TOP, 600, 600, false, false},
        {"Centre", TA_CENTER | TA_TOP, 2400, 1200, false, false},
        {"Right", TA_RIGHT | TA_TOP, 4000, 1800, true, false},
        {"Baseline", TA_LEFT | TA_BASELINE, 600, 2400, false, false},
        {"Bottom", TA_RIGHT | TA_BOTTOM, 4000, 3000, true, false},
        {"\xC5ngstr\xF6m", TA_LEFT | TA_TOP, 600, 3600, false, false},
        {"Clipped", TA_LEFT | TA_TOP, 600, 4200, true, true},
    };
    pdf.BeginDoc();
    TCanvas& c = pdf.Canvas();
    c.Font.SetName("Arial");
    c.Font.SetPixelsPerInch(600);
    c.Font.SetSize(14);
    const LOGFONTA font = c.Font.LogFont();
    const TFontMetrics m = MeasureFont(font);
    for (const Case& k : cases) {
        c.Brush.Color = 0xCCFFCC;
        c.Brush.Style = k.Opaque ? bsSolid : bsClear;
        c.SetTextAlign(k.Align);
        if (k.Clipped)
            c.TextRect(Rect(k.X - 100, k.Y - 100, 4800, k.Y + 400), k.X, k.Y, k.Text);
        else
            c.TextOut(k.X, k.Y, k.Text);
    }
    pdf.EndDoc();

    const auto boxes = WordBoxes(target);
    constexpr double kPoints = 72.0 / 600;
    for (const Case& k : cases) {
        const std::string text = Cp1252ToUtf8(k.Text);
        SCOPED_TRACE(text);
        ASSERT_TRUE(boxes.count(text));
        const WordBox& box = boxes.at(text);
        const int32_t width = TextWidth(font, k.Text);
        int32_t left = k.X;
        if ((k.Align & TA_CENTER) == TA_CENTER)
            left -= width / 2;
        else if ((k.Align & TA_CENTER) == TA_RIGHT)
            left -= width;
        int32_t top = k.Y;
        if ((k.Align & TA_BASELINE) == TA_BASELINE)
            top -= m.Ascent;
        else if ((k.Align & TA_BASELINE) == TA_BOTTOM)
            top -= m.Height();
        EXPECT_NEAR(box.Left, left * kPoints, 1.0);
        EXPECT_NEAR(box.Right, (left + width) * kPoints, 1.0);
        EXPECT_NEAR(box.Top, top * kPoints, 3.0);
    }
}

TEST_F(PdfFixture, ABatchGathersEveryJobInItsOrientationIntoOneFile) {
    {
        TPrintBatch batch(pdf);
        Job("Bench_04", poPortrait, {"sheet one"});
        Job("second", poLandscape, {"sheet two", "sheet three"});
        // Nothing is in place before the batch closes.
        EXPECT_FALSE(QFile::exists(QString::fromStdString(target)));
        Job("third", poPortrait, {"sheet four"});
        batch.Close();
    }
    const std::string info = Info(target);
    EXPECT_NE(info.find("Pages:           4"), std::string::npos) << info;
    EXPECT_NE(info.find("Title:           Bench_04"), std::string::npos) << info;
    EXPECT_EQ(PageSizes(target),
              (std::vector<std::string>{"595x842", "842x595", "842x595", "595x842"}));
    EXPECT_NE(Text(target, 2).find("sheet two"), std::string::npos);
    EXPECT_EQ(Text(target, 2).find("sheet one"), std::string::npos);
    EXPECT_NE(Text(target, 4).find("sheet four"), std::string::npos);
}

TEST_F(PdfFixture, AnAbortedBatchLeavesTheOldFileAsItWas) {
    test::WriteFile(target, "%PDF-old bytes");
    {
        TPrintBatch batch(pdf);
        Job("a", poPortrait, {"one"});
        batch.Abort();
    }
    EXPECT_EQ(test::ReadFile(target), "%PDF-old bytes");
    // An exception on the way aborts it as well, and so does a job left unfinished.
    try {
        TPrintBatch batch(pdf);
        Job("a", poPortrait, {"one"});
        throw EPrinter("failed on the way");
    } catch (const EPrinter&) {
    }
    EXPECT_EQ(test::ReadFile(target), "%PDF-old bytes");
    {
        TPrintBatch batch(pdf);
        pdf.BeginDoc();
    }
    EXPECT_FALSE(pdf.Printing());
    EXPECT_EQ(test::ReadFile(target), "%PDF-old bytes");
    EXPECT_EQ(QDir(QString::fromStdString(dir.Path())).entryList(QDir::Files).size(), 1);
}

TEST_F(PdfFixture, OutsideABatchEachJobIsAFile) {
    Job("first", poLandscape, {"one", "two"});
    EXPECT_EQ(PageSizes(target), (std::vector<std::string>{"842x595", "842x595"}));
    Job("second", poPortrait, {"three"});
    EXPECT_EQ(PageSizes(target), (std::vector<std::string>{"595x842"}));
    EXPECT_NE(Text(target, 1).find("three"), std::string::npos);
}

TEST_F(PdfFixture, AMissingOrUnwritableOutputIsAClearError) {
    target.clear();
    try {
        pdf.BeginDoc();
        ADD_FAILURE();
    } catch (const EPrinter& e) {
        EXPECT_EQ(e.Message, "No output file is set for Vornix PDF");
    }
    EXPECT_FALSE(pdf.Printing());
    target = dir.File("no/such/folder/x.pdf");
    try {
        pdf.BeginDoc();
        ADD_FAILURE();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message.rfind("Cannot create file \"" + target + "\"", 0), 0u) << e.Message;
        EXPECT_EQ(e.Path, target);
        EXPECT_TRUE(e.Creating);
        EXPECT_EQ(e.ErrorCode, ENOENT);
    }
}

TEST(PrintBatchTest, VirtualPrinterRecordsBatchesAndNestedOnesJoinTheOuter) {
    VirtualPrinter p;
    {
        TPrintBatch outer(p);
        EXPECT_TRUE(p.InBatch());
        p.BeginDoc();
        p.EndDoc();
        {
            TPrintBatch inner(p);
            p.BeginDoc();
            p.EndDoc();
        }
        EXPECT_TRUE(p.InBatch());
    }
    EXPECT_FALSE(p.InBatch());
    ASSERT_EQ(p.Batches().size(), 1u);
    EXPECT_EQ(p.Batches()[0].FirstJob, 0u);
    EXPECT_EQ(p.Batches()[0].JobCount, 2u);
    EXPECT_TRUE(p.Batches()[0].Committed);
    {
        TPrintBatch batch(p);
        p.BeginDoc();
        p.Abort();
        p.BeginDoc();
        p.EndDoc();
    }
    ASSERT_EQ(p.Batches().size(), 2u);
    EXPECT_EQ(p.Batches()[1].FirstJob, 2u);
    EXPECT_FALSE(p.Batches()[1].Committed);
}

} // namespace
} // namespace vx
