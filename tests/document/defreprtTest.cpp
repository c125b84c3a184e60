#include "document/defreprt.h"

#include "DocumentFixture.h"
#include "data/Settings.h"
#include "document/DocumentFiles.h"
#include "localisation/Strglobmod.h"
#include "localisation/mlLangDispatcher.h"
#include "platform/runtime/ComponentStream.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Exceptions.h"
#include "platform/system/Files.h"
#include "platform/ui/Button.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/CheckListBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Label.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/RadioGroup.h"
#include "platform/ui/Shape.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/StringGrid.h"
#include "platform/ui/TabSet.h"
#include "platform/ui/TrackBar.h"
#include "report/wpreport.h"
#include "support/FormTestSupport.h"

#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vx::test {
namespace {

using namespace std::string_literals;

QPoint CentreOf(const TStringGrid& grid, int col, int row) {
    const TRect r = grid.CellRect(col, row);
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}

void ClickCell(TStringGrid* grid, int col, int row) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CentreOf(*grid, col, row));
}

void Press(TStringGrid* grid, Qt::Key key) {
    grid->setFocus();
    QTest::keyClick(grid, key);
}

void Select(TStringGrid* grid, int left, int top, int right, int bottom) {
    grid->SetSelection({left, top, right, bottom});
}

QStringList GridTexts(const TStringGrid* grid) {
    QStringList texts;
    for (int r = 0; r < grid->RowCount(); ++r)
        for (int c = 0; c < grid->ColCount(); ++c)
            texts << ToQString(grid->Cells(c, r));
    return texts;
}

class DefReportTest : public DocumentFixture {
protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        BasePath = dir.Path();
        ForceDirectories(BasePath + "Configurazioni");
        CreateSTRGlobData();
        SetLanguage(1);
        AddTest("/data/Bench_A.txt", {"0", "1", "2", "3"}, {"1.5", "2.5", "3.5", "4.5"},
                {"A", "B", "A", "C"});
        AddTest("/data/Bench_B.txt", {"0", "1", "2"}, {"2.5", "5.5", "1.5"}, {"D", "B", "c"});
        MakeR(R);
    }
    void TearDown() override {
        SetLanguage(1);
        FreeSTRGlobData();
        BasePath.clear();
        DocumentFixture::TearDown();
    }

    static void SetLanguage(int language) {
        STRGlobData->mlLangDispatcher1->SetActiveLanguage(language);
    }

    void AddTest(const std::string& file, std::initializer_list<const char*> time,
                 std::initializer_list<const char*> force, std::initializer_list<const char*> lot) {
        TdataProva& test = buffer.AddProva(4);
        test.FileName = file;
        for (const char* name : {"Time", "Force", "Lot"}) {
            test.ChannelNames.Add(name);
            test.Units.Add("-");
        }
        int c = 0;
        for (const auto& values : {time, force, lot}) {
            for (const char* v : values)
                test.GetChannel(c).AddText(v);
            ++c;
        }
    }

    static void MakeR(TWPReport& r) {
        r.SetGroupCount(2);
        r.SetChannelCount(0, 2);
        Tdefcanale& a = *r.GetChannel(0, 0);
        a.Prova = 0;
        a.Canale = 1;
        a.Align = 2;
        a.formato = "0.00";
        a.DIMW = 12.5f;
        Tdefcanale& b = *r.GetChannel(0, 1);
        b.Prova = 1;
        b.Canale = 0;
        r.GetGroup(0)->titolo = "Forces";
        r.GetGroup(0)->tipo = "B";
        r.GetGroup(0)->tipizza = true;
        r.SetChannelCount(1, 1);
        r.GetChannel(1, 0)->Prova = 0;
        r.GetChannel(1, 0)->Canale = 2;
        r.GetGroup(1)->Enabled = false;
        r.differenzia = 2;
        r.Titola_tipi = true;
        r.margine_superiore = 7;
        r.margine_tra_gruppi = 4;
        r.spazio_tra_colonne = 2;
        r.rientro_laterale = 3;
        r.margine_inferiore = 9;
        r.ReportAlign = 6;
        r.Titolotipi_Align = 2;
        r.columnsspace = cs_impostato;
        r.GridWidth = 4;
        r.usa_griglia = true;
        r.Numera = false;
    }

    std::unique_ptr<Tcfg_report> Open(const TWPReport& report, TDatabuffer* data) {
        std::unique_ptr<Tcfg_report> dialog(CreateForm<Tcfg_report>());
        dialog->FillChannelList(data);
        dialog->LoadFromReport(report);
        return dialog;
    }
    std::unique_ptr<Tcfg_report> Open(const TWPReport& report) { return Open(report, &buffer); }

    // The dialog in its modal loop; the script acts and ends with OK or Cancel.
    static int Run(Tcfg_report* dialog, const std::function<void()>& script) {
        return RunModal(dialog, [dialog, script] {
            (void)QTest::qWaitForWindowExposed(dialog, 2000);
            script();
        });
    }

    // The dialog on the report through the program's entry, the script playing the user.
    bool Edit(TWPReport& report, const std::function<void(Tcfg_report*)>& script) {
        ModalScripts scripts(ui);
        scripts.On<Tcfg_report>(script);
        return EditReportDefinition(report, &buffer);
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& m : ui.Messages)
            texts.push_back(m.Text);
        return texts;
    }

    TempDir dir;
    ScopedUi scoped;
    ScriptedUiServices& ui = scoped.ui;
    TDatabuffer buffer;
    TWPReport R{nullptr};
};

