#include "app/editor32.h"

#include "app/AppTestSupport.h"
#include "app/Main.h"
#include "app/MainExtensions.h"
#include "app/SheetBook.h"
#include "document/clipGrid.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Timer.h"
#include "platform/system/Files.h"
#include "platform/ui/Edit.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/TabSet.h"
#include "support/FormTestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

#include <cstdio>
#include <memory>

namespace vx {
namespace {

using test::TypeInto;

const char kFx[] = "3\tBanco A\r\n\r\nTempo\tForza\tCorsa\tDelta\r\ns\tkN\tmm\tmm\r\n\r\n"
                   "8\t5\t2\t-30\r\n0\t1\t2\t-10\r\n4\t3\t2\t-20\r\n";

class EditorTest : public test::AppWindowTest {
protected:
    void SetUp() override {
        AppWindowTest::SetUp();
        fx = dir.File("fx.txt");
        test::WriteFile(fx, kFx);
        ForceDirectories(BasePath + "bin");
        setenv("VORNIX_PROGRAM_PATH", (BasePath + "bin/vornix").c_str(), 1);
        MainExtensions() = {};
        InstallTestEditor(MainExtensions());
        main = CreateForm<TMainForm>();
        main->show();
        main->activateWindow();
        (void)QTest::qWaitForWindowActive(main, 2000);
    }
    void TearDown() override {
        delete main;
        unsetenv("VORNIX_PROGRAM_PATH");
        MainExtensions() = {};
        AppWindowTest::TearDown();
    }

