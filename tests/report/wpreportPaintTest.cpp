#include "report/wpreport.h"

#include "localisation/Strglobmod.h"
#include "localisation/mlLangDispatcher.h"
#include "platform/graphics/EnginePaint.h"
#include "platform/graphics/Printer.h"
#include "platform/ui/Label.h"
#include "report/EditorHooks.h"
#include "report/view/Tfrom_infodlg.h"

#include "ReportFixture.h"
#include "support/TestSupport.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vx {
namespace {

// A page at printer resolution: screen and page units are the same.
struct IdentityPage : TMetaobjParent {
    int32_t ScreenToPrinterX(int32_t v) const override { return v; }
    int32_t ScreenToPrinterY(int32_t v) const override { return v; }
    int32_t PrinterToScreenX(int32_t v) const override { return v; }
    int32_t PrinterToScreenY(int32_t v) const override { return v; }
    void PageMouseDown(TMouseButton, TShiftState, int32_t, int32_t) override {}
    void PageMouseMove(TShiftState, int32_t, int32_t) override {}
    void PageMouseUp(TMouseButton, TShiftState, int32_t, int32_t) override {}
};

// Records the wait window's showing and closing, and what the cursor was meanwhile.
struct WaitHooks : TEditorHooks {
    explicit WaitHooks(const ScriptedUiServices& ui) : ui(ui) { SetEditorHooks(this); }
    ~WaitHooks() override { SetEditorHooks(nullptr); }
    void ShowReportWait() override {
        log.push_back(ui.Busy ? "show busy" : "show");
        if (whileShown)
            whileShown();
    }
    void CloseReportWait() override { log.push_back("close"); }
    const ScriptedUiServices& ui;
    std::vector<std::string> log;
    std::function<void()> whileShown;
};

class WPReportPaint : public test::ReportFixture {
protected:
    WPReportPaint() {
        OneGroup(250);
        report.SetParent(&page);
        report.SetBounds(0, 0, kWidth, kHeight);
        report.OnFooterPlacement = [this](TComponent* sender) {
            EXPECT_EQ(sender, &report);
            ++placements;
        };
        report.OnCurrentPageChange = [this](TComponent*) { ++pageChanges; };
    }
    ~WPReportPaint() override { report.SetParent(nullptr); }

