#include "document/dlggraf.h"

#include "DocumentFixture.h"
#include "data/Settings.h"
#include "document/DocumentDialogs.h"
#include "document/DocumentFiles.h"
#include "document/Tform_var_rif.h"
#include "localisation/Strglobmod.h"
#include "localisation/mlLangDispatcher.h"
#include "platform/graphics/EnginePaint.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Streams.h"
#include "platform/system/Files.h"
#include "platform/ui/Button.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/RadioGroup.h"
#include "platform/ui/Shape.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/StringGrid.h"
#include "report/WPGraph.h"
#include "report/legenda.h"
#include "support/FormTestSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <functional>
#include <memory>
#include <string>

namespace vx::test {
namespace {

std::string GraphBytes(const TWPGraph& graph) {
    TMemoryStream s;
    graph.SaveToStream(s);
    return s.Bytes();
}

QPoint CellCentre(TStringGrid* grid, int col, int row) {
    const TRect r = grid->CellRect(col, row);
    return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
}

class GraphDialogTest : public DocumentFixture {
protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        BasePath = dir.Path();
        ForceDirectories(BasePath + "Configurazioni");
        CreateSTRGlobData();
        for (const char* name : {"/d/a.txt", "/d/b.txt", "/d/c.txt"})
            MakeTest(buffer, name, {"1"});
        buffer.GetProva(0).HeaderCells.Add("2,4#Lotto");
        page = MakePage(&buffer, "G");
        graph = page->Graph();
        ASSERT_NE(graph, nullptr);
        Tlegenda& legend = graph->Legend();
        legend.Commenti.Add("c1");
        legend.Align = 2;
        legend.Visible = true;
        legend.Numrows = 2;
        legend.showfile = false;
        legend.testocomune = "Run &<*;2;1(x)>";
        legend.Border.Visible = false;
        legend.Border.Width = 2;
        legend.Border.Color = 0xFF0000;
        graph->Globalgrid = true;
        graph->Globtacvert = 40;
        graph->Filigrana.SetSize(4, 4, 0x123456);
        graph->Filigrana_Status = 1;
        // The page lays out its graph at its first paint; the dialog's loop would run it.
        ProcessMessages();
    }
    void TearDown() override {
        page.reset();
        STRGlobData->mlLangDispatcher1->SetActiveLanguage(1);
        FreeSTRGlobData();
        BasePath.clear();
        DocumentFixture::TearDown();
    }

    // The document window's sequence: fill, the dialog played by `script`, write back on OK.
    bool Edit(const std::function<void(Tboxdlg_grafico*)>& script) {
        scripts.On<Tboxdlg_grafico>(script);
        TGraphDialogExchange x;
        FillGraphExchange(*graph, &buffer, x);
        if (!EditGraphDialog(x))
            return false;
        ApplyGraphExchange(x, *graph);
        return true;
    }

