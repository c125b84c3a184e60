#include "report/WPPage.h"

#include "PageFixture.h"
#include "localisation/mlComp.h"
#include "platform/graphics/EmfWriter.h"
#include "platform/graphics/EnginePaint.h"
#include "platform/runtime/ComponentStream.h"
#include "platform/runtime/DateTime.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/StringList.h"
#include "report/Asse.h"
#include "report/EditorHooks.h"
#include "report/Serie.h"
#include "report/WPGraph.h"
#include "report/WPSection.h"
#include "report/legenda.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

using test::FromHex;
using test::HexBytes;
using test::PageFixture;

struct Printers {
    explicit Printers(std::vector<std::shared_ptr<PrinterDevice>> list) {
        InstallPrinterProvider(std::make_shared<FixedPrinterProvider>(std::move(list)));
    }
    ~Printers() { test::InstallVirtualPrinter(); }
};

std::string Record(const TWPPage& page) {
    TMemoryStream s;
    page.WritePageRecord(s);
    return s.Bytes();
}

TEST_F(PageFixture, ANewPageHasItsDefaultsAndItsRecordTheDefaultFont) {
    TWPPage fresh(nullptr);
    EXPECT_EQ(fresh.ZoomPercent(), 25u);
    EXPECT_EQ(fresh.MarginLeft, 10);
    EXPECT_EQ(fresh.MarginTop, 10);
    EXPECT_EQ(fresh.MarginRight, 10);
    EXPECT_EQ(fresh.MarginBottom, 10);
    EXPECT_EQ(fresh.AltezzaIntestazione, 10);
    EXPECT_EQ(fresh.Altezzapiepagina, 10);
    EXPECT_EQ(fresh.PAGEKIND(), pk_none);
    EXPECT_EQ(fresh.pagename, "Nuova pagina");
    EXPECT_FALSE(fresh.ShowMargin);
    EXPECT_EQ(fresh.MarginLeftPixels(), 50); // until the first paint
    EXPECT_EQ(fresh.Objects().size(), 2u);   // header and footer only
    EXPECT_EQ(fresh.Graph(), nullptr);

    const std::string r = Record(fresh);
    ASSERT_EQ(r.size(), 112u);
    EXPECT_EQ(HexBytes(r.substr(0, 33)), "02 00 19 00 00 00 0A 00 00 00 0A 00 00 00 0A 00 00 00 "
                                         "0A 00 00 00 00 0A 00 00 00 0A 00 00 00 00 03");
    EXPECT_EQ(r.substr(33, 13), "\x0CNuova pagina");
    EXPECT_EQ(HexBytes(r.substr(46, 4)), "F5 FF FF FF");
    EXPECT_EQ(HexBytes(r.substr(62, 2)), "90 01");
    EXPECT_EQ(r[69], 1);
    EXPECT_EQ(r.substr(74, 9), std::string("Testline\0", 9));

    // The name is the global table's text, in the table's language.
    STRGlobData->mlLang1->SetActiveLanguage(2);
    TWPPage english(nullptr);
    STRGlobData->mlLang1->SetActiveLanguage(1);
    EXPECT_EQ(english.pagename, "New page");
}

TEST_F(PageFixture, ConversionsRoundTwiceAtTheZoom) {
    struct Case {
        uint32_t zoom;
        int32_t width, height;
    } cases[] = {{40, 317, 449}, {75, 595, 842}};
    for (const Case& c : cases) {
        page->SetZoomPercent(c.zoom);
        EXPECT_EQ(page->ScreenPageWidth(), c.width) << c.zoom;
        EXPECT_EQ(page->ScreenPageHeight(), c.height) << c.zoom;
    }
    page->SetZoomPercent(25);
    EXPECT_EQ(page->PrinterToScreenX(113), 4); // 18 screen pixels at 100 %, 4.5 halves to 4
    page->SetZoomPercent(40);
    EXPECT_EQ(page->ScreenToPrinterX(5), 75); // 12.5 halves to 12, 12 / 96 inch
    EXPECT_EQ(page->PrinterToScreenX(75), 5);

    page->SetZoomPercent(75);
    page->ShowMargin = true;
    Settle();
    EXPECT_EQ(page->MarginLeftPixels(), 472);
    EXPECT_EQ(page->MarginTopPixels(), 354);
    EXPECT_EQ(page->MarginRightPixels(), 118);
    EXPECT_EQ(page->MarginBottomPixels(), 283);
    const int32_t margin[] = {69, 55, 569, 797};
    const int32_t printable[] = {12, 12, 584, 830};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(page->MarginRectOnScreen(i), margin[i]) << i;
        EXPECT_EQ(page->PrintableRectOnScreen(i), printable[i]) << i;
    }
    // Screen size and position follow the zoom: centred in a wider parent, 10 from the top.
    page->ParentWidth = 1000;
    page->UpdatePageSize();
    EXPECT_EQ(page->Left(), (1000 - 595) / 2);
    EXPECT_EQ(page->Top(), 10);
    EXPECT_EQ(page->Width(), 595);
    EXPECT_EQ(page->Height(), 842);

    // Stored records may hold a zoom of 0: the conversions act as at 1 %.
    TMemoryStream zero{FromHex("02 00 00 00 00 00") + Record(*page).substr(6)};
    page->ReadPageRecord(zero);
    EXPECT_EQ(page->ZoomPercent(), 0u);
    EXPECT_EQ(page->ScreenToPrinterX(1), 625);
    EXPECT_EQ(page->PrinterToScreenX(6250), 10);
}

TEST_F(PageFixture, UnitConversionsOfAnyDevice) {
    TDeviceCaps dc;
    dc.LogPixelsX = 600;
    dc.LogPixelsY = 300;
    EXPECT_EQ(TWPPage::UnitsToPixels(dc, UM_mm, true, 20), 472);
    EXPECT_EQ(TWPPage::UnitsToPixels(dc, UM_mm, false, 20), 236);
    EXPECT_EQ(TWPPage::UnitsToPixels(dc, UM_Cm, true, 2.54), 600);
    EXPECT_EQ(TWPPage::UnitsToPixels(dc, UM_Inch, false, 2), 600);
    EXPECT_DOUBLE_EQ(TWPPage::PixelsToUnits(dc, UM_mm, true, 600), 25.4);
    EXPECT_DOUBLE_EQ(TWPPage::PixelsToUnits(dc, UM_Cm, false, 300), 2.54);
    EXPECT_DOUBLE_EQ(TWPPage::PixelsToUnits(dc, UM_Inch, true, 300), 0.5);
}

