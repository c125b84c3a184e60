#include "document/Definiscisezioni.h"

#include "document/Sectionmanager.h"
#include "localisation/Strglobmod.h"
#include "localisation/mlComp.h"
#include "localisation/mlLangDispatcher.h"
#include "localisation/mlStoredTable.h"
#include "platform/runtime/Component.h"
#include "platform/runtime/Streams.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/StringGrid.h"
#include "report/Asse.h"
#include "report/WPGraph.h"
#include "report/WPSection.h"

#include "support/FormTestSupport.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vx::test {
namespace {

// A side stream of sections with the given percents, one axis each.
std::string SideBytes(std::initializer_list<int> sizes) {
    TComponent owner(nullptr);
    TWPSide side(&owner);
    for (int size : sizes) {
        side.AddSections(1);
        side.GetSection(side.SectionCount() - 1)->Size = size;
        side.GetSection(side.SectionCount() - 1)->AddAxes(1);
    }
    TMemoryStream out;
    side.WriteToStream(out);
    return out.Bytes();
}

void Load(TSectionmanager& manager, const std::string& bytes) {
    TMemoryStream in(bytes);
    manager.Side().ReadFromStream(in);
}

std::vector<int> Sizes(const TWPSide& side) {
    std::vector<int> sizes;
    for (int k = 0; k < side.SectionCount(); ++k)
        sizes.push_back(side.GetSection(k)->Size);
    return sizes;
}

std::vector<std::string> Column(const TStringGrid& grid, int col) {
    std::vector<std::string> cells;
    for (int row = 0; row < grid.RowCount(); ++row)
        cells.push_back(grid.Cells(col, row));
    return cells;
}

// Types the text into a cell of the grid's second column through its editor.
void TypeInCell(TStringGrid& grid, int row, const std::string& text) {
    grid.setFocus();
    grid.SetCol(1);
    grid.SetRow(row);
    QTest::keyClick(&grid, Qt::Key_F2);
    QLineEdit* editor = nullptr;
    for (QLineEdit* e : grid.viewport()->findChildren<QLineEdit*>())
        if (e->isVisible())
            editor = e;
    ASSERT_NE(editor, nullptr);
    TypeInto(editor, QString::fromStdString(text));
    QTest::keyClick(editor, Qt::Key_Return);
    // The view commits through a queued call.
    QApplication::processEvents();
    EXPECT_EQ(grid.Cells(1, row), text);
}

void Click(QWidget* widget, QPoint at = {}) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, at.isNull() ? widget->rect().center() : at);
}

class DefiniscisezioniTest : public ::testing::Test {
protected:
    void TearDown() override { FreeSTRGlobData(); }

    // A shown dialog on the two side streams.
    std::unique_ptr<TDefiniscisezioni> Dialog(const std::string& left, const std::string& right) {
        std::unique_ptr<TDefiniscisezioni> form(CreateForm<TDefiniscisezioni>());
        Load(form->LeftManager(), left);
        Load(form->RightManager(), right);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        return form;
    }

    std::unique_ptr<Tfrm_def_numeric> Numeric(std::initializer_list<int> left,
                                              std::initializer_list<int> right) {
        TComponent owner(nullptr);
        TWPSide l(&owner), r(&owner);
        TMemoryStream ls(SideBytes(left)), rs(SideBytes(right));
        l.ReadFromStream(ls);
        r.ReadFromStream(rs);
        std::unique_ptr<Tfrm_def_numeric> form(CreateForm<Tfrm_def_numeric>());
        form->Fill(l, r);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        return form;
    }

    ScopedUi scoped;
    ScriptedUiServices& ui = scoped.ui;
    ModalScripts scripts{scoped.ui};
};

