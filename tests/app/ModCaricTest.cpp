#include "app/ModCaric.h"

#include "app/AppTestSupport.h"
#include "app/Main.h"
#include "app/MainExtensions.h"
#include "data/Modellocaricamento.h"
#include "document/clipGrid.h"
#include "platform/runtime/Cp1252.h"
#include "platform/system/Files.h"
#include "platform/ui/Button.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Label.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/StringGrid.h"
#include "support/FormTestSupport.h"

#include <QTest>
#include <QTimer>

#include <memory>

namespace vx {
namespace {

using test::ModalScripts;
using test::RunModal;
using test::TypeInto;

const char kFx[] = "3\tBanco A\r\n\r\nTempo\tForza\tCorsa\tDelta\r\ns\tkN\tmm\tmm\r\n\r\n"
                   "8\t5\t2\t-30\r\n0\t1\t2\t-10\r\n4\t3\t2\t-20\r\n";

class ModCaricTest : public test::AppWindowTest {
protected:
    void SetUp() override {
        AppWindowTest::SetUp();
        fx = dir.File("fx.txt");
        test::WriteFile(fx, kFx);
        editor.reset(CreateForm<TFormModellocaricamento>());
    }

    void Select(int col, int row) { editor->Grid1->SetSelection({col, row, col, row}); }

    std::unique_ptr<TFormModellocaricamento> editor;
    std::string fx;
};

TEST_F(ModCaricTest, LoadFileShowsFieldsWithLettersAndNumbers) {
    ASSERT_TRUE(editor->LoadFile(fx));
    TStringGrid* g = editor->Grid1;
    EXPECT_EQ(g->Cells(1, 1), "3");
    EXPECT_EQ(g->Cells(2, 1), "Banco A");
    EXPECT_EQ(g->Cells(4, 8), "-20");
    EXPECT_EQ(g->ColCount(), 5);
    EXPECT_EQ(g->RowCount(), 10);
    for (int c = 1; c <= 4; ++c)
        EXPECT_EQ(g->Cells(c, 0), std::string(1, char('A' + c - 1)));
    for (int r = 1; r <= 9; ++r)
        EXPECT_EQ(g->Cells(0, r), std::to_string(r));
    for (int c = 1; c <= 4; ++c)
        EXPECT_EQ(g->Cells(c, 9), "");
    EXPECT_EQ(g->FixedCols(), 1);
    EXPECT_EQ(g->FixedRows(), 1);
    for (TLabel* label : {editor->Label1, editor->Label2, editor->Label3})
        EXPECT_EQ(label->text(), "[..;..]");
    EXPECT_EQ(editor->Edit2->Text(), "*");
    EXPECT_FALSE(editor->Modified());
}

TEST_F(ModCaricTest, LongLinesAreCutAndWideFilesGetTwoLetterColumns) {
    std::string wide;
    for (int i = 1; i <= 53; ++i)
        wide += "f" + std::to_string(i) + "\t";
    const std::string path = dir.File("wide.txt");
    test::WriteFile(path, wide + "\r\n" + std::string(300, 'x') + "\n");
    ASSERT_TRUE(editor->LoadFile(path));
    EXPECT_EQ(editor->Grid1->Cells(27, 0), "AA");
    EXPECT_EQ(editor->Grid1->Cells(53, 0), "BA");
    EXPECT_EQ(editor->Grid1->Cells(53, 1), "f53");
    EXPECT_EQ(editor->Grid1->Cells(1, 2), std::string(255, 'x'));
}

TEST_F(ModCaricTest, AMissingFileLeavesTheGridAsItWas) {
    ASSERT_TRUE(editor->LoadFile(fx));
    EXPECT_FALSE(editor->LoadFile(dir.File("missing.txt")));
    EXPECT_EQ(editor->Grid1->Cells(2, 1), "Banco A");
}

TEST_F(ModCaricTest, MarkedPointsAreSavedAsALoadModel) {
    ASSERT_TRUE(editor->LoadFile(fx));
    Select(2, 4);
    editor->SpeedButton3->click();
    Select(2, 5);
    editor->SpeedButton4->click();
    Select(2, 7);
    editor->SpeedButton5->click();
    EXPECT_EQ(editor->Label1->text(), "[B;4]");
    EXPECT_EQ(editor->Label2->text(), "[B;5]");
    EXPECT_EQ(editor->Label3->text(), "[B;7]");
    EXPECT_TRUE(editor->Modified());
    TypeInto(editor->Edit2, "TXTX");
    EXPECT_EQ(editor->Edit2->Text(), "TXT");

    ui.SaveAnswers = {BasePath + "Configurazioni/m1"};
    editor->SpeedButton2->click();
    ASSERT_EQ(ui.FileRequests.size(), 1u);
    EXPECT_EQ(ui.FileRequests[0].Request.InitialDir, ConfigurationsFolder());
    EXPECT_EQ(ui.FileRequests[0].Request.Filter, "WHF files (*.WHF)|*.WHF|All files (*.*)|*.*");
    EXPECT_EQ(test::HexBytes(test::ReadFile(BasePath + "Configurazioni/m1.WHF")),
              test::HexBytes(test::FromHex("0E") + "Kolm_WHF_V_1.0" + test::FromHex("03") + "TXT" +
                             test::FromHex("02000000 04000000 02000000 05000000 02000000 07000000"
                                           "00000000 00000000")));

    // A name with the extension in other letters is kept as it is.
    ui.SaveAnswers = {BasePath + "Configurazioni/m2.whf"};
    editor->SpeedButton2->click();
    EXPECT_TRUE(FileExists(BasePath + "Configurazioni/m2.whf"));
    EXPECT_FALSE(FileExists(BasePath + "Configurazioni/m2.whf.WHF"));
    EXPECT_TRUE(Messages().empty());

    std::unique_ptr<TFormModellocaricamento> other(CreateForm<TFormModellocaricamento>());
    ui.OpenAnswers = {{BasePath + "Configurazioni/m1.WHF"}, {fx}};
    other->SpeedButton1->click();
    EXPECT_EQ(other->Label1->text(), "[B;4]");
    EXPECT_EQ(other->Label3->text(), "[B;7]");
    EXPECT_EQ(other->Edit2->Text(), "TXT");
    other->SpeedButton1->click();
    EXPECT_EQ(Messages(), std::vector<std::string>{"File non compatibile!"});
    EXPECT_EQ(other->Label2->text(), "[B;5]");
    EXPECT_EQ(other->Edit2->Text(), "TXT");
}

TEST_F(ModCaricTest, AStoredPointOutsideTheGridAndALongFilterShowAsStored) {
    TModellocaricamento model;
    model.Mask = "LONGER";
    model.NamesPos = {0, 3};
    model.UnitsPos = {2, 0};
    ASSERT_TRUE(model.SaveToFile(dir.File("m.WHF")));
    ui.OpenAnswers = {{dir.File("m.WHF")}};
    editor->SpeedButton1->click();
    EXPECT_EQ(editor->Label1->text(), "[A;3]");
    EXPECT_EQ(editor->Label2->text(), "[..;..]");
    EXPECT_EQ(editor->Edit2->Text(), "LONGER");
}

TEST_F(ModCaricTest, ASaveThatFailsIsTold) {
    test::WriteFile(dir.File("f"), "x");
    ui.SaveAnswers = {dir.File("f/m")};
    editor->SpeedButton2->click();
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Impossibile salvare il file: " + dir.File("f/m.WHF")});
}

TEST_F(ModCaricTest, OkAsksWhileTheModelIsChangedAndCancelNever) {
    ASSERT_TRUE(editor->LoadFile(fx));
    // Unchanged: OK ends at once.
    EXPECT_EQ(RunModal(editor.get(), [&] { editor->OKBtn->click(); }), mrOk);
    EXPECT_TRUE(Messages().empty());

    ui.MessageAnswers = {mrYes, mrNo};
    ui.SaveAnswers = {dir.File("saved")};
    const int result = RunModal(editor.get(), [&] {
        Select(1, 3);
        editor->SpeedButton3->click();
        editor->OKBtn->click();
        QTimer::singleShot(0, editor.get(), [&] {
            EXPECT_TRUE(editor->isVisible());
            editor->SpeedButton2->click();
            editor->OKBtn->click();
        });
    });
    EXPECT_EQ(result, mrOk);
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Messages()[0], "Il modello \xE8 stato cambiato, vuoi salvere le modifiche?");
    EXPECT_EQ(ui.Messages[0].Buttons, unsigned(mbYes | mbNo));

