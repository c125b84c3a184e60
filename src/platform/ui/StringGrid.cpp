#include "platform/ui/StringGrid.h"

#include "platform/graphics/PainterCanvas.h"
#include "platform/graphics/TextMetrics.h"
#include "platform/runtime/Cp1252.h"
#include "platform/ui/Guard.h"
#include "platform/ui/QtInput.h"

#include <QAbstractTableModel>
#include <QDropEvent>
#include <QHeaderView>
#include <QItemSelection>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>
#include <utility>

namespace vx {

namespace {

const std::string kNoText;

bool IsPrintable(const QString& text) {
    return !text.isEmpty() && text.at(0).isPrint();
}

} // namespace

// ---- model and delegate ----

class TStringGrid::Model : public QAbstractTableModel {
public:
    explicit Model(TStringGrid& grid) : QAbstractTableModel(&grid), grid_(grid) {}

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : grid_.rowCount_;
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : grid_.colCount_;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole && role != Qt::EditRole)
            return {};
        return ToQString(grid_.Cells(index.column(), index.row()));
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        // Fixed cells are neither enabled nor selectable, so that keys and clicks skip them.
        if (!index.isValid() || grid_.IsFixed(index.column(), index.row()))
            return Qt::NoItemFlags;
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if ((grid_.options_ & goEditing) && !grid_.cellSource_)
            f |= Qt::ItemIsEditable;
        return f;
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (role != Qt::EditRole || !index.isValid())
            return false;
        grid_.EditCommitted(index.column(), index.row(), FromQString(value.toString()));
        return true;
    }

    void CellChanged(int col, int row) {
        const QModelIndex i = index(row, col);
        emit dataChanged(i, i);
    }
    using QAbstractTableModel::beginInsertColumns;
    using QAbstractTableModel::beginInsertRows;
    using QAbstractTableModel::beginRemoveColumns;
    using QAbstractTableModel::beginRemoveRows;
    using QAbstractTableModel::beginResetModel;
    using QAbstractTableModel::endInsertColumns;
    using QAbstractTableModel::endInsertRows;
    using QAbstractTableModel::endRemoveColumns;
    using QAbstractTableModel::endRemoveRows;
    using QAbstractTableModel::endResetModel;

private:
    TStringGrid& grid_;
};

class TStringGrid::Delegate : public QStyledItemDelegate {
public:
    explicit Delegate(TStringGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        grid_.PaintCell(*painter, option.rect, index.column(), index.row());
    }
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        grid_.editor_ = editor;
        return editor;
    }

private:
    TStringGrid& grid_;
};

// ---- grid ----

TStringGrid::TStringGrid(QWidget* parent, const QString& name)
    : QTableView(parent), font_(new TControlFont(this)), model_(new Model(*this)) {
    setObjectName(name);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
        header->setMinimumSectionSize(1);
        header->setSectionResizeMode(QHeaderView::Fixed);
    }
    // A section holds the cell and the grid line after it.
    horizontalHeader()->setDefaultSectionSize(defaultColWidth_ + 1);
    verticalHeader()->setDefaultSectionSize(defaultRowHeight_ + 1);
    setItemDelegate(new Delegate(*this));
    setModel(model_);
    setEditTriggers(NoEditTriggers);
    setTabKeyNavigation(false);
    // Drops reach the grid's own handlers, never the view's, which would move model items.
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    fixedTop_ = MakeFixedView();
    fixedLeft_ = MakeFixedView();
    fixedCorner_ = MakeFixedView();
    for (QTableView* view : {fixedTop_, fixedLeft_, fixedCorner_}) {
        connect(horizontalHeader(), &QHeaderView::sectionResized, view,
                [view](int col, int, int size) { view->setColumnWidth(col, size); });
        connect(verticalHeader(), &QHeaderView::sectionResized, view,
                [view](int row, int, int size) { view->setRowHeight(row, size); });
    }
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, fixedTop_->horizontalScrollBar(),
            &QScrollBar::setValue);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, fixedLeft_->verticalScrollBar(),
            &QScrollBar::setValue);
    ApplySelectionMode();
    Resize(5, 5);
    ShowCurrent(FirstFreeCell(), {});
}