TEST_F(DefReportTest, OpensOnTheReportAndShowsTheClickedCell) {
    auto d = Open(R);
    EXPECT_EQ(d->Caption(), "Definisci Report");
    EXPECT_EQ(d->TabSet1->Tabs(), (QStringList{"1:Bench_A.txt", "2:Bench_B.txt"}));
    EXPECT_EQ(d->ListBox1->Items(), (QStringList{"Time", "Force", "Lot"}));
    EXPECT_EQ(d->ComboBox2->Items(), (QStringList{"-- Nessuno --", "Time", "Force", "Lot"}));
    EXPECT_EQ(d->ComboBox2->ItemIndex(), 3);
    EXPECT_EQ(d->CheckListBox1->Items(), (QStringList{"A", "B", "C", "D", "c"}));
    EXPECT_EQ(GridTexts(d->Grid1), (QStringList{"", "1", "2",                 //
                                                "1", "(1) Force", "(2) Time", //
                                                "2", "(1) Lot", ""}));
    EXPECT_EQ(d->SpinEdit1->Value(), 2);
    EXPECT_EQ(d->SpinEdit2->Value(), 2);
    EXPECT_EQ(d->ListBox2->Items(), (QStringList{"1>[Forces]-[B]", "2>[]-[*.*]"}));
    EXPECT_TRUE(d->ListBox2->Checked(0));
    EXPECT_FALSE(d->ListBox2->Checked(1));
    const std::vector<TEdit*> margins = {d->Edit3, d->Edit4, d->Edit5, d->Edit6, d->Edit7};
    const QStringList values = {"7", "4", "2", "3", "9"};
    for (size_t i = 0; i < margins.size(); ++i)
        EXPECT_EQ(margins[i]->Text(), values[int(i)]);
    EXPECT_EQ(d->RadioGroup1->ItemIndex(), 2);
    EXPECT_TRUE(d->SpeedButton22->Down());
    EXPECT_FALSE(d->SpeedButton21->Down());
    EXPECT_TRUE(d->SpeedButton15->Down());
    EXPECT_EQ(d->TrackBar1->Position(), 4);
    EXPECT_TRUE(d->CheckBox1->Checked());
    EXPECT_FALSE(d->CheckBox3->Checked());
    EXPECT_TRUE(d->CheckBox5->Checked());
    EXPECT_TRUE(ui.Messages.empty());

    // Another type channel lists its values over both tests, each once.
    d->ComboBox2->SetItemIndex(2);
    d->ComboBox2Change(d->ComboBox2);
    EXPECT_EQ(d->CheckListBox1->Items(), (QStringList{"1.5", "2.5", "3.5", "4.5", "5.5"}));
    d->ComboBox2->SetItemIndex(0);
    d->ComboBox2Change(d->ComboBox2);
    EXPECT_TRUE(d->CheckListBox1->Items().isEmpty());

    const int result = Run(d.get(), [&] {
        EXPECT_EQ(d->PageControl1->ActivePageIndex(), 0);
        ClickCell(d->Grid1, 1, 1);
        EXPECT_EQ(d->Edit1->Text(), "0.00");
        EXPECT_EQ(d->Edit2->Text(), "12.5");
        EXPECT_TRUE(d->SpeedButton9->Down());
        EXPECT_TRUE(d->SpeedButton10->Down());
        EXPECT_FALSE(d->Button3->isEnabled());
        ClickCell(d->Grid1, 2, 1);
        EXPECT_EQ(d->Edit1->Text(), "0.0");
        EXPECT_EQ(d->Edit2->Text(), "10.0");
        EXPECT_TRUE(d->SpeedButton7->Down());
        EXPECT_FALSE(d->SpeedButton9->Down());
        d->CancelBtn->click();
    });
    EXPECT_EQ(result, mrCancel);
}

