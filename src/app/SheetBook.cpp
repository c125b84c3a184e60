#include "app/SheetBook.h"

#include "document/clipGrid.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Input.h"
#include "platform/runtime/LineReader.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Strings.h"
#include "platform/ui/Edit.h"
#include "platform/ui/TabSet.h"

#include <QHeaderView>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace vx {

namespace {

// Paints as the grid does; edits with an editor of its own view, so that commits find it.
class FrozenDelegate : public QStyledItemDelegate {
public:
    FrozenDelegate(QAbstractItemDelegate* painter, QObject* parent)
        : QStyledItemDelegate(parent), painter_(painter) {}
    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        painter_->paint(p, option, index);
    }

private:
    QAbstractItemDelegate* painter_;
};

// Below this many cells a sheet gets room to type beyond the file: 26 columns, 100 rows.
constexpr int64_t kRoomyCells = 100'000;

} // namespace

TSheetBook::TSheetBook(QWidget* parent, const QString& name) : QWidget(parent) {
    setObjectName(name);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    EditBar = new TEdit(this, "EditBar");
    Grid = new TclipGrid(this, "Grid");
    Grid->autoresize = true;
    Grid->numerarighe = true;
    Grid->numeracolonne = true;
    Grid->SetOptions(goRangeSelect | goEditing);
    Tabs = new TTabSet(this, "Tabs");
    Tabs->SetTabs({"Foglio1"});
    layout->addWidget(EditBar);
    layout->addWidget(Grid, 1);
    layout->addWidget(Tabs);
    Grid->LoadCells(27, 101, {});
    Grid->Renumber();

    connect(Grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { ShowCurrentCell(); });
    connect(EditBar, &QLineEdit::returnPressed, this, [this] { CommitEditBar(); });
    Grid->OnSetEditText = [this](QObject*, int32_t, int32_t, const std::string&) {
        ShowCurrentCell();
        Changed();
    };
    Grid->OnKeyDown = [this](QObject*, uint16_t& key, TShiftState shift) {
        const TShiftState keys = shift & (ssShift | ssCtrl | ssAlt);
        if ((keys == ssCtrl && (key == 'X' || key == 'V')) || (key == VK_DELETE && keys == 0)) {
            ShowCurrentCell();
            Changed();
        }
    };
    frozenLeft_ = MakeFrozenView(Qt::Vertical);
    frozenTop_ = MakeFrozenView(Qt::Horizontal);
    frozenCorner_ = MakeFrozenView({});
    // The grid raises its own header views whenever it lays them out; the frozen ones go
    // back on top.
    Grid->viewport()->installEventFilter(this);
    connect(Grid->model(), &QAbstractItemModel::columnsInserted, this, [this] { ApplyFrozen(); });
    connect(Grid->model(), &QAbstractItemModel::rowsInserted, this, [this] { ApplyFrozen(); });
    connect(Grid->model(), &QAbstractItemModel::modelReset, this, [this] { ApplyFrozen(); });
    ApplyFrozen();
}

QTableView* TSheetBook::MakeFrozenView(Qt::Orientations scrolls) {
    auto* view = new QTableView(Grid);
    view->setModel(Grid->model());
    view->setSelectionModel(Grid->selectionModel());
    view->setItemDelegate(new FrozenDelegate(Grid->itemDelegate(), view));
    view->horizontalHeader()->hide();
    view->verticalHeader()->hide();
    for (QHeaderView* header : {view->horizontalHeader(), view->verticalHeader()}) {
        header->setMinimumSectionSize(1);
        header->setSectionResizeMode(QHeaderView::Fixed);
    }
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setFrameShape(QFrame::NoFrame);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Frozen cells stay cells of the sheet: the user selects and edits them where they stand.
    view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
    view->hide();
    if (scrolls & Qt::Vertical)
        connect(Grid->verticalScrollBar(), &QScrollBar::valueChanged, view->verticalScrollBar(),
                &QScrollBar::setValue);
    if (scrolls & Qt::Horizontal)
        connect(Grid->horizontalScrollBar(), &QScrollBar::valueChanged, view->horizontalScrollBar(),
                &QScrollBar::setValue);
    return view;
}

std::string TSheetBook::SheetName(int sheet) const {
    return sheet == 1 ? FromQString(Tabs->tabText(0)) : std::string();
}

void TSheetBook::SetSheetName(int sheet, const std::string& name) {
    if (sheet == 1)
        Tabs->SetTabs({ToQString(name)});
}

void TSheetBook::SetShowEditBar(bool show) {
    showEditBar_ = show;
    EditBar->setVisible(show);
}

std::string TSheetBook::Cell(int col, int row) const {
    return Grid->Cells(col, row);
}