TEST_F(DefiniscisezioniTest, AnAddedSectionComesBackInTheLeftStream) {
    TWPGraph graph(nullptr);
    graph.LeftSide().GetAxisByIndex(0)->Caption = "Forza";
    graph.LeftSide().GetAxisByIndex(0)->Channels().Add(1);
    TMemoryStream l, r;
    graph.LeftSide().WriteToStream(l);
    graph.RightSide().WriteToStream(r);
    std::string left = l.Bytes();
    std::string right = r.Bytes();

    scripts.On<TDefiniscisezioni>([](TDefiniscisezioni* f) {
        Click(f->addsect);
        EXPECT_EQ(f->Mode(), stAddSection);
        Click(f->Sectionmanager2, QPoint(20, 20));
        Click(f->CancelBtn);
    });
    EXPECT_FALSE(EditSectionsDialog(left, right));
    EXPECT_EQ(left, l.Bytes());
    EXPECT_EQ(right, r.Bytes());

    scripts.On<TDefiniscisezioni>([](TDefiniscisezioni* f) {
        Click(f->addsect);
        Click(f->Sectionmanager1, QPoint(20, 20));
        Click(f->OKBtn);
    });
    ASSERT_TRUE(EditSectionsDialog(left, right));
    EXPECT_EQ(HexBytes(left.substr(0, 16)),
              HexBytes(FromHex("02000000 32000000 01000000 54504630")));
    EXPECT_EQ(right, r.Bytes());
    TComponent owner(nullptr);
    TWPSide side(&owner);
    TMemoryStream in(left);
    side.ReadFromStream(in);
    EXPECT_EQ(Sizes(side), (std::vector<int>{50, 50}));
    EXPECT_EQ(side.GetAxisByIndex(0)->Caption, "Forza");
    ASSERT_EQ(side.GetAxisByIndex(0)->Channels().Count(), 1);
    EXPECT_EQ(side.GetAxisByIndex(0)->Channels().GetItem(0), 1);
    EXPECT_EQ(side.GetSection(1)->AxisCount(), 1);
}

TEST_F(DefiniscisezioniTest, DeletingASectionAsksFirst) {
    auto form = Dialog(SideBytes({33, 33, 34}), SideBytes({}));
    Click(form->delsect);
    ui.MessageAnswers = {mrNo, mrYes};
    Click(form->Sectionmanager1, QPoint(20, 110));
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Text, "Vuoi eliminare la sezione 2 ?");
    EXPECT_EQ(ui.Messages[0].Type, TMsgDlgType::mtConfirmation);
    EXPECT_EQ(ui.Messages[0].Buttons, unsigned{mbYes | mbNo});
    EXPECT_EQ(Sizes(form->LeftManager().Side()), (std::vector<int>{33, 33, 34}));
    Click(form->Sectionmanager1, QPoint(20, 110));
    EXPECT_EQ(Sizes(form->LeftManager().Side()), (std::vector<int>{50, 50}));

    Click(form->Sectionmanager2, QPoint(20, 110));
    ASSERT_EQ(ui.Messages.size(), 3u);
    EXPECT_EQ(ui.Messages[2].Text, "Non esistono sezioni da eliminare");
    EXPECT_EQ(form->RightManager().Side().SectionCount(), 0);
}

TEST_F(DefiniscisezioniTest, TheQuestionInEnglishEndsWithTheNumber) {
    CreateSTRGlobData().mlLangDispatcher1->SetActiveLanguage(2);
    auto form = Dialog(SideBytes({33, 33, 34}), SideBytes({}));
    Click(form->delsect);
    ui.MessageAnswers = {mrNo};
    Click(form->Sectionmanager1, QPoint(20, 110));
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Text, "Do you want to delete section 2 ?");
    EXPECT_EQ(form->Caption(), "Define axes");
}

TEST_F(DefiniscisezioniTest, AxesAreAddedAndDeletedWhereTheUserClicks) {
    auto form = Dialog(SideBytes({50, 50}), SideBytes({}));
    TWPSide& side = form->LeftManager().Side();
    Click(form->addaxe);
    Click(form->Sectionmanager1, QPoint(20, 20));
    EXPECT_EQ(side.GetSection(0)->AxisCount(), 2);
    Click(form->Sectionmanager2, QPoint(20, 20));
    EXPECT_TRUE(ui.Messages.empty()) << "no section there: nothing happens";

    Click(form->delaxe);
    // The second cell of the first row, then the only cell of the second.
    Click(form->Sectionmanager1, QPoint(150, 20));
    EXPECT_EQ(side.GetSection(0)->AxisCount(), 1);
    Click(form->Sectionmanager1, QPoint(20, 200));
    EXPECT_EQ(Sizes(side), std::vector<int>{100});

    Click(form->normal);
    Click(form->Sectionmanager1, QPoint(20, 20));
    EXPECT_EQ(Sizes(side), std::vector<int>{100});
    EXPECT_EQ(side.GetSection(0)->AxisCount(), 1);
}