    // The editor opened with F3 on path, or null when none came.
    Tfrm_32bitedit* Open(const std::string& path) {
        ui.OpenAnswers.push_back({path});
        const auto before = main->ClientArea->subWindowList().size();
        main->Editprova1->Click();
        const QList<QMdiSubWindow*> subs = main->ClientArea->subWindowList(QMdiArea::CreationOrder);
        if (subs.size() == before)
            return nullptr;
        main->ClientArea->setActiveSubWindow(subs.back());
        return qobject_cast<Tfrm_32bitedit*>(subs.back()->widget());
    }
    static std::string State(Tfrm_32bitedit* e) {
        return FromQString(e->StatusBar1->Panel(1)->Text());
    }
    // Types text into a cell and commits it with Enter, as a user does.
    static void TypeCell(Tfrm_32bitedit* e, int col, int row, const char* text) {
        TclipGrid* grid = e->SheetBook1->Grid;
        grid->SetCol(col);
        grid->SetRow(row);
        grid->setFocus();
        QTest::keyClicks(grid, text);
        QLineEdit* editor = nullptr;
        for (QLineEdit* line : grid->findChildren<QLineEdit*>())
            if (line->isVisible())
                editor = line;
        ASSERT_NE(editor, nullptr);
        QTest::keyClick(editor, Qt::Key_Return);
        // The view commits and closes its editor through a queued call.
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    static void StartTimer(Tfrm_32bitedit* e) { e->Timer1Timer(e); }

    TMainForm* main = nullptr;
    std::string fx;
};

TEST_F(EditorTest, F3OpensTheFileInAChildWindowWithItsMenus) {
    Tfrm_32bitedit* e = Open(fx);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(FromQString(e->Caption()), fx);
    QStringList menus;
    for (TMenuItem* item : main->MainMenu1->ShownItems())
        menus << item->Caption();
    EXPECT_TRUE(menus.contains("&Editor")) << menus.join(",").toStdString();
    EXPECT_TRUE(menus.contains("Fogli"));
    TSheetBook* sheet = e->SheetBook1;
    EXPECT_EQ(sheet->Cell(1, 1), "3");
    EXPECT_EQ(sheet->Cell(2, 1), "Banco A");
    EXPECT_EQ(sheet->Cell(1, 3), "Tempo");
    EXPECT_EQ(sheet->Cell(4, 8), "-20");
    EXPECT_EQ(sheet->Grid->Cells(1, 0), "A");
    EXPECT_EQ(sheet->Grid->Cells(0, 8), "8");
    EXPECT_EQ(sheet->SheetName(1), "fx.txt");
    EXPECT_EQ(sheet->Tabs->Tabs(), QStringList{"fx.txt"});
    EXPECT_TRUE(sheet->ShowEditBar());
    EXPECT_TRUE(sheet->EditBar->isVisible());
    EXPECT_EQ(e->StatusBar1->Panel(0)->Text(), "Stato");
    EXPECT_EQ(State(e), "Aggiornato");
    EXPECT_EQ(e->Timer1->Interval(), 1000u);
    EXPECT_FALSE(e->ParametriIperbolici1->Enabled());
}

TEST_F(EditorTest, EditsMarkTheTextOnlyAfterTheFirstSecondAndSaveWritesThem) {
    Tfrm_32bitedit* e = Open(fx);
    ASSERT_NE(e, nullptr);
    TypeCell(e, 2, 8, "3");
    EXPECT_EQ(State(e), "Aggiornato");
    StartTimer(e);
    EXPECT_EQ(e->Timer1->Tag, 1);
    EXPECT_FALSE(e->Timer1->Enabled());
    TypeCell(e, 2, 8, "9");
    EXPECT_EQ(e->SheetBook1->Cell(2, 8), "9");
    EXPECT_EQ(State(e), "Modificato");
    EXPECT_FALSE(e->SheetBook1->Modified());
    e->Salva1->Click();
    std::string expected = kFx;
    expected.replace(expected.size() - 11, 11, "4\t9\t2\t-20\r\n");
    EXPECT_EQ(test::ReadFile(fx), expected);
    EXPECT_EQ(State(e), "Aggiornato");

    // The edit bar edits the current cell as well.
    e->SheetBook1->Grid->SetCol(1);
    e->SheetBook1->Grid->SetRow(1);
    EXPECT_EQ(e->SheetBook1->EditBar->Text(), "3");
    TypeInto(e->SheetBook1->EditBar, "4");
    QTest::keyClick(e->SheetBook1->EditBar, Qt::Key_Return);
    EXPECT_EQ(e->SheetBook1->Cell(1, 1), "4");
    EXPECT_EQ(State(e), "Modificato");
}

TEST_F(EditorTest, UntouchedSavesAreByteIdentical) {
    const char* const files[] = {kFx, "a\tb\t\r\n\r\nc\r\n", "x\ny\rz", "\xE8\t\xFF\r\n\t\t\r\n"};
    for (const char* bytes : files) {
        const std::string path = dir.File("same.txt");
        test::WriteFile(path, bytes);
        TSheetBook sheet;
        int type = 3;
        sheet.Read(path, type);
        const std::string out = dir.File("out.txt");
        sheet.Write(out, 3);
        std::string expected = bytes;
        if (std::string(bytes) == "x\ny\rz")
            expected = "x\r\ny\r\nz\r\n";
        EXPECT_EQ(test::HexBytes(test::ReadFile(out)), test::HexBytes(expected));
    }
}

TEST_F(EditorTest, TypeOtherThanTextIsRefused) {
    TSheetBook sheet;
    int type = 1;
    EXPECT_THROW(sheet.Read(fx, type), Exception);
    EXPECT_THROW(sheet.Write(dir.File("o"), 2), Exception);
    EXPECT_FALSE(FileExists(dir.File("o")));
}

TEST_F(EditorTest, SaveAsWritesACopyAndKeepsTheFile) {
    Tfrm_32bitedit* e = Open(fx);
    ASSERT_NE(e, nullptr);
    StartTimer(e);
    TypeCell(e, 1, 1, "7");
    ui.SaveAnswers = {dir.File("copy.txt")};
    e->Save1->Click();
    const FileDialogRequest& request = ui.FileRequests.back().Request;
    EXPECT_EQ(request.InitialDir + "/", dir.Path());
    EXPECT_EQ(request.FileName, "fx.txt");
    EXPECT_EQ(request.Filter, "All file (*.*)|*.*|Text files (*.TXT)|*.TXT");
    EXPECT_EQ(test::ReadFile(dir.File("copy.txt")).substr(0, 3), "7\tB");
    EXPECT_EQ(FromQString(e->Caption()), fx);
    EXPECT_EQ(State(e), "Aggiornato");
    e->Salva1->Click();
    EXPECT_EQ(test::ReadFile(fx).substr(0, 3), "7\tB");
}

TEST_F(EditorTest, CopyAndPasteGoThroughTheClipboard) {
    Tfrm_32bitedit* e = Open(fx);
    ASSERT_NE(e, nullptr);
    StartTimer(e);
    TclipGrid* grid = e->SheetBook1->Grid;
    grid->SetSelection({1, 3, 2, 4});
    e->Copia1->Click();
    EXPECT_EQ(QApplication::clipboard()->text(), "Tempo\tForza\r\ns\tkN\r\n");
    EXPECT_EQ(State(e), "Aggiornato");
    grid->SetSelection({6, 1, 6, 1});
    e->Incolla1->Click();
    EXPECT_EQ(e->SheetBook1->Cell(6, 1), "Tempo");
    EXPECT_EQ(e->SheetBook1->Cell(7, 2), "kN");
    EXPECT_EQ(State(e), "Modificato");
    e->Salva1->Click();
    EXPECT_EQ(test::ReadFile(fx).substr(0, 28), "3\tBanco A\t\t\t\tTempo\tForza\r\n\t\t");

    // Cut empties the cells; Delete too.
    grid->SetSelection({1, 8, 1, 8});
    e->Taglia1->Click();
    EXPECT_EQ(e->SheetBook1->Cell(1, 8), "");
    EXPECT_EQ(QApplication::clipboard()->text(), "4\r\n");
    e->Salva1->Click();
    grid->SetSelection({2, 8, 2, 8});
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(e->SheetBook1->Cell(2, 8), "");
    EXPECT_EQ(State(e), "Modificato");
}

TEST_F(EditorTest, FrozenColumnsStayBesideTheNumbersAndStayEditable) {
    std::string text;
    for (int r = 1; r <= 30; ++r) {
        for (int c = 1; c <= 30; ++c)
            text += (c > 1 ? "\t" : "") + TclipGrid::ColumnLetters(c - 1) + std::to_string(r);
        text += "\r\n";
    }
    const std::string path = dir.File("big.txt");
    test::WriteFile(path, text);
    Tfrm_32bitedit* e = Open(path);
    ASSERT_NE(e, nullptr);
    TSheetBook* sheet = e->SheetBook1;
    sheet->SetLeftCol(3);
    ASSERT_EQ(sheet->LeftCol(), 3);
    sheet->SetCol(5);
    sheet->SetRow(5);
    e->SpeedButton7->click();
    EXPECT_TRUE(e->SpeedButton7->Down());
    EXPECT_EQ(sheet->FixedCol(), 3);
    EXPECT_EQ(sheet->FixedCols(), 3);
    // Scrolled right, C..E stay beside the numbers.
    sheet->Grid->horizontalScrollBar()->setValue(sheet->Grid->horizontalScrollBar()->maximum());
    QTableView* frozen = nullptr;
    for (QTableView* view : sheet->Grid->findChildren<QTableView*>())
        if (view->isVisible() && view->isColumnHidden(0) && !view->isRowHidden(0))
            frozen = view;
    ASSERT_NE(frozen, nullptr);
    EXPECT_EQ(frozen->x() - sheet->Grid->viewport()->x(), sheet->Grid->columnWidth(0));
    EXPECT_EQ(frozen->columnAt(1), 3);
    EXPECT_EQ(frozen->columnAt(frozen->width() - 1), 5);
    EXPECT_EQ(frozen->width(), 3 * sheet->Grid->columnWidth(3));
    EXPECT_TRUE(sheet->Grid->isColumnHidden(1));
    EXPECT_GT(sheet->LeftCol(), 6);
    // E is edited where it stands.
    const QModelIndex e5 = frozen->model()->index(5, 5);
    EXPECT_TRUE(frozen->model()->flags(e5) & Qt::ItemIsEditable);
    StartTimer(e);
    frozen->setCurrentIndex(e5);
    frozen->edit(e5);
    QLineEdit* editor = frozen->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, "new");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(sheet->Cell(5, 5), "new");
    EXPECT_EQ(State(e), "Modificato");