TEST_F(DefReportTest, OkUntouchedKeepsTheReportByteForByteAndCancelKeepsIt) {
    const std::string before = ComponentToBytes(R);
    EXPECT_TRUE(Edit(R, [](Tcfg_report* d) { d->OKBtn->click(); }));
    EXPECT_EQ(ComponentToBytes(R), before);
    EXPECT_FALSE(Edit(R, [](Tcfg_report* d) {
        TypeInto(d->Edit3, "12");
        Select(d->Grid1, 1, 1, 2, 2);
        Press(d->Grid1, Qt::Key_Delete);
        d->CheckBox1->click();
        d->CancelBtn->click();
    }));
    EXPECT_EQ(ComponentToBytes(R), before);
    EXPECT_TRUE(ui.Messages.empty());

    // Values no control can show are kept as loaded.
    R.GridWidth = 15;
    R.ReportAlign = 4;
    R.Titolotipi_Align = 1;
    const std::string odd = ComponentToBytes(R);
    EXPECT_TRUE(Edit(R, [](Tcfg_report* d) {
        EXPECT_EQ(d->TrackBar1->Position(), 10);
        EXPECT_FALSE(d->SpeedButton21->Down() || d->SpeedButton22->Down() ||
                     d->SpeedButton23->Down());
        d->OKBtn->click();
    }));
    EXPECT_EQ(ComponentToBytes(R), odd);
    EXPECT_TRUE(Edit(R, [](Tcfg_report* d) {
        d->TrackBar1->setFocus();
        QTest::keyClick(d->TrackBar1, Qt::Key_Left);
        d->SpeedButton21->click();
        d->OKBtn->click();
    }));
    EXPECT_EQ(R.GridWidth, 9);
    EXPECT_EQ(R.ReportAlign, 0);
    EXPECT_EQ(R.Titolotipi_Align, 1);
}

TEST_F(DefReportTest, DeleteEmptiesCellsAndTheirGapsStayAsEmptyChannels) {
    EXPECT_TRUE(Edit(R, [](Tcfg_report* d) {
        ClickCell(d->Grid1, 1, 1);
        Press(d->Grid1, Qt::Key_Delete);
        EXPECT_EQ(d->Grid1->Cells(1, 1), "");
        d->OKBtn->click();
    }));
    ASSERT_EQ(R.GetChannelCount(0), 2);
    const Tdefcanale& first = *R.GetChannel(0, 0);
    EXPECT_EQ(first.Canale, -1);
    EXPECT_EQ(first.Prova, 0);
    EXPECT_EQ(first.Align, 2);
    EXPECT_EQ(first.formato, "0.00");
    EXPECT_EQ(R.GetChannel(0, 1)->Canale, 0);

    EXPECT_TRUE(Edit(R, [](Tcfg_report* d) {
        EXPECT_EQ(d->Grid1->Cells(1, 1), "Canale:-1 ???");
        ClickCell(d->Grid1, 1, 2);
        Press(d->Grid1, Qt::Key_Delete);
        d->OKBtn->click();
    }));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Attenzione trovati canali inesistenti!\r\n"
                                                 "I riferimenti saranno cancellati!\r\n"
                                                 "Cella: 1,1 Canale:-1\r\n"}));
    EXPECT_EQ(R.GetChannelCount(0), 2);
    EXPECT_EQ(R.GetChannelCount(1), 0);
}

TEST_F(DefReportTest, AssignWritesOnlyTheChangedAttributesIntoTheSelection) {
    const std::string badWidth = "'abc' is not a valid floating point value";
    EXPECT_TRUE(Edit(R, [&](Tcfg_report* d) {
        ClickCell(d->Grid1, 1, 1);
        Select(d->Grid1, 1, 1, 2, 1);
        d->SpeedButton7->click();
        EXPECT_TRUE(d->Button3->isEnabled());
        d->Button3->click();
        EXPECT_EQ(d->CellChannel(1, 1)->Align, 0);
        EXPECT_EQ(d->CellChannel(2, 1)->Align, 0);
        EXPECT_EQ(d->CellChannel(2, 1)->formato, "0.0");
        EXPECT_EQ(d->CellChannel(2, 1)->DIMW, 10.0f);
        EXPECT_FALSE(d->Button3->isEnabled());

        d->ComboBox1->setFocus();
        d->ComboBox1->SetItemIndex(3);
        d->ComboBox1Change(d->ComboBox1);
        EXPECT_EQ(d->Edit1->Text(), "0.000");
        d->Button3->click();
        for (int c : {1, 2}) {
            EXPECT_EQ(d->CellChannel(c, 1)->formato, "0.000");
            EXPECT_EQ(d->CellChannel(c, 1)->DIMW, 12.5f);
        }

        // A width that is no number assigns nothing and keeps what was changed.
        TypeInto(d->Edit2, "abc");
        d->SpeedButton11->click();
        d->Button3->click();
        EXPECT_EQ(ui.Messages.back().Text, badWidth);
        EXPECT_EQ(d->CellChannel(1, 1)->IAlign, 6);
        EXPECT_TRUE(d->Button3->isEnabled());
        TypeInto(d->Edit2, "20");
        d->Button3->click();
        EXPECT_EQ(d->CellChannel(1, 1)->IAlign, 2);
        EXPECT_EQ(d->CellChannel(2, 1)->DIMW, 20.0f);

        // Pure white is stored one step off white; any other colour as chosen.
        for (const auto& [chosen, stored] : {std::pair{0xFFFFFF, 0xFFFFFE}, {0x00FF00, 0x00FF00}}) {
            ui.ColorAnswers.push_back(chosen);
            QTest::mouseClick(d->Shape1, Qt::LeftButton);
            d->Button3->click();
            EXPECT_EQ(d->CellChannel(1, 1)->Brush.Color, stored);
            EXPECT_EQ(d->CellChannel(2, 1)->Brush.Color, stored);
        }
        d->OKBtn->click();
    }));
    EXPECT_EQ(R.GetChannel(0, 0)->Align, 0);
    EXPECT_EQ(R.GetChannel(0, 1)->formato, "0.000");
    EXPECT_EQ(R.GetChannel(1, 0)->Align, 0) << "outside the selection";
    EXPECT_EQ(R.GetChannel(1, 0)->Brush.Color, clWhite);
}