TEST_F(DefiniscisezioniTest, OnlySizingSwitchesBothManagersOn) {
    auto form = Dialog(SideBytes({50, 50}), SideBytes({100}));
    EXPECT_TRUE(form->normal->Down());
    EXPECT_EQ(form->Mode(), stNormal);
    Click(form->ToolButton1);
    EXPECT_EQ(form->Mode(), stSize);
    EXPECT_FALSE(form->normal->Down());
    EXPECT_TRUE(form->LeftManager().Resize);
    EXPECT_TRUE(form->RightManager().Resize);
    // A border of the left side (226 pixels high) dragged in the dialog.
    QTest::mousePress(form->Sectionmanager1, Qt::LeftButton, {}, QPoint(20, 113));
    QTest::mouseMove(form->Sectionmanager1, QPoint(20, 50));
    QTest::mouseRelease(form->Sectionmanager1, Qt::LeftButton, {}, QPoint(20, 50));
    EXPECT_EQ(Sizes(form->LeftManager().Side()), (std::vector<int>{22, 78}));

    const std::pair<TSpeedButton*, int> others[] = {
        {form->delaxe, stDeleteAxis}, {form->ToolButton1, stSize}, {form->normal, stNormal}};
    for (const auto& [button, mode] : others) {
        Click(button);
        EXPECT_EQ(form->Mode(), mode);
        EXPECT_EQ(form->LeftManager().Resize, mode == stSize);
        EXPECT_EQ(form->RightManager().Resize, mode == stSize);
    }
}

TEST_F(DefiniscisezioniTest, TheNumericGridsShowEachSectionsSize) {
    auto form = Numeric({50, 30, 20}, {100});
    EXPECT_EQ(Column(*form->Grid1, 0), (std::vector<std::string>{"Sezione", "1", "2", "3"}));
    EXPECT_EQ(Column(*form->Grid1, 1),
              (std::vector<std::string>{"Dimensione [%]", "50", "30", "20"}));
    EXPECT_EQ(Column(*form->Grid2, 0), (std::vector<std::string>{"Sezione", "1"}));
    EXPECT_EQ(Column(*form->Grid2, 1), (std::vector<std::string>{"Dimensione [%]", "100"}));
    EXPECT_TRUE(form->Grid2->isEnabled());

    auto empty = Numeric({50, 50}, {});
    EXPECT_EQ(empty->Grid2->RowCount(), 1);
    EXPECT_EQ(empty->Grid2->Cells(1, 0), "Dimensione [%]");
    EXPECT_FALSE(empty->Grid2->isEnabled());
    Click(empty->SpeedButton5);
    Click(empty->SpeedButton4);
    EXPECT_EQ(empty->Grid2->RowCount(), 1) << "nothing to share or copy into";
    EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(DefiniscisezioniTest, OkIsRefusedUntilTheSizesAreSound) {
    const std::string tooMuch = "Attenzione la somma totale per sezione non deve superare 100!";
    const std::string notAbove0 = "Attenzione i valori debbono essere maggiori di 0";
    const std::string invalid = "Attenzione sono stati inseriti valori non validi!";
    const struct {
        std::vector<std::string> Left;
        std::vector<std::string> Right;
        std::string Message; // "" when OK closes
    } cases[] = {
        {{"50", "30", "20"}, {"100"}, ""},
        {{"50", "30", "30"}, {"100"}, tooMuch},
        {{"50", "0", "20"}, {"100"}, notAbove0},
        {{"50", "x", "20"}, {"100"}, invalid},
        {{"50", "x", "20"}, {"0"}, invalid},
        {{"50", "30", "20"}, {"101"}, tooMuch},
        // Only the values before the stop count, and too much wins over the stop.
        {{"120", "x", "1"}, {"100"}, tooMuch},
        {{"90", "-5", "60"}, {"100"}, notAbove0},
        {{"30", "30", "30"}, {"50"}, ""},
    };
    for (const auto& c : cases) {
        const std::string label = c.Left[0] + "/" + c.Left[1] + "/" + c.Left[2] + " " + c.Right[0];
        auto form = Dialog(SideBytes({50, 30, 20}), SideBytes({100}));
        ui.Messages.clear();
        bool refused = false;
        scripts.On<Tfrm_def_numeric>([&](Tfrm_def_numeric* n) {
            for (int i = 0; i < 3; ++i)
                TypeInCell(*n->Grid1, i + 1, c.Left[static_cast<size_t>(i)]);
            TypeInCell(*n->Grid2, 1, c.Right[0]);
            Click(n->OKBtn);
            if (c.Message.empty())
                return;
            // The refusal comes once the click has ended the loop's turn.
            QTimer::singleShot(0, n, [&, n] {
                refused = n->isVisible();
                Click(n->CancelBtn);
            });
        });
        Click(form->ToolButton2);
        if (c.Message.empty()) {
            EXPECT_TRUE(ui.Messages.empty()) << label;
            EXPECT_EQ(Sizes(form->LeftManager().Side()),
                      (std::vector<int>{std::stoi(c.Left[0]), std::stoi(c.Left[1]),
                                        std::stoi(c.Left[2])}))
                << label;
            EXPECT_EQ(Sizes(form->RightManager().Side()), std::vector<int>{std::stoi(c.Right[0])});
            continue;
        }
        EXPECT_TRUE(refused) << label;
        ASSERT_EQ(ui.Messages.size(), 1u) << label;
        EXPECT_EQ(ui.Messages[0].Text, c.Message) << label;
        EXPECT_EQ(Sizes(form->LeftManager().Side()), (std::vector<int>{50, 30, 20})) << label;
        EXPECT_EQ(Sizes(form->RightManager().Side()), std::vector<int>{100}) << label;
    }
}

TEST_F(DefiniscisezioniTest, NumericSizesReachTheSideStream) {
    std::string left = SideBytes({33, 33, 34});
    std::string right = SideBytes({100});
    scripts.On<Tfrm_def_numeric>([](Tfrm_def_numeric* n) {
        TypeInCell(*n->Grid1, 1, "60");
        TypeInCell(*n->Grid1, 2, "30");
        TypeInCell(*n->Grid1, 3, "10");
        Click(n->OKBtn);
    });
    scripts.On<TDefiniscisezioni>([](TDefiniscisezioni* f) {
        Click(f->ToolButton2);
        EXPECT_EQ(f->LeftManager().Side().GetSection(0)->Size, 60);
        Click(f->OKBtn);
    });
    ASSERT_TRUE(EditSectionsDialog(left, right));
    EXPECT_EQ(HexBytes(left.substr(0, 8)), HexBytes(FromHex("03000000 3C000000")));
    EXPECT_EQ(right, SideBytes({100}));
}

TEST_F(DefiniscisezioniTest, EqualSharesAndTotals) {
    auto form = Numeric({50, 30, 20}, {100});
    Click(form->SpeedButton3);
    EXPECT_EQ(Column(*form->Grid1, 1),
              (std::vector<std::string>{"Dimensione [%]", "33", "33", "33"}));
    Click(form->SpeedButton1);
    EXPECT_EQ(form->Label3->Caption(), "99");
    EXPECT_EQ(RunModal(form.get(), [&] { Click(form->OKBtn); }), mrOk) << "99 is accepted";

    form->Grid1->SetCells(1, 2, "0");
    Click(form->SpeedButton1);
    EXPECT_EQ(form->Label3->Caption(), "ERRORE!");
    form->Grid1->SetCells(1, 2, "3");
    Click(form->SpeedButton1);
    EXPECT_EQ(form->Label3->Caption(), "69");
    form->Grid1->SetCells(1, 2, "x");
    Click(form->SpeedButton1);
    EXPECT_EQ(form->Label3->Caption(), "69") << "left as it was";
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Type, TMsgDlgType::mtError);
    EXPECT_EQ(ui.Messages[0].Text, "'x' is not a valid integer value");
    Click(form->SpeedButton2);
    EXPECT_EQ(form->Label6->Caption(), "100");
}