void TSheetBook::Read(const std::string& path, int& type) {
    if (type != kTextFile)
        throw Exception("Unknown file type " + IntToStr(type));
    // Two passes over the file: the shape first, then the texts straight into their cells.
    std::vector<int> counts;
    size_t widest = 0;
    auto fieldsOf = [](std::string_view line) {
        return static_cast<size_t>(std::count(line.begin(), line.end(), '\t')) + 1;
    };
    {
        LineReader reader(path);
        std::string_view line;
        while (reader.Next(line)) {
            const size_t count = fieldsOf(line);
            counts.push_back(static_cast<int>(count));
            widest = std::max(widest, count);
            if (static_cast<int64_t>(widest) * static_cast<int64_t>(counts.size()) >
                TclipGrid::kMaxPasteCells)
                throw ESheetTooLarge("Too many cells: " + path);
        }
    }
    int64_t cols = static_cast<int64_t>(widest) + 2;
    int64_t rows = static_cast<int64_t>(counts.size()) + 2;
    if (cols * rows < kRoomyCells) {
        cols = std::max<int64_t>(cols, 27);
        rows = std::max<int64_t>(rows, 101);
    }
    // Letters and numbers go in with the cells: one reset of the views, not a signal a row.
    std::vector<std::string> cells(static_cast<size_t>(cols * rows));
    for (int64_t c = 1; c < cols; ++c)
        cells[static_cast<size_t>(c)] = TclipGrid::ColumnLetters(static_cast<int32_t>(c - 1));
    for (int64_t r = 1; r < rows; ++r)
        cells[static_cast<size_t>(r * cols)] = IntToStr(static_cast<int32_t>(r));
    {
        LineReader reader(path);
        std::string_view line;
        // A file that grew in between is read as far as its first shape.
        for (size_t r = 0; r < counts.size() && reader.Next(line); ++r) {
            std::string* cell = &cells[(r + 1) * static_cast<size_t>(cols) + 1];
            const std::string* const end = cell + counts[r];
            for (size_t start = 0; cell != end; ++cell) {
                const size_t tab = line.find('\t', start);
                cell->assign(line.substr(start, tab - start));
                if (tab == std::string_view::npos)
                    break;
                start = tab + 1;
            }
        }
    }
    SetFixedCols(0);
    SetFixedRows(0);
    Grid->LoadCells(static_cast<int>(cols), static_cast<int>(rows), std::move(cells));
    fieldCounts_ = std::move(counts);
    lines_ = static_cast<int>(fieldCounts_.size());
    Grid->SetCol(1);
    Grid->SetRow(1);
    ShowCurrentCell();
}

void TSheetBook::Write(const std::string& path, int type) {
    if (type != kTextFile)
        throw Exception("Unknown file type " + IntToStr(type));
    const int cols = Grid->ColCount();
    auto lastFilled = [&](int r) {
        for (int c = cols - 1; c >= 1; --c)
            if (!Grid->Cells(c, r).empty())
                return c;
        return 0;
    };
    int rows = lines_;
    for (int r = Grid->RowCount() - 1; r > rows; --r)
        if (lastFilled(r) > 0) {
            rows = r;
            break;
        }
    TAtomicFileStream file(path);
    std::string text;
    for (int r = 1; r <= rows; ++r) {
        const int held = r - 1 < static_cast<int>(fieldCounts_.size()) ? fieldCounts_[r - 1] : 0;
        const int n = std::max(held, lastFilled(r));
        for (int c = 1; c <= n; ++c) {
            if (c > 1)
                text += '\t';
            text += Grid->Cells(c, r);
        }
        text += "\r\n";
        if (text.size() >= (1u << 20)) {
            file.WriteBuffer(text.data(), text.size());
            text.clear();
        }
    }
    file.WriteBuffer(text.data(), text.size());
    file.Commit();
}

void TSheetBook::Changed() {
    modified_ = true;
    if (OnModified)
        OnModified(this);
}

void TSheetBook::ShowCurrentCell() {
    EditBar->SetText(ToQString(Grid->Cells(Grid->Col(), Grid->Row())));
}

void TSheetBook::CommitEditBar() {
    const int col = Grid->Col(), row = Grid->Row();
    const std::string text = FromQString(EditBar->Text());
    if (col < 1 || row < 1 || Grid->Cells(col, row) == text)
        return;
    Grid->SetCells(col, row, text);
    Changed();
}

void TSheetBook::EditCopy() {
    Grid->CopyToClipboard(false);
}

void TSheetBook::EditCut() {
    Grid->CopyToClipboard(true);
    ShowCurrentCell();
    Changed();
}

void TSheetBook::EditPaste() {
    Grid->PasteFromClipboard();
    ShowCurrentCell();
    Changed();
}

int TSheetBook::Col() const {
    return Grid->Col();
}

void TSheetBook::SetCol(int col) {
    Grid->SetCol(col);
}

int TSheetBook::Row() const {
    return Grid->Row();
}

void TSheetBook::SetRow(int row) {
    Grid->SetRow(row);
}

int TSheetBook::LeftCol() const {
    int x = Grid->columnWidth(0) + 1;
    if (fixedCols_ > 0)
        x += frozenLeft_->width();
    const int col = Grid->columnAt(x);
    return col < 0 ? 1 : col;
}

