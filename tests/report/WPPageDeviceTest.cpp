// Pages on real devices: the metafile export read by an independent reader, and report
// pages printed to the built-in PDF printer.
#include "report/WPPage.h"

#include "PageFixture.h"
#include "platform/graphics/PdfPrinter.h"
#include "platform/graphics/QtPrinter.h"

#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

namespace vx {
namespace {

using test::PageFixture;

bool IsWhite(QRgb p) {
    return qRed(p) == 255 && qGreen(p) == 255 && qBlue(p) == 255;
}

TEST_F(PageFixture, AnIndependentReaderOpensTheExportedPage) {
    if (test::FindTool("soffice").empty())
        GTEST_SKIP() << "soffice not available: metafile reader test skipped";
    test::TempDir dir;
    page->SetPageKind(PK_GRAPHIC);
    for (int32_t r = 0; r < page->Header()->RowCount(); ++r)
        for (int32_t c = 0; c < page->Header()->ColumnCount(); ++c)
            page->Header()->GetCell(c, r)->Brush.Color = clRed;
    page->informazioni_down = "&\"Pr\xFC"
                              "f 25 \xB0"
                              "C\"l";
    Settle();
    const std::string emf = dir.File("page.emf");
    page->SaveAsMetafile(emf);

    const std::string png = test::OfficeConvert(emf, "png", dir.Path());
    ASSERT_FALSE(png.empty());
    const QImage image(QString::fromStdString(png));
    ASSERT_FALSE(image.isNull());
    EXPECT_LT(image.width(), image.height());
    const QRgb header = image.pixel(image.width() / 2, image.height() * 13 / 100);
    EXPECT_GT(qRed(header), 200);
    EXPECT_LT(qGreen(header), 60);
    EXPECT_LT(qBlue(header), 60);
    EXPECT_TRUE(IsWhite(image.pixel(image.width() / 2, image.height() * 4 / 100)));

    const std::string pdf = test::OfficeConvert(emf, "pdf", dir.Path());
    ASSERT_FALSE(pdf.empty());
    const std::string text = test::RunTool(test::FindTool("pdftotext"), {pdf, "-"}).Output;
    EXPECT_NE(text.find("Pr\xC3\xBC"
                        "f 25 \xC2\xB0"
                        "C"),
              std::string::npos)
        << text;
}

TEST_F(PageFixture, ReportPagesPrintedToThePdfPrinterMakeOneA4File) {
    test::TempDir dir;
    const std::string target = dir.File("report.pdf");
    auto pdf = std::make_shared<PdfPrinter>([&] { return target; });
    test::ScopedPrinter only(pdf);
    MakeReportPage(130);
    ASSERT_EQ(page->Report()->PageCount(), 3);
    page->informazioni_down = "&\"sheet\"l &pl";
    page->Print(1, 1, 2);
    const std::string info =
        test::RunTool(test::FindTool("pdfinfo"), {"-f", "1", "-l", "9", target}).Output;
    EXPECT_NE(info.find("Pages:           2"), std::string::npos) << info;
    // The test has no file name: the job is titled with the time.
    EXPECT_NE(info.find("Title:           Vornix Document "), std::string::npos) << info;
    EXPECT_NE(info.find("Page    1 size:  595 x 842 pts (A4)"), std::string::npos) << info;
    EXPECT_NE(info.find("Page    2 size:  595 x 842 pts (A4)"), std::string::npos) << info;
    const std::string second =
        test::RunTool(test::FindTool("pdftotext"), {"-f", "2", "-l", "2", target, "-"}).Output;
    EXPECT_NE(second.find("sheet 2"), std::string::npos) << second;
}

TEST_F(PageFixture, PagesPrintedInsideOneBatchGoIntoOneFileInTheirOrientations) {
    test::TempDir dir;
    const std::string target = dir.File("document.pdf");
    auto pdf = std::make_shared<PdfPrinter>([&] { return target; });
    test::ScopedPrinter only(pdf);
    page->SetPageKind(PK_GRAPHIC);
    page->informazioni_up = "&\"portrait\"l";
    TWPPage second(nullptr);
    second.SetPageKind(PK_GRAPHIC);
    second.informazioni_up = "&\"landscape\"l";
    {
        // As the document window prints a document that changes orientation.
        TPrintBatch batch(*pdf);
        Settle();
        page->Print(1, -1, -1);
        pdf->SetOrientation(poLandscape);
        second.Paint();
        second.Paint();
        second.Print(1, -1, -1);
        pdf->SetOrientation(poPortrait);
        EXPECT_FALSE(QFile::exists(QString::fromStdString(target)));
        batch.Close();
    }
    const std::string info =
        test::RunTool(test::FindTool("pdfinfo"), {"-f", "1", "-l", "9", target}).Output;
    EXPECT_NE(info.find("Pages:           2"), std::string::npos) << info;
    EXPECT_NE(info.find("Page    1 size:  595 x 842 pts"), std::string::npos) << info;
    EXPECT_NE(info.find("Page    2 size:  842 x 595 pts"), std::string::npos) << info;
}

// The print-server fixture lies with the platform's test data.
std::string CupsFixture() {
    const std::string data = VX_TEST_DATA_DIR;
    return data.substr(0, data.rfind("/report/data")) + "/platform/data/private-cupsd.sh";
}

TEST_F(PageFixture, APagePrintedToARealQueueArrivesAsAPdfWithItsInfoLine) {
    test::PrivateCups cups(CupsFixture());
    if (!cups.Running()) {
        if (!cups.Error().empty())
            ADD_FAILURE() << cups.Error();
        GTEST_SKIP() << "CUPS not available: real-queue test skipped";
    }
    SystemPrinterProvider provider([] { return std::string(); });
    std::shared_ptr<PrinterDevice> queue;
    for (const auto& p : provider.ListPrinters())
        if (p->Name() == "vx-file")
            queue = p;
    ASSERT_NE(queue, nullptr);
    test::ScopedPrinter only(queue);
    // The glyphs' own advances, so that a text extractor sees one word where we drew one.
    SetFixedTextMetrics(false);
    page->SetPageKind(PK_GRAPHIC);
    page->informazioni_down = "&\"Pr\xFC"
                              "f 25 \xB0"
                              "C\"l";
    AddTest("/data/Bench_04.rev2.txt");
    Settle();
    page->Print(2, -1, -1);
    const std::string pdf = test::WaitForPdf(cups.Folder("out"));
    ASSERT_FALSE(pdf.empty());
    const std::string info = test::RunTool(test::FindTool("pdfinfo"), {pdf}).Output;
    EXPECT_NE(info.find("Pages:           2"), std::string::npos) << info;
    EXPECT_NE(info.find("Title:           Bench_04"), std::string::npos) << info;
    const std::string text = test::RunTool(test::FindTool("pdftotext"), {pdf, "-"}).Output;
    EXPECT_NE(text.find("Pr\xC3\xBC"
                        "f 25 \xC2\xB0"
                        "C"),
              std::string::npos)
        << text;
}

} // namespace
} // namespace vx
