#pragma once

// The spreadsheet of the test-file editor: one sheet of text cells with letters over the
// columns and numbers beside the rows, an edit bar for the current cell, a tab with the
// sheet's name, block copy and paste through the clipboard, and frozen columns and rows that
// stay in view while the rest scrolls. Test text files are read and written as type 3.

#include "platform/runtime/Exceptions.h"
#include "platform/ui/Controls.h"

#include <QWidget>

#include <string>
#include <vector>

class QTableView;

namespace vx {

class TEdit;
class TTabSet;
class TclipGrid;

// A file with more cells than the sheet takes (TclipGrid::kMaxPasteCells).
class ESheetTooLarge : public Exception {
public:
    using Exception::Exception;
};

class TSheetBook : public QWidget {
    Q_OBJECT
public:
    // Tab-separated text: lines ended by CR LF, LF or CR, cells split at every TAB.
    static constexpr int kTextFile = 3;

    explicit TSheetBook(QWidget* parent = nullptr, const QString& name = {});

    TclipGrid* Grid;
    TEdit* EditBar;
    TTabSet* Tabs;

    // Reads the file into the sheet; only type 3 is known. Raises EFOpenError when the file
    // cannot be read and ESheetTooLarge when it holds more cells than the sheet takes, both
    // before any cell changes; Exception for another type.
    void Read(const std::string& path, int& type);
    // Writes each row up to the further of its number of fields as read and its last
    // non-empty cell, CR LF after each, up to the file's last line or the last row holding
    // text. The old file stays whole when writing fails (EFOpenError, EWriteError).
    void Write(const std::string& path, int type);

    int Sheet() const { return 1; }
    std::string SheetName(int sheet) const;
    void SetSheetName(int sheet, const std::string& name);
    bool Modified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }
    // No formula engine: the cells show the same texts either way.
    bool ShowFormulas() const { return showFormulas_; }
    void SetShowFormulas(bool show) { showFormulas_ = show; }
    bool ShowEditBar() const { return showEditBar_; }
    void SetShowEditBar(bool show);

    // Sheet coordinates: column 1 is A, row 1 the first row.
    int Col() const;
    void SetCol(int col);
    int Row() const;
    void SetRow(int row);
    // The first column (row) shown right of (below) the frozen ones.
    int LeftCol() const;
    void SetLeftCol(int col);
    int TopRow() const;
    void SetTopRow(int row);
    // Columns FixedCol .. FixedCol + FixedCols - 1 stay beside the row numbers; the ones
    // before FixedCol are out of view while any are frozen.
    int FixedCol() const { return fixedCol_; }
    void SetFixedCol(int col);
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int count);
    int FixedRow() const { return fixedRow_; }
    void SetFixedRow(int row);
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int count);

    std::string Cell(int col, int row) const;
    void EditCopy();
    void EditCut();
    void EditPaste();

    // After each change by the user: a cell or edit-bar commit, a paste, a cut, Delete.
    TNotifyEvent OnModified;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Changed();
    void ShowCurrentCell();
    void CommitEditBar();
    void ApplyFrozen();
    void LayoutFrozen();
    // The frozen views: columns beside the numbers, rows below the letters, their corner.
    QTableView* MakeFrozenView(Qt::Orientations scrolls);

    std::vector<int> fieldCounts_; // per row of the file, from row 1
    int lines_ = 0;
    bool modified_ = false;
    bool showFormulas_ = false;
    bool showEditBar_ = true;
    int fixedCol_ = 1;
    int fixedCols_ = 0;
    int fixedRow_ = 1;
    int fixedRows_ = 0;
    // Columns (rows) 1.. hidden now because they lie before the frozen ones.
    int hiddenCols_ = 0;
    int hiddenRows_ = 0;
    QTableView* frozenLeft_ = nullptr;
    QTableView* frozenTop_ = nullptr;
    QTableView* frozenCorner_ = nullptr;
};

} // namespace vx