    test::ScopedUi ui;
    WaitHooks hooks{ui.ui};
    IdentityPage page;
    int placements = 0;
    int pageChanges = 0;
};

TEST_F(WPReportPaint, PaintPaginatesOnceBehindTheWaitWindow) {
    report.Paint();
    EXPECT_EQ(hooks.log, (std::vector<std::string>{"show busy", "close"}));
    EXPECT_FALSE(ui.ui.Busy);
    // Once when the sheets are made, once more when the paint has shown them.
    EXPECT_EQ(placements, 2);
    EXPECT_FALSE(report.Dirty);
    EXPECT_FALSE(report.NeedsPagination);
    ASSERT_EQ(report.PageCount(), 5);
    EXPECT_EQ(report.GetMetafile().Data(), report.GetPageMetafile(0)->Data());

    report.Paint();
    report.Dirty = true; // dirty alone does not lay the sheets out again
    report.Paint();
    ProcessMessages();
    EXPECT_EQ(placements, 2);
    EXPECT_EQ(hooks.log.size(), 2u);

    report.NeedsPagination = true;
    report.Paint();
    EXPECT_EQ(placements, 4);
}

TEST_F(WPReportPaint, WithoutAPageNothingIsLaidOut) {
    report.SetParent(nullptr);
    report.Paint();
    EXPECT_EQ(report.PageCount(), 0);
    EXPECT_TRUE(hooks.log.empty());
    EXPECT_EQ(placements, 0);
}

TEST_F(WPReportPaint, ThePaintIsNotEnteredAgainWhileItPaginates) {
    hooks.whileShown = [this] {
        report.Invalidate();
        report.Paint();
    };
    report.Paint();
    EXPECT_EQ(hooks.log, (std::vector<std::string>{"show busy", "close"}));
    EXPECT_EQ(placements, 2);
    ProcessMessages();
    EXPECT_EQ(placements, 2);
}

TEST_F(WPReportPaint, AReportFreedWhileTheWindowShowsClosesIt) {
    report.SetParent(nullptr); // its pending paint does nothing now
    auto owned = std::make_unique<TWPReport>(nullptr);
    TWPReport* r = owned.get();
    r->SetCoord(2, kWidth);
    r->SetCoord(3, kHeight);
    r->SetParent(&page);
    r->SetBounds(0, 0, kWidth, kHeight);
    int placed = 0;
    r->OnFooterPlacement = [&placed](TComponent*) { ++placed; };
    hooks.whileShown = [&owned] { QTimer::singleShot(0, [&owned] { owned.reset(); }); };
    r->Paint();
    EXPECT_EQ(owned, nullptr);
    EXPECT_EQ(hooks.log, (std::vector<std::string>{"show busy", "close"}));
    EXPECT_FALSE(ui.ui.Busy);
    EXPECT_EQ(placed, 0);
}

TEST_F(WPReportPaint, WithoutAPrinterThePaintTellsTheUserOnce) {
    InstallPrinterProvider(
        std::make_shared<FixedPrinterProvider>(std::vector<std::shared_ptr<PrinterDevice>>{}));
    report.Paint();
    report.Paint();
    test::InstallVirtualPrinter();
    ASSERT_EQ(ui.ui.Messages.size(), 1u);
    EXPECT_EQ(ui.ui.Messages[0].Text, "There is no default printer currently selected");
    EXPECT_EQ(ui.ui.Messages[0].Type, TMsgDlgType::mtError);
    EXPECT_EQ(hooks.log, (std::vector<std::string>{"show busy", "close"}));
    EXPECT_FALSE(ui.ui.Busy);
    EXPECT_EQ(report.PageCount(), 0);
    EXPECT_EQ(placements, 0);
    // The next change lays the report out.
    report.Dirty = report.NeedsPagination = true;
    report.Paint();
    EXPECT_EQ(report.PageCount(), 5);
}

TEST_F(WPReportPaint, SetCurrentPageShowsASheetWithoutPaginating) {
    report.Paint();
    ASSERT_EQ(report.PageCount(), 5);
    report.SetCurrentPage(1);
    EXPECT_EQ(pageChanges, 1);
    EXPECT_EQ(report.CurrentPage(), 1);
    EXPECT_EQ(report.ComposedPage(), 1);
    EXPECT_EQ(report.GetMetafile().Data(), report.GetPageMetafile(1)->Data());
    EXPECT_TRUE(PaintPending(report));
    ProcessMessages();
    EXPECT_EQ(placements, 2);

    for (int outside : {7, 5, -1}) {
        report.SetCurrentPage(outside);
        EXPECT_EQ(report.CurrentPage(), 1) << outside;
    }
    EXPECT_EQ(pageChanges, 1);
    EXPECT_EQ(report.GetMetafile().Data(), report.GetPageMetafile(1)->Data());

    // Printing composes another sheet and puts the shown one back.
    report.SetComposedPage(3);
    EXPECT_EQ(report.ComposedPage(), 3);
    EXPECT_EQ(report.CurrentPage(), 1);
}

TEST_F(WPReportPaint, FewerSheetsBringTheCurrentSheetBack) {
    report.Paint();
    report.SetCurrentPage(4);
    report.SetGroupCount(0);
    OneGroup(10);
    report.Dirty = report.NeedsPagination = true;
    report.Paint();
    EXPECT_EQ(report.PageCount(), 1);
    EXPECT_EQ(report.CurrentPage(), 0);
    EXPECT_EQ(report.ComposedPage(), 0);
    EXPECT_EQ(report.GetMetafile().Data(), report.GetPageMetafile(0)->Data());
}

TEST(WPReportPRO, DrawsNothingOfItsOwn) {
    IdentityPage page;
    TWPReportPRO pro(nullptr);
    pro.SetParent(&page);
    pro.SetBounds(10, 20, 300, 400);
    pro.Paint();
    EXPECT_EQ(pro.PageRect(), Rect(10, 20, 310, 420));
    EXPECT_TRUE(pro.GetMetafile().Empty());
    EXPECT_EQ(pro.ClassName(), "TWPReportPRO");
    pro.SetParent(nullptr);
}

// ---- the wait window ----

TEST(Tfrom_infodlg, StaysOnTopWithoutBorderIconsAndOneBoldLabel) {
    std::unique_ptr<Tfrom_infodlg> w(CreateForm<Tfrom_infodlg>());
    const Qt::WindowFlags flags = w->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
    EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowSystemMenuHint);
    EXPECT_TRUE(w->Label1->font().bold());
    EXPECT_EQ(w->findChildren<TLabel*>().size(), 1);
    EXPECT_EQ(w->Label1->Caption(), QStringLiteral("Attendere costruzione report"));
}

