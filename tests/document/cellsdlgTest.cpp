#include "document/cellsdlg.h"

#include "DocumentFixture.h"
#include "PaletteHooks.h"
#include "data/Settings.h"
#include "document/TF_inschnval.h"
#include "document/Tform_var_rif.h"
#include "localisation/Strglobmod.h"
#include "localisation/mlLangDispatcher.h"
#include "platform/runtime/ComponentStream.h"
#include "platform/runtime/Cp1252.h"
#include "platform/system/Files.h"
#include "platform/ui/Button.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Image.h"
#include "platform/ui/Memo.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/RadioGroup.h"
#include "platform/ui/Shape.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/StringGrid.h"
#include "platform/ui/TabSet.h"
#include "report/EditorHooks.h"
#include "report/Intestazione.h"
#include "support/FormTestSupport.h"

#include <QApplication>
#include <QPointer>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

namespace vx::test {
namespace {

void FreeDeferred() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void Pick(TComboBox* box, const QString& text) {
    const int index = box->Items().indexOf(text);
    ASSERT_GE(index, 0) << text.toStdString();
    box->setCurrentIndex(index);
    emit box->activated(index);
}

void Press(QWidget* w) {
    QTest::mousePress(w, Qt::LeftButton, {}, w->rect().center());
    QTest::mouseRelease(w, Qt::LeftButton, {}, w->rect().center());
}

QPoint CellCentre(TStringGrid* grid, int col, int row) {
    const TRect r = grid->CellRect(col, row);
    return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
}

std::vector<std::string> Lines(const TCella& cell) {
    return cell.text.Items();
}

class CellPaletteTest : public DocumentFixture {
protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        BasePath = dir.Path();
        ForceDirectories(BasePath + "Configurazioni");
        CreateSTRGlobData();
        SetEditorHooks(&hooks);
        TdataProva& one = buffer.AddProva(3);
        one.FileName = "/d/Bench_01.txt";
        for (const char* name : {"Speed", "Type"})
            one.ChannelNames.Add(name);
        for (const char* unit : {"rpm", "-"})
            one.Units.Add(unit);
        for (const char* v : {"X", "X"}) {
            one.GetChannel(0).AddText("1");
            one.GetChannel(1).AddText(v);
        }
        TdataProva& two = buffer.AddProva(3);
        two.FileName = "/d/Bench_02.txt";
        two.ChannelNames.Assign(one.ChannelNames);
        two.Units.Assign(one.Units);
        for (const char* v : {"A", "B", "A", "C"}) {
            two.GetChannel(0).AddText("2");
            two.GetChannel(1).AddText(v);
        }
        two.HeaderCells.Add("1,1#3");
        two.HeaderCells.Add("3,2#Data");
        buffer.FileNames.Add(one.FileName);
        buffer.FileNames.Add(two.FileName);
        page = MakePage(&buffer, "P1");
        table = page->Header();
        table->SwitchCellEditor();
        palette = CellPaletteOf(*table);
        ASSERT_NE(palette, nullptr);
    }
    void TearDown() override {
        page.reset();
        FreeDeferred();
        SetEditorHooks(nullptr);
        STRGlobData->mlLangDispatcher1->SetActiveLanguage(1);
        FreeSTRGlobData();
        BasePath.clear();
        DocumentFixture::TearDown();
    }

    void Select(int32_t left, int32_t top, int32_t right, int32_t bottom) {
        table->Selection = {left, top, right, bottom};
        palette->LoadFromCells();
    }
    TCella& Cell(int32_t column, int32_t row) { return *table->GetCell(column, row); }
    std::vector<float> Widths(int32_t row = 0) {
        std::vector<float> w;
        for (int32_t c = 0; c < table->ColumnCount(); ++c)
            w.push_back(Cell(c, row).DIMW);
        return w;
    }
    std::vector<float> Heights() {
        std::vector<float> h;
        for (int32_t r = 0; r < table->RowCount(); ++r)
            h.push_back(Cell(0, r).DIMH);
        return h;
    }
    void SetWidths(const std::vector<float>& widths) {
        for (int32_t r = 0; r < table->RowCount(); ++r)
            for (int32_t c = 0; c < table->ColumnCount(); ++c)
                Cell(c, r).DIMW = widths[c];
    }
    std::string LastMessage() const {
        return ui.Messages.empty() ? std::string() : ui.Messages.back().Text;
    }
    std::string Bytes() const { return ComponentToBytes(*table); }