    ui.Messages.clear();
    EXPECT_EQ(RunModal(editor.get(), [&] { editor->CancelBtn->click(); }), mrCancel);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ModCaricTest, TheMainWindowRunsTheEditorOnTheChosenFile) {
    ForceDirectories(BasePath + "bin");
    setenv("VORNIX_PROGRAM_PATH", (BasePath + "bin/vornix").c_str(), 1);
    MainExtensions() = {};
    InstallLoadModelEditor(MainExtensions());
    std::unique_ptr<TMainForm> main(CreateForm<TMainForm>());
    EXPECT_FALSE(main->Modellodicaricamento1->Visible());
    ModalScripts scripts(ui);
    scripts.On<TFormModellocaricamento>([&](TFormModellocaricamento* e) {
        EXPECT_EQ(e->Grid1->Cells(2, 1), "Banco A");
        EXPECT_EQ(e->WindowState(), wsMaximized);
        e->CancelBtn->click();
    });
    ui.OpenAnswers = {{fx}};
    main->Modellodicaricamento1->Click();
    main.reset();
    MainExtensions() = {};
    unsetenv("VORNIX_PROGRAM_PATH");
}

} // namespace
} // namespace vx

namespace vx {
namespace {

// A file beyond the grid's cell bound shows its lines up to that bound.
TEST_F(ModCaricTest, AHugeFileShowsItsLinesUpToTheCellBound) {
    const std::string path = dir.File("huge.txt");
    // Wide lines reach the bound soon: 100 fields, 101 columns with the numbers.
    std::string rest;
    for (int k = 2; k <= 100; ++k)
        rest += "\tx";
    std::string text;
    for (int i = 1; i <= 45'000; ++i)
        text += std::to_string(i) + rest + "\n";
    test::WriteFile(path, text);
    ASSERT_TRUE(editor->LoadFile(path));
    TStringGrid* g = editor->Grid1;
    EXPECT_EQ(g->ColCount(), 101);
    EXPECT_LE(int64_t{g->ColCount()} * g->RowCount(), TclipGrid::kMaxPasteCells);
    EXPECT_GT(int64_t{g->ColCount()} * (g->RowCount() + 1), TclipGrid::kMaxPasteCells);
    const int lastLine = g->RowCount() - 2;
    EXPECT_EQ(g->Cells(1, lastLine), std::to_string(lastLine));
    EXPECT_EQ(g->Cells(1, lastLine + 1), "");
}

} // namespace
} // namespace vx
