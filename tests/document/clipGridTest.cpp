#include "document/clipGrid.h"

#include "platform/graphics/Colors.h"
#include "platform/ui/ComboBox.h"

#include "support/TestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vx {
namespace {

// Rows of cells from the top-left cell; "" where a cell is empty.
using Cells = std::vector<std::vector<std::string>>;

void Fill(TStringGrid& grid, const Cells& cells) {
    for (size_t r = 0; r < cells.size(); ++r)
        for (size_t c = 0; c < cells[r].size(); ++c)
            grid.SetCells(static_cast<int>(c), static_cast<int>(r), cells[r][c]);
}

Cells Read(const TStringGrid& grid) {
    Cells cells(grid.RowCount(), std::vector<std::string>(grid.ColCount()));
    for (int r = 0; r < grid.RowCount(); ++r)
        for (int c = 0; c < grid.ColCount(); ++c)
            cells[r][c] = grid.Cells(c, r);
    return cells;
}

std::unique_ptr<TclipGrid> Grid(int cols, int rows) {
    auto grid = std::make_unique<TclipGrid>(nullptr, "Grid1");
    grid->SetColCount(cols);
    grid->SetRowCount(rows);
    return grid;
}

void Show(QWidget& widget) {
    widget.show();
    widget.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&widget));
}

QPoint CenterOf(const TStringGrid& grid, int col, int row) {
    const TRect r = grid.CellRect(col, row);
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}

// The open editor; a closed one may still wait for its deletion.
QLineEdit* EditorOf(TStringGrid& grid) {
    for (QLineEdit* editor : grid.viewport()->findChildren<QLineEdit*>())
        if (editor->isVisible())
            return editor;
    return nullptr;
}

TEST(clipGridTest, StartsWithEveryOptionOff) {
    TclipGrid grid;
    EXPECT_FALSE(grid.autoresize);
    EXPECT_FALSE(grid.autoediting);
    EXPECT_FALSE(grid.numerarighe);
    EXPECT_FALSE(grid.numeracolonne);
    EXPECT_TRUE(grid.property("autoresize").isValid());
}

TEST(clipGridTest, CopiedTextEndsEveryCellWithTabAndEveryRowWithCrLf) {
    auto grid = Grid(4, 4);
    Fill(*grid, {{}, {"", "p", "", "q"}, {"", "a", "b"}, {"", "c", "d"}});
    struct Case {
        TGridRect selection;
        std::string text;
    };
    const Case cases[] = {
        {{1, 1, 3, 1}, "p\t\tq\r\n"},
        {{1, 2, 2, 3}, "a\tb\r\nc\td\r\n"},
        {{2, 3, 2, 3}, "d\r\n"},
    };
    for (const Case& c : cases) {
        grid->SetSelection(c.selection);
        EXPECT_EQ(grid->SelectionText(false), c.text);
    }
    grid->SetSelection({1, 2, 2, 3});
    EXPECT_EQ(grid->SelectionText(true), "a\tb\r\nc\td\r\n");
    EXPECT_EQ(Read(*grid)[2], (std::vector<std::string>{"", "", "", ""}));
    EXPECT_EQ(Read(*grid)[3], (std::vector<std::string>{"", "", "", ""}));
    EXPECT_EQ(grid->Cells(1, 1), "p");
}

TEST(clipGridTest, ClipboardCarriesUnicodeAndTheGridCp1252) {
    auto grid = Grid(3, 3);
    grid->SetCells(1, 1,
                   "25 \xB0"
                   "C");
    grid->SetSelection({1, 1, 1, 1});
    grid->CopyToClipboard(false);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("25 °C\r\n"));
    grid->SetSelection({2, 2, 2, 2});
    grid->PasteFromClipboard();
    EXPECT_EQ(grid->Cells(2, 2), "25 \xB0"
                                 "C");
    // A character the code page lacks arrives as '?'.
    QGuiApplication::clipboard()->setText(QString::fromUtf8("Ω1"));
    grid->PasteFromClipboard();
    EXPECT_EQ(grid->Cells(2, 2), "?1");
}