TEST_F(DefReportTest, ChosenFontsGoToTheSelectionAndTheTitleFontToTheReport) {
    ui.FontHook = [](FontChoice& font) {
        font.Name = "Courier New";
        font.Size = 14;
        return true;
    };
    EXPECT_TRUE(Edit(R, [](Tcfg_report* d) {
        Select(d->Grid1, 1, 1, 1, 2);
        d->SpeedButton6->click();
        EXPECT_EQ(d->Label7->font().pointSize(), 14);
        d->Button3->click();
        d->SpeedButton12->click();
        d->OKBtn->click();
    }));
    for (int g : {0, 1}) {
        EXPECT_EQ(R.GetChannel(g, 0)->FontD->Name(), "Courier New");
        EXPECT_EQ(R.GetChannel(g, 0)->FontD->Size(), 14);
        EXPECT_NE(R.GetChannel(g, 0)->FontI->Name(), "Courier New") << "the header font stays";
    }
    EXPECT_NE(R.GetChannel(0, 1)->FontD->Name(), "Courier New");
    EXPECT_EQ(R.FontT->Name(), "Courier New");
}

TEST_F(DefReportTest, TheTypeListSkipsTestsWithoutTheChannel) {
    TdataProva& short_ = buffer.AddProva(2);
    short_.ChannelNames.Add("Time");
    short_.GetChannel(0).AddText("Z");
    auto d = Open(R);
    EXPECT_EQ(d->CheckListBox1->Items(), (QStringList{"A", "B", "C", "D", "c"}));
    d->ComboBox2->SetItemIndex(1);
    d->ComboBox2Change(d->ComboBox2);
    EXPECT_EQ(d->CheckListBox1->Items(), (QStringList{"0", "1", "2", "3", "Z"}));
}

TEST_F(DefReportTest, CopyCutAndPasteMoveWholeChannelsThroughTheDialogsClipboard) {
    auto fresh = Open(R);
    Run(fresh.get(), [&] {
        Select(fresh->Grid1, 1, 1, 1, 1);
        Press(fresh->Grid1, Qt::Key_V);
        EXPECT_EQ(fresh->Grid1->Cells(1, 1), "(1) Force") << "nothing copied yet";
        fresh->CancelBtn->click();
    });

    TWPReport before(nullptr);
    MakeR(before);
    EXPECT_TRUE(Edit(R, [&](Tcfg_report* d) {
        Select(d->Grid1, 1, 1, 1, 2);
        QTest::keyClick(d->Grid1, Qt::Key_C); // no Ctrl: the key alone copies
        Select(d->Grid1, 2, 1, 2, 1);
        Press(d->Grid1, Qt::Key_V);
        EXPECT_EQ(GridTexts(d->Grid1), (QStringList{"", "1", "2",                  //
                                                    "1", "(1) Force", "(1) Force", //
                                                    "2", "(1) Lot", "(1) Lot"}));
        EXPECT_EQ(ComponentToBytes(*d->CellChannel(2, 1)), ComponentToBytes(*R.GetChannel(0, 0)));
        EXPECT_EQ(d->Edit1->Text(), "0.00") << "the panel shows the pasted cell";

        // A block pasted at the last column keeps only what fits.
        Select(d->Grid1, 1, 1, 2, 2);
        QTest::keyClick(d->Grid1, Qt::Key_X, Qt::ControlModifier);
        EXPECT_EQ(GridTexts(d->Grid1).mid(3), (QStringList{"1", "", "", "2", "", ""}));
        Select(d->Grid1, 2, 2, 2, 2);
        Press(d->Grid1, Qt::Key_V);
        EXPECT_EQ(d->Grid1->Cells(2, 2), "(1) Force");
        EXPECT_EQ(d->Grid1->Cells(1, 1), "");
        d->OKBtn->click();
    }));
    EXPECT_EQ(R.GetChannelCount(0), 0);
    ASSERT_EQ(R.GetChannelCount(1), 2);
    EXPECT_EQ(R.GetChannel(1, 0)->Canale, -1);
    EXPECT_EQ(ComponentToBytes(*R.GetChannel(1, 1)), ComponentToBytes(*before.GetChannel(0, 0)));
}