    TempDir dir;
    ScopedUi scoped;
    ScriptedUiServices& ui = scoped.ui;
    PaletteHooks hooks;
    TDatabuffer buffer;
    std::unique_ptr<TWPPage> page;
    TIntestazione* table = nullptr;
    Tcellsdlg_form* palette = nullptr;
};

TEST_F(CellPaletteTest, OpensOnceAtTheCornerAndEndsWithEditMode) {
    EXPECT_TRUE(table->EditMode());
    EXPECT_FALSE(table->BorderSizing);
    EXPECT_EQ(palette->pos(), QPoint(0, 0));
    EXPECT_EQ(palette->PageControl1->ActivePageIndex(), 1);
    EXPECT_EQ(palette->gridcolcount->Value(), 5);
    EXPECT_EQ(palette->gridrowcount->Value(), 5);
    EXPECT_EQ(palette->Caption(), "Definisci Celle");
    EXPECT_TRUE(palette->isVisible());

    palette->close();
    EXPECT_TRUE(palette->isVisible()) << "only the program closes it";

    // The footer has its own palette; the header's stays as it is.
    page->Footer()->SwitchCellEditor();
    Tcellsdlg_form* footer = CellPaletteOf(*page->Footer());
    ASSERT_NE(footer, nullptr);
    EXPECT_NE(footer, palette);
    EXPECT_EQ(CellPaletteOf(*table), palette);

    QPointer<Tcellsdlg_form> alive(palette);
    QPointer<Tform_var_rif> window(palette->TestWindow());
    ASSERT_TRUE(window);
    palette->SpeedButton8->Click();
    EXPECT_FALSE(table->EditMode());
    EXPECT_EQ(CellPaletteOf(*table), nullptr);
    FreeDeferred();
    EXPECT_FALSE(alive);
    EXPECT_FALSE(window);

    // Freeing the page ends the footer's palette; it touches nothing afterwards.
    QPointer<Tcellsdlg_form> second(footer);
    page.reset();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->Table(), nullptr);
    EXPECT_EQ(second->TestWindow()->DataBuffer(), nullptr);
    second->SpeedButton2->Click();
    second->SpeedButton23->Click();
    FreeDeferred();
    EXPECT_FALSE(second);
}

TEST_F(CellPaletteTest, FillsFromOneCellAndUpdatesNothingUnchanged) {
    TCella& c = Cell(2, 1);
    c.text.Add("Tester:");
    c.text.Add("&<1;2;4(Op)>");
    c.WAlign = 2;
    c.HAlign = 24;
    c.Fontorientation = 270;
    c.Border = BorderBit(BS_ALL);
    c.Pen.Color = 0x0000FF;
    c.Pen.Width = 4;
    c.Brush.Color = 0x00FF00;
    c.Bitmap_visualization = 1;
    c.jailrect = false;
    c.Bitmapscale = 1.5;
    c.Font.SetName("Courier New");
    c.bitmap.SetSize(3, 2, 0x112233);
    Cell(1, 1).bitmap.SetSize(5, 4, 0x445566);
    Select(2, 1, 2, 1);
    EXPECT_EQ(palette->Memo1->Lines(), (QStringList{"Tester:", "&<1;2;4(Op)>"}));
    EXPECT_TRUE(palette->SpeedButton5->Down());
    EXPECT_TRUE(palette->SpeedButton10->Down());
    EXPECT_EQ(palette->RadioGroup1->ItemIndex(), 1);
    EXPECT_TRUE(palette->grigliaon->Checked());
    EXPECT_EQ(palette->COLBORDO->BrushColor(), 0x0000FF);
    EXPECT_EQ(palette->ColSfondo->BrushColor(), 0x00FF00);
    EXPECT_EQ(palette->ComboBox2->Text(), "4");
    EXPECT_EQ(palette->RadioGroup2->ItemIndex(), 1);
    EXPECT_FALSE(palette->CheckBox4->Checked());
    EXPECT_EQ(palette->Edit1->Text(), "1.50");
    EXPECT_EQ(palette->MemoFont().Name(), "Courier New");
    EXPECT_EQ(palette->Image1->Picture().Width(), 3);
    for (TShape* s : {palette->Shape2, palette->Shape3, palette->Shape4, palette->Shape5})
        EXPECT_EQ(s->BrushColor(), clBtnFace);
    EXPECT_EQ(palette->Changes(), 0u);

    const std::string before = Bytes();
    palette->SpeedButton2->Click();
    EXPECT_EQ(Bytes(), before);

    // Right to left: the selection is taken normalised.
    Select(2, 1, 1, 1);
    EXPECT_TRUE(palette->Memo1->Lines().isEmpty());
    EXPECT_FALSE(palette->Memo1->isEnabled());
    EXPECT_FALSE(palette->Memo2->isEnabled());
    EXPECT_EQ(palette->Image1->Picture().Width(), 5);

    Select(-1, -1, -1, -1);
    EXPECT_FALSE(palette->Memo1->isEnabled());
    palette->SpeedButton2->Click();
    EXPECT_EQ(Bytes(), before);
}