QTableView* TStringGrid::MakeFixedView() {
    auto* view = new QTableView(this);
    view->setModel(model_);
    view->setItemDelegate(new Delegate(*this));
    for (QHeaderView* header : {view->horizontalHeader(), view->verticalHeader()}) {
        header->hide();
        header->setMinimumSectionSize(1);
        header->setSectionResizeMode(QHeaderView::Fixed);
    }
    view->horizontalHeader()->setDefaultSectionSize(defaultColWidth_ + 1);
    view->verticalHeader()->setDefaultSectionSize(defaultRowHeight_ + 1);
    view->setFrameShape(QFrame::NoFrame);
    view->setFocusPolicy(Qt::NoFocus);
    view->setSelectionMode(NoSelection);
    view->setEditTriggers(NoEditTriggers);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setAttribute(Qt::WA_TransparentForMouseEvents);
    view->viewport()->setAttribute(Qt::WA_TransparentForMouseEvents);
    view->hide();
    return view;
}

int TStringGrid::FixedWidth() const {
    int width = 0;
    for (int c = 0; c < fixedCols_; ++c)
        width += columnWidth(c);
    return width;
}

int TStringGrid::FixedHeight() const {
    int height = 0;
    for (int r = 0; r < fixedRows_; ++r)
        height += rowHeight(r);
    return height;
}

void TStringGrid::LayoutFixedViews() {
    if (!fixedTop_)
        return;
    const QRect area = viewport()->geometry();
    const int width = std::min(FixedWidth(), area.width());
    const int height = std::min(FixedHeight(), area.height());
    const auto place = [](QTableView* view, bool shown, const QRect& rect) {
        view->setVisible(shown);
        if (shown) {
            view->setGeometry(rect);
            view->raise();
        }
    };
    place(fixedTop_, fixedRows_ > 0, {area.x(), area.y(), area.width(), height});
    place(fixedLeft_, fixedCols_ > 0, {area.x(), area.y(), width, area.height()});
    place(fixedCorner_, fixedRows_ > 0 && fixedCols_ > 0, {area.x(), area.y(), width, height});
    fixedTop_->horizontalScrollBar()->setValue(horizontalScrollBar()->value());
    fixedLeft_->verticalScrollBar()->setValue(verticalScrollBar()->value());
}

void TStringGrid::updateGeometries() {
    QTableView::updateGeometries();
    LayoutFixedViews();
}

void TStringGrid::scrollTo(const QModelIndex& index, ScrollHint hint) {
    QTableView::scrollTo(index, hint);
    if (!index.isValid())
        return;
    // A cell behind the fixed rows: scroll back until it stands below them.
    if (index.row() >= fixedRows_)
        for (QScrollBar* bar = verticalScrollBar();
             rowViewportPosition(index.row()) < FixedHeight() && bar->value() > 0;)
            bar->setValue(bar->value() - 1);
    if (index.column() >= fixedCols_)
        for (QScrollBar* bar = horizontalScrollBar();
             columnViewportPosition(index.column()) < FixedWidth() && bar->value() > 0;)
            bar->setValue(bar->value() - 1);
}

TStringGrid::~TStringGrid() = default;

const std::string& TStringGrid::Cells(int32_t col, int32_t row) const {
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_)
        return kNoText;
    if (cellSource_) {
        sourced_ = cellSource_(col, row);
        return sourced_;
    }
    return cells_[static_cast<size_t>(row) * colCount_ + col];
}

void TStringGrid::SetCells(int32_t col, int32_t row, std::string_view text) {
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_ || cellSource_)
        return;
    std::string& cell = cells_[static_cast<size_t>(row) * colCount_ + col];
    if (cell == text)
        return;
    cell.assign(text);
    model_->CellChanged(col, row);
}

void TStringGrid::SetCellSource(TCellSource source) {
    cellSource_ = std::move(source);
    // The grid's own cells go, or come back empty.
    std::vector<std::string>().swap(cells_);
    std::vector<std::unique_ptr<TComponent>>().swap(objects_);
    if (!cellSource_) {
        cells_.resize(static_cast<size_t>(colCount_) * rowCount_);
        objects_.resize(cells_.size());
    }
    CellsChanged();
}

