#include "platform/graphics/Printer.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

struct ScopedPrinters {
    explicit ScopedPrinters(std::vector<std::shared_ptr<PrinterDevice>> list) {
        InstallPrinterProvider(std::make_shared<FixedPrinterProvider>(std::move(list)));
    }
    ~ScopedPrinters() { test::InstallVirtualPrinter(); }
};

TEST(PrinterTest, TestsStartWithTheVirtualPrinter) {
    ASSERT_EQ(Printers().size(), 1u);
    EXPECT_EQ(Printer().Name(), "VP-A4-600");
    EXPECT_EQ(PrinterIndex(), 0);
}

TEST(PrinterTest, VirtualPrinterReportsA4At600DpiAndLandscapeSwaps) {
    VirtualPrinter p;
    EXPECT_EQ(p.Name(), "VP-A4-600");
    const int indices[] = {PHYSICALWIDTH, PHYSICALHEIGHT, PHYSICALOFFSETX, PHYSICALOFFSETY,
                           HORZRES,       VERTRES,        LOGPIXELSX,      LOGPIXELSY};
    const int portrait[] = {4960, 7016, 100, 100, 4760, 6816, 600, 600};
    const int landscape[] = {7016, 4960, 100, 100, 6816, 4760, 600, 600};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(p.GetDeviceCaps(indices[i]), portrait[i]) << indices[i];
    p.SetOrientation(poLandscape);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(p.GetDeviceCaps(indices[i]), landscape[i]) << indices[i];
    EXPECT_EQ(p.GetDeviceCaps(12345), 0);
}

TEST(PrinterTest, ProviderListChoosesTheCurrentPrinter) {
    auto a = std::make_shared<VirtualPrinter>("A");
    auto b = std::make_shared<VirtualPrinter>("B");
    {
        ScopedPrinters printers({a, b});
        ASSERT_EQ(Printers().size(), 2u);
        EXPECT_EQ(PrinterIndex(), 0);
        EXPECT_EQ(&Printer(), a.get());
        SetPrinterIndex(1);
        EXPECT_EQ(Printer().Name(), "B");
        EXPECT_THROW(SetPrinterIndex(2), EPrinter);
        EXPECT_THROW(SetPrinterIndex(-1), EPrinter);
        EXPECT_EQ(PrinterIndex(), 1);
    }
    ScopedPrinters none({});
    EXPECT_EQ(PrinterIndex(), -1);
    try {
        Printer();
        ADD_FAILURE();
    } catch (const EPrinter& e) {
        EXPECT_EQ(e.Message, "There is no default printer currently selected");
    }
}

TEST(PrinterTest, JobsRecordEverySheetAsAMetafile) {
    VirtualPrinter p;
    EXPECT_THROW(p.Canvas(), EPrinter);
    p.Title = "Report";
    p.BeginDoc();
    EXPECT_TRUE(p.Printing());
    EXPECT_THROW(p.SetOrientation(poLandscape), EPrinter);
    EXPECT_EQ(p.Canvas().GetDeviceCaps(LOGPIXELSY), 600);
    p.Canvas().Rectangle(0, 0, 100, 100);
    p.NewPage();
    EXPECT_EQ(p.PageNumber(), 2);
    p.Canvas().TextOut(10, 10, "two");
    p.EndDoc();
    EXPECT_FALSE(p.Printing());
    ASSERT_EQ(p.Jobs().size(), 1u);
    const auto& job = p.Jobs()[0];
    EXPECT_EQ(job.Title, "Report");
    ASSERT_EQ(job.Pages.size(), 2u);
    EXPECT_EQ(job.Pages[0].Width(), 4760);
    EXPECT_EQ(job.Pages[0].Height(), 6816);
    EXPECT_FALSE(job.Pages[1].Empty());

    p.BeginDoc();
    p.Abort();
    EXPECT_FALSE(p.Printing());
    ASSERT_EQ(p.Jobs().size(), 2u);
    EXPECT_TRUE(p.Jobs()[1].Aborted);
    EXPECT_TRUE(p.Jobs()[1].Pages.empty());
}

} // namespace
} // namespace vx