TEST_F(CellPaletteTest, UpdateWritesOnlyWhatChanged) {
    Cell(1, 0).WAlign = 2;
    Cell(0, 0).text.Add("a");
    Select(0, 0, 1, 0);
    ui.ColorAnswers.push_back(0x00FFFF);
    Press(palette->ColSfondo);
    EXPECT_EQ(palette->ColSfondo->BrushColor(), 0x00FFFF);
    palette->SpeedButton35->Click();
    palette->SpeedButton2->Click();
    for (int32_t col : {0, 1})
        EXPECT_EQ(Cell(col, 0).Brush.Color, 0x00FFFF);
    EXPECT_EQ(Cell(0, 0).WAlign, 0);
    EXPECT_EQ(Cell(1, 0).WAlign, 2);
    EXPECT_EQ(Lines(Cell(0, 0)), std::vector<std::string>{"a"});
    EXPECT_TRUE(Cell(1, 0).text.Empty());
    EXPECT_EQ(Cell(2, 0).Brush.Color, clWhite);

    Select(3, 3, 3, 3);
    QTest::keyClicks(palette->Memo1, "Lotto");
    palette->SpeedButton2->Click();
    EXPECT_EQ(Lines(Cell(3, 3)), std::vector<std::string>{"Lotto"});
    palette->Memo1->SetLines({"by code"});
    palette->SpeedButton2->Click();
    EXPECT_EQ(Lines(Cell(3, 3)), std::vector<std::string>{"Lotto"});

    // A scale that is no number stops the update before any cell.
    palette->Edit1->setFocus();
    palette->Edit1->selectAll();
    QTest::keyClicks(palette->Edit1, "abc");
    ui.ColorAnswers.push_back(0x0000FF);
    Press(palette->ColSfondo);
    const std::string before = Bytes();
    palette->SpeedButton2->Click();
    EXPECT_EQ(LastMessage(), "'abc' is not a valid floating point value");
    EXPECT_EQ(Bytes(), before);
    EXPECT_NE(palette->Changes() & Tcellsdlg_form::chScale, 0u);
    QTest::keyClicks(palette->Edit1, "\b\b\b2.5");
    palette->SpeedButton2->Click();
    EXPECT_EQ(Cell(3, 3).Bitmapscale, 2.5);
    EXPECT_EQ(Cell(3, 3).Brush.Color, 0x0000FF);
}