TEST_F(DefReportTest, AChannelDraggedFromTheListLandsOnADataCell) {
    RecordedDrag drag;
    EXPECT_TRUE(Edit(R, [&](Tcfg_report* d) {
        const QPoint target = CentreOf(*d->Grid1, 2, 2);
        // Nothing chosen yet: a drop changes nothing.
        DropOn(d->Grid1, target, NewDragData(d->ListBox1).get());
        EXPECT_EQ(d->Grid1->Cells(2, 2), "");

        d->TabSet1->SetTabIndex(1);
        ClickItem(d->ListBox1, 1);
        ASSERT_EQ(drag.Count(), 1);
        EXPECT_EQ(drag.Source(), d->ListBox1);
        EXPECT_FALSE(DropOn(d->Grid1, CentreOf(*d->Grid1, 2, 0), drag.Data()));
        EXPECT_EQ(d->Grid1->Cells(2, 0), "2");
        EXPECT_TRUE(DropOn(d->Grid1, target, drag.Data()));
        EXPECT_EQ(d->Grid1->Cells(2, 2), "(2) Force");
        d->OKBtn->click();
    }));
    ASSERT_EQ(R.GetChannelCount(1), 2);
    EXPECT_EQ(R.GetChannel(1, 1)->Prova, 1);
    EXPECT_EQ(R.GetChannel(1, 1)->Canale, 1);
}

TEST_F(DefReportTest, GroupsAndChannelsButtonsResizeTheGrid) {
    EXPECT_TRUE(Edit(R, [](Tcfg_report* d) {
        d->SpinEdit1->SetValue(4);
        d->Button1->click();
        EXPECT_EQ(d->Grid1->RowCount(), 5);
        EXPECT_EQ(d->ListBox2->Items(),
                  (QStringList{"1>[Forces]-[B]", "2>[]-[*.*]", "3>[]-[*.*]", "4>[]-[*.*]"}));
        EXPECT_TRUE(d->ListBox2->Checked(2));
        EXPECT_TRUE(d->ListBox2->Checked(3));
        EXPECT_FALSE(d->ListBox2->Checked(1));
        EXPECT_EQ(d->Grid1->Cells(0, 4), "4");
        d->OKBtn->click();
    }));
    ASSERT_EQ(R.GroupCount(), 4);
    for (int g : {2, 3}) {
        EXPECT_EQ(R.GetChannelCount(g), 0);
        EXPECT_TRUE(R.GetGroup(g)->Enabled);
        EXPECT_EQ(R.GetGroup(g)->tipo, "*.*");
        EXPECT_FALSE(R.GetGroup(g)->tipizza);
    }
    EXPECT_TRUE(Edit(R, [](Tcfg_report* d) {
        d->SpinEdit1->SetValue(1);
        d->Button1->click();
        EXPECT_EQ(d->ListBox2->Items(), QStringList{"1>[Forces]-[B]"});
        d->SpinEdit2->SetValue(5);
        d->Button2->click();
        EXPECT_EQ(d->Grid1->ColCount(), 6);
        EXPECT_EQ(GridTexts(d->Grid1).mid(0, 6), (QStringList{"", "1", "2", "3", "4", "5"}));
        EXPECT_NE(d->CellChannel(5, 1), nullptr);
        d->OKBtn->click();
    }));
    EXPECT_EQ(R.GroupCount(), 1);
    EXPECT_EQ(R.GetChannelCount(0), 2);
}

TEST_F(DefReportTest, GroupTitlesAndTypeFilters) {
    EXPECT_TRUE(Edit(R, [](Tcfg_report* d) {
        d->ListBox2->SetItemIndex(1);
        TypeInto(d->Edit8, "Totals");
        d->SpeedButton18->click();
        EXPECT_EQ(d->ListBox2->Item(1), "2>[Totals]-[*.*]");
        d->CheckListBox1->SetItemIndex(2);
        d->SpeedButton19->click();
        EXPECT_EQ(d->ListBox2->Item(1), "2>[Totals]-[C]");
        EXPECT_FALSE(d->ListBox2->Checked(1)) << "the check mark stays";
        d->OKBtn->click();
    }));
    EXPECT_EQ(R.GetGroup(1)->titolo, "Totals");
    EXPECT_EQ(R.GetGroup(1)->tipo, "C");
    EXPECT_TRUE(R.GetGroup(1)->tipizza);
    EXPECT_FALSE(R.GetGroup(1)->Enabled);

    EXPECT_TRUE(Edit(R, [](Tcfg_report* d) {
        d->ListBox2->SetItemIndex(1);
        d->SpeedButton20->click();
        EXPECT_EQ(d->ListBox2->Item(1), "2>[Totals]-[*.*]");
        DoubleClickItem(d->ListBox2, 0);
        EXPECT_EQ(d->Edit8->Text(), "Forces");
        EXPECT_EQ(d->CheckListBox1->ItemIndex(), 1);
        d->CheckListBox1->SetItemIndex(3);
        d->SpeedButton25->click();
        EXPECT_EQ(d->Edit8->Text(), "D");
        d->OKBtn->click();
    }));
    EXPECT_EQ(R.GetGroup(1)->tipo, "*.*");
    EXPECT_FALSE(R.GetGroup(1)->tipizza);
    EXPECT_EQ(R.GetGroup(0)->titolo, "Forces");
}