TEST_F(PageFixture, GraphPageLaysOutHeaderGraphAndFooterBetweenTheMargins) {
    page->SetPageKind(PK_GRAPHIC);
    ASSERT_NE(page->Graph(), nullptr);
    struct Case {
        bool header, footer;
        TRect h, g, f;
    } cases[] = {
        {true, true, {572, 454, 4742, 1381}, {572, 1381, 4742, 6139}, {572, 6139, 4742, 6633}},
        {false, true, {}, {572, 454, 4742, 6139}, {572, 6139, 4742, 6633}},
        {true, false, {572, 454, 4742, 1381}, {572, 1381, 4742, 6633}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.header << c.footer);
        page->Header()->SetEnabled(c.header);
        page->Footer()->SetEnabled(c.footer);
        page->InvalidateAll();
        EXPECT_EQ(PageRect(*page->Graph()), c.g);
        if (c.header) {
            EXPECT_EQ(PageRect(*page->Header()), c.h);
        }
        if (c.footer) {
            EXPECT_EQ(PageRect(*page->Footer()), c.f);
        }
    }
    EXPECT_FALSE(page->Busy());
}

// A printer of 6000 printable rows at 610 dpi: 10 mm is 240 pixels.
class TallPrinter : public VirtualPrinter {
public:
    TallPrinter() : VirtualPrinter("TALL") {}

protected:
    TDeviceCaps PortraitCaps() const override {
        TDeviceCaps c = VirtualPrinter::PortraitCaps();
        c.VertRes = 6000;
        c.LogPixelsY = 610;
        return c;
    }
};

TEST_F(PageFixture, HeaderAndFooterArePercentsOfTheHeightBetweenTheMargins) {
    test::ScopedPrinter tall(std::make_shared<TallPrinter>());
    SetMargins(10, 10, 10, 10);
    page->AltezzaIntestazione = 10;
    page->Altezzapiepagina = 10;
    page->SetPageKind(PK_GRAPHIC);
    Settle();
    EXPECT_EQ(page->MarginTopPixels(), 240);
    EXPECT_EQ(page->MarginBottomPixels(), 240);
    EXPECT_EQ(page->Header()->GetCoord(5), 552);
    EXPECT_EQ(page->Footer()->GetCoord(5), 552);
    EXPECT_EQ(page->Graph()->GetCoord(5), 4416);
}

TEST_F(PageFixture, APrinterChangeIsReportedOnTwoSuccessivePaints) {
    Printers two({std::make_shared<VirtualPrinter>("A"), std::make_shared<VirtualPrinter>("B")});
    std::vector<bool> changes;
    for (int i = 0; i < 3; ++i)
        changes.push_back(page->PrinterChanged());
    SetPrinterIndex(1);
    for (int i = 0; i < 3; ++i)
        changes.push_back(page->PrinterChanged());
    EXPECT_EQ(changes, (std::vector<bool>{true, true, false, true, true, false}));
}

TEST_F(PageFixture, SettingTheKindAgainFreesTheEarlierContent) {
    page->SetPageKind(PK_REPORT);
    ASSERT_NE(page->Report(), nullptr);
    page->SetPageKind(PK_GRAPHIC);
    EXPECT_EQ(page->Report(), nullptr);
    ASSERT_NE(page->Graph(), nullptr);
    EXPECT_EQ(page->Objects().size(), 3u);
    page->SetPageKind(PK_REPORTPRO);
    EXPECT_EQ(page->Graph(), nullptr);
    EXPECT_NE(page->ReportPRO(), nullptr);
    EXPECT_EQ(page->Objects().size(), 3u);
    EXPECT_EQ(page->ComponentCount(), 3);
    page->SetPageKind(pk_none);
    EXPECT_EQ(page->Objects().size(), 2u);
    EXPECT_EQ(page->ComponentCount(), 2);
}

// A drag of an edge to a share of the height between the margins, as the user makes it.
int32_t DragTo(TWPPage& page, int target, int32_t percent) {
    const int32_t hs = page.MarginRectOnScreen(3) - page.MarginRectOnScreen(1);
    TMetaobj& o = target == 5 ? static_cast<TMetaobj&>(*page.Header()) : *page.Footer();
    const int32_t from = target == 5 ? o.Top() + o.Height() : o.Top();
    const int32_t to = target == 5 ? o.Top() + MulDiv(percent, hs, 100)
                                   : o.Top() + o.Height() - MulDiv(percent, hs, 100);
    page.PageMouseMove(0, 10, from);
    EXPECT_EQ(page.DragTarget(), target);
    EXPECT_EQ(page.Cursor(), crSizeNS);
    page.PageMouseDown(mbLeft, ssLeft, 10, from);
    EXPECT_TRUE(page.DragRect().has_value());
    page.PageMouseMove(ssLeft, 10, to);
    page.PageMouseUp(mbLeft, 0, 10, to);
    EXPECT_FALSE(page.DragRect().has_value());
    return target == 5 ? page.AltezzaIntestazione : page.Altezzapiepagina;
}

TEST_F(PageFixture, DraggedEdgesKeepEachPartAtLeastFiveAndBothAtMostEightyPercent) {
    page->SetPageKind(PK_GRAPHIC);
    struct Case {
        int32_t header, footer;
        int target;
        int32_t to, expected;
    } cases[] = {
        {15, 10, 5, 75, 70}, {15, 10, 5, 2, 5},   {15, 10, 5, 40, 40},
        {15, 25, 5, 65, 55}, {30, 10, 6, 60, 50}, {30, 10, 6, 3, 5},
    };
    for (uint32_t zoom : {25u, 100u})
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "zoom " << zoom << " to " << c.to);
            page->SetZoomPercent(zoom);
            page->AltezzaIntestazione = c.header;
            page->Altezzapiepagina = c.footer;
            page->InvalidateAll();
            EXPECT_EQ(DragTo(*page, c.target, c.to), c.expected);
        }
}