TEST(clipGridTest, PasteFillsFromTheSelectionAndDropsWhatFallsOutside) {
    struct Case {
        std::string text;
        TGridRect at;
        bool autoresize;
        Cells expected;
    };
    const std::string block = "a\tb\r\nc\td\r\n";
    const Case cases[] = {
        {block, {1, 1, 1, 1}, false, {{"", "", ""}, {"", "a", "b"}, {"", "c", "d"}}},
        {block, {2, 2, 2, 2}, false, {{"", "", ""}, {"", "", ""}, {"", "", "a"}}},
        {block,
         {2, 2, 2, 2},
         true,
         {{"", "", "", ""}, {"", "", "", ""}, {"", "", "a", "b"}, {"", "", "c", "d"}}},
        {"x\ty", {1, 1, 1, 1}, false, {{"", "", ""}, {"", "x", "y"}, {"", "", ""}}},
        {"a\tb\tc\r\nd", {1, 2, 1, 2}, false, {{"", "", ""}, {"", "", ""}, {"", "a", "b"}}},
        {"a\tb\tc\r\nd",
         {1, 2, 1, 2},
         true,
         {{"", "", "", ""}, {"", "", "", ""}, {"", "a", "b", "c"}, {"", "d", "", ""}}},
        // A block pasted into a larger selection starts at its top-left cell.
        {"x", {1, 1, 2, 2}, false, {{"", "", ""}, {"", "x", ""}, {"", "", ""}}},
        // Nothing to paste changes nothing.
        {"", {1, 1, 1, 1}, false, {{"", "", ""}, {"", "", ""}, {"", "", ""}}},
    };
    for (const Case& c : cases) {
        auto grid = Grid(3, 3);
        grid->autoresize = c.autoresize;
        int redims = 0;
        grid->OnRedimGrid = [&](QObject* sender) {
            EXPECT_EQ(sender, grid.get());
            ++redims;
        };
        grid->SetSelection(c.at);
        grid->PasteText(c.text);
        EXPECT_EQ(Read(*grid), c.expected) << test::HexBytes(c.text) << " " << c.autoresize;
        EXPECT_EQ(redims, c.expected.size() == 3 ? 0 : 1);
    }
}

TEST(clipGridTest, EmptyFieldsEmptyTheirCellsUnlessTheyEndTheText) {
    struct Case {
        std::string text;
        std::vector<std::string> row1;
    };
    const Case cases[] = {
        {"a\t\tb", {"", "a", "", "b"}},
        {"a\t", {"", "a", "", "o"}},         // the empty rest after a TAB is a field
        {"a\r\n", {"", "a", "o", "o"}},      // after the last CR LF there is none
        {"\t\r\n", {"", "", "", "o"}},       // two empty fields
        {"a\rb\tc", {"", "a\rb", "c", "o"}}, // a lone CR is text
    };
    for (const Case& c : cases) {
        auto grid = Grid(4, 3);
        Fill(*grid, {{}, {"", "o", "o", "o"}, {"", "o", "o", "o"}});
        grid->SetSelection({1, 1, 1, 1});
        grid->PasteText(c.text);
        EXPECT_EQ(Read(*grid)[1], c.row1) << test::HexBytes(c.text);
        EXPECT_EQ(Read(*grid)[2], (std::vector<std::string>{"", "o", "o", "o"}));
    }
}

TEST(clipGridTest, PasteRenumbersTheHeaders) {
    auto grid = Grid(3, 3);
    grid->autoresize = true;
    grid->numerarighe = true;
    grid->numeracolonne = true;
    grid->SetSelection({1, 2, 1, 2});
    grid->PasteText("a\tb\tc\r\nd");
    const Cells expected{
        {"", "A", "B", "C"}, {"1", "", "", ""}, {"2", "a", "b", "c"}, {"3", "d", "", ""}};
    EXPECT_EQ(Read(*grid), expected);
}

TEST(clipGridTest, AHugeGrowthIsRefusedBeforeAnyCellChanges) {
    auto grid = Grid(3, 3);
    grid->autoresize = true;
    grid->SetSelection({1, 1, 1, 1});
    std::string rows;
    for (int i = 0; i < 2000; ++i)
        rows += "\r\n";
    EXPECT_THROW(grid->PasteText(std::string(2999, '\t') + rows + "y"), Exception);
    EXPECT_EQ(grid->ColCount(), 3);
    EXPECT_EQ(grid->RowCount(), 3);
    EXPECT_EQ(grid->Cells(1, 1), "");
}