    TempDir dir;
    ScopedUi scoped;
    ScriptedUiServices& ui = scoped.ui;
    ModalScripts scripts{ui};
    TDatabuffer buffer;
    std::unique_ptr<TWPPage> page;
    TWPGraph* graph = nullptr;
};

TEST_F(GraphDialogTest, ShowsTheGraphAndWritesBackOnlyWhatWasEdited) {
    std::string expected;
    {
        TWPGraph copy(nullptr, &buffer);
        Tboxdlg_grafico::CopyGraph(*graph, copy);
        copy.Legend().Commenti.Add("");
        copy.Legend().Commenti.Add("c3");
        expected = GraphBytes(copy);
    }
    ASSERT_TRUE(Edit([this](Tboxdlg_grafico* d) {
        EXPECT_EQ(d->Caption(), "Proprietà grafico");
        TStringGrid* g = d->Grid1;
        EXPECT_EQ(g->RowCount(), 4);
        EXPECT_EQ(g->Cells(1, 0), "Commenti");
        for (int r = 1; r <= 3; ++r)
            EXPECT_EQ(g->Cells(0, r), std::to_string(r));
        EXPECT_EQ(g->Cells(1, 1), "c1");
        EXPECT_EQ(g->Cells(1, 2), "");
        EXPECT_EQ(g->Cells(1, 3), "");
        EXPECT_FALSE(d->SpeedButton4->Down());
        EXPECT_FALSE(d->SpeedButton10->Down());
        EXPECT_TRUE(d->SpeedButton11->Down());
        EXPECT_EQ(d->SpinEdit1->Value(), 2);
        EXPECT_TRUE(d->CheckBox2->Checked());
        EXPECT_FALSE(d->CheckBox3->Checked());
        EXPECT_EQ(d->Edit1->Text(), "Run &<*;2;1(x)>");
        EXPECT_TRUE(d->CheckBox1->Checked());
        EXPECT_EQ(d->SpinEdit2->Value(), 40);
        EXPECT_EQ(d->Image1->Picture().Width(), 4);
        EXPECT_EQ(d->RadioGroup2->ItemIndex(), 1);
        EXPECT_EQ(d->WorkingGraph()->Legend().testocomune, "Run &<*;2;1(x)>");

        scripts.On<Tborderform>([](Tborderform* b) {
            EXPECT_EQ(b->Caption(), "Definisci Bordo");
            EXPECT_FALSE(b->CheckBox1->Checked());
            EXPECT_EQ(b->Shape1->BrushColor(), 0xFF0000);
            EXPECT_EQ(b->SpinEdit1->Value(), 2);
            b->CancelBtn->click();
        });
        d->BitBtn3->click();

        g->setFocus();
        g->SetCol(1);
        g->SetRow(3);
        QTest::keyClicks(g, "c");
        QLineEdit* editor = g->viewport()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        QTest::keyClicks(editor, "3");
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
        EXPECT_EQ(g->Cells(1, 3), "c3");
        d->OKBtn->click();
    }));
    EXPECT_EQ(graph->Legend().Commenti.Items(), (std::vector<std::string>{"c1", "", "c3"}));
    EXPECT_EQ(GraphBytes(*graph), expected);
}

TEST_F(GraphDialogTest, CancelChangesNothingEvenAfterAGraphFileWasOpened) {
    TWPGraph other(nullptr, &buffer);
    other.Globtacvert = 60;
    const std::string file = BasePath + "Configurazioni/o.CGF";
    SaveGraphFile(file, other);
    const std::string before = GraphBytes(*graph);
    ui.OpenAnswers = {{file}};
    EXPECT_FALSE(Edit([](Tboxdlg_grafico* d) {
        d->BitBtn5->click();
        EXPECT_EQ(d->SpinEdit2->Value(), 60);
        d->SpinEdit1->SetValue(7);
        d->CancelBtn->click();
    }));
    EXPECT_EQ(GraphBytes(*graph), before);
}

TEST_F(GraphDialogTest, CommentsBeyondTheTestsStay) {
    graph->Legend().Commenti.Clear();
    for (const char* c : {"a", "b", "c", "d"})
        graph->Legend().Commenti.Add(c);
    TDatabuffer two;
    MakeTest(two, "/d/a.txt", {"1"});
    MakeTest(two, "/d/b.txt", {"1"});
    scripts.On<Tboxdlg_grafico>([](Tboxdlg_grafico* d) {
        EXPECT_EQ(d->Grid1->RowCount(), 3);
        d->OKBtn->click();
    });
    TGraphDialogExchange x;
    FillGraphExchange(*graph, &two, x);
    ASSERT_TRUE(EditGraphDialog(x));
    ApplyGraphExchange(x, *graph);
    EXPECT_EQ(graph->Legend().Commenti.Items(), (std::vector<std::string>{"a", "b", "c", "d"}));
}

TEST_F(GraphDialogTest, BorderOfTheGraph) {
    ASSERT_TRUE(Edit([this](Tboxdlg_grafico* d) {
        scripts.On<Tborderform>([this](Tborderform* b) {
            ui.ColorAnswers = {0x00FF00};
            QTest::mouseClick(b->Shape1, Qt::LeftButton);
            EXPECT_EQ(b->Shape1->BrushColor(), 0x00FF00);
            b->SpinEdit1->SetValue(5);
            b->OKBtn->click();
        });
        d->BitBtn4->click();
        d->OKBtn->click();
    }));
    EXPECT_EQ(graph->border.Color, 0x00FF00);
    EXPECT_EQ(graph->border.Width, 5);
}

TEST_F(GraphDialogTest, HeaderCellsDropOnTheCommonRow) {
    ASSERT_TRUE(Edit([](Tboxdlg_grafico* d) {
        Tform_var_rif* window = d->TestWindow();
        ASSERT_NE(window, nullptr);
        d->SpeedButton18->Click();
        EXPECT_TRUE(window->isVisible());
        TStringGrid* grid = window->Grid1;
        grid->SetCol(2);
        grid->SetRow(4);
        RecordedDrag drag;
        QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, CellCentre(grid, 2, 4));
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, CellCentre(grid, 2, 4));
        ASSERT_EQ(drag.Source(), grid);
        d->Edit1->SetText("");
        EXPECT_TRUE(DropOn(d->Edit1, {5, 5}, drag.Data()));
        EXPECT_EQ(d->Edit1->Text(), "&<*;2;4(Lotto)>");
        d->Edit1->SetText("Run ");
        DropOn(d->Edit1, {5, 5}, drag.Data());
        EXPECT_EQ(d->Edit1->Text(), "Run &<*;2;4(Lotto)>");
        // The row keeps 255 characters: a drop past them is refused.
        const QString full(250, u'x');
        d->Edit1->SetText(full);
        DropOn(d->Edit1, {5, 5}, drag.Data());
        EXPECT_EQ(d->Edit1->Text(), full);
        d->Edit1->SetText("Run &<*;2;4(Lotto)>");
        d->OKBtn->click();
    }));
    EXPECT_EQ(graph->Legend().testocomune, "Run &<*;2;4(Lotto)>");
}