TEST_F(PageFixture, TheSizingCursorShowsWithinTwentyPrinterPixelsOfTheHeadersEdge) {
    page->SetPageKind(PK_GRAPHIC);
    page->SetZoomPercent(100);
    page->InvalidateAll();
    ASSERT_EQ(page->Header()->GetCoord(3), 1381);
    for (int32_t y = 214; y <= 228; ++y) {
        page->PageMouseMove(0, 100, y);
        const bool sizing = y >= 218 && y <= 224;
        EXPECT_EQ(page->Cursor(), sizing ? crSizeNS : 0) << y;
        EXPECT_EQ(page->DragTarget(), sizing ? 5 : 0) << y;
    }
    // A disabled header has no edge to drag.
    page->Header()->SetEnabled(false);
    page->PageMouseMove(0, 100, 221);
    EXPECT_EQ(page->DragTarget(), 0);
}

TEST_F(PageFixture, InfoFieldsOfAReportSheet) {
    MakeReportPage(180);
    TWPReport& r = *page->Report();
    ASSERT_EQ(r.PageCount(), 4);
    r.SetCurrentPage(2);
    page->pagename = "Rpt";
    buffer.GetProva(0).FileName = "/m/A1.txt"; // the report's own test
    AddTest("/m/B2.dat");
    struct Case {
        const char* line;
        const char *left, *centre, *right;
    } cases[] = {
        {"&pl&\"/\"l&kl", " 3 / 4", "", ""}, {"&NC", "", " Rpt", ""},
        {"&fr", "", "", " A1.txt B2.dat "},  {"&gl", " /m/A1.txt /m/B2.dat ", "", ""},
        {"Date: &x &\"abc", "", "", ""},
    };
    for (const Case& c : cases) {
        const auto parts = page->SplitInfoLine(c.line);
        EXPECT_EQ(parts.Left, c.left) << c.line;
        EXPECT_EQ(parts.Centre, c.centre) << c.line;
        EXPECT_EQ(parts.Right, c.right) << c.line;
    }
}

TEST_F(PageFixture, InfoFieldsOfAGraphPage) {
    page->SetPageKind(PK_GRAPHIC);
    page->pagename = "Prova";
    SetClock([] { return EncodeDate(2024, 3, 9) + EncodeTime(14, 5, 7, 0); });
    TWPPage stamped(nullptr);
    SetClock({});
    stamped.SetPageKind(PK_GRAPHIC);
    struct Case {
        const TWPPage* p;
        const char* line;
        const char *left, *centre, *right;
    } cases[] = {
        {page.get(), "&\"Report\"l &nc &pr", " Report", " Prova", " 1"},
        {page.get(), "&k&\"x\"", " 1 x", "", ""},
        {&stamped, "Date: &dl &tR", " 09/03/2024", "", " 14:05:07"},
        {page.get(), "&x", "", "", ""},
        {page.get(), "&\"abc", "", "", ""},
        {page.get(), "no fields", "", "", ""},
    };
    for (const Case& c : cases) {
        const auto parts = c.p->SplitInfoLine(c.line);
        EXPECT_EQ(parts.Left, c.left) << c.line;
        EXPECT_EQ(parts.Centre, c.centre) << c.line;
        EXPECT_EQ(parts.Right, c.right) << c.line;
    }
    // Other kinds have no page numbers.
    TWPPage none(nullptr);
    EXPECT_EQ(none.SplitInfoLine("&p&k").Left, "  ");
}

TEST_F(PageFixture, TheBackgroundHoldsTheInfoLinesAboveAndBelowTheMargins) {
    page->SetPageKind(PK_GRAPHIC);
    page->informazioni_up = "&\"up\"c";
    page->informazioni_down = "&\"L\"l&\"C\"c&\"R\"r";
    Settle();
    EXPECT_EQ(page->Background().Width(), 4760);
    EXPECT_EQ(page->Background().Height(), 6816);
    const auto texts = test::Texts(page->Background());
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0].Text, " up");
    EXPECT_EQ(texts[0].Y, 354 - 67 - 5);
    EXPECT_EQ(texts[0].X, 2380);
    const struct {
        const char* text;
        int32_t x;
        uint32_t align;
    } lower[] = {{" L", 472, TA_LEFT}, {" C", 2380, TA_CENTER}, {" R", 4642, TA_RIGHT}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(texts[1 + i].Text, lower[i].text);
        EXPECT_EQ(texts[1 + i].X, lower[i].x);
        EXPECT_EQ(texts[1 + i].Y, 6533);
        EXPECT_EQ(texts[1 + i].Align, lower[i].align);
    }
}

TEST_F(PageFixture, TheMarginFrameIsADottedGreyPolylineOnlyWhenShown) {
    Settle();
    EXPECT_TRUE(page->MarginFrame().Empty());
    page->ShowMargin = true;
    page->Paint();
    const MetafileData& d = *page->MarginFrame().Data();
    ASSERT_EQ(d.Pens.size(), 1u);
    EXPECT_EQ(d.Pens[0].Style, psDot);
    EXPECT_EQ(d.Pens[0].Color, TColor(0x808080));
    ASSERT_EQ(d.Records.size(), 2u);
    const std::vector<int32_t> points(d.Ints.begin(), d.Ints.end());
    EXPECT_EQ(points, (std::vector<int32_t>{472, 354, 472, 6533, 4642, 6533, 4642, 354, 472, 354}));
}

