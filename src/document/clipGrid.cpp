#include "document/clipGrid.h"

#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Strings.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Guard.h"

#include <QClipboard>
#include <QGuiApplication>

#include <algorithm>
#include <random>
#include <vector>

namespace vx {

namespace {

bool IsModifierKey(uint16_t key) {
    switch (key) {
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
    case VK_LWIN:
    case VK_CAPITAL:
    case VK_NUMLOCK:
        return true;
    default:
        return false;
    }
}

struct TPastedField {
    int64_t Col;
    int64_t Row;
    std::string_view Text;
};

// Fields end at a TAB or a CR LF; the rest after the last separator is one more field, except
// when it is empty after a CR LF (a text that ends its last row) or the text is empty.
std::vector<TPastedField> SplitFields(std::string_view text, int64_t c0, int64_t r0) {
    std::vector<TPastedField> fields;
    int64_t c = c0;
    int64_t r = r0;
    size_t pos = 0;
    bool afterTab = false;
    for (;;) {
        const size_t tab = text.find('\t', pos);
        const size_t crlf = text.find("\r\n", pos);
        if (tab == std::string_view::npos && crlf == std::string_view::npos) {
            if (pos < text.size() || afterTab)
                fields.push_back({c, r, text.substr(pos)});
            return fields;
        }
        if (tab < crlf) {
            fields.push_back({c, r, text.substr(pos, tab - pos)});
            ++c;
            pos = tab + 1;
            afterTab = true;
        } else {
            fields.push_back({c, r, text.substr(pos, crlf - pos)});
            c = c0;
            ++r;
            pos = crlf + 2;
            afterTab = false;
        }
    }
}

std::mt19937& NameGenerator() {
    static std::mt19937 generator{std::random_device{}()};
    return generator;
}

} // namespace

// ---- TclipGrid ----

TclipGrid::TclipGrid(QWidget* parent, const QString& name) : TStringGrid(parent, name) {}

std::string TclipGrid::SelectionText(bool cut) {
    const TGridRect s = Selection();
    std::string text;
    for (int r = s.Top; r <= s.Bottom; ++r)
        for (int c = s.Left; c <= s.Right; ++c) {
            text += Cells(c, r);
            text += c == s.Right ? "\r\n" : "\t";
            if (cut)
                SetCells(c, r, "");
        }
    return text;
}

void TclipGrid::CopyToClipboard(bool cut) {
    const std::string text = SelectionText(cut);
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(ToQString(text));
}

void TclipGrid::PasteFromClipboard() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    PasteText(FromQString(clipboard->text()));
}

void TclipGrid::PasteText(std::string_view text) {
    // Cells read from a source are shown, not edited.
    if (HasCellSource())
        return;
    const TGridRect s = Selection();
    const std::vector<TPastedField> fields = SplitFields(text, s.Left, s.Top);
    const int oldCols = ColCount();
    const int oldRows = RowCount();
    if (autoresize) {
        int64_t cols = oldCols;
        int64_t rows = oldRows;
        for (const TPastedField& f : fields) {
            cols = std::max(cols, f.Col + 1);
            rows = std::max(rows, f.Row + 1);
        }
        if (cols * rows > kMaxPasteCells)
            throw Exception("The pasted text needs " + IntToStr(cols) + " x " + IntToStr(rows) +
                            " cells, more than the grid can hold");
        // One growth to the final size, rather than one per field that runs past the edge.
        SetColCount(static_cast<int>(cols));
        SetRowCount(static_cast<int>(rows));
    }
    for (const TPastedField& f : fields)
        if (f.Col < ColCount() && f.Row < RowCount())
            SetCells(static_cast<int>(f.Col), static_cast<int>(f.Row), f.Text);
    Renumber();
    if ((ColCount() != oldCols || RowCount() != oldRows) && OnRedimGrid)
        Guard([this] { OnRedimGrid(this); });
}

void TclipGrid::ClearSelection() {
    const TGridRect s = Selection();
    for (int r = s.Top; r <= s.Bottom; ++r)
        for (int c = s.Left; c <= s.Right; ++c)
            SetCells(c, r, "");
}