TEST(Tfrom_infodlg, TheLabelFollowsTheProgramsLanguage) {
    CreateSTRGlobData();
    TmlLangDispatcher& languages = *STRGlobData->mlLangDispatcher1;
    languages.SetActiveLanguage(3);
    {
        std::unique_ptr<Tfrom_infodlg> w(CreateForm<Tfrom_infodlg>());
        EXPECT_EQ(w->Label1->Caption(), QStringLiteral("Bericht wird erstellt, bitte warten"));
        languages.SetActiveLanguage(2);
        EXPECT_EQ(w->Label1->Caption(), QStringLiteral("Building the report, please wait"));
        languages.SetActiveLanguage(1);
        EXPECT_EQ(w->Label1->Caption(), QStringLiteral("Attendere costruzione report"));
    }
    FreeSTRGlobData();
}

// The program's hooks as start-up installs them.
struct WindowHooks : TEditorHooks {
    WindowHooks() { SetEditorHooks(this); }
    ~WindowHooks() override { SetEditorHooks(nullptr); }
    void ShowReportWait() override { ShowReportWaitWindow(); }
    void CloseReportWait() override { CloseReportWaitWindow(); }
};

TEST(Tfrom_infodlg, StandsWhileAReportPaginates) {
    WindowHooks hooks;
    IdentityPage page;
    TWPReport report(nullptr);
    report.SetParent(&page);
    report.SetBounds(0, 0, 4052, 6108);
    std::vector<bool> shown;
    report.OnFooterPlacement = [&shown](TComponent*) {
        shown.push_back(ReportWaitWindow() != nullptr && ReportWaitWindow()->isVisible());
    };
    report.Paint();
    EXPECT_EQ(shown, (std::vector<bool>{true, false}));
    EXPECT_EQ(ReportWaitWindow(), nullptr);
    report.SetParent(nullptr);
}

TEST(Tfrom_infodlg, ShownCentredUntilClosed) {
    EXPECT_EQ(ReportWaitWindow(), nullptr);
    ShowReportWaitWindow();
    Tfrom_infodlg* w = ReportWaitWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint offset = w->frameGeometry().center() - screen.center();
    EXPECT_LE(offset.manhattanLength(), 2);
    // Shown again by a report that lays out inside the first one's wait: still the one
    // window, which stays until the outer report closes it.
    ShowReportWaitWindow();
    EXPECT_EQ(ReportWaitWindow(), w);
    CloseReportWaitWindow();
    EXPECT_EQ(ReportWaitWindow(), w);
    CloseReportWaitWindow();
    EXPECT_EQ(ReportWaitWindow(), nullptr);
    CloseReportWaitWindow(); // nothing to close
    ShowReportWaitWindow();
    ASSERT_NE(ReportWaitWindow(), nullptr);
    CloseReportWaitWindow();
    EXPECT_EQ(ReportWaitWindow(), nullptr);
}

} // namespace
} // namespace vx