TEST_F(PageFixture, APrintedGraphPageIsOneJobOfOneCompositionPerCopy) {
    page->SetPageKind(PK_GRAPHIC);
    page->informazioni_down = "&\"low\"l";
    AddTest("/data/Bench_04.rev2.txt");
    Settle();
    auto& printer = static_cast<VirtualPrinter&>(Printer());
    page->Print(2, -1, -1);
    ASSERT_EQ(printer.Jobs().size(), 1u);
    const auto& job = printer.Jobs()[0];
    EXPECT_EQ(job.Title, "Bench_04");
    ASSERT_EQ(job.Pages.size(), 2u);
    ASSERT_EQ(printer.Batches().size(), 1u);
    EXPECT_TRUE(printer.Batches()[0].Committed);
    const auto first = test::Pictures(job.Pages[0]);
    const auto second = test::Pictures(job.Pages[1]);
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(first[0].Dest.Left, -100);
    EXPECT_EQ(first[0].Dest.Top, -100);
    // Composed once: both sheets draw the very same picture.
    EXPECT_EQ(first[0].Picture.Data(), second[0].Picture.Data());
    // The page was never shown, yet the sheet carries the graph's picture in its place.
    const TWPGraph& g = *page->Graph();
    bool graphDrawn = false;
    for (const auto& p : test::Pictures(first[0].Picture))
        if (p.Picture.Data() == g.GetMetafile().Data()) {
            graphDrawn = true;
            EXPECT_EQ(p.Dest, (TRect{572, 1381, 4742, 6139}));
            EXPECT_FALSE(p.Picture.Empty());
            EXPECT_EQ(p.Picture.Width(), 4170);
        }
    EXPECT_TRUE(graphDrawn);
    // On the sheet the lower line's left part stands where the header's left edge does.
    bool found = false;
    for (const auto& t : test::Texts(job.Pages[0]))
        if (t.Text == " low") {
            found = true;
            EXPECT_EQ(t.X, 472);
            EXPECT_EQ(t.Y, 6533);
            EXPECT_EQ(t.X, page->Header()->GetCoord(0) - 100);
        }
    EXPECT_TRUE(found);
}

TEST_F(PageFixture, SelectedAxesAreHighlightedOnScreenButNotOnTheSheet) {
    page->SetPageKind(PK_GRAPHIC);
    Settle();
    TWPGraph& g = *page->Graph();
    g.Paint();
    const size_t plain = g.GetMetafile().RecordCount();
    g.LeftSide().GetAxisByIndex(0)->Selected = true;
    g.Dirty = true;
    g.Paint();
    const size_t highlighted = g.GetMetafile().RecordCount();
    ASSERT_GT(highlighted, plain);
    page->Print(1, -1, -1);
    const auto& job = static_cast<VirtualPrinter&>(Printer()).Jobs().back();
    const auto inner = test::Pictures(test::Pictures(job.Pages[0])[0].Picture);
    ASSERT_FALSE(inner.empty());
    EXPECT_EQ(inner.back().Dest, PageRect(g)); // the graph, drawn last
    EXPECT_EQ(inner.back().Picture.RecordCount(), plain);
    // The screen gets its highlight back with the next paint.
    EXPECT_TRUE(g.Dirty);
    g.Paint();
    EXPECT_EQ(g.GetMetafile().RecordCount(), highlighted);
}

TEST_F(PageFixture, TheUpperLineStaysOnTheSheetWithASmallTopMargin) {
    page->SetPageKind(PK_GRAPHIC);
    SetMargins(20, 5, 5, 12);
    page->informazioni_up = "&\"top\"l";
    Settle();
    page->Print(1, -1, -1);
    const auto& job = static_cast<VirtualPrinter&>(Printer()).Jobs().back();
    int found = 0;
    for (const auto& t : test::Texts(job.Pages[0]))
        if (t.Text == " top") {
            ++found;
            EXPECT_EQ(t.Y, 46);
        }
    EXPECT_EQ(found, 1);
}

TEST_F(PageFixture, WithoutTestsTheJobIsTitledWithTheTime) {
    SetClock([] { return EncodeDate(2024, 3, 9) + EncodeTime(14, 5, 7, 0); });
    page->SetPageKind(PK_GRAPHIC);
    Settle();
    page->Print(1, -1, -1);
    SetClock({});
    EXPECT_EQ(static_cast<VirtualPrinter&>(Printer()).Jobs().back().Title,
              "Vornix Document 14:05:07");
}

// Which parts a sheet of a report page draws: the report's sheet by its picture, header and
// footer by their heights.
struct ReportSheet {
    int sheet = -1;
    bool header = false, footer = false;
    bool operator==(const ReportSheet&) const = default;
};

ReportSheet ReadReportSheet(const TWPPage& page, const Metafile& printed) {
    ReportSheet out;
    const auto outer = test::Pictures(printed);
    EXPECT_EQ(outer.size(), 1u);
    if (outer.empty())
        return out;
    for (const auto& p : test::Pictures(outer[0].Picture)) {
        for (int i = 0; i < page.Report()->PageCount(); ++i)
            if (p.Picture.Data() == page.Report()->GetPageMetafile(i)->Data())
                out.sheet = i + 1;
        if (p.Dest.Height() == page.Header()->GetCoord(5) && p.Dest.Top == 454)
            out.header = true;
        if (p.Dest.Height() == page.Footer()->GetCoord(5))
            out.footer = true;
    }
    return out;
}

TEST_F(PageFixture, PrintedReportPagesGoInOrderForEachCopy) {
    MakeReportPage(130);
    TWPReport& r = *page->Report();
    ASSERT_EQ(r.PageCount(), 3);
    auto& printer = static_cast<VirtualPrinter&>(Printer());
    struct Case {
        int copies, first, last;
        std::vector<int> sheets;
    } cases[] = {
        {3, 2, 3, {2, 3, 2, 3, 2, 3}},
        {2, 1, 3, {1, 2, 3, 1, 2, 3}},
        {1, -1, -1, {1}},
        {1, 0, 9, {1, 2, 3}}, // pages outside the report are skipped
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.copies << " " << c.first << " " << c.last);
        printer.ClearJobs();
        page->Print(c.copies, c.first, c.last);
        ASSERT_EQ(printer.Jobs().size(), 1u);
        std::vector<int> sheets;
        for (const Metafile& m : printer.Jobs()[0].Pages) {
            const ReportSheet s = ReadReportSheet(*page, m);
            sheets.push_back(s.sheet);
            EXPECT_EQ(s.header, s.sheet == 1) << s.sheet;
            EXPECT_EQ(s.footer, s.sheet == 3) << s.sheet;
        }
        EXPECT_EQ(sheets, c.sheets);
        EXPECT_EQ(r.ComposedPage(), r.CurrentPage());
    }
    // The sheet on screen.
    r.SetCurrentPage(1);
    printer.ClearJobs();
    page->Print(1, -1, -1);
    EXPECT_EQ(ReadReportSheet(*page, printer.Jobs()[0].Pages[0]).sheet, 2);
    EXPECT_EQ(r.ComposedPage(), 1);
}