void TStringGrid::CellsChanged() {
    if (rowCount_ > 0 && colCount_ > 0)
        emit model_->dataChanged(model_->index(0, 0), model_->index(rowCount_ - 1, colCount_ - 1));
    viewport()->update();
}

int32_t TStringGrid::TextWidth(std::string_view text) const {
    return vx::TextWidth(CellFont().LogFont(), text);
}

std::array<int32_t, 256> TStringGrid::CharAdvances() const {
    std::string all(256, '\0');
    for (int c = 0; c < 256; ++c)
        all[static_cast<size_t>(c)] = static_cast<char>(c);
    std::array<int32_t, 256> advances{};
    vx::TextAdvances(CellFont().LogFont(), all, advances.data());
    return advances;
}

TComponent* TStringGrid::Objects(int32_t col, int32_t row) const {
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_ || cellSource_)
        return nullptr;
    return objects_[static_cast<size_t>(row) * colCount_ + col].get();
}

void TStringGrid::SetObjects(int32_t col, int32_t row, std::unique_ptr<TComponent> object) {
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_ || cellSource_)
        return;
    objects_[static_cast<size_t>(row) * colCount_ + col] = std::move(object);
}

std::unique_ptr<TComponent> TStringGrid::TakeObjects(int32_t col, int32_t row) {
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_ || cellSource_)
        return nullptr;
    return std::move(objects_[static_cast<size_t>(row) * colCount_ + col]);
}

void TStringGrid::EditCommitted(int col, int row, const std::string& text) {
    if (Cells(col, row) == text)
        return;
    SetCells(col, row, text);
    Guard([&] {
        if (OnSetEditText)
            OnSetEditText(this, col, row, text);
    });
}

void TStringGrid::Resize(int cols, int rows) {
    const auto relayout = [this](int newCols, int newRows) {
        if (cellSource_) {
            colCount_ = newCols;
            rowCount_ = newRows;
            return;
        }
        if (newCols == colCount_) {
            // Rows come and go at the end: the cells that stay do not move.
            cells_.resize(static_cast<size_t>(newCols) * newRows);
            objects_.resize(cells_.size());
            rowCount_ = newRows;
            return;
        }
        std::vector<std::string> cells(static_cast<size_t>(newCols) * newRows);
        std::vector<std::unique_ptr<TComponent>> objects(cells.size());
        for (int r = 0; r < std::min(rowCount_, newRows); ++r)
            for (int c = 0; c < std::min(colCount_, newCols); ++c) {
                const size_t from = static_cast<size_t>(r) * colCount_ + c;
                const size_t to = static_cast<size_t>(r) * newCols + c;
                cells[to] = std::move(cells_[from]);
                objects[to] = std::move(objects_[from]);
            }
        cells_ = std::move(cells);
        // The objects of the cells that went are freed here.
        objects_ = std::move(objects);
        colCount_ = newCols;
        rowCount_ = newRows;
    };
    // Inserting and removing, rather than resetting the model, keeps the column widths, the
    // row heights and the selection of the cells that stay.
    if (cols > colCount_) {
        model_->beginInsertColumns({}, colCount_, cols - 1);
        relayout(cols, rowCount_);
        model_->endInsertColumns();
    } else if (cols < colCount_) {
        model_->beginRemoveColumns({}, cols, colCount_ - 1);
        relayout(cols, rowCount_);
        model_->endRemoveColumns();
    }
    if (rows > rowCount_) {
        model_->beginInsertRows({}, rowCount_, rows - 1);
        relayout(colCount_, rows);
        model_->endInsertRows();
    } else if (rows < rowCount_) {
        model_->beginRemoveRows({}, rows, rowCount_ - 1);
        relayout(colCount_, rows);
        model_->endRemoveRows();
    }
}