TEST_F(CellPaletteTest, SideShapesSetTheEdgesOfTheSelection) {
    Cell(1, 1).Border = BorderBit(BS_ALL);
    Select(1, 1, 2, 2);
    Press(palette->Shape2);
    Press(palette->Shape4);
    Press(palette->Shape4);
    EXPECT_EQ(palette->Shape2->BrushColor(), clBlack);
    EXPECT_EQ(palette->Shape4->BrushColor(), clWhite);
    Pick(palette->ComboBox2, "3");
    const std::string cell22 = ComponentToBytes(Cell(2, 2));
    palette->SpeedButton2->Click();
    EXPECT_EQ(Cell(1, 1).Border, BorderBit(BS_left));
    EXPECT_EQ(Cell(1, 1).BorderWidth, (std::array<int32_t, 4>{3, 3, 1, 1}));
    EXPECT_EQ(Cell(2, 1).Border, BorderBit(BS_None));
    EXPECT_EQ(Cell(2, 1).BorderWidth, (std::array<int32_t, 4>{1, 3, 1, 1}));
    EXPECT_EQ(Cell(1, 2).Border, 3u);
    EXPECT_EQ(Cell(1, 2).BorderWidth, (std::array<int32_t, 4>{3, 1, 1, 1}));
    EXPECT_EQ(ComponentToBytes(Cell(2, 2)), cell22);
    Press(palette->Shape4);
    EXPECT_EQ(palette->Shape4->BrushColor(), clBtnFace);

    Press(palette->grigliaon);
    EXPECT_TRUE(palette->grigliaon->Checked());
    Pick(palette->ComboBox2, "8");
    palette->SpeedButton2->Click();
    for (int32_t r : {1, 2})
        for (int32_t c : {1, 2}) {
            EXPECT_EQ(Cell(c, r).Border, 32u);
            EXPECT_EQ(Cell(c, r).BorderWidth, (std::array<int32_t, 4>{8, 8, 8, 8}));
        }
    Press(palette->CheckBox3);
    EXPECT_FALSE(palette->grigliaon->Checked());
    for (TShape* s : {palette->Shape2, palette->Shape3, palette->Shape4, palette->Shape5})
        EXPECT_EQ(s->BrushColor(), clWhite);
    palette->SpeedButton2->Click();
    EXPECT_EQ(Cell(2, 2).Border, BorderBit(BS_None));
    EXPECT_EQ(Cell(2, 2).BorderWidth, (std::array<int32_t, 4>{8, 8, 8, 8}));

    // "Preserva bordi" after a side click: a width change then touches no side.
    Press(palette->CheckBox3);
    Press(palette->Shape5);
    palette->SpeedButton32->Click();
    Pick(palette->ComboBox2, "12");
    const std::string kept = Bytes();
    palette->SpeedButton2->Click();
    EXPECT_EQ(Bytes(), kept);
}

TEST_F(CellPaletteTest, SelectionPastTheTableAndSidesWithoutAWidth) {
    // A width that is no entry of the list leaves the widths as they are.
    Cell(4, 4).Pen.Width = 5;
    Cell(4, 4).BorderWidth = {6, 6, 6, 6};
    table->Selection = {4, 4, 4, 4};
    palette->LoadFromCells();
    EXPECT_EQ(palette->ComboBox2->ItemIndex(), -1);
    Press(palette->Shape2);
    // The selection reaches past the table, as a table shrunk under it leaves it.
    table->Selection = {3, 3, 9, 9};
    palette->SpeedButton2->Click();
    EXPECT_EQ(Cell(3, 3).Border, BorderBit(BS_None) | BorderBit(BS_left));
    EXPECT_EQ(Cell(4, 4).Border, BorderBit(BS_None));
    EXPECT_EQ(Cell(4, 4).BorderWidth, (std::array<int32_t, 4>{6, 6, 6, 6}));
    EXPECT_EQ(Cell(3, 4).BorderWidth, (std::array<int32_t, 4>{1, 1, 1, 1}));
}

TEST_F(CellPaletteTest, PictureOfTheCells) {
    Bitmap picture;
    picture.SetSize(2, 3, 0x00FF00);
    const std::string bmp = dir.File("p.bmp");
    picture.SaveToFile(bmp);
    const std::string bad = dir.File("p.jpg");
    WriteFile(bad, "\xFF\xD8 not really");
    Select(0, 0, 1, 0);
    ui.PictureAnswers = {bad, bmp};
    palette->SpeedButton6->Click();
    EXPECT_FALSE(ui.Messages.empty()) << "a bad file says so";
    EXPECT_TRUE(palette->Image1->Picture().Empty());
    EXPECT_EQ(palette->Changes(), 0u);
    palette->SpeedButton6->Click();
    palette->SpeedButton2->Click();
    for (int32_t c : {0, 1})
        EXPECT_EQ(Cell(c, 0).bitmap.SaveToBytes(), ReadFile(bmp));
    palette->SpeedButton7->Click();
    palette->SpeedButton2->Click();
    EXPECT_TRUE(Cell(1, 0).bitmap.Empty());
}