void TSheetBook::SetLeftCol(int col) {
    QScrollBar* bar = Grid->horizontalScrollBar();
    for (int v = bar->minimum(); v <= bar->maximum(); ++v) {
        bar->setValue(v);
        if (LeftCol() >= col)
            return;
    }
}

int TSheetBook::TopRow() const {
    int y = Grid->rowHeight(0) + 1;
    if (fixedRows_ > 0)
        y += frozenTop_->height();
    const int row = Grid->rowAt(y);
    return row < 0 ? 1 : row;
}

void TSheetBook::SetTopRow(int row) {
    QScrollBar* bar = Grid->verticalScrollBar();
    for (int v = bar->minimum(); v <= bar->maximum(); ++v) {
        bar->setValue(v);
        if (TopRow() >= row)
            return;
    }
}

void TSheetBook::SetFixedCol(int col) {
    fixedCol_ = std::max(col, 1);
    ApplyFrozen();
}

void TSheetBook::SetFixedCols(int count) {
    fixedCols_ = std::max(count, 0);
    ApplyFrozen();
}

void TSheetBook::SetFixedRow(int row) {
    fixedRow_ = std::max(row, 1);
    ApplyFrozen();
}

void TSheetBook::SetFixedRows(int count) {
    fixedRows_ = std::max(count, 0);
    ApplyFrozen();
}

void TSheetBook::ApplyFrozen() {
    if (!frozenCorner_)
        return;
    // Columns and rows before the frozen ones are out of view until released; only the
    // stretches that change are touched, so a long sheet costs nothing while none is frozen.
    const int hideCols = fixedCols_ > 0 ? std::min(fixedCol_ - 1, Grid->ColCount() - 1) : 0;
    const int hideRows = fixedRows_ > 0 ? std::min(fixedRow_ - 1, Grid->RowCount() - 1) : 0;
    QList<QTableView*> views = Grid->findChildren<QTableView*>(Qt::FindDirectChildrenOnly);
    views << Grid;
    for (QTableView* view : views) {
        for (int c = 1; c <= std::max(hideCols, hiddenCols_); ++c)
            view->setColumnHidden(c, c <= hideCols);
        for (int r = 1; r <= std::max(hideRows, hiddenRows_); ++r)
            view->setRowHidden(r, r <= hideRows);
    }
    hiddenCols_ = hideCols;
    hiddenRows_ = hideRows;
    // The frozen views start where the frozen cells start; what lies beyond them is cut off
    // by their size.
    frozenLeft_->setColumnHidden(0, true);
    frozenTop_->setRowHidden(0, true);
    for (QTableView* view : {frozenLeft_, frozenTop_, frozenCorner_}) {
        view->horizontalHeader()->setDefaultSectionSize(
            Grid->horizontalHeader()->defaultSectionSize());
        view->verticalHeader()->setDefaultSectionSize(Grid->verticalHeader()->defaultSectionSize());
        for (int c = fixedCol_;
             fixedCols_ > 0 && c < fixedCol_ + fixedCols_ && c < Grid->ColCount(); ++c)
            view->setColumnWidth(c, Grid->columnWidth(c));
        for (int r = fixedRow_;
             fixedRows_ > 0 && r < fixedRow_ + fixedRows_ && r < Grid->RowCount(); ++r)
            view->setRowHeight(r, Grid->rowHeight(r));
        view->setColumnWidth(0, Grid->columnWidth(0));
        view->setRowHeight(0, Grid->rowHeight(0));
    }
    LayoutFrozen();
}

void TSheetBook::LayoutFrozen() {
    const QRect area = Grid->viewport()->geometry();
    const int col0 = Grid->columnWidth(0);
    const int row0 = Grid->rowHeight(0);
    int width = 0, height = 0;
    for (int c = fixedCol_; fixedCols_ > 0 && c < fixedCol_ + fixedCols_ && c < Grid->ColCount();
         ++c)
        width += Grid->columnWidth(c);
    for (int r = fixedRow_; fixedRows_ > 0 && r < fixedRow_ + fixedRows_ && r < Grid->RowCount();
         ++r)
        height += Grid->rowHeight(r);
    frozenLeft_->setVisible(width > 0);
    frozenTop_->setVisible(height > 0);
    if (width > 0) {
        // The frozen columns with their letters, beside the numbers, scrolling up and down.
        frozenLeft_->setGeometry(area.x() + col0, area.y(), width, area.height());
        frozenLeft_->raise();
    }
    if (height > 0) {
        frozenTop_->setGeometry(area.x(), area.y() + row0, area.width(), height);
        frozenTop_->raise();
    }
    // The letters of the frozen columns and the numbers of the frozen rows stay put as well.
    frozenCorner_->setVisible(width > 0 || height > 0);
    if (width > 0 || height > 0) {
        frozenCorner_->setGeometry(area.x(), area.y(), col0 + width, row0 + height);
        frozenCorner_->raise();
    }
}

bool TSheetBook::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest)
        QTimer::singleShot(0, this, [this] { LayoutFrozen(); });
    return QWidget::eventFilter(watched, event);
}

void TSheetBook::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutFrozen();
}

} // namespace vx