void TStringGrid::SetColCount(int count) {
    count = std::max(count, 1);
    if (count == colCount_)
        return;
    fixedCols_ = std::min(fixedCols_, count - 1);
    Resize(count, rowCount_);
    if (Col() < 0 || IsFixed(Col(), Row()))
        ShowCurrent(FirstFreeCell(), {});
}

void TStringGrid::SetRowCount(int count) {
    count = std::max(count, 1);
    if (count == rowCount_)
        return;
    fixedRows_ = std::min(fixedRows_, count - 1);
    Resize(colCount_, count);
    if (Row() < 0 || IsFixed(Col(), Row()))
        ShowCurrent(FirstFreeCell(), {});
}

void TStringGrid::LoadCells(int cols, int rows, std::vector<std::string> cells) {
    cols = std::max(cols, 1);
    rows = std::max(rows, 1);
    cells.resize(static_cast<size_t>(cols) * rows);
    model_->beginResetModel();
    cells_ = std::move(cells);
    objects_.clear();
    objects_.resize(cells_.size());
    colCount_ = cols;
    rowCount_ = rows;
    fixedCols_ = std::min(fixedCols_, cols - 1);
    fixedRows_ = std::min(fixedRows_, rows - 1);
    model_->endResetModel();
    ShowCurrent(FirstFreeCell(), {});
}

void TStringGrid::SetFixedCols(int count) {
    if (count < 0 || count >= colCount_)
        throw EInvalidGridOperation("Fixed column count must be less than column count");
    fixedCols_ = count;
    ShowCurrent(Col() >= 0 && !IsFixed(Col(), Row()) ? TGridCoord{Col(), Row()} : FirstFreeCell(),
                {});
    viewport()->update();
}

void TStringGrid::SetFixedRows(int count) {
    if (count < 0 || count >= rowCount_)
        throw EInvalidGridOperation("Fixed row count must be less than row count");
    fixedRows_ = count;
    ShowCurrent(Col() >= 0 && !IsFixed(Col(), Row()) ? TGridCoord{Col(), Row()} : FirstFreeCell(),
                {});
    viewport()->update();
}

TGridCoord TStringGrid::FirstFreeCell() const {
    if (fixedCols_ >= colCount_ || fixedRows_ >= rowCount_)
        return {-1, -1};
    return {fixedCols_, fixedRows_};
}

QModelIndex TStringGrid::IndexOf(TGridCoord cell) const {
    return model_->index(cell.Y, cell.X);
}

int TStringGrid::Col() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.column() : -1;
}

int TStringGrid::Row() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() : -1;
}

void TStringGrid::ShowCurrent(TGridCoord cell, const TGridRect& selection) {
    QItemSelectionModel* sm = selectionModel();
    if (cell.X < 0) {
        sm->clear();
        return;
    }
    sm->setCurrentIndex(IndexOf(cell), QItemSelectionModel::NoUpdate);
    const bool block = selection.Left != selection.Right || selection.Top != selection.Bottom;
    if (block)
        sm->select(QItemSelection(IndexOf({selection.Left, selection.Top}),
                                  IndexOf({selection.Right, selection.Bottom})),
                   QItemSelectionModel::ClearAndSelect);
    else
        sm->select(IndexOf(cell), QItemSelectionModel::ClearAndSelect);
    scrollTo(IndexOf(cell));
}

void TStringGrid::SetCol(int col) {
    if (col < fixedCols_ || col >= colCount_ || Row() < 0)
        return;
    ShowCurrent({col, Row()}, {});
}

void TStringGrid::SetRow(int row) {
    if (row < fixedRows_ || row >= rowCount_ || Col() < 0)
        return;
    ShowCurrent({Col(), row}, {});
}

TGridRect TStringGrid::Selection() const {
    const QItemSelection selection = selectionModel()->selection();
    TGridRect box{Col(), Row(), Col(), Row()};
    bool first = true;
    for (const QItemSelectionRange& range : selection) {
        const TGridRect r{std::max(range.left(), fixedCols_), std::max(range.top(), fixedRows_),
                          range.right(), range.bottom()};
        if (r.Left > r.Right || r.Top > r.Bottom)
            continue;
        if (first) {
            box = r;
            first = false;
            continue;
        }
        box = {std::min(box.Left, r.Left), std::min(box.Top, r.Top), std::max(box.Right, r.Right),
               std::max(box.Bottom, r.Bottom)};
    }
    return box;
}