TEST_F(CellPaletteTest, ColumnsAndRows) {
    palette->gridcolcount->SetValue(3);
    palette->SpeedButton12->Click();
    EXPECT_EQ(Widths(), (std::vector<float>{20, 20, 60}));
    palette->SpeedButton23->Click();
    EXPECT_EQ(Widths(), (std::vector<float>{20, 20, 20, 20, 20}));

    Select(1, 0, 2, 1);
    ui.MessageAnswers = {mrNo};
    palette->SpeedButton14->Click();
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Text, "Vuoi eliminare le colonne selezionate?");
    EXPECT_EQ(ui.Messages[0].Buttons, unsigned(mbYes | mbNo));
    EXPECT_EQ(table->ColumnCount(), 5);
    ui.MessageAnswers = {mrYes};
    palette->SpeedButton14->Click();
    EXPECT_EQ(Widths(), (std::vector<float>{20, 20, 60}));
    EXPECT_EQ(table->Selection.Left, 0);
    EXPECT_EQ(table->Selection.Right, 0);
    palette->SpeedButton23->Click();
    EXPECT_EQ(Widths(), (std::vector<float>{20, 20, 20, 20, 20}));

    Select(0, 0, 4, 0);
    ui.MessageAnswers = {mrYes};
    const std::string before = Bytes();
    palette->SpeedButton14->Click();
    EXPECT_EQ(LastMessage(), "Deve rimanere almeno una colonna!");
    EXPECT_EQ(Bytes(), before);

    Select(1, 0, 1, 0);
    ui.MessageAnswers = {mrYes};
    palette->SpeedButton16->Click();
    EXPECT_EQ(LastMessage(), "Vuoi aggiungere una colonna?");
    EXPECT_EQ(Widths(), (std::vector<float>{20, 10, 20, 20, 20, 10}));
    palette->SpeedButton23->Click();
    palette->CheckBox1->SetChecked(true);
    ui.MessageAnswers = {mrYes};
    palette->SpeedButton16->Click();
    EXPECT_EQ(Widths(), (std::vector<float>{20, 20, 10, 20, 20, 10}));
    EXPECT_EQ(palette->gridcolcount->Value(), 6);

    Select(0, 0, 0, 0);
    ui.MessageAnswers = {mrYes};
    palette->SpeedButton17->Click();
    EXPECT_EQ(Heights(), (std::vector<float>{10, 20, 20, 20, 20, 10}));
}

TEST_F(CellPaletteTest, NormalisingEvensOutTheSelectedRowsOrColumns) {
    const float heights[] = {10, 30, 20, 20, 20};
    for (int32_t r = 0; r < 5; ++r)
        for (int32_t c = 0; c < 5; ++c)
            Cell(c, r).DIMH = heights[r];
    Select(0, 1, 0, 0);
    palette->SpeedButton21->Click();
    EXPECT_EQ(Heights(), (std::vector<float>{20, 20, 20, 20, 20}));

    SetWidths({10, 40, 10, 20, 20});
    Select(1, 0, 2, 0);
    palette->SpeedButton22->Click();
    for (int32_t r = 0; r < 5; ++r)
        EXPECT_EQ(Widths(r), (std::vector<float>{10, 25, 25, 20, 20})) << r;
}

