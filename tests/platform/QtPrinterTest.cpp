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

// A print server of the test's own for the test's scope, its socket in CUPS_SERVER.
class PrivateCups {
public:
    PrivateCups() {
        if (test::FindTool("cupsd").empty() || test::FindTool("lpadmin").empty())
            return;
        const auto r = test::RunTool("bash", {kFixture, "start", dir_.Path()}, 60000);
        const auto at = r.Output.find("CUPS_SERVER=");
        if (r.ExitCode != 0 || at == std::string::npos) {
            error_ = r.Output;
            return;
        }
        socket_ = r.Output.substr(at + 12);
        socket_.erase(socket_.find_last_not_of("\r\n") + 1);
        setenv("CUPS_SERVER", socket_.c_str(), 1);
    }
    ~PrivateCups() {
        if (socket_.empty())
            return;
        unsetenv("CUPS_SERVER");
        test::RunTool("bash", {kFixture, "stop", dir_.Path()}, 30000);
    }
    bool Running() const { return !socket_.empty(); }
    const std::string& Error() const { return error_; }
    std::string Folder(const std::string& sub) const { return dir_.File(sub); }

private:
    test::TempDir dir_;
    std::string socket_;
    std::string error_;
};

// The first PDF in the folder that pdfinfo can read whole, once the server has written it.
std::string WaitForPdf(const std::string& folder) {
    std::string found;
    WaitUntil(
        [&] {
            const QFileInfoList files =
                QDir(QString::fromStdString(folder)).entryInfoList(QDir::Files);
            for (const QFileInfo& f : files) {
                if (f.size() == 0)
                    continue;
                const std::string path = f.absoluteFilePath().toStdString();
                if (test::RunTool(test::FindTool("pdfinfo"), {path}).ExitCode == 0) {
                    found = path;
                    return true;
                }
            }
            return false;
        },
        90000);
    return found;
}

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
    PrivateCups cups;
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
        const std::string pdf = WaitForPdf(cups.Folder(p->Name() == "vx-file" ? "out" : "pdf"));
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