void TStringGrid::SetSelection(const TGridRect& rect) {
    if (FirstFreeCell().X < 0)
        return;
    const auto clampCol = [this](int c) { return std::clamp(c, fixedCols_, colCount_ - 1); };
    const auto clampRow = [this](int r) { return std::clamp(r, fixedRows_, rowCount_ - 1); };
    const TGridRect r{
        clampCol(std::min(rect.Left, rect.Right)), clampRow(std::min(rect.Top, rect.Bottom)),
        clampCol(std::max(rect.Left, rect.Right)), clampRow(std::max(rect.Top, rect.Bottom))};
    ShowCurrent({r.Right, r.Bottom}, r);
}

void TStringGrid::ApplySelectionMode() {
    setSelectionMode((options_ & goRangeSelect) ? ContiguousSelection : SingleSelection);
    // Typing opens the editor through OpenEditor, which forwards the key; Qt needs this trigger
    // to hand the key on.
    setEditTriggers((options_ & goEditing) ? AnyKeyPressed : NoEditTriggers);
}

void TStringGrid::SetOptions(TGridOptions options) {
    if (options == options_)
        return;
    options_ = options;
    if (!(options_ & goEditing))
        SetEditorMode(false);
    ApplySelectionMode();
}

bool TStringGrid::EditorMode() const {
    return state() == EditingState;
}