TEST_F(DefiniscisezioniTest, CopyingFillsTheRowsTheOtherSideHas) {
    auto form = Numeric({40, 30, 20, 10}, {50, 50});
    Click(form->SpeedButton4);
    EXPECT_EQ(Column(*form->Grid2, 1), (std::vector<std::string>{"Dimensione [%]", "40", "30"}));
    EXPECT_EQ(Column(*form->Grid1, 1),
              (std::vector<std::string>{"Dimensione [%]", "40", "30", "20", "10"}));

    auto back = Numeric({40, 30, 20, 10}, {50, 50});
    Click(back->SpeedButton6);
    EXPECT_EQ(Column(*back->Grid1, 1),
              (std::vector<std::string>{"Dimensione [%]", "50", "50", "20", "10"}));
}

// The messages in English, as the dialogs build them from their tables.
TEST(SectionTextsTest, EnglishMessages) {
    const struct {
        const char* Table;
        const char* Id;
        const char* English;
    } texts[] = {
        {"TDefiniscisezioni", "IDS_2", "Do you want to delete section "},
        {"TDefiniscisezioni", "IDS_3", "No more section exists"},
        {"Tfrm_def_numeric", "IDS_0", "All values must be greater than zero"},
        {"Tfrm_def_numeric", "IDS_1", "Attention invalid values has been inserted!"},
        {"Tfrm_def_numeric", "IDS_2",
         "Warning: the sizes of a side must not add up to more than 100!"},
        {"Tfrm_def_numeric", "IDS_3", "ERROR!"},
        {"TF_SelTipi", "IDS_0", "Axis"},
        {"TF_SelTipi", "IDS_1", "Channel type"},
    };
    for (const auto& t : texts) {
        TmlLang lang;
        ASSERT_TRUE(LoadTranslationResource(lang, t.Table)) << t.Table;
        lang.RebuildStringsTable();
        lang.SetActiveLanguage(2);
        EXPECT_EQ(lang.GetTextOrDefault(t.Id), t.English) << t.Table << " " << t.Id;
    }
}

} // namespace
} // namespace vx::test