TEST_F(PageFixture, PagesWithoutContentPrintOneEmptySheet) {
    auto& printer = static_cast<VirtualPrinter&>(Printer());
    for (TPAGEKIND kind : {PK_REPORTPRO, pk_none}) {
        printer.ClearJobs();
        page->SetPageKind(kind);
        Settle();
        page->Print(2, -1, -1);
        ASSERT_EQ(printer.Jobs().size(), 1u) << kind;
        ASSERT_EQ(printer.Jobs()[0].Pages.size(), 1u) << kind;
        EXPECT_TRUE(printer.Jobs()[0].Pages[0].Empty()) << kind;
    }
}

TEST_F(PageFixture, RenderedMetafilesCarryTheirOrientations) {
    MakeReportPage(130);
    std::vector<Metafile> metafiles;
    TStringList orientations;
    page->RenderToMetafiles(metafiles, orientations, 3, 2);
    ASSERT_EQ(metafiles.size(), 2u);
    EXPECT_EQ(orientations.CommaText(), "0,0");
    EXPECT_EQ(metafiles[0].Width(), 4760);
    EXPECT_EQ(metafiles[0].Height(), 6816);

    TWPPage graph(nullptr);
    graph.SetPageKind(PK_GRAPHIC);
    graph.informazioni_up = "&nc";
    Printer().SetOrientation(poLandscape);
    graph.RenderToMetafiles(metafiles, orientations, -1, -1);
    TWPPage empty(nullptr);
    empty.RenderToMetafiles(metafiles, orientations, -1, -1);
    Printer().SetOrientation(poPortrait);
    ASSERT_EQ(metafiles.size(), 4u);
    EXPECT_EQ(orientations.CommaText(), "0,0,1,1");
    EXPECT_EQ(metafiles[2].Width(), 6816);
    EXPECT_FALSE(metafiles[2].Empty());
    EXPECT_TRUE(metafiles[3].Empty());
}

TEST_F(PageFixture, PageRecordGoldenBytesAndRoundTrip) {
    page->SetZoomPercent(75);
    page->ShowMargin = true;
    page->printerorientation = poLandscape;
    page->SetPageKind(PK_REPORT);
    page->pagename = "Rpt";
    page->informazioni_up = "&nc";
    page->infofont().SetColor(clRed);
    const std::string r = Record(*page);
    ASSERT_EQ(r.size(), 106u);
    EXPECT_EQ(HexBytes(r.substr(0, 37)),
              "02 00 4B 00 00 00 14 00 00 00 0F 00 00 00 05 00 00 00 0C 00 00 00 01 0F 00 00 00 "
              "08 00 00 00 01 01 03 52 70 74");
    const auto font = page->infofont().LogFont().ToBytes();
    EXPECT_EQ(r.substr(37, 60), std::string(font.begin(), font.end()));
    EXPECT_EQ(HexBytes(r.substr(97, 4)), "FF 00 00 00");
    EXPECT_EQ(HexBytes(r.substr(101)), "03 26 6E 63 00");

    TWPPage back(nullptr);
    TMemoryStream s{r};
    back.ReadPageRecord(s);
    EXPECT_EQ(Record(back), r);
    EXPECT_EQ(back.PAGEKIND(), PK_REPORT);
    EXPECT_EQ(back.Report(), nullptr); // the record alone makes no content
    EXPECT_EQ(back.infofont().Color(), clRed);
}

// A record may carry any value; the page keeps it (and writes it again) but lays itself out
// with margins of at most the dialog's 500 mm, parts of at most all the height, and a zoom
// no screen page grows beyond.
TEST_F(PageFixture, StoredValuesBeyondTheDialogsAreKeptButDrawnBounded) {
    const int32_t mm500x = UnitsToPixels(Printer().Caps().LogPixelsX, UM_mm, 500);
    const int32_t mm500y = UnitsToPixels(Printer().Caps().LogPixelsY, UM_mm, 500);
    const struct {
        const char* what;
        int32_t margin, part;
        uint32_t zoom;
        int32_t marginX, marginY;
    } cases[] = {
        {"a billion millimetres", 0x40000000, 10, 25, mm500x, mm500y},
        {"the largest", 0x7FFFFFFF, 0x7FFFFFFF, 0xFFFFFFFF, mm500x, mm500y},
        {"negative", -1, -1, 0, 0, 0},
        {"the dialog's largest", 500, 100, 800, mm500x, mm500y},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TWPPage source(nullptr);
        source.SetPageKind(PK_GRAPHIC);
        source.MarginLeft = source.MarginTop = source.MarginRight = source.MarginBottom = c.margin;
        source.AltezzaIntestazione = source.Altezzapiepagina = c.part;
        source.SetZoomPercent(c.zoom);
        const std::string record = Record(source);

        TMemoryStream in{record};
        page->ReadPageRecord(in);
        page->SetPageKind(PK_GRAPHIC);
        Settle();
        EXPECT_EQ(page->MarginLeftPixels(), c.marginX);
        EXPECT_EQ(page->MarginRightPixels(), c.marginX);
        EXPECT_EQ(page->MarginTopPixels(), c.marginY);
        EXPECT_EQ(page->MarginBottomPixels(), c.marginY);
        const int32_t printable = Printer().Caps().VertRes;
        for (const TMetaobj* part :
             {static_cast<TMetaobj*>(page->Header()), static_cast<TMetaobj*>(page->Footer())}) {
            EXPECT_GE(part->GetCoord(5), 0);
            EXPECT_LE(part->GetCoord(5), printable);
        }
        EXPECT_GE(page->ScreenPageWidth(), 1);
        EXPECT_LE(page->ScreenPageWidth(), 8 * 800); // 800 % of an A4 sheet at 96 dpi
        EXPECT_EQ(Record(*page), record);
    }
}