TEST_F(DefReportTest, DeletingAGroupAsksAndMovesTheRowsBelowUp) {
    EXPECT_TRUE(Edit(R, [&](Tcfg_report* d) {
        Select(d->Grid1, 1, 1, 1, 1);
        Press(d->Grid1, Qt::Key_C);
        d->ListBox2->SetItemIndex(0);
        ui.MessageAnswers.push_back(mrNo);
        d->SpeedButton24->click();
        ASSERT_EQ(ui.Messages.size(), 1u);
        EXPECT_EQ(ui.Messages[0].Text, "Attenzione il gruppo verr\xE0 eliminato! Vuoi procedere?");
        EXPECT_EQ(ui.Messages[0].Buttons, unsigned(mbYes | mbNo));
        EXPECT_EQ(d->Grid1->RowCount(), 3);

        ui.MessageAnswers.push_back(mrYes);
        d->SpeedButton24->click();
        EXPECT_EQ(d->Grid1->RowCount(), 2);
        EXPECT_EQ(GridTexts(d->Grid1).mid(3), (QStringList{"1", "(1) Lot", ""}));
        EXPECT_EQ(d->ListBox2->Items(), QStringList{"2>[]-[*.*]"});
        // What was copied before still pastes.
        Select(d->Grid1, 2, 1, 2, 1);
        Press(d->Grid1, Qt::Key_V);
        EXPECT_EQ(d->Grid1->Cells(2, 1), "(1) Force");
        Press(d->Grid1, Qt::Key_Delete);
        d->OKBtn->click();
    }));
    ASSERT_EQ(R.GroupCount(), 1);
    ASSERT_EQ(R.GetChannelCount(0), 1);
    EXPECT_EQ(R.GetChannel(0, 0)->Canale, 2);
    EXPECT_FALSE(R.GetGroup(0)->Enabled);

    // The only group is emptied, not removed.
    EXPECT_TRUE(Edit(R, [&](Tcfg_report* d) {
        d->ListBox2->SetItemIndex(0);
        ui.MessageAnswers.push_back(mrYes);
        d->SpeedButton24->click();
        EXPECT_EQ(d->Grid1->RowCount(), 2);
        EXPECT_EQ(d->Grid1->Cells(1, 1), "");
        EXPECT_EQ(d->ListBox2->Items(), QStringList{"1>[]-[*.*]"});
        EXPECT_TRUE(d->ListBox2->Checked(0));
        d->OKBtn->click();
    }));
    ASSERT_EQ(R.GroupCount(), 1);
    EXPECT_EQ(R.GetChannelCount(0), 0);
    EXPECT_TRUE(R.GetGroup(0)->Enabled);
}

TEST_F(DefReportTest, TheListsHintTheirChosenEntry) {
    auto d = Open(R);
    Run(d.get(), [&] {
        d->PageControl1->SetActivePageIndex(1);
        d->ListBox2->SetItemIndex(0);
        // Below the entries: the hint is the chosen entry, wherever the mouse is.
        QTest::mouseMove(d->ListBox2->viewport(), {5, d->ListBox2->viewport()->height() - 5});
        EXPECT_EQ(d->ListBox2->Hint(), "1>[Forces]-[B]");
        d->CheckListBox1->SetItemIndex(4);
        QTest::mouseMove(d->CheckListBox1->viewport(),
                         {5, d->CheckListBox1->viewport()->height() - 5});
        EXPECT_EQ(d->CheckListBox1->Hint(), "c");
        d->CancelBtn->click();
    });
}

TEST_F(DefReportTest, ANewReportShowsOneEmptyGroupOfSixColumns) {
    TWPReport fresh(nullptr);
    auto d = Open(fresh);
    EXPECT_EQ(d->Grid1->RowCount(), 2);
    EXPECT_EQ(d->Grid1->ColCount(), 7);
    EXPECT_EQ(d->SpinEdit1->Value(), 1);
    EXPECT_EQ(d->SpinEdit2->Value(), 6);
    EXPECT_EQ(d->ListBox2->Items(), QStringList{"1>[]-[*.*]"});
    EXPECT_TRUE(d->ListBox2->Checked(0));
    EXPECT_EQ(d->ComboBox2->ItemIndex(), 0);
    d->StoreToReport(fresh);
    ASSERT_EQ(fresh.GroupCount(), 1);
    EXPECT_EQ(fresh.GetChannelCount(0), 0);

    // Without tests there is nothing to choose.
    auto none = Open(TWPReport(nullptr), nullptr);
    EXPECT_TRUE(none->TabSet1->Tabs().isEmpty());
    EXPECT_EQ(none->ListBox1->Count(), 0);
    EXPECT_EQ(none->ComboBox2->Items(), QStringList{"-- Nessuno --"});
}