TEST_F(GraphDialogTest, Watermark) {
    ASSERT_TRUE(Edit([](Tboxdlg_grafico* d) {
        d->BitBtn2->click();
        d->OKBtn->click();
    }));
    EXPECT_TRUE(graph->Filigrana.Empty());

    Bitmap picture;
    picture.SetSize(3, 2, 0x0000FF);
    const std::string bmp = BasePath + "w.bmp";
    picture.SaveToFile(bmp);
    const std::string bad = BasePath + "bad.bmp";
    WriteFile(bad, "not a picture");
    ui.PictureAnswers = {bad, bmp};
    ASSERT_TRUE(Edit([this](Tboxdlg_grafico* d) {
        d->BitBtn1->click();
        EXPECT_FALSE(ui.Messages.empty()) << "a bad file says so";
        EXPECT_TRUE(d->Image1->Picture().Empty()) << "and the picture stays";
        d->BitBtn1->click();
        d->OKBtn->click();
    }));
    EXPECT_EQ(graph->Filigrana.SaveToBytes(), ReadFile(bmp));
}

TEST_F(GraphDialogTest, GraphFiles) {
    const std::string before = GraphBytes(*graph);
    ui.SaveAnswers = {BasePath + "Configurazioni/g1"};
    ASSERT_TRUE(Edit([this, before](Tboxdlg_grafico* d) {
                    d->SpinEdit2->SetValue(50);
                    d->BitBtn6->click();
                    EXPECT_EQ(GraphBytes(*graph), before) << "the page graph waits for OK";
                    d->CancelBtn->click();
                }) == false);
    ASSERT_EQ(ui.FileRequests.size(), 1u);
    EXPECT_EQ(ui.FileRequests[0].Request.Filter, "Files Grafico(*.CGF)|*.CGF");
    TWPGraph saved(nullptr, &buffer);
    LoadGraphFile(BasePath + "Configurazioni/g1.CGF", saved);
    EXPECT_EQ(saved.Globtacvert, 50);
    EXPECT_EQ(graph->Globtacvert, 40);

    TWPGraph other(nullptr, &buffer);
    other.Globtacvert = 60;
    other.Legend().Numrows = 3;
    other.SetZone(5, 700);
    other.XAxis().Maximum = 7;
    const std::string file = BasePath + "Configurazioni/o.CGF";
    SaveGraphFile(file, other);
    const std::string broken = BasePath + "Configurazioni/broken.CGF";
    WriteFile(broken, ReadFile(file).substr(0, 40));
    ui.OpenAnswers = {{broken}, {file}};
    ASSERT_TRUE(Edit([this](Tboxdlg_grafico* d) {
        d->BitBtn5->click();
        EXPECT_NE(ui.Messages.back().Text.find("broken.CGF"), std::string::npos);
        EXPECT_EQ(d->SpinEdit2->Value(), 40) << "a bad file changes nothing";
        d->BitBtn5->click();
        EXPECT_EQ(ui.FileRequests.back().Request.Filter, "Files Grafico (*.CGF)|*.CGF");
        EXPECT_EQ(d->SpinEdit2->Value(), 60);
        EXPECT_EQ(d->SpinEdit1->Value(), 3);
        d->OKBtn->click();
    }));
    EXPECT_EQ(graph->Globtacvert, 60);
    EXPECT_EQ(graph->GetZone(5), 700);
    EXPECT_EQ(graph->XAxis().Maximum, 7);
}

TEST_F(GraphDialogTest, TextsInEveryLanguage) {
    for (const auto& [language, comments] : {std::pair{2, "Comments"}, std::pair{3, "Kommentar"}}) {
        STRGlobData->mlLangDispatcher1->SetActiveLanguage(language);
        std::unique_ptr<Tboxdlg_grafico> d(CreateForm<Tboxdlg_grafico>());
        EXPECT_EQ(d->Grid1->Cells(1, 0), comments);
    }
}

} // namespace
} // namespace vx::test
