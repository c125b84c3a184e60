// Pages on real devices: the metafile export read by an independent reader, and report
// pages printed to the built-in PDF printer.
#include "report/WPPage.h"

#include "PageFixture.h"
#include "platform/graphics/PdfPrinter.h"

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

} // namespace
} // namespace vx