TEST_F(PageFixture, AVersionOneRecordKeepsTheDefaultFontAndEmptyLines) {
    std::string r = Record(*page).substr(0, 46 - 13) + "\x03One";
    r[0] = 1;
    TWPPage back(nullptr);
    const std::string before = HexBytes(Record(back).substr(46 - 13 + 13));
    TMemoryStream s{r};
    back.ReadPageRecord(s);
    EXPECT_EQ(s.Remaining(), 0);
    EXPECT_EQ(back.pagename, "One");
    EXPECT_EQ(back.MarginLeft, 20);
    EXPECT_EQ(back.infofont().Name(), "Testline");
    EXPECT_EQ(back.informazioni_up, "");
    EXPECT_EQ(HexBytes(Record(back).substr(33 + 4)), before);
}

TEST_F(PageFixture, ABadRecordIsAClearErrorAndLeavesThePage) {
    const std::string good = Record(*page);
    struct Case {
        std::string bytes;
        std::string message;
    } cases[] = {
        {good.substr(0, 32) + "\x04" + good.substr(33), "Invalid page kind 4 in the page record"},
        {good.substr(0, 31) + "\x02" + good.substr(32),
         "Invalid printer orientation 2 in the page record"},
        {good.substr(0, 60), "The page record is incomplete"},
        {good.substr(0, 5), "The page record is incomplete"},
    };
    TWPPage target(nullptr);
    const std::string before = Record(target);
    for (const Case& c : cases) {
        TMemoryStream s{c.bytes};
        try {
            target.ReadPageRecord(s);
            ADD_FAILURE() << c.message;
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message, c.message);
        }
        EXPECT_EQ(Record(target), before) << c.message;
    }
}

TEST_F(PageFixture, ThePageStreamCarriesHeaderFooterAndReport) {
    MakeReportPage(20);
    page->Footer()->SetEnabled(false);
    page->informazioni_down = "&pr";
    TMemoryStream s;
    page->SaveToStream(s);
    const std::string bytes = s.Bytes();
    EXPECT_NE(bytes.find(FromHex("07 65 6E 61 62 6C 65 64 08")), std::string::npos);
    EXPECT_EQ(bytes.find("Enabled"), std::string::npos);
    EXPECT_NE(bytes.find("Intestazione"), std::string::npos);
    EXPECT_NE(bytes.find("Report"), std::string::npos);

    TWPPage back(nullptr);
    back.DataBuffer = &buffer;
    s.SetPosition(0);
    back.LoadFromStream(s);
    EXPECT_EQ(s.Remaining(), 0);
    ASSERT_NE(back.Report(), nullptr);
    EXPECT_TRUE(back.Header()->Enabled());
    EXPECT_FALSE(back.Footer()->Enabled());
    EXPECT_EQ(back.Report()->GroupCount(), 1);
    EXPECT_EQ(back.informazioni_down, "&pr");
    TMemoryStream again;
    back.SaveToStream(again);
    EXPECT_EQ(HexBytes(again.Bytes()), HexBytes(bytes));
}

std::string Bytes(const TWPSide& side) {
    TMemoryStream s;
    side.WriteToStream(s);
    return s.Bytes();
}

TEST_F(PageFixture, AGraphPageStreamsItsGraphAfterHeaderAndFooter) {
    AddTest("/m/A1.txt");
    page->SetPageKind(PK_GRAPHIC);
    Settle();
    TWPGraph& g = *page->Graph();
    g.SetZone(4, 250);
    g.SetZone(7, 900);
    g.Globalgrid = true;
    g.Legend().Visible = true;
    g.LeftSide().GetSection(0)->Size = 60;
    g.LeftSide().AddSections(1);
    g.LeftSide().GetSection(1)->Size = 40;
    g.LeftSide().GetSection(1)->AddAxes(2);
    g.LeftSide().GetAxisByIndex(2)->Caption = "third";
    g.RebuildSeries();
    page->Footer()->SetEnabled(false);
    TMemoryStream s;
    page->SaveToStream(s);
    const std::string bytes = s.Bytes();

    // Page record, header, footer, then the graph stream: the graph, the X axis, the left
    // and right side streams and the legend.
    const TWPSide& left = g.LeftSide();
    const std::string leftSide =
        FromHex("02000000 3C000000 01000000") + ComponentToBytes(*left.GetAxisByIndex(0)) +
        FromHex("28000000 02000000") + ComponentToBytes(*left.GetAxisByIndex(1)) +
        ComponentToBytes(*left.GetAxisByIndex(2));
    EXPECT_EQ(Bytes(left), leftSide);
    const std::string rightSide =
        FromHex("01000000 64000000 01000000") + ComponentToBytes(*g.RightSide().GetAxisByIndex(0));
    const std::string head =
        Record(*page) + ComponentToBytes(*page->Header()) + ComponentToBytes(*page->Footer());
    const std::string graph = ComponentToBytes(g);
    EXPECT_EQ(HexBytes(bytes), HexBytes(head + graph + ComponentToBytes(g.XAxis()) + leftSide +
                                        rightSide + ComponentToBytes(g.Legend())));
    EXPECT_EQ(bytes[32], 0); // kind 0
    EXPECT_EQ(bytes.substr(head.size(), 13), std::string("TPF0\x08TWPGraph", 13));
    EXPECT_NE(graph.find("\x0AZonegraphL" + FromHex("03 FA 00")), std::string::npos);
    EXPECT_NE(graph.find("\x0AZonegraphB" + FromHex("03 84 03")), std::string::npos);
    EXPECT_NE(graph.find("\x0AGlobalgrid" + FromHex("09")), std::string::npos);
    EXPECT_NE(bytes.find(FromHex("07 65 6E 61 62 6C 65 64 08")), std::string::npos);

    TWPPage back(nullptr);
    back.DataBuffer = &buffer;
    s.SetPosition(0);
    back.LoadFromStream(s);
    EXPECT_EQ(s.Remaining(), 0);
    ASSERT_NE(back.Graph(), nullptr);
    TWPGraph& r = *back.Graph();
    EXPECT_EQ(r.Data(), &buffer);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(r.GetZone(i), g.GetZone(i)) << i;
    EXPECT_TRUE(r.Globalgrid);
    EXPECT_TRUE(r.Legend().Visible);
    ASSERT_EQ(r.LeftSide().SectionCount(), 2);
    EXPECT_EQ(r.LeftSide().GetSection(1)->Size, 40);
    EXPECT_EQ(r.LeftSide().GetAxisByIndex(2)->Caption, "third");
    EXPECT_EQ(r.RightSide().AxisCount(), 1);
    ASSERT_EQ(r.Series().size(), 4u);
    EXPECT_EQ(r.Series()[3]->YAxis(), r.RightSide().GetAxisByIndex(0));
    EXPECT_EQ(r.Series()[0]->Data(), &buffer);
    EXPECT_TRUE(r.AutoLimitsPending());
    EXPECT_FALSE(back.Footer()->Enabled());
    EXPECT_EQ(back.Objects().size(), 3u);
    TMemoryStream again;
    back.SaveToStream(again);
    EXPECT_EQ(HexBytes(again.Bytes()), HexBytes(bytes));

    // The read page lays its graph out as the written one: down to the bottom margin.
    back.Paint();
    back.Paint();
    EXPECT_EQ(PageRect(r), (TRect{572, 1381, 4742, 6633}));

    // A graph stream cut short is a read error, not a page with half a graph.
    TWPPage cut(nullptr);
    TMemoryStream shortStream(bytes.substr(0, bytes.size() - 10));
    EXPECT_THROW(cut.LoadFromStream(shortStream), EReadError);
}