TEST_F(CellPaletteTest, CopyCutPasteAndUndo) {
    SetWidths({10, 40, 10, 20, 20});
    Cell(1, 1).text.Add("k");
    Cell(1, 1).Border = BorderBit(BS_ALL);
    EXPECT_FALSE(palette->SpeedButton26->isEnabled());
    Select(1, 1, 3, 1);
    palette->SpeedButton24->Click();
    EXPECT_EQ(HexBytes(palette->Clipboard().Bytes().substr(0, 20)),
              "03 00 00 00 01 00 00 00 54 50 46 30 06 54 43 65 6C 6C 61 00");
    EXPECT_TRUE(palette->SpeedButton26->isEnabled());

    Select(4, 0, 4, 0);
    palette->SpeedButton26->Click();
    EXPECT_EQ(Lines(Cell(4, 0)), std::vector<std::string>{"k"});
    EXPECT_EQ(Cell(4, 0).Border, BorderBit(BS_ALL));
    EXPECT_EQ(Cell(4, 0).DIMW, 20);
    EXPECT_EQ(table->ColumnCount(), 5);

    Select(0, 0, 0, 0);
    palette->SpeedButton24->Click();
    Select(4, 0, 4, 0);
    palette->SpeedButton26->Click();
    EXPECT_EQ(Cell(4, 0).Border, BorderBit(BS_None)) << "the stream leaves the default out";

    Cell(1, 1).DIMH = 20;
    const std::string beforeCut = Bytes();
    Select(1, 1, 1, 1);
    palette->SpeedButton25->Click();
    EXPECT_TRUE(Cell(1, 1).text.Empty());
    EXPECT_EQ(Cell(1, 1).Border, BorderBit(BS_None));
    EXPECT_EQ(Cell(1, 1).DIMW, 40);
    EXPECT_EQ(Cell(1, 1).DIMH, 20);
    const std::string afterCut = Bytes();
    palette->SpeedButton23->Click();
    EXPECT_EQ(Bytes(), beforeCut);
    palette->SpeedButton23->Click();
    EXPECT_EQ(Bytes(), afterCut);
}

TEST_F(CellPaletteTest, PlaceholdersFromTheTestWindowAndTheChannelDialog) {
    Select(0, 0, 0, 0);
    Tform_var_rif* window = palette->TestWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->TabSet1->Tabs(), (QStringList{"/d/Bench_01.txt", "/d/Bench_02.txt"}));
    window->TabSet1->SetTabIndex(1);
    TStringGrid* grid = window->Grid1;
    EXPECT_EQ(grid->Cells(1, 0), "1");
    EXPECT_EQ(grid->Cells(3, 0), "3");
    EXPECT_EQ(grid->Cells(0, 2), "2");
    EXPECT_EQ(grid->Cells(1, 1), "3");
    EXPECT_EQ(grid->Cells(3, 2), "Data");
    window->TabSet1->SetTabIndex(0);
    EXPECT_EQ(grid->ColCount(), 2) << "cleared and sized to the test";
    EXPECT_EQ(grid->Cells(1, 1), "");
    window->TabSet1->SetTabIndex(1);

    window->Show();
    RecordedDrag drag;
    grid->SetCol(3);
    grid->SetRow(2);
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, CellCentre(grid, 3, 2));
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, CellCentre(grid, 3, 2));
    EXPECT_EQ(grid->Tag, 2);
    ASSERT_EQ(drag.Source(), grid);
    EXPECT_TRUE(DropOn(palette->Memo1, {5, 5}, drag.Data()));
    EXPECT_EQ(palette->Memo1->Lines(), QStringList{"&<2;3;2(Data)>"});
    EXPECT_NE(palette->Changes() & Tcellsdlg_form::chText, 0u);
    // Only a grid is taken.
    RecordedDrag other;
    BeginDrag(palette->Memo2);
    EXPECT_FALSE(DropOn(palette->Memo1, {5, 5}, other.Data()));

    palette->Memo1->SetLines({});
    ModalScripts scripts(ui);
    scripts.On<TF_inschnval>([](TF_inschnval* d) {
        EXPECT_EQ(d->ComboBox1->Items(), (QStringList{"Bench_01.txt", "Bench_02.txt"}));
        EXPECT_EQ(d->ComboBox2->Items(), (QStringList{"Speed[rpm]", "Type[-]"}));
        EXPECT_EQ(d->ComboBox5->Items(), (QStringList{"*.*", "X"}));
        EXPECT_TRUE(d->SpinEdit1->isVisible());
        Pick(d->ComboBox3, "MAX");
        EXPECT_FALSE(d->SpinEdit1->isVisible());
        d->SpinEdit2->SetValue(2);
        d->OKBtn->click();
    });
    palette->SpeedButton33->Click();
    EXPECT_EQ(palette->Memo1->Lines(), QStringList{"&<CHN;1;0;MAX;0.2;>"});

    scripts.On<TF_inschnval>([](TF_inschnval* d) {
        Pick(d->ComboBox1, "Bench_02.txt");
        EXPECT_EQ(d->ComboBox5->Items(), (QStringList{"*.*", "A", "B", "C"}));
        Pick(d->ComboBox2, "Type[-]");
        d->SpinEdit1->SetValue(12);
        d->SpinEdit2->SetValue(1);
        Pick(d->ComboBox5, "B");
        d->OKBtn->click();
    });
    palette->SpeedButton33->Click();
    EXPECT_EQ(palette->Memo1->Lines(), QStringList{"&<CHN;1;0;MAX;0.2;> &<CHN;2;1;12;0.1;B>"});

    scripts.On<TF_inschnval>([](TF_inschnval* d) { d->CancelBtn->click(); });
    palette->SpeedButton33->Click();
    EXPECT_EQ(palette->Memo1->Lines().size(), 1);

    palette->Memo1->SetLines({"Lot", "Note:"});
    palette->SpeedButton35->Click();
    EXPECT_EQ(palette->Memo1->Lines(), (QStringList{"Lot", "Note: &<ROW;1;5;3>"}));
}

