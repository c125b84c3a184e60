#include "report/DocBox.h"

#include "data/Databuff.h"
#include "localisation/Strglobmod.h"
#include "platform/graphics/Printer.h"
#include "platform/graphics/TextMetrics.h"
#include "platform/runtime/StringList.h"
#include "report/EditorHooks.h"
#include "report/WPPage.h"
#include "report/wpreport.h"

#include "PageFixture.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vx {
namespace {

// A container of the size the document window gives it, on the virtual printer "VP-A4-600".
class DocBoxTest : public ::testing::Test {
protected:
    DocBoxTest() {
        test::InstallVirtualPrinter();
        SetFixedTextMetrics(true);
        CreateSTRGlobData();
        box.SetClientSize(1000, 700);
    }
    ~DocBoxTest() override {
        box.ClearPages();
        FreeSTRGlobData();
        SetFixedTextMetrics(false);
        Printer().SetOrientation(poPortrait);
    }

    TWPPage* Add(TPAGEKIND kind, TPrinterOrientation orientation = poPortrait) {
        TWPPage* page = box.AddPage();
        page->DataBuffer = &buffer;
        page->printerorientation = orientation;
        page->SetPageKind(kind);
        return page;
    }
    // The first paints report a printer change: after two the page is settled.
    static void Paint(TWPPage* page) {
        page->Paint();
        page->Paint();
    }
    // A report page whose report has `rows` numbered rows.
    TWPPage* AddReport(int rows, TPrinterOrientation orientation) {
        TWPPage* page = Add(PK_REPORT, orientation);
        TdataProva& test = buffer.AddProva(2);
        test.ChannelNames.Add("Ch0");
        test.Units.Add("U0");
        for (int i = 1; i <= rows; ++i)
            test.GetChannel(0).AddText(std::to_string(i));
        TWPReport& r = *page->Report();
        r.SetGroupCount(1);
        r.SetChannelCount(0, 1);
        r.GetChannel(0, 0)->Prova = 0;
        r.GetChannel(0, 0)->Canale = 0;
        return page;
    }