void TclipGrid::Renumber() {
    if (numerarighe)
        for (int i = 1; i < RowCount(); ++i)
            SetCells(0, i, IntToStr(i));
    if (numeracolonne)
        for (int j = 1; j < ColCount(); ++j)
            SetCells(j, 0, ColumnLetters(j - 1));
}

std::string TclipGrid::ColumnLetters(int32_t n) {
    if (n < 0)
        return {};
    std::string letters;
    // n < 26 is one letter; above, the letters of n / 26 - 1 come first.
    for (int64_t v = n;; v = v / 26 - 1) {
        letters.insert(letters.begin(), static_cast<char>('A' + v % 26));
        if (v < 26)
            return letters;
    }
}

void TclipGrid::KeyDown(uint16_t& key, TShiftState shift) {
    const TShiftState keys = shift & (ssShift | ssCtrl | ssAlt);
    if (keys == ssCtrl && (key == 'C' || key == 'X' || key == 'V')) {
        if (key == 'V')
            PasteFromClipboard();
        else
            CopyToClipboard(key == 'X');
    } else if (key == VK_DELETE && keys == 0) {
        ClearSelection();
    } else if (!IsModifierKey(key) && !HasCellSource()) {
        if (!(Options() & goEditing))
            SetOptions(Options() | goEditing);
        if (!EditorMode())
            key = VK_F2;
    }
    TStringGrid::KeyDown(key, shift);
}

void TclipGrid::MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
    if (autoediting)
        SetOptions(Options() & ~goEditing);
    TStringGrid::MouseDown(button, shift, x, y);
}

void TclipGrid::Click() {
    if (autoediting)
        SetOptions(Options() | goEditing);
    TStringGrid::Click();
    if (autoediting)
        SetEditorMode(true);
}

void TclipGrid::DrawCell(int32_t col, int32_t row, const TRect& rect, TGridDrawState state) {
    if (OnGetCellColor)
        OnGetCellColor(this, col, row, Canvas()->Font, Canvas()->Brush, state);
    TStringGrid::DrawCell(col, row, rect, state);
}

// ---- TComboGrid ----

TComboGrid::TComboGrid(QWidget* parent, const QString& name) : TStringGrid(parent, name) {
    Combocolumn = static_cast<int16_t>(ColCount() - 1);
    QWidget* owner = parentWidget() ? parentWidget() : this;
    // Several grids on one form need lists of different names.
    QString listName;
    do {
        std::uniform_int_distribution<int> number(0, 999);
        listName = QStringLiteral("Combogrid");
        for (int i = 0; i < 3; ++i)
            listName += QString::number(number(NameGenerator()));
    } while (owner->findChild<QWidget*>(listName, Qt::FindDirectChildrenOnly));
    list_ = new TComboBox(owner, listName, TComboBoxStyle::csDropDownList);
    list_->hide();
    list_->OnChange = [this](QObject*) { ListChange(); };
}

TComboGrid::~TComboGrid() {
    // The list lives among the parent's children; its handler must not outlive the grid.
    delete list_.data();
}

void TComboGrid::MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
    TStringGrid::MouseUp(button, shift, x, y);
    if (!list_)
        return;
    const TGridCoord cell = MouseCoord(x, y);
    if (cell.Y < FixedRows()) {
        list_->hide();
        return;
    }
    const std::string& text = Cells(Combocolumn, cell.Y);
    const QStringList items = list_->Items();
    const auto found = std::find_if(items.begin(), items.end(), [&](const QString& item) {
        return SameText(FromQString(item), text);
    });
    if (found != items.end()) {
        list_->SetItemIndex(static_cast<int>(found - items.begin()));
    } else if (!items.isEmpty()) {
        list_->SetItemIndex(0);
        SetCells(Combocolumn, cell.Y, FromQString(items.front()));
    }
    const TRect r = CellRect(Combocolumn, cell.Y);
    const QPoint origin = list_->parentWidget() == this ? QPoint() : pos();
    list_->setGeometry(r.Left + origin.x() + 2, r.Top + origin.y() + 1, r.Width(), r.Height());
    list_->raise();
    list_->show();
}

void TComboGrid::ListChange() {
    if (Row() >= 0 && list_)
        SetCells(Combocolumn, Row(), FromQString(list_->Text()));
}

} // namespace vx