TEST_F(CellPaletteTest, ChannelDialogOffersOnlyAllTypesWithoutChannelOne) {
    TdataProva& bare = buffer.AddProva(1);
    bare.FileName = "/d/Bare.txt";
    buffer.FileNames.Add(bare.FileName);
    std::unique_ptr<TF_inschnval> d(CreateForm<TF_inschnval>());
    d->SetDataBuffer(&buffer);
    Pick(d->ComboBox1, "Bare.txt");
    EXPECT_EQ(d->ComboBox5->Items(), QStringList{"*.*"});
    d->SetDataBuffer(nullptr);
    EXPECT_EQ(d->Placeholder(), "") << "no test, no channel: nothing to insert";
}

TEST_F(CellPaletteTest, TestWindowZoomAndLock) {
    Select(0, 0, 0, 0);
    Tform_var_rif* window = palette->TestWindow();
    palette->move(30, 40);
    palette->SpeedButton18->Click();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->pos(), QPoint(30, 100));
    window->close();
    EXPECT_FALSE(window->isVisible()) << "the user's close hides it";
    EXPECT_EQ(palette->TestWindow(), window);

    palette->Memo1->SetLines({"one", "two"});
    palette->SpeedButton27->Click();
    EXPECT_EQ(palette->width(), 620);
    EXPECT_EQ(palette->PageControl1->width(), 606);
    EXPECT_TRUE(palette->Memo2->isVisible());
    EXPECT_EQ(palette->Memo2->Lines(), (QStringList{"one", "two"}));
    palette->SpeedButton35->Click();
    EXPECT_EQ(palette->Memo2->Lines(), (QStringList{"one", "two &<ROW;1;5;3>"}));
    palette->SpeedButton27->Click();
    EXPECT_EQ(palette->width(), 355);
    EXPECT_EQ(palette->PageControl1->width(), 342);
    EXPECT_FALSE(palette->Memo2->isVisible());
    EXPECT_EQ(palette->Memo1->Lines(), (QStringList{"one", "two &<ROW;1;5;3>"}));

    palette->SpeedButton29->Click();
    EXPECT_FALSE(table->BorderSizing);
    palette->SpeedButton29->Click();
    EXPECT_TRUE(table->BorderSizing);
}

TEST_F(CellPaletteTest, ShiftsRowReferencesAfterAsking) {
    Cell(0, 0).text.Add("&<1;0;4(x)>");
    Cell(1, 0).text.Add("&<1;0;2(x)>");
    palette->SpinEdit1->SetValue(3);
    palette->SpinEdit2->SetValue(2);
    ui.MessageAnswers = {mrYes};
    palette->SpeedButton34->Click();
    ASSERT_EQ(ui.Messages.size(), 2u);
    EXPECT_EQ(ui.Messages[0].Text,
              "Verranno traslati i riferimenti riga,\r\na partire dalla riga: 3\r\ndi 2 righe");
    EXPECT_EQ(ui.Messages[0].Buttons, unsigned(mbYes | mbNo));
    EXPECT_EQ(ui.Messages[1].Text, "Procedura terminata!");
    EXPECT_EQ(Lines(Cell(0, 0)), std::vector<std::string>{"&<1;0;6(x)>"});
    EXPECT_EQ(Lines(Cell(1, 0)), std::vector<std::string>{"&<1;0;2(x)>"});
    EXPECT_FALSE(ui.Busy);
}