TEST(clipGridTest, AFailedPasteByKeyIsReportedAndChangesNothing) {
    test::ScopedUi ui;
    auto grid = Grid(3, 3);
    grid->autoresize = true;
    grid->resize(400, 200);
    Show(*grid);
    std::string rows;
    for (int i = 0; i < 2000; ++i)
        rows += "\r\n";
    QGuiApplication::clipboard()->setText(QString(2999, '\t') + QString::fromStdString(rows));
    QTest::keyClick(grid.get(), Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(ui.ui.Messages.size(), 1u);
    EXPECT_NE(ui.ui.Messages[0].Text.find("more than the grid can hold"), std::string::npos);
    EXPECT_EQ(grid->ColCount(), 3);
    EXPECT_EQ(grid->RowCount(), 3);
}

TEST(clipGridTest, ColumnLetters) {
    const std::pair<int, std::string> cases[] = {{0, "A"},    {25, "Z"},    {26, "AA"}, {27, "AB"},
                                                 {701, "ZZ"}, {702, "AAA"}, {-1, ""}};
    for (const auto& [n, letters] : cases)
        EXPECT_EQ(TclipGrid::ColumnLetters(n), letters) << n;
}

TEST(clipGridTest, KeysCopyCutPasteAndDelete) {
    auto grid = Grid(4, 4);
    grid->resize(400, 200);
    Show(*grid);
    Fill(*grid, {{}, {"", "a", "b"}, {"", "c", "d"}});
    grid->SetSelection({1, 1, 2, 2});
    QTest::keyClick(grid.get(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_FALSE(grid->EditorMode()) << "Ctrl pressed alone opens no editor";
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "a\tb\r\nc\td\r\n");

    grid->SetSelection({2, 2, 3, 3});
    QTest::keyClick(grid.get(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Read(*grid)[3], (std::vector<std::string>{"", "", "c", "d"}));
    EXPECT_EQ(grid->Cells(3, 2), "b");

    grid->SetSelection({1, 1, 1, 2});
    QTest::keyClick(grid.get(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "a\r\nc\r\n");
    EXPECT_EQ(grid->Cells(1, 1), "");
    EXPECT_EQ(grid->Cells(1, 2), "");

    grid->SetSelection({2, 2, 3, 3});
    QTest::keyClick(grid.get(), Qt::Key_Delete);
    for (auto [c, r] : {std::pair{2, 2}, {3, 2}, {2, 3}, {3, 3}})
        EXPECT_EQ(grid->Cells(c, r), "") << c << "," << r;
    EXPECT_EQ(grid->Cells(2, 1), "b");
    EXPECT_FALSE(grid->EditorMode());
}

TEST(clipGridTest, AnyOtherKeySwitchesEditingOnAndOpensTheEditor) {
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QString editorText;
    };
    const Case cases[] = {
        {Qt::Key_Z, {}, "z"},                       // the key still types its character
        {Qt::Key_Down, {}, "old"},                  // even a move opens the editor first
        {Qt::Key_Delete, Qt::ShiftModifier, "old"}, // Delete with Shift clears nothing
        {Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier, "old"},
    };
    for (const Case& c : cases) {
        auto grid = Grid(4, 4);
        grid->resize(400, 200);
        Show(*grid);
        grid->SetCells(1, 1, "old");
        ASSERT_FALSE(grid->Options() & goEditing);
        QTest::keyClick(grid.get(), c.key, c.modifiers);
        EXPECT_TRUE(grid->Options() & goEditing);
        ASSERT_TRUE(grid->EditorMode()) << c.key;
        QLineEdit* editor = EditorOf(*grid);
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->text(), c.editorText) << c.key;
        EXPECT_EQ(grid->Cells(1, 1), "old");
        EXPECT_EQ(grid->Row(), 1);
    }
}

TEST(clipGridTest, MovesWhileEditingKeepTheEditorOpen) {
    auto grid = Grid(4, 6);
    grid->resize(400, 300);
    Show(*grid);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(grid->Row(), 3) << "the first key opened the editor, the others moved";
    ASSERT_TRUE(grid->EditorMode());
    QTest::keyClicks(EditorOf(*grid), "n");
    QTest::keyClick(EditorOf(*grid), Qt::Key_Up);
    EXPECT_EQ(grid->Cells(1, 3), "n");
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_TRUE(grid->EditorMode());
}

TEST(clipGridTest, CellColourHandlerPaintsTheCell) {
    auto grid = Grid(4, 4);
    grid->resize(400, 200);
    Show(*grid);
    grid->OnGetCellColor = [](QObject*, int, int row, TFont& font, TBrush& brush, TGridDrawState) {
        if (row == 2) {
            brush.Color = clRed;
            font.SetColor(clWhite);
        }
    };
    grid->SetCells(2, 2, "x");
    const QImage image = grid->viewport()->grab().toImage();
    for (int col : {0, 1, 2, 3}) {
        const TRect r = grid->CellRect(col, 2);
        EXPECT_EQ(image.pixelColor(r.Right - 3, r.Bottom - 3), QColor(Qt::red)) << col;
    }
    const TRect other = grid->CellRect(2, 3);
    EXPECT_NE(image.pixelColor(other.Right - 3, other.Bottom - 3), QColor(Qt::red));
}

TEST(clipGridTest, WithAutoeditingAClickOpensTheCellsEditor) {
    auto grid = Grid(4, 4);
    grid->resize(400, 200);
    Show(*grid);
    grid->SetCells(2, 3, "v");
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CenterOf(*grid, 2, 3));
    EXPECT_FALSE(grid->EditorMode());

    grid->autoediting = true;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CenterOf(*grid, 3, 2));
    ASSERT_TRUE(grid->EditorMode());
    EXPECT_EQ(grid->Col(), 3);
    EXPECT_EQ(grid->Row(), 2);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CenterOf(*grid, 2, 0));
    EXPECT_FALSE(grid->EditorMode()) << "a header cell opens nothing";
    // The press of the next click closes the editor; its click opens the next one.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CenterOf(*grid, 2, 3));
    ASSERT_TRUE(grid->EditorMode());
    ASSERT_NE(EditorOf(*grid), nullptr);
    EXPECT_EQ(EditorOf(*grid)->text(), "v");
}