    TDatabuffer buffer;
    TDocBox box;
};

TEST_F(DocBoxTest, ANewContainerHasNoPage) {
    EXPECT_EQ(box.unitadimisura, UM_mm);
    EXPECT_EQ(box.PageCount(), 0);
    EXPECT_EQ(box.CurrentIndex(), -1);
    EXPECT_EQ(box.GetCurrentPage(), nullptr);
    EXPECT_EQ(box.GetPage(0), nullptr);
    // Nothing to work on: every operation does nothing.
    box.ShowPage(0);
    box.ZoomToFit();
    box.SetZoomPercent(50);
    box.RedrawCurrentPage();
    box.InvalidateCurrentPage();
    box.ShowValueBox();
    EXPECT_EQ(box.GetZoomPercent(), 0u);
    EXPECT_EQ(box.ShownPage(), nullptr);
    EXPECT_EQ(box.CurrentIndex(), -1);
}

TEST_F(DocBoxTest, ShowPageClampsAndShowsOnePage) {
    TWPPage* pages[] = {Add(pk_none), Add(pk_none), Add(pk_none)};
    int changes = 0;
    box.OnShownPageChanged = [&](TDocBox&) { ++changes; };
    box.ShowPage(7);
    EXPECT_EQ(box.CurrentIndex(), 2);
    EXPECT_EQ(box.ShownPage(), pages[2]);
    EXPECT_EQ(pages[2]->ParentWidth, 1000);
    EXPECT_EQ(pages[0]->ParentWidth, -1);
    EXPECT_EQ(pages[1]->ParentWidth, -1);
    box.ShowPage(-1);
    EXPECT_EQ(box.ShownPage(), pages[0]);
    EXPECT_EQ(pages[2]->ParentWidth, -1);
    EXPECT_EQ(changes, 2);

    box.AddPage();
    EXPECT_EQ(box.ShownPage(), pages[0]) << "a new page is not shown";
    EXPECT_EQ(box.PageCount(), 4);
}

TEST_F(DocBoxTest, DeletingPages) {
    TWPPage* pages[] = {Add(pk_none), Add(pk_none), Add(pk_none)};
    box.ShowPage(2);
    box.DeletePage(5);
    box.DeletePage(-1);
    EXPECT_EQ(box.PageCount(), 3);
    EXPECT_EQ(box.ShownPage(), pages[2]);

    box.DeletePage(2);
    EXPECT_EQ(box.PageCount(), 2);
    EXPECT_EQ(box.GetCurrentPage(), pages[1]) << "the index is clamped to the new last page";
    EXPECT_EQ(box.ShownPage(), nullptr) << "the caller shows the page it wants";

    box.ShowPage(0);
    box.DeletePage(0);
    EXPECT_EQ(box.ShownPage(), pages[1]) << "the new page 0";
    EXPECT_EQ(pages[1]->ParentWidth, 1000);
    box.DeletePage(0);
    EXPECT_EQ(box.PageCount(), 0);
    EXPECT_EQ(box.ShownPage(), nullptr);
    EXPECT_EQ(box.GetCurrentPage(), nullptr);
}

TEST_F(DocBoxTest, AdoptedPagesBelongToTheContainer) {
    TComponent elsewhere;
    auto* page = new TWPPage(&elsewhere);
    box.AdoptPage(page);
    box.AdoptPage(page);
    EXPECT_EQ(box.PageCount(), 1);
    EXPECT_EQ(page->Owner(), &box);
    EXPECT_EQ(elsewhere.ComponentCount(), 0);
    EXPECT_EQ(box.ShownPage(), nullptr);
}

TEST_F(DocBoxTest, ZoomsOfAPortraitPage) {
    TWPPage* page = Add(PK_GRAPHIC);
    box.ShowPage(0);
    Paint(page);
    box.ZoomToWidth();
    EXPECT_EQ(box.GetZoomPercent(), 123u);
    box.ZoomToHeight();
    EXPECT_EQ(box.GetZoomPercent(), 60u);
    box.SetZoomPercent(100);
    box.ZoomToFit();
    EXPECT_EQ(box.GetZoomPercent(), 60u);
    Paint(page);
    EXPECT_EQ(page->Width(), 476);
    EXPECT_EQ(page->Height(), 674);
    EXPECT_EQ(page->Left(), 262);
    EXPECT_EQ(page->Top(), 10);

    box.SetClientSize(10, 10);
    for (auto zoom : {&TDocBox::ZoomToWidth, &TDocBox::ZoomToHeight, &TDocBox::ZoomToFit}) {
        (box.*zoom)();
        EXPECT_EQ(box.GetZoomPercent(), 60u);
    }
}

TEST_F(DocBoxTest, ALandscapePageTurnsThePrinterBeforeItsFirstPaint) {
    Add(PK_GRAPHIC);
    TWPPage* page = Add(PK_GRAPHIC, poLandscape);
    box.ShowPage(0);
    EXPECT_EQ(Printer().Orientation(), poPortrait);
    box.ShowPage(1);
    EXPECT_EQ(Printer().Orientation(), poLandscape);
    Paint(page);
    EXPECT_EQ(page->ZoomPercent(), 25u);
    EXPECT_EQ(page->Width(), 281);
    EXPECT_EQ(page->Height(), 198);
    box.ZoomToWidth();
    EXPECT_EQ(box.GetZoomPercent(), 87u);
    box.ZoomToHeight();
    EXPECT_EQ(box.GetZoomPercent(), 85u);
    box.SetZoomPercent(25);
    box.ZoomToFit();
    EXPECT_EQ(box.GetZoomPercent(), 85u);
    box.ShowPage(0);
    EXPECT_EQ(Printer().Orientation(), poPortrait);
}

TEST_F(DocBoxTest, PageSheetsByKind) {
    Add(PK_GRAPHIC);
    TWPPage* report = AddReport(150, poLandscape);
    Add(pk_none);
    Add(PK_REPORTPRO);
    box.ShowPage(0);
    Paint(box.GetPage(0));
    // The report paginates in its own orientation, as it will when it is shown.
    Printer().SetOrientation(poLandscape);
    Paint(report);
    report->Report()->Paint();
    Printer().SetOrientation(poPortrait);
    ASSERT_EQ(report->Report()->PageCount(), 3);

    struct Case {
        int index;
        std::vector<TPrinterOrientation> orientations;
    };
    const Case cases[] = {{0, {poPortrait}}, {1, {poLandscape, poLandscape, poLandscape}},
                          {2, {}},           {3, {}},
                          {4, {}},           {-1, {}}};
    for (const Case& c : cases) {
        std::vector<TPageSheet> sheets;
        box.ListPageSheets(c.index, sheets);
        ASSERT_EQ(sheets.size(), c.orientations.size()) << c.index;
        for (size_t k = 0; k < sheets.size(); ++k) {
            EXPECT_EQ(sheets[k].Orientation, c.orientations[k]) << c.index;
            EXPECT_EQ(sheets[k].Page, c.index);
            // Only the graph page's sheet is composed at once.
            EXPECT_EQ(sheets[k].Picture.Empty(), sheets[k].ReportSheet >= 0) << c.index;
        }
        EXPECT_EQ(Printer().Orientation(), poPortrait) << "the shown page's orientation stays";
    }

    // A report sheet is composed in its page's orientation when asked for, and holds the
    // report's sheet.
    std::vector<TPageSheet> sheets;
    box.ListPageSheets(1, sheets);
    for (int s = 0; s < 3; ++s) {
        const Metafile sheet = box.ComposePageSheet(sheets[size_t(s)]);
        EXPECT_EQ(Printer().Orientation(), poPortrait);
        EXPECT_EQ(sheet.Width(), Printer().Caps().VertRes) << "landscape";
        bool holdsSheet = false;
        const auto expected = report->Report()->GetPageMetafile(s);
        for (const test::PlacedPicture& p : test::Pictures(sheet))
            holdsSheet = holdsSheet || p.Picture.Data() == expected->Data();
        EXPECT_TRUE(holdsSheet) << s;
    }
}

TEST_F(DocBoxTest, RedrawingAReportPagePaginatesAgain) {
    TWPPage* page = AddReport(10, poPortrait);
    box.ShowPage(0);
    Paint(page);
    for (auto redraw : {&TDocBox::RedrawCurrentPage, &TDocBox::InvalidateCurrentPage}) {
        page->Report()->Paint();
        ASSERT_FALSE(page->Report()->NeedsPagination);
        (box.*redraw)();
        EXPECT_TRUE(page->Report()->NeedsPagination);
    }
}

TEST_F(DocBoxTest, ValueBoxOpensOnTheCurrentPagesTests) {
    struct Hooks : TEditorHooks {
        void ShowValueBox(TDatabuffer* data) override { shown.push_back(data); }
        std::vector<TDatabuffer*> shown;
    } hooks;
    SetEditorHooks(&hooks);
    Add(pk_none);
    box.ShowPage(0);
    box.ShowValueBox();
    SetEditorHooks(nullptr);
    box.ShowValueBox();
    EXPECT_EQ(hooks.shown, (std::vector<TDatabuffer*>{&buffer}));
}

} // namespace
} // namespace vx