TEST_F(DefReportTest, ChannelsTheTestLacksAreReportedAndDroppedOnlyOnOk) {
    R.GetChannel(0, 0)->Canale = 5;
    R.GetChannel(1, 0)->Prova = 2;
    R.GetChannel(1, 0)->Canale = 1;
    R.differenzia = 7;
    const std::string before = ComponentToBytes(R);
    const std::string text = "Attenzione trovati canali inesistenti!\r\n"
                             "I riferimenti saranno cancellati!\r\n"
                             "Cella: 1,1 Canale:5\r\n";
    EXPECT_FALSE(Edit(R, [](Tcfg_report* d) {
        EXPECT_EQ(d->Grid1->Cells(1, 1), "Canale:5 ???");
        EXPECT_EQ(d->Grid1->Cells(1, 2), "(3) ???");
        EXPECT_EQ(d->ComboBox2->ItemIndex(), -1);
        d->CancelBtn->click();
    }));
    EXPECT_EQ(Texts(), std::vector<std::string>{text});
    EXPECT_EQ(ComponentToBytes(R), before);

    EXPECT_TRUE(Edit(R, [](Tcfg_report* d) { d->OKBtn->click(); }));
    EXPECT_EQ(Texts(), (std::vector<std::string>{text, text}));
    const Tdefcanale& a = *R.GetChannel(0, 0);
    EXPECT_EQ(a.Canale, -1);
    EXPECT_EQ(a.formato, "0.00");
    EXPECT_EQ(a.Align, 2);
    EXPECT_EQ(R.GetChannel(1, 0)->Prova, 2);
    EXPECT_EQ(R.differenzia, 7);

    ui.Messages.clear();
    SetLanguage(2);
    R.GetChannel(0, 0)->Canale = 5;
    auto d = Open(R);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Attention invalid channels found!\r\n"
                                                "The references will be deleted!\r\n"
                                                "Cell: 1,1 Channel:5\r\n"});
    EXPECT_EQ(d->Grid1->Cells(1, 1), "Channel: 5 ???");
}

TEST_F(DefReportTest, AMarginThatIsNoIntegerKeepsTheDialogOpenAndTheReportAsItWas) {
    const std::string before = ComponentToBytes(R);
    auto d = Open(R);
    const int result = Run(d.get(), [&] {
        TypeInto(d->Edit5, "x");
        d->OKBtn->click();
        // The refusal comes once the click has ended the loop's turn.
        QTimer::singleShot(0, d.get(), [&] {
            EXPECT_TRUE(d->isVisible());
            EXPECT_EQ(Texts(), std::vector<std::string>{"'x' is not a valid integer value"});
            d->CancelBtn->click();
        });
    });
    EXPECT_EQ(result, mrCancel);
    d->CheckBox1->SetChecked(false);
    EXPECT_THROW(d->StoreToReport(R), EConvertError);
    EXPECT_EQ(ComponentToBytes(R), before);
}

TEST_F(DefReportTest, ReportDefinitionFilesSaveAndOpen) {
    const std::string folder = ConfigurationsFolder();
    TWPReport fresh(nullptr);
    auto d = Open(fresh);
    ui.SaveAnswers.push_back(folder + "rep.txt");
    d->Button4->click();
    ASSERT_EQ(ui.FileRequests.size(), 1u);
    EXPECT_EQ(ui.FileRequests[0].Kind, TFileRequestKind::Save);
    EXPECT_EQ(ui.FileRequests[0].Request.Filter, "Report files (*.CRF)|*.CRF");
    EXPECT_EQ(ui.FileRequests[0].Request.DefaultExt, "CRF");
    EXPECT_EQ(ui.FileRequests[0].Request.InitialDir, folder);
    const std::string file = folder + "rep.CRF";
    const std::string bytes = ReadFile(file);
    TWPReport expected(nullptr);
    expected.SetGroupCount(1);
    const std::string component = ComponentToBytes(expected);
    EXPECT_EQ(bytes.size(), 232u);
    EXPECT_EQ(bytes, "\x10Rep_Version_0.80"s + component);
    EXPECT_EQ(HexBytes(bytes.substr(17, 15)), HexBytes("TPF0\x09TWPReport\x00"s));
    const std::string tail = "\x06Report\x0A\x36\x00\x00\x00\x07Ver 1,0"
                             "\x01\x00\x00\x00\x00\x00\x00\x00TPF0\x0ATdefgruppo\x00"
                             "\x04tipo\x06\x03*.*\x00\x00\x09"
                             "End_v_1,0\x00\x00"s;
    EXPECT_EQ(HexBytes(bytes.substr(bytes.size() - tail.size())), HexBytes(tail));
    EXPECT_TRUE(ui.Messages.empty());

    // Another name that would replace the file is asked about first.
    const std::string saved = ReadFile(file);
    auto other = Open(R);
    ui.SaveAnswers.push_back(folder + "rep");
    ui.MessageAnswers.push_back(mrNo);
    other->Button4->click();
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Buttons, unsigned(mbYes | mbNo));
    EXPECT_EQ(ReadFile(file), saved);
    ui.Messages.clear();

    // Opened in a dialog on R: the new report's state.
    auto onR = Open(R);
    ui.OpenAnswers.push_back({file});
    onR->Button5->click();
    EXPECT_EQ(onR->Grid1->RowCount(), 2);
    EXPECT_EQ(onR->Grid1->ColCount(), 7);
    EXPECT_EQ(onR->ListBox2->Items(), QStringList{"1>[]-[*.*]"});
    EXPECT_EQ(onR->Edit3->Text(), "5");
    TWPReport stored(nullptr);
    onR->StoreToReport(stored);
    EXPECT_EQ(ComponentToBytes(stored), component);
}