void TStringGrid::SetEditorMode(bool on) {
    if (on) {
        if (!EditorMode())
            OpenEditor(nullptr);
        return;
    }
    if (EditorMode() && editor_) {
        QWidget* editor = editor_;
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void TStringGrid::OpenEditor(QKeyEvent* forward) {
    const QModelIndex current = currentIndex();
    if (!(options_ & goEditing) || !current.isValid() || IsFixed(current.column(), current.row()))
        return;
    edit(current, forward ? AnyKeyPressed : AllEditTriggers, forward);
}

int TStringGrid::ColWidths(int col) const {
    return columnWidth(col) - 1;
}

void TStringGrid::SetColWidths(int col, int width) {
    setColumnWidth(col, std::max(width, 0) + 1);
}

int TStringGrid::RowHeights(int row) const {
    return rowHeight(row) - 1;
}

void TStringGrid::SetRowHeights(int row, int height) {
    setRowHeight(row, std::max(height, 0) + 1);
}

void TStringGrid::SetDefaultColWidth(int width) {
    defaultColWidth_ = std::max(width, 0);
    for (QTableView* view : {static_cast<QTableView*>(this), fixedTop_, fixedLeft_, fixedCorner_})
        view->horizontalHeader()->setDefaultSectionSize(defaultColWidth_ + 1);
    for (int c = 0; c < colCount_; ++c)
        setColumnWidth(c, defaultColWidth_ + 1);
}

void TStringGrid::SetDefaultRowHeight(int height) {
    defaultRowHeight_ = std::max(height, 0);
    for (QTableView* view : {static_cast<QTableView*>(this), fixedTop_, fixedLeft_, fixedCorner_})
        view->verticalHeader()->setDefaultSectionSize(defaultRowHeight_ + 1);
    for (int r = 0; r < rowCount_; ++r)
        setRowHeight(r, defaultRowHeight_ + 1);
}

TRect TStringGrid::CellRect(int32_t col, int32_t row) const {
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_)
        return {};
    // Fixed cells stand where the unscrolled grid has them; the others may hide behind them.
    const int x =
        col < fixedCols_ ? horizontalHeader()->sectionPosition(col) : columnViewportPosition(col);
    const int y =
        row < fixedRows_ ? verticalHeader()->sectionPosition(row) : rowViewportPosition(row);
    const int width = columnWidth(col) - 1;
    const int height = rowHeight(row) - 1;
    if ((col >= fixedCols_ && x + width <= FixedWidth()) ||
        (row >= fixedRows_ && y + height <= FixedHeight()))
        return {};
    const QRect r(x, y, width, height);
    if (width <= 0 || height <= 0 || !viewport()->rect().intersects(r))
        return {};
    return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

TGridCoord TStringGrid::MouseCoord(int32_t x, int32_t y) const {
    if (!viewport()->rect().contains(x, y))
        return {-1, -1};
    const auto fixedAt = [](int v, int count, auto size) {
        for (int i = 0, end = 0; i < count; ++i)
            if (v < (end += size(i)))
                return i;
        return -1;
    };
    int col = fixedAt(x, fixedCols_, [this](int c) { return columnWidth(c); });
    if (col < 0)
        col = columnAt(x);
    int row = fixedAt(y, fixedRows_, [this](int r) { return rowHeight(r); });
    if (row < 0)
        row = rowAt(y);
    if (col < 0 || row < 0)
        return {-1, -1};
    return {col, row};
}

void TStringGrid::MouseToCell(int32_t x, int32_t y, int32_t& col, int32_t& row) const {
    const TGridCoord c = MouseCoord(x, y);
    col = c.X;
    row = c.Y;
}

// ---- painting ----

TFont TStringGrid::CellFont() const {
    TFont cellFont;
    const QFont qfont = font();
    cellFont.SetName(FromQString(qfont.family()));
    if (qfont.pointSize() > 0)
        cellFont.SetSize(qfont.pointSize());
    else if (qfont.pixelSize() > 0)
        cellFont.SetHeight(-qfont.pixelSize());
    return cellFont;
}

void TStringGrid::PaintCell(QPainter& painter, const QRect& rect, int col, int row) {
    const QModelIndex index = IndexOf({col, row});
    TGridDrawState state = 0;
    if (IsFixed(col, row))
        state |= gdFixed;
    else if (selectionModel()->isSelected(index))
        state |= gdSelected;
    if (index == currentIndex() && hasFocus())
        state |= gdFocused;

    painter.save();
    PainterCanvas canvas(painter, TDeviceCaps{});
    canvas.Font = CellFont();
    // The focused cell is drawn as a plain cell, as the class library drew it.
    const bool highlighted = (state & gdSelected) && !(state & gdFocused);
    canvas.Brush.Color = (state & gdFixed) ? clBtnFace : highlighted ? clHighlight : clWindow;
    canvas.Font.SetColor(highlighted ? clHighlightText : clWindowText);
    const TRect r{rect.x(), rect.y(), rect.x() + rect.width(), rect.y() + rect.height()};
    canvas_ = &canvas;
    Guard([&] { DrawCell(col, row, r, state); });
    canvas_ = nullptr;
    painter.restore();
}

void TStringGrid::DrawCell(int32_t col, int32_t row, const TRect& rect, TGridDrawState state) {
    canvas_->TextRect(rect, rect.Left + 2, rect.Top + 2, Cells(col, row));
    if (OnDrawCell)
        OnDrawCell(this, col, row, rect, state);
}

// ---- keys and mouse ----

void TStringGrid::keyPressEvent(QKeyEvent* event) {
    pendingKey_ = event;
    pendingKeyCode_ = VirtualKeyOf(event->key());
    uint16_t key = pendingKeyCode_;
    // A derived grid's own step may raise; no exception crosses the event loop.
    Guard([&] { KeyDown(key, ShiftStateOf(event->modifiers())); });
    pendingKey_ = nullptr;
}

void TStringGrid::KeyDown(uint16_t& key, TShiftState shift) {
    QKeyEvent* event = std::exchange(pendingKey_, nullptr);
    Guard([&] {
        if (OnKeyDown)
            OnKeyDown(this, key, shift);
    });
    if (!event)
        return;
    if (key == 0) {
        event->accept();
        return;
    }
    if (key == VK_F2) {
        // A key turned into F2 still types its character into the editor it opens.
        const bool replaced = pendingKeyCode_ != VK_F2;
        if (!EditorMode())
            OpenEditor(replaced && IsPrintable(event->text()) ? event : nullptr);
        event->accept();
        return;
    }
    if (IsPrintable(event->text()) && !(shift & (ssCtrl | ssAlt))) {
        // Qt would search the cells for the typed text; the grid starts editing instead.
        if (!EditorMode())
            OpenEditor(event);
        event->accept();
        return;
    }
    // The view's own copy, cut, paste and select-all would bypass the grid's handlers.
    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Cut) ||
        event->matches(QKeySequence::Paste) || event->matches(QKeySequence::SelectAll)) {
        event->accept();
        return;
    }
    const bool editing = EditorMode();
    const QModelIndex before = currentIndex();
    QTableView::keyPressEvent(event);
    // The editor follows the current cell, as long as the user keeps editing.
    if (editing && !EditorMode() && currentIndex() != before)
        OpenEditor(nullptr);
}