TEST_F(PageFixture, APageWithoutContentReloadsWithoutOneAndWritesTheSameBytes) {
    page->SetPageKind(PK_REPORTPRO);
    TMemoryStream s;
    page->SaveToStream(s);
    TWPPage back(nullptr);
    s.SetPosition(0);
    back.LoadFromStream(s);
    EXPECT_EQ(back.PAGEKIND(), PK_REPORTPRO);
    EXPECT_EQ(back.ReportPRO(), nullptr);
    EXPECT_EQ(back.Objects().size(), 2u);
    TMemoryStream again;
    back.SaveToStream(again);
    EXPECT_EQ(HexBytes(again.Bytes()), HexBytes(s.Bytes()));
}

TEST_F(PageFixture, SaveAsMetafileWritesAnEnhancedMetafileWhateverTheExtension) {
    test::TempDir dir;
    page->SetPageKind(PK_GRAPHIC);
    page->informazioni_down = "&\"low\"l";
    Settle();
    page->SaveAsMetafile(dir.File("p.WMF"));
    const std::string f = test::ReadFile(dir.File("p.WMF"));
    ASSERT_GT(f.size(), 108u);
    EXPECT_EQ(f.substr(40, 4), " EMF");
    auto u32 = [&f](size_t at) {
        return uint32_t(uint8_t(f[at])) | uint32_t(uint8_t(f[at + 1])) << 8 |
               uint32_t(uint8_t(f[at + 2])) << 16 | uint32_t(uint8_t(f[at + 3])) << 24;
    };
    EXPECT_EQ(u32(48), f.size());
    uint32_t records = 0, last = 0;
    for (size_t at = 0; at + 8 <= f.size(); at += u32(at + 4)) {
        ++records;
        last = u32(at);
        ASSERT_GE(u32(at + 4), 8u);
    }
    EXPECT_EQ(records, u32(52));
    EXPECT_EQ(last, uint32_t(EMR_EOF));
    EXPECT_THROW(page->SaveAsMetafile(dir.File("missing/p.emf")), EFOpenError);
}

struct PaletteHooks : TEditorHooks {
    bool OpenCellPalette(TIntestazione&) override { return true; }
};

TEST_F(PageFixture, ClearingTheSelectionEndsTheCellEditModeOfHeaderAndFooter) {
    PaletteHooks hooks;
    SetEditorHooks(&hooks);
    page->SetPageKind(PK_GRAPHIC);
    page->Header()->SwitchCellEditor();
    page->Footer()->SwitchCellEditor();
    ASSERT_TRUE(page->Header()->EditMode());
    page->ClearSelection();
    EXPECT_FALSE(page->Header()->EditMode());
    EXPECT_FALSE(page->Footer()->EditMode());
    page->ClearSelection(); // off stays off
    EXPECT_FALSE(page->Header()->EditMode());
    SetEditorHooks(nullptr);
    EXPECT_EQ(page->SelectedAxisCount(), 0);

    // The graph's selected axes go too, and its picture loses their highlight.
    TWPGraph& g = *page->Graph();
    g.XAxis().Selected = true;
    g.LeftSide().GetAxisByIndex(0)->Selected = true;
    EXPECT_EQ(page->SelectedAxisCount(), 2);
    g.Dirty = false;
    page->ClearSelection();
    EXPECT_EQ(page->SelectedAxisCount(), 0);
    EXPECT_FALSE(g.XAxis().Selected);
    EXPECT_TRUE(g.Dirty);
    // Other kinds have no axes to count.
    page->SetPageKind(PK_REPORT);
    EXPECT_EQ(page->SelectedAxisCount(), 0);
    page->ClearSelection();
}

struct SectionHooks : TEditorHooks {
    int calls = 0;
    bool EditSections(std::string& left, std::string&) override {
        ++calls;
        TComponent owner;
        TWPSide side(&owner);
        TMemoryStream in(left);
        side.ReadFromStream(in);
        side.AddSections(1);
        side.GetSection(1)->AddAxes(2);
        TMemoryStream out;
        side.WriteToStream(out);
        left = out.Bytes();
        return true;
    }
};

TEST_F(PageFixture, TheSectionDialogOfAGraphPageEditsItsGraph) {
    SectionHooks hooks;
    SetEditorHooks(&hooks);
    page->SetPageKind(PK_REPORT);
    page->EditGraphSections(); // no graph: no dialog
    EXPECT_EQ(hooks.calls, 0);
    page->SetPageKind(PK_GRAPHIC);
    page->EditGraphSections();
    SetEditorHooks(nullptr);
    EXPECT_EQ(hooks.calls, 1);
    EXPECT_EQ(page->Graph()->LeftSide().SectionCount(), 2);
    EXPECT_EQ(page->Graph()->Series().size(), 4u);
}