TEST_F(DefReportTest, ForeignDamagedOrMissingFilesChangeNothing) {
    const std::string folder = ConfigurationsFolder();
    TWPReport fresh(nullptr);
    fresh.SetGroupCount(1);
    SaveReportDefinitionFile(folder + "good.CRF", fresh);
    const std::string good = ReadFile(folder + "good.CRF");
    std::string foreign = good;
    foreign[16] = '1';
    WriteFile(folder + "foreign.CRF", foreign);
    WriteFile(folder + "cut.CRF", good.substr(0, 100));

    struct Case {
        const char* name;
        bool incompatible;
    };
    for (const Case& c :
         {Case{"foreign.CRF", true}, Case{"cut.CRF", true}, Case{"missing.CRF", false}}) {
        ui.Messages.clear();
        auto d = Open(R);
        const QStringList before = GridTexts(d->Grid1);
        ui.OpenAnswers.push_back({folder + c.name});
        d->Button5->click();
        ASSERT_EQ(ui.Messages.size(), 1u) << c.name;
        if (c.incompatible)
            EXPECT_EQ(ui.Messages[0].Text, "Attenzione file non compatibile!") << c.name;
        else
            EXPECT_NE(ui.Messages[0].Text.find(folder + c.name), std::string::npos);
        EXPECT_EQ(GridTexts(d->Grid1), before) << c.name;
        EXPECT_EQ(d->Edit3->Text(), "7") << c.name;
    }
    EXPECT_THROW(LoadReportDefinitionFile(folder + "foreign.CRF"), EDocumentFile);
}

TEST_F(DefReportTest, AFailedSaveLeavesTheOldFileAsItWas) {
    const std::string folder = ConfigurationsFolder();
    SaveReportDefinitionFile(folder + "good.CRF", TWPReport(nullptr));
    const std::string good = ReadFile(folder + "good.CRF");
    auto d = Open(R);
    ReadOnlyFolder locked(folder);
    if (!locked.Active())
        GTEST_SKIP() << locked.Error();
    ui.SaveAnswers.push_back(folder + "good.CRF");
    d->Button4->click();
    EXPECT_EQ(Texts(), std::vector<std::string>{"Impossibile salvare il file!"});
    EXPECT_EQ(ReadFile(folder + "good.CRF"), good);
}

TEST_F(DefReportTest, TheFormatListIsTheSameInEveryLanguage) {
    FormatSettings().TimeSeparator = '.';
    FormatSettings().DateSeparator = '-';
    const QStringList expected = {"0",          "0.0",          "0.00",
                                  "0.000",      "hh.nn.ss.zzz", "hh.nn",
                                  "nn.ss",      "dd-mm-yyyy",   "dd-mm-yyyy hh.nn.ss",
                                  "[hh.nn.ss]", "[hh.nn]",      "[hh.nn.ss.zzz]",
                                  "Stringa"};
    struct Case {
        int language;
        QString caption, page, assign;
    };
    for (const Case& c : {Case{1, "Definisci Report", "Attributi canali", "Assegna"},
                          Case{2, "Define report", "Channel attributes", "Apply"},
                          Case{3, "Bericht festlegen", "Kanalattribute", u8"Übernehmen"}}) {
        SetLanguage(c.language);
        auto d = Open(R);
        EXPECT_EQ(d->Caption(), c.caption);
        EXPECT_EQ(d->TabSheet1->Caption(), c.page);
        EXPECT_EQ(d->Button3->Caption(), c.assign);
        EXPECT_EQ(d->ComboBox1->Items(), expected) << c.language;
        EXPECT_EQ(d->ComboBox2->Items()[0], QString(c.language == 1   ? "-- Nessuno --"
                                                    : c.language == 2 ? "-- None --"
                                                                      : "-- Nichts --"));
    }
}

} // namespace
} // namespace vx::test
