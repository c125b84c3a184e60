#include "app/Demo.h"

#include "AppTestSupport.h"
#include "data/Databuff.h"
#include "document/Document.h"
#include "document/DocumentFiles.h"
#include "platform/graphics/EnginePaint.h"
#include "platform/graphics/Printer.h"
#include "platform/runtime/ComponentStream.h"
#include "platform/runtime/Streams.h"
#include "platform/system/Files.h"
#include "report/Asse.h"
#include "report/DocBox.h"
#include "report/Intestazione.h"
#include "report/WPGraph.h"
#include "report/WPPage.h"
#include "report/WPSection.h"
#include "report/view/PageView.h"
#include "report/wpreport.h"

#include <QImage>

#include <functional>

namespace vx {
namespace {

class DemoTest : public test::AppWindowTest {
protected:
    void SetUp() override {
        AppWindowTest::SetUp();
        test::InstallVirtualPrinter();
        base = dir.Path();
        ForceDirectories(base + "Prove");
        for (const char* test : {"Bench_01.txt", "Bench_02.txt"})
            ASSERT_TRUE(CopyFile(std::string(VX_SOURCE_DIR "/samples/Prove/") + test,
                                 base + "Prove/" + test, false));
    }
    void TearDown() override {
        ImpostazioniRec.Clear();
        AppWindowTest::TearDown();
    }
    std::string base;
};

TEST_F(DemoTest, SettingsAreTheDemosWithTheServerOnItsPort) {
    MakeDemo(base);
    const std::string bytes = test::ReadFile(base + "System/impostazioni.set");
    ASSERT_EQ(bytes.size(), TImpostazioniRec::kSize);
    const std::string pdf = base + "System/VornixPDF.pdf";
    std::string expected(TImpostazioniRec::kSize, '\0');
    expected[0] = 1;  // load type: the names row from the test's first line
    expected[10] = 1; // server on
    expected.replace(12, 4, "\x06\xB8\x00\x00", 4); // 47110
    expected.replace(16, 11, "\x0AVornix PDF", 11);
    expected[117] = static_cast<char>(pdf.size());
    expected.replace(118, pdf.size(), pdf);
    expected[368] = 1;
    expected[369] = 1; // close after a remote print
    EXPECT_EQ(test::HexBytes(bytes), test::HexBytes(expected));
}

TEST_F(DemoTest, ProjectDrawsForceOverTravelAndTabulatesTheTests) {
    MakeDemo(base);
    const std::string project = base + "Configurazioni/Demo.CPF";
    EXPECT_EQ(test::ReadFile(base + "System/defcfg.set"), test::ReadFile(project));

    TDatabuffer buffer;
    TProjectContent read;
    ReadFileChecked(project, [&](TStream& s) { read = ReadProject(s, &buffer, project); });
    ASSERT_EQ(read.Pages.size(), 2u);
    TWPPage& graphPage = *read.Pages[0];
    EXPECT_EQ(graphPage.PAGEKIND(), PK_GRAPHIC);
    TWPGraph& graph = *graphPage.Graph();
    ASSERT_EQ(graph.XAxis().Channels().Count(), 1);
    EXPECT_EQ(graph.XAxis().Channels().GetItem(0), 2);
    const TAsse& force = *graph.LeftSide().GetAxisByIndex(0);
    ASSERT_EQ(force.Channels().Count(), 1);
    EXPECT_EQ(force.Channels().GetItem(0), 1);
    // No empty box on the right: the temperature has its axis there.
    ASSERT_EQ(graph.RightSide().AxisCount(), 1);
    const TAsse& temperature = *graph.RightSide().GetAxisByIndex(0);
    ASSERT_EQ(temperature.Channels().Count(), 1);
    EXPECT_EQ(temperature.Channels().GetItem(0), 3);
    TIntestazione& header = *graphPage.Header();
    ASSERT_EQ(header.ColumnCount(), 2);
    ASSERT_EQ(header.RowCount(), 2);
    EXPECT_EQ(header.GetCell(0, 0)->text.Text(), "Banco &<1;3;1(?)>\r\n");

    TWPPage& reportPage = *read.Pages[1];
    EXPECT_EQ(reportPage.PAGEKIND(), PK_REPORT);
    ASSERT_EQ(reportPage.Report()->GetChannelCount(0), 4);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(reportPage.Report()->GetChannel(0, c)->Canale, c);
    // The columns share the page's width.
    EXPECT_EQ(reportPage.Report()->columnsspace, cs_omogeneo);
    ASSERT_EQ(read.Labels.Count(), 4);
    EXPECT_EQ(read.Labels[1], "Forza\xA7N");
}

TEST_F(DemoTest, ReportDefinitionIsTheReportPages) {
    MakeDemo(base);
    const std::string project = base + "Configurazioni/Demo.CPF";
    TDatabuffer buffer;
    TProjectContent read;
    ReadFileChecked(project, [&](TStream& s) { read = ReadProject(s, &buffer, project); });
    ASSERT_EQ(read.Pages.size(), 2u);
    const std::string file = base + "Configurazioni/Demo.CRF";
    EXPECT_EQ(test::ReadFile(file).substr(0, 17), "\x10Rep_Version_0.80");
    const std::unique_ptr<TWPReport> definition = LoadReportDefinitionFile(file);
    EXPECT_EQ(definition->Name(), "");
    ASSERT_EQ(definition->GetChannelCount(0), 4);
    EXPECT_EQ(ComponentToBytes(*definition), ComponentToBytes(*read.Pages[1]->Report()));
}

TEST_F(DemoTest, DocumentHoldsBothTestsUnderTheProject) {
    MakeDemo(base);
    const std::string doc = base + "Prove/Demo.VRX";
    TDatabuffer buffer;
    TPageList pages;
    ReadFileChecked(doc, [&](TStream& s) {
        EXPECT_EQ(ReadDocumentHeader(s, buffer, doc).Version, 82);
        pages = ReadPages(s, &buffer);
    });
    ASSERT_EQ(buffer.ProvaCount(), 2);
    for (int t = 0; t < 2; ++t) {
        const TdataProva& test = buffer.GetProva(t);
        // The graph's channel numbers name the columns they were meant for.
        ASSERT_EQ(test.ChannelCount(), 4);
        EXPECT_EQ(test.GetChannelLabel(1), "Forza[N]");
        EXPECT_EQ(test.GetChannelLabel(2), "Corsa[mm]");
        EXPECT_GE(test.GetChannel(0).Count(), 200);
    }
    ASSERT_EQ(pages.size(), 2u);
    // The header cells are filled from the first test's header rows and values.
    TIntestazione& header = *pages[0]->Header();
    const std::pair<int, int> cells[] = {{0, 0}, {1, 0}, {0, 1}};
    const char* expected[] = {"Banco B7", "Operatore Op. Rossi", "Lotto L-042"};
    for (int i = 0; i < 3; ++i) {
        const auto [col, row] = cells[i];
        EXPECT_EQ(header.ExpandCellText(header.GetCell(col, row)->text[0]), expected[i]);
    }
    EXPECT_EQ(header.ExpandCellText(header.GetCell(1, 1)->text[0]).rfind("Forza max ", 0), 0u);
}

// The margins of a page record read as stored but drawn bounded: a file that asks for a
// billion millimetres opens, shows its page with margins of at most the dialog's 500 mm, and
// is saved again with the margins as they were read.
TEST_F(DemoTest, HugeMarginsOpenBoundedAndAreSavedAsRead) {
    MakeDemo(base);
    const std::string original = test::ReadFile(base + "Prove/Demo.VRX");
    TDatabuffer buffer;
    TPageList pages;
    ReadFileChecked(base + "Prove/Demo.VRX", [&](TStream& s) {
        ReadDocumentHeader(s, buffer, "Demo.VRX");
        pages = ReadPages(s, &buffer);
    });
    TMemoryStream record;
    pages[0]->WritePageRecord(record);
    const size_t at = original.find(record.Bytes());
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(original.find(record.Bytes(), at + 1), std::string::npos);
    std::string planted = original;
    const size_t margins = at + 2 + 4; // after the version and the zoom
    for (int m = 0; m < 4; ++m)
        planted.replace(margins + 4 * m, 4, std::string("\0\0\0\x40", 4));
    const std::string path = base + "Prove/Margins.VRX";
    test::WriteFile(path, planted);

    std::unique_ptr<TDocForm> doc(CreateForm<TDocForm>());
    doc->resize(1000, 780);
    ReadFileChecked(path, [&](TStream& s) {
        ReadDocumentHeader(s, *doc->Databuffer, path);
        doc->OpenDocumentStream(s, path);
    });
    doc->show();
    ProcessMessages();
    TWPPage& page = *doc->Pages()[0];
    EXPECT_EQ(page.MarginLeft, 0x40000000);
    const TDeviceCaps& caps = Printer().Caps();
    const int32_t most[] = {UnitsToPixels(caps.LogPixelsX, UM_mm, 500),
                            UnitsToPixels(caps.LogPixelsY, UM_mm, 500)};
    EXPECT_EQ(page.MarginLeftPixels(), most[0]);
    EXPECT_EQ(page.MarginRightPixels(), most[0]);
    EXPECT_EQ(page.MarginTopPixels(), most[1]);
    EXPECT_EQ(page.MarginBottomPixels(), most[1]);
    EXPECT_TRUE(Messages().empty());

    const std::string again = base + "Prove/Again.VRX";
    doc->SaveDocumentToFile(again);
    const std::string saved = test::ReadFile(again);
    ASSERT_GE(saved.size(), margins + 16);
    EXPECT_EQ(test::HexBytes(saved.substr(margins, 16)),
              test::HexBytes(planted.substr(margins, 16)));
}

// Whether a line of the picture, along x (horizontal) or y from `from` to `to`, is dark over
// the middle half of its length within three pixels inwards (`inward`: +1 or -1) of `edge`.
bool DarkEdge(const QImage& image, bool horizontal, int edge, int inward, int from, int to) {
    for (int d = 0; d < 3; ++d) {
        const int at = edge + inward * d;
        int dark = 0, total = 0;
        for (int i = from + (to - from) / 4; i <= to - (to - from) / 4; ++i, ++total) {
            const QPoint p = horizontal ? QPoint(i, at) : QPoint(at, i);
            if (image.rect().contains(p) && qGray(image.pixel(p)) < 100)
                ++dark;
        }
        if (total > 0 && dark * 10 >= total * 9)
            return true;
    }
    return false;
}

TEST_F(DemoTest, GraphFrameIsWholeAtEveryZoom) {
    MakeDemo(base);
    const std::string path = base + "Prove/Demo.VRX";
    std::unique_ptr<TDocForm> doc(CreateForm<TDocForm>());
    {
        TFileStream stream(path, fmOpenRead);
        ReadDocumentHeader(stream, *doc->Databuffer, path);
        doc->OpenDocumentStream(stream, path);
    }
    doc->resize(1000, 760);
    doc->show();
    ProcessMessages();
    TPageView* view = doc->findChild<TPageView*>();
    ASSERT_NE(view, nullptr);
    struct Zoom {
        const char* Name;
        std::function<void()> Apply;
    };
    std::vector<Zoom> zooms = {{"fit page", [&] { doc->DocBox->ZoomToFit(); }},
                               {"fit width", [&] { doc->DocBox->ZoomToWidth(); }}};
    for (uint32_t percent : {25u, 50u, 75u, 100u, 150u, 200u})
        zooms.push_back({"percent", [&doc, percent] { doc->DocBox->SetZoomPercent(percent); }});
    for (const Zoom& zoom : zooms) {
        zoom.Apply();
        ProcessMessages();
        const TWPPage& page = *doc->DocBox->ShownPage();
        const TWPGraph& graph = *page.Graph();
        const QImage image = view->grab().toImage();
        const int left = graph.Left(), top = graph.Top();
        const int right = left + graph.Width() - 1, bottom = top + graph.Height() - 1;
        const std::string at =
            std::string(zoom.Name) + " " + std::to_string(doc->DocBox->GetZoomPercent()) + " %";
        EXPECT_TRUE(DarkEdge(image, true, top, 1, left, right)) << "top edge at " << at;
        EXPECT_TRUE(DarkEdge(image, true, bottom, -1, left, right)) << "bottom edge at " << at;
        EXPECT_TRUE(DarkEdge(image, false, left, 1, top, bottom)) << "left edge at " << at;
        EXPECT_TRUE(DarkEdge(image, false, right, -1, top, bottom)) << "right edge at " << at;
    }
}

} // namespace
} // namespace vx
