#include "platform/graphics/QtPrinter.h"

#include "platform/graphics/EnginePaint.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace vx {
namespace {

const std::string kFixture = std::string(VX_TEST_DATA_DIR) + "/private-cupsd.sh";

void PrintTwoSheets(PrinterDevice& printer) {
    printer.Title = "Bench_04";
    printer.BeginDoc();
    const char* lines[] = {"Pr\xFC"
                           "f 25 \xB0"
                           "C",
                           "second sheet"};
    for (int i = 0; i < 2; ++i) {
        if (i > 0)
            printer.NewPage();
        TCanvas& c = printer.Canvas();
        c.Font.SetName("Arial");
        c.Font.SetPixelsPerInch(c.GetDeviceCaps(LOGPIXELSY));
        c.Font.SetSize(14);
        c.TextOut(c.GetDeviceCaps(LOGPIXELSX), c.GetDeviceCaps(LOGPIXELSY), lines[i]);
    }
    printer.EndDoc();
}

TEST(QtPrinterTest, RealQueuesReceiveTheJobAsAPdf) {
    test::PrivateCups cups(kFixture);
    if (!cups.Running()) {
        if (!cups.Error().empty())
            ADD_FAILURE() << cups.Error();
        GTEST_SKIP() << "CUPS not available: real-queue test skipped";
    }
    SystemPrinterProvider provider([] { return std::string("/nonexistent/out.pdf"); });
    const auto printers = provider.ListPrinters();
    std::vector<std::string> names;
    for (const auto& p : printers)
        names.push_back(p->Name());
    ASSERT_GE(names.size(), 2u);
    EXPECT_EQ(names.back(), "Vornix PDF");
    const bool root = geteuid() == 0;
    std::vector<std::string> queues(names.begin(), names.end() - 1);
    std::sort(queues.begin(), queues.end());
    EXPECT_EQ(queues, root ? (std::vector<std::string>{"vx-file", "vx-pdf"})
                           : (std::vector<std::string>{"vx-file"}));

    for (const auto& p : printers) {
        if (p->Name() == "Vornix PDF")
            continue;
        SCOPED_TRACE(p->Name());
        // A4 paper at the queue's resolution; the printable part lies inside it.
        const TDeviceCaps caps = p->Caps();
        EXPECT_NEAR(caps.PhysicalWidth * 254.0 / caps.LogPixelsX, 2100, 5);
        EXPECT_NEAR(caps.PhysicalHeight * 254.0 / caps.LogPixelsY, 2970, 5);
        EXPECT_GE(caps.PhysicalOffsetX, 0);
        EXPECT_LE(caps.PhysicalOffsetX + caps.HorzRes, caps.PhysicalWidth);
        PrintTwoSheets(*p);
        const std::string pdf =
            test::WaitForPdf(cups.Folder(p->Name() == "vx-file" ? "out" : "pdf"));
        ASSERT_FALSE(pdf.empty());
        const std::string info = test::RunTool(test::FindTool("pdfinfo"), {pdf}).Output;
        EXPECT_NE(info.find("Pages:           2"), std::string::npos) << info;
        EXPECT_NE(info.find("Bench_04"), std::string::npos) << info;
        // The PDF driver goes through PostScript and back, which drops the character
        // map of the embedded fonts: only the queue that keeps our PDF gives the text.
        if (p->Name() != "vx-file")
            continue;
        const std::string text = test::RunTool(test::FindTool("pdftotext"), {pdf, "-"}).Output;
        EXPECT_NE(text.find("Pr\xC3\xBC"
                            "f 25 \xC2\xB0"
                            "C"),
                  std::string::npos)
            << text;
    }
}

TEST(QtPrinterTest, WithoutQueuesTheProviderStillOffersThePdfPrinter) {
    // A server that does not answer stands for a machine without queues.
    setenv("CUPS_SERVER", "/nonexistent/cups.sock", 1);
    SystemPrinterProvider provider([] { return std::string(); });
    const auto printers = provider.ListPrinters();
    unsetenv("CUPS_SERVER");
    ASSERT_EQ(printers.size(), 1u);
    EXPECT_EQ(printers[0]->Name(), "Vornix PDF");
}

} // namespace
} // namespace vx