    e->SpeedButton7->click();
    EXPECT_EQ(sheet->FixedCols(), 0);
    EXPECT_FALSE(sheet->Grid->isColumnHidden(1));

    // A current column left of the view freezes nothing.
    sheet->Grid->horizontalScrollBar()->setValue(0);
    sheet->Grid->selectionModel()->setCurrentIndex(sheet->Grid->model()->index(2, 2),
                                                   QItemSelectionModel::ClearAndSelect);
    sheet->SetLeftCol(10);
    ASSERT_EQ(sheet->Col(), 2);
    e->SpeedButton7->click();
    EXPECT_FALSE(e->SpeedButton7->Down());
    EXPECT_EQ(sheet->FixedCols(), 0);

    sheet->SetTopRow(2);
    sheet->SetCol(3);
    sheet->SetRow(4);
    e->SpeedButton8->click();
    EXPECT_EQ(sheet->FixedRow(), 2);
    EXPECT_EQ(sheet->FixedRows(), 3);
}

TEST_F(EditorTest, ClosingWithUnsavedEditsAsks) {
    Tfrm_32bitedit* e = Open(fx);
    ASSERT_NE(e, nullptr);
    StartTimer(e);
    TypeCell(e, 1, 1, "5");
    QPointer<Tfrm_32bitedit> alive(e);

    ui.MessageAnswers = {mrCancel};
    e->Close1->Click();
    QApplication::processEvents();
    ASSERT_TRUE(alive);
    EXPECT_EQ(ui.Messages.back().Text, "Il file \xE8 stato modificato, vuoi salvare le modifiche?");
    EXPECT_EQ(ui.Messages.back().Buttons, unsigned(mbYes | mbNo | mbCancel));
    EXPECT_EQ(e->SheetBook1->Cell(1, 1), "5");

    ui.MessageAnswers = {mrNo};
    e->Close1->Click();
    QTest::qWait(10);
    EXPECT_FALSE(alive);
    EXPECT_EQ(test::ReadFile(fx), kFx);

    e = Open(fx);
    alive = e;
    StartTimer(e);
    TypeCell(e, 1, 1, "6");
    ui.MessageAnswers = {mrYes};
    e->Close1->Click();
    QTest::qWait(10);
    EXPECT_FALSE(alive);
    EXPECT_EQ(test::ReadFile(fx).substr(0, 2), "6\t");
}

TEST_F(EditorTest, ASaveThatFailsKeepsTheEditorAndItsEdits) {
    ForceDirectories(dir.File("sub"));
    const std::string path = dir.File("sub/fx.txt");
    test::WriteFile(path, kFx);
    Tfrm_32bitedit* e = Open(path);
    ASSERT_NE(e, nullptr);
    QPointer<Tfrm_32bitedit> alive(e);
    StartTimer(e);
    TypeCell(e, 1, 1, "5");
    // The folder goes away under the editor: the save cannot put its file there.
    ASSERT_EQ(std::rename(dir.File("sub").c_str(), dir.File("gone").c_str()), 0);
    ui.MessageAnswers = {mrYes};
    e->Close1->Click();
    QApplication::processEvents();
    ASSERT_TRUE(alive);
    EXPECT_EQ(Messages().back(),
              "Impossibile salvare il file: " + path + "\r\nfile o cartella inesistente");
    EXPECT_EQ(State(e), "Modificato");
    EXPECT_EQ(e->SheetBook1->Cell(1, 1), "5");
    EXPECT_EQ(test::ReadFile(dir.File("gone/fx.txt")), kFx);
}

TEST_F(EditorTest, OpenAsksFirstAndAFileThatCannotBeReadChangesNothing) {
    Tfrm_32bitedit* e = Open(fx);
    ASSERT_NE(e, nullptr);
    StartTimer(e);
    TypeCell(e, 1, 1, "5");
    ui.MessageAnswers = {mrCancel};
    ui.OpenAnswers = {{dir.File("other.txt")}};
    e->SpeedButton1->click();
    EXPECT_EQ(ui.OpenAnswers.size(), 1u);
    EXPECT_EQ(ui.Messages.back().Text, "Il file \xE8 stato modificato, vuoi salvare le modifiche?");

    ui.MessageAnswers = {mrNo};
    ui.OpenAnswers = {{dir.File("missing.txt")}};
    e->SpeedButton1->click();
    EXPECT_EQ(ui.FileRequests.back().Request.InitialDir + "/", dir.Path());
    EXPECT_EQ(Messages().back(), "Impossibile leggere il file: " + dir.File("missing.txt") +
                                     "\r\nfile o cartella inesistente");
    EXPECT_EQ(FromQString(e->Caption()), fx);
    EXPECT_EQ(e->FileName(), fx);
    EXPECT_EQ(e->SheetBook1->SheetName(1), "fx.txt");
    EXPECT_EQ(e->SheetBook1->Cell(2, 1), "Banco A");

    const std::string other = dir.File("other.txt");
    test::WriteFile(other, "o\r\n");
    ui.OpenAnswers = {{other}};
    e->SpeedButton1->click();
    EXPECT_EQ(FromQString(e->Caption()), other);
    EXPECT_EQ(e->SheetBook1->Cell(1, 1), "o");
    EXPECT_EQ(e->SheetBook1->SheetName(1), "other.txt");

    // F3 on a missing file leaves no editor behind.
    const int before = static_cast<int>(main->ClientArea->subWindowList().size());
    ui.OpenAnswers.clear();
    Open(dir.File("missing.txt"));
    EXPECT_EQ(static_cast<int>(main->ClientArea->subWindowList().size()), before);
}

TEST_F(EditorTest, AFileWithTooManyCellsIsRefusedBeforeAnyCellChanges) {
    const std::string path = dir.File("huge.txt");
    std::string text;
    text.reserve(2'000'001 * 4);
    for (int i = 0; i < 2'000'001; ++i)
        text += "1\t2\n";
    test::WriteFile(path, text);
    Tfrm_32bitedit* e = Open(fx);
    ASSERT_NE(e, nullptr);
    ui.OpenAnswers = {{path}};
    e->SpeedButton1->click();
    EXPECT_EQ(Messages().back(), "File troppo grande per l'editor: " + path);
    EXPECT_EQ(e->SheetBook1->Cell(2, 1), "Banco A");
    EXPECT_EQ(e->FileName(), fx);
}

TEST_F(EditorTest, TwoEditorsAtOnceAreListedAndTheMainWindowAsksAboutEdits) {
    Tfrm_32bitedit* a = Open(fx);
    const std::string other = dir.File("b.txt");
    test::WriteFile(other, "b\r\n");
    Tfrm_32bitedit* b = Open(other);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    main->Window1->Click();
    QStringList entries;
    for (QAction* action : main->Documenti1->menu()->actions())
        entries << action->text();
    EXPECT_EQ(entries.size(), 2);
    EXPECT_TRUE(entries.join("|").contains("b.txt"));
    EXPECT_TRUE(main->Editprova1->Enabled());
    EXPECT_TRUE(main->Editprova1->Hint().isEmpty());

    StartTimer(a);
    TypeCell(a, 1, 1, "5");
    ui.MessageAnswers = {mrCancel};
    EXPECT_FALSE(main->close());
    EXPECT_EQ(Messages().back(), "Il file \xE8 stato modificato, vuoi salvare le modifiche?");
}

} // namespace
} // namespace vx