TEST_F(CellPaletteTest, CellTableFiles) {
    Cell(1, 1).text.Add("saved");
    Cell(2, 2).Border = BorderBit(BS_ALL);
    const std::string stored = Bytes();
    ui.SaveAnswers = {BasePath + "Configurazioni/head.txt"};
    palette->SpeedButton20->Click();
    ASSERT_EQ(ui.FileRequests.size(), 1u);
    EXPECT_EQ(ui.FileRequests[0].Request.Filter, "Impostazioni Griglia (*.CIF)|*.CIF");
    EXPECT_EQ(ui.FileRequests[0].Request.InitialDir, ConfigurationsFolder());
    const std::string path = BasePath + "Configurazioni/head.CIF";
    const std::string file = ReadFile(path);
    EXPECT_EQ(HexBytes(file.substr(0, 17)), "10 49 6E 74 5F 56 65 72 73 69 6F 6E 5F 30 2E 38 30");
    EXPECT_EQ(file.substr(17), stored);
    EXPECT_EQ(HexBytes(file.substr(17, 19)),
              "54 50 46 30 0D 54 49 6E 74 65 73 74 61 7A 69 6F 6E 65 00");

    // The extension rule reaches an existing file: asked first, No keeps it.
    Cell(0, 0).text.Add("later");
    ui.SaveAnswers = {BasePath + "Configurazioni/head.txt"};
    ui.MessageAnswers = {mrNo};
    palette->SpeedButton20->Click();
    EXPECT_NE(LastMessage().find("head.CIF"), std::string::npos);
    EXPECT_EQ(ReadFile(path), file);
    ui.SaveAnswers = {dir.Path() + "missing/x.CIF"};
    palette->SpeedButton20->Click();
    EXPECT_NE(LastMessage().find("missing/x.CIF"), std::string::npos);

    int changes = 0;
    table->OnChange = [&](TComponent*) { ++changes; };
    table->InsertColumns(5, 1);
    Select(1, 1, 1, 1);
    ui.OpenAnswers = {{path}};
    palette->SpeedButton19->Click();
    EXPECT_EQ(Bytes(), stored);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(table->Selection.Left, -1);
    EXPECT_EQ(table->Selection.Top, -1);
    EXPECT_EQ(table->Selection.Right, -1);
    EXPECT_EQ(table->Selection.Bottom, -1);
    palette->SpeedButton23->Click();
    EXPECT_EQ(table->ColumnCount(), 6) << "undo gives back the table before the file";
    palette->SpeedButton23->Click();
    changes = 1;

    struct Bad {
        std::string bytes;
        std::string message;
    };
    const std::string other = BasePath + "Configurazioni/other.CIF";
    const Bad bad[] = {
        {"\x10Rep_Version_0.80" + stored, "Il file non è una tabella di celle: " + other},
        {file.substr(0, 100), "File danneggiato o incompleto: " + other},
    };
    for (const Bad& b : bad) {
        WriteFile(other, b.bytes);
        Select(0, 0, 0, 0);
        ui.OpenAnswers = {{other}};
        palette->SpeedButton19->Click();
        const std::string expected = FromQString(QString::fromStdString(b.message));
        EXPECT_EQ(LastMessage().substr(0, expected.size()), expected);
        EXPECT_EQ(Bytes(), stored);
        EXPECT_EQ(table->Selection.Left, -1);
        EXPECT_EQ(changes, 1);
    }
}

TEST_F(CellPaletteTest, TextsInEveryLanguage) {
    struct Case {
        int language;
        const char* caption;
        const char* done;
    };
    const Case cases[] = {{2, "Define cells", "Procedure terminated!"},
                          {3, "Zellen festlegen", "Vorgang abgeschlossen!"}};
    for (const Case& c : cases) {
        STRGlobData->mlLangDispatcher1->SetActiveLanguage(c.language);
        EXPECT_EQ(FromQString(palette->Caption()), c.caption);
        ui.MessageAnswers = {mrYes};
        palette->SpeedButton34->Click();
        EXPECT_EQ(LastMessage(), c.done);
    }
}

} // namespace
} // namespace vx::test