void TStringGrid::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    pressed_ = MouseCoord(p.x(), p.y());
    pendingMouse_ = event;
    Guard([&] {
        MouseDown(MouseButtonOf(event->button()),
                  ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y());
    });
    pendingMouse_ = nullptr;
}

void TStringGrid::MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
    if (QMouseEvent* event = std::exchange(pendingMouse_, nullptr)) {
        const TGridCoord cell = MouseCoord(x, y);
        const bool onCurrent = cell == TGridCoord{Col(), Row()};
        // Presses on fixed cells or beside the cells leave the selection as it was.
        if (cell.X >= 0 && !IsFixed(cell.X, cell.Y)) {
            QTableView::mousePressEvent(event);
            if (button == mbLeft && onCurrent && !(shift & (ssShift | ssCtrl | ssDouble)))
                OpenEditor(nullptr);
        }
        event->accept();
    }
    Guard([&] {
        if (OnMouseDown)
            OnMouseDown(this, button, shift, x, y);
    });
}

void TStringGrid::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    const TGridCoord cell = MouseCoord(p.x(), p.y());
    const bool click = event->button() == Qt::LeftButton && cell.X >= 0 &&
                       !IsFixed(cell.X, cell.Y) && cell == pressed_;
    pressed_ = {-1, -1};
    pendingMouse_ = event;
    Guard([&] {
        MouseUp(MouseButtonOf(event->button()), ShiftStateOf(event->modifiers(), event->buttons()),
                p.x(), p.y());
    });
    pendingMouse_ = nullptr;
    if (click)
        Guard([this] { Click(); });
}

void TStringGrid::MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
    if (QMouseEvent* event = std::exchange(pendingMouse_, nullptr))
        QTableView::mouseReleaseEvent(event);
    Guard([&] {
        if (OnMouseUp)
            OnMouseUp(this, button, shift, x, y);
    });
}

void TStringGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    pressed_ = MouseCoord(p.x(), p.y());
    // The press before the double click has selected; handing this one to the view as well
    // would close the editor that the double click opened.
    Guard([&] {
        DblClick();
        MouseDown(MouseButtonOf(event->button()),
                  ShiftStateOf(event->modifiers(), event->buttons()) | ssDouble, p.x(), p.y());
    });
    event->accept();
}

void TStringGrid::Click() {
    Guard([this] {
        if (OnClick)
            OnClick(this);
    });
}

void TStringGrid::DblClick() {
    Guard([this] {
        if (OnDblClick)
            OnDblClick(this);
    });
    if (pressed_.X >= 0 && pressed_ == TGridCoord{Col(), Row()})
        OpenEditor(nullptr);
}

// ---- drag and drop ----

// The drag events arrive from the viewport, in its pixels: the grid's client area.
void TStringGrid::dragEnterEvent(QDragEnterEvent* event) {
    dragMoveEvent(event);
}

void TStringGrid::dragMoveEvent(QDragMoveEvent* event) {
    dragAccepted_ = DragOverControl(this, *event, event->position().toPoint(), OnDragOver);
}

void TStringGrid::dragLeaveEvent(QDragLeaveEvent*) {
    dragAccepted_ = false;
}

void TStringGrid::dropEvent(QDropEvent* event) {
    DropOnControl(this, *event, event->position().toPoint(), dragAccepted_, OnDragDrop);
    dragAccepted_ = false;
}

} // namespace vx