// ---- TComboGrid ----

struct ComboFixture {
    ComboFixture() {
        form.resize(600, 400);
        grid = new TComboGrid(&form, "Grid1");
        grid->setGeometry(10, 20, 400, 200);
        grid->ComboList()->SetItems({"Lineare", "Log"});
        grid->SetCells(4, 1, "xyz");
        grid->SetCells(4, 2, "Log");
        Show(form);
    }
    void ReleaseOn(int col, int row) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CenterOf(*grid, col, row));
    }
    QWidget form;
    TComboGrid* grid;
};

TEST(ComboGridTest, TheListSitsHiddenBesideTheGrid) {
    ComboFixture f;
    EXPECT_EQ(f.grid->Combocolumn, 4);
    TComboBox* list = f.grid->ComboList();
    EXPECT_EQ(list->parentWidget(), &f.form);
    EXPECT_FALSE(list->isVisible());
    EXPECT_FALSE(list->isEditable());

    auto* second = new TComboGrid(&f.form, "Grid2");
    const QRegularExpression pattern("^Combogrid[0-9]{3,9}$");
    EXPECT_TRUE(pattern.match(list->objectName()).hasMatch()) << list->objectName().toStdString();
    EXPECT_TRUE(pattern.match(second->ComboList()->objectName()).hasMatch());
    EXPECT_NE(list->objectName(), second->ComboList()->objectName());

    delete second;
    EXPECT_EQ(f.form.findChildren<TComboBox*>().size(), 1) << "the list goes with its grid";
}

TEST(ComboGridTest, AReleaseShowsTheListOverTheCellOfTheRow) {
    ComboFixture f;
    TComboBox* list = f.grid->ComboList();
    f.ReleaseOn(1, 1);
    EXPECT_EQ(f.grid->Cells(4, 1), "Lineare") << "a text not in the list becomes the first item";
    EXPECT_EQ(list->ItemIndex(), 0);
    ASSERT_TRUE(list->isVisible());
    const TRect cell = f.grid->CellRect(4, 1);
    EXPECT_EQ(list->geometry(),
              QRect(cell.Left + 10 + 2, cell.Top + 20 + 1, cell.Width(), cell.Height()));

    f.ReleaseOn(2, 2);
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(f.grid->Cells(4, 2), "Log");
    const TRect cell2 = f.grid->CellRect(4, 2);
    EXPECT_EQ(list->geometry().topLeft(), QPoint(cell2.Left + 12, cell2.Top + 21));

    f.ReleaseOn(2, 0);
    EXPECT_FALSE(list->isVisible());
}

TEST(ComboGridTest, ChoosingAnItemWritesTheCurrentRow) {
    ComboFixture f;
    TComboBox* list = f.grid->ComboList();
    f.ReleaseOn(1, 1);
    list->setCurrentIndex(1);
    emit list->activated(1);
    EXPECT_EQ(f.grid->Cells(4, 1), "Log");
    EXPECT_EQ(f.grid->Cells(4, 2), "Log");
}

TEST(ComboGridTest, AnEmptyListLeavesTheCellAlone) {
    ComboFixture f;
    f.grid->ComboList()->SetItems({});
    f.ReleaseOn(1, 1);
    EXPECT_EQ(f.grid->Cells(4, 1), "xyz");
    EXPECT_EQ(f.grid->ComboList()->ItemIndex(), -1);
}

} // namespace
} // namespace vx