TEST_F(PageFixture, AGraphPageHoldsAGraphOfTheDocumentsData) {
    AddTest("/m/A1.txt");
    page->SetPageKind(PK_GRAPHIC);
    TWPGraph* g = page->Graph();
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->Data(), &buffer);
    EXPECT_EQ(g->Owner(), page.get());
    EXPECT_EQ(g->Parent(), page.get());
    EXPECT_EQ(g->Series().size(), 2u);
    ASSERT_EQ(page->Objects().size(), 3u);
    EXPECT_EQ(page->Objects()[2], g);
    // Laid out by the page, the graph composes at the size of its place between header and
    // footer, its zones measured from there.
    Settle();
    g->Paint();
    EXPECT_EQ(g->GetMetafile().Width(), 4742 - 572);
    EXPECT_EQ(g->GetMetafile().Height(), 6139 - 1381);
    EXPECT_EQ(g->ZonePixel(0), MulDiv(4758, 10, 1000));
    EXPECT_EQ(g->ZonePixel(3), MulDiv(4170, 800, 1000));
    EXPECT_EQ(g->XAxis().BoundsRect.Left, MulDiv(4170, 200, 1000));
}

TEST_F(PageFixture, ReportFooterFollowsTheLastSheetsContentAndFiresTheChangeEvent) {
    int changes = 0;
    page->OnChange = [&](TWPPage& p) { changes += &p == page.get(); };
    MakeReportPage(130);
    TWPReport& r = *page->Report();
    ASSERT_EQ(r.PageCount(), 3);
    EXPECT_GE(changes, 1);
    const int32_t footer = MulDiv(6179, 8, 100);
    // Below the content of the last sheet, or at the bottom margin when asked.
    EXPECT_EQ(page->Footer()->GetCoord(1), 100 + 354 + r.LastPageContentHeight());
    r.piepagina_on_bottom = true;
    page->PlaceReportFooter();
    EXPECT_EQ(page->Footer()->GetCoord(1), 100 + 6816 - 283 - footer);
    EXPECT_EQ(page->Footer()->GetCoord(5), footer);
    // Showing another sheet lays the page out for it: the header only on the first.
    r.piepagina_on_bottom = false;
    r.SetCurrentPage(1);
    EXPECT_FALSE(page->Header()->Visible());
    EXPECT_FALSE(page->Footer()->Visible());
    r.SetCurrentPage(2);
    EXPECT_TRUE(page->Footer()->Visible());
    EXPECT_EQ(page->Footer()->GetCoord(1), 100 + 354 + r.LastPageContentHeight());
    r.SetCurrentPage(0);
    EXPECT_TRUE(page->Header()->Visible());
    EXPECT_EQ(r.HeaderHeight(), page->Header()->GetCoord(5));
    EXPECT_EQ(r.FooterHeight(), footer);
    // A disabled footer leaves the report no room for one.
    page->Footer()->SetEnabled(false);
    page->InvalidateAll();
    EXPECT_EQ(r.FooterHeight(), 0);
}

TEST_F(PageFixture, InvalidateAllRepaintsAtOnceAndMarksEveryObject) {
    page->SetPageKind(PK_GRAPHIC);
    Settle();
    for (TMetaobj* o : page->Objects())
        o->Dirty = false;
    int views = 0;
    page->OnViewChanged = [&](TWPPage&) { ++views; };
    page->AltezzaIntestazione = 20;
    page->InvalidateAll();
    EXPECT_FALSE(page->Busy());
    EXPECT_GT(views, 0);
    EXPECT_EQ(page->Header()->GetCoord(5), MulDiv(6179, 20, 100));
    for (TMetaobj* o : page->Objects())
        EXPECT_TRUE(o->Dirty) << o->ClassName();
}

TEST_F(PageFixture, AChangedObjectIsLaidOutByTheNextEnginePaint) {
    page->SetPageKind(PK_GRAPHIC);
    Settle();
    page->AltezzaIntestazione = 25;
    page->Header()->OnChange(page->Header()); // as the cell table reports a change
    EXPECT_TRUE(PaintPending(*page));
    EXPECT_EQ(page->Header()->GetCoord(5), MulDiv(6179, 15, 100));
    ProcessMessages();
    EXPECT_FALSE(PaintPending(*page));
    EXPECT_EQ(page->Header()->GetCoord(5), MulDiv(6179, 25, 100));
    EXPECT_EQ(page->Graph()->GetCoord(1), page->Header()->GetCoord(3));
}

TEST_F(PageFixture, TheDragRectangleIsTheObjectWithItsEdgeAtThePointerInsideThePage) {
    page->SetPageKind(PK_GRAPHIC);
    page->SetZoomPercent(100);
    page->InvalidateAll();
    const TIntestazione& h = *page->Header();
    page->PageMouseMove(0, 10, h.Top() + h.Height());
    page->PageMouseDown(mbLeft, ssLeft, 10, h.Top() + h.Height());
    page->PageMouseMove(ssLeft, 10, h.Top() + 300);
    ASSERT_TRUE(page->DragRect().has_value());
    EXPECT_EQ(*page->DragRect(), Bounds(h.Left(), h.Top(), h.Width(), 300));
    // The footer's rectangle keeps its lower edge; the pointer's edge stays on the page.
    page->PageMouseUp(mbLeft, 0, 10, h.Top() + 300);
    const TIntestazione& f = *page->Footer();
    page->PageMouseMove(0, 10, f.Top());
    ASSERT_EQ(page->DragTarget(), 6);
    page->PageMouseDown(mbLeft, ssLeft, 10, f.Top());
    page->PageMouseMove(ssLeft, 10, f.Top() + f.Height() + 50);
    EXPECT_EQ(page->DragRect()->Bottom, f.Top() + f.Height());
    EXPECT_LT(page->DragRect()->Top, page->DragRect()->Bottom);
    EXPECT_LE(page->DragRect()->Bottom, page->Height());
}

} // namespace
} // namespace vx
