#include "document/cellsdlg.h"

#include "data/Settings.h"
#include "document/DocumentFiles.h"
#include "document/FileDialogs.h"
#include "document/PictureDialog.h"
#include "document/TF_inschnval.h"
#include "document/Tform_var_rif.h"
#include "localisation/FormTable.h"
#include "localisation/mlComp.h"
#include "platform/runtime/ComponentStream.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Format.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Strings.h"
#include "platform/runtime/UiServices.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/FontDialog.h"
#include "platform/ui/Icons.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/Memo.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/Panel.h"
#include "platform/ui/RadioGroup.h"
#include "platform/ui/Shape.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/StringGrid.h"
#include "report/Intestazione.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace vx {

namespace {

constexpr int kNarrow = 355;
constexpr int kNarrowPages = 342;
constexpr int kWide = 620;
constexpr int kWidePages = 606;

QFont QFontOf(const TFont& font) {
    QFont shown(ToQString(font.Name()), std::max(1, static_cast<int>(font.Size())));
    const TFontStyles style = font.Style();
    shown.setBold(style.Contains(fsBold));
    shown.setItalic(style.Contains(fsItalic));
    shown.setUnderline(style.Contains(fsUnderline));
    shown.setStrikeOut(style.Contains(fsStrikeOut));
    return shown;
}

TSpeedButton* Button(QWidget* parent, const char* name, int left, int top, int width,
                     int height = 24) {
    return Placed(new TSpeedButton(parent, name), left, top, width, height);
}

TSpeedButton* ToolButton(QWidget* parent, const char* name, const char* icon, int index) {
    auto* button = Button(parent, name, 2 + index * 35, 2, 33, 28);
    button->SetGlyph(ToolIcon(icon));
    return button;
}

} // namespace

void SaveCellTableFile(const std::string& fileName, const TIntestazione& table) {
    SaveFileAtomically(fileName, [&](TStream& stream) {
        stream.WriteShortString(kCellTableTag);
        WriteComponent(stream, table);
    });
}

Tcellsdlg_form::Tcellsdlg_form(QWidget* parent)
    : TForm(parent, "cellsdlg_form"), backup_(std::make_unique<TIntestazione>(nullptr)) {
    setWindowFlag(Qt::Tool);
    resize(kNarrow, 380);
    BuildToolBar();
    PageControl1 = Placed(new TPageControl(this, "PageControl1"), 6, 36, kNarrowPages, 338);
    BuildTextPage();
    BuildRowsPage();
    BuildUtilityPage();
    BuildBordersPage();
    BuildPicturePage();
    OnCloseQuery = [this](QObject*, bool& canClose) { canClose = AllowClose; };
    mlLang1 = CreateFormTable(this, "Tcellsdlg_form");
    ShowMemoFont();
}

Tcellsdlg_form::~Tcellsdlg_form() = default;

void Tcellsdlg_form::BuildToolBar() {
    Panel1 = Placed(new TPanel(this, "Panel1"), 0, 0, kNarrow, 32);
    SpeedButton2 = ToolButton(Panel1, "SpeedButton2", "view-refresh", 0);
    SpeedButton24 = ToolButton(Panel1, "SpeedButton24", "edit-copy", 1);
    SpeedButton25 = ToolButton(Panel1, "SpeedButton25", "edit-cut", 2);
    SpeedButton26 = ToolButton(Panel1, "SpeedButton26", "edit-paste", 3);
    SpeedButton26->setEnabled(false);
    SpeedButton23 = ToolButton(Panel1, "SpeedButton23", "edit-undo", 4);
    SpeedButton28 = ToolButton(Panel1, "SpeedButton28", "edit-select-all", 5);
    SpeedButton29 = ToolButton(Panel1, "SpeedButton29", "object-locked", 6);
    SpeedButton18 = ToolButton(Panel1, "SpeedButton18", "view-list-details", 7);
    SpeedButton27 = ToolButton(Panel1, "SpeedButton27", "zoom-in", 8);
    SpeedButton8 = ToolButton(Panel1, "SpeedButton8", "dialog-ok-apply", 9);
    int group = 10;
    for (TSpeedButton* toggle : {SpeedButton29, SpeedButton18, SpeedButton27}) {
        toggle->SetGroupIndex(group++);
        toggle->SetAllowAllUp(true);
    }
    SpeedButton2->OnClick = [this](QObject*) { ApplyToCells(); };
    SpeedButton24->OnClick = [this](QObject*) { CopyCells(); };
    SpeedButton25->OnClick = [this](QObject*) { CutCells(); };
    SpeedButton26->OnClick = [this](QObject*) { PasteCells(); };
    SpeedButton23->OnClick = [this](QObject*) { UndoChange(); };
    SpeedButton28->OnClick = [this](QObject*) { SelectAllCells(); };
    SpeedButton29->OnClick = [this](QObject*) {
        if (table_)
            table_->BorderSizing = !SpeedButton29->Down();
    };
    SpeedButton18->OnClick = [this](QObject*) { ShowTestWindow(SpeedButton18->Down()); };
    SpeedButton27->OnClick = [this](QObject*) { Zoom(SpeedButton27->Down()); };
    SpeedButton8->OnClick = [this](QObject*) {
        if (table_) {
            table_->SwitchCellEditor();
        } else {
            AllowClose = true;
            Close();
        }
    };
}

void Tcellsdlg_form::BuildTextPage() {
    TabSheet1 = new TTabSheet(PageControl1, "TabSheet1");
    Memo1 = Placed(new TMemo(TabSheet1, "Memo1"), 4, 4, 326, 130);
    Memo2 = Placed(new TMemo(TabSheet1, "Memo2"), 336, 4, 258, 280);
    Memo2->hide();
    for (TMemo* memo : {Memo1, Memo2}) {
        memo->SetWordWrap(false);
        // Qt signals only on the user's edits (keys, paste); changes by code block them.
        connect(memo, &QPlainTextEdit::textChanged, this, [this] { Changed(chText); });
        memo->OnDragOver = [](QObject*, QObject* source, int32_t, int32_t, bool& accept) {
            accept = qobject_cast<TStringGrid*>(source) != nullptr;
        };
        memo->OnDragDrop = [this, memo](QObject*, QObject* source, int32_t, int32_t) {
            DropOnMemo(memo, source);
        };
    }
    SpeedButton1 = Button(TabSheet1, "SpeedButton1", 4, 140, 90);
    SpeedButton1->OnClick = [this](QObject*) {
        if (ChooseFont(memoFont_)) {
            Changed(chFont);
            ShowMemoFont();
        }
    };
    const std::pair<TSpeedButton**, const char*> aligns[] = {
        {&SpeedButton3, "format-justify-left"},    {&SpeedButton4, "format-justify-center"},
        {&SpeedButton5, "format-justify-right"},   {&SpeedButton9, "align-vertical-top"},
        {&SpeedButton10, "align-vertical-center"}, {&SpeedButton11, "align-vertical-bottom"}};
    const char* names[] = {"SpeedButton3", "SpeedButton4",  "SpeedButton5",
                           "SpeedButton9", "SpeedButton10", "SpeedButton11"};
    for (int i = 0; i < 6; ++i) {
        TSpeedButton* b = Button(TabSheet1, names[i], 104 + i * 28 + (i >= 3 ? 12 : 0), 140, 26);
        b->SetGlyph(ToolIcon(aligns[i].second));
        b->SetGroupIndex(i < 3 ? 1 : 2);
        b->OnClick = [this, i](QObject*) { Changed(i < 3 ? chWAlign : chHAlign); };
        *aligns[i].first = b;
    }
    RadioGroup1 = Placed(new TRadioGroup(TabSheet1, "RadioGroup1"), 4, 170, 160, 70);
    RadioGroup1->SetItems({"Orizzontale", "Verticale"});
    RadioGroup1->OnClick = [this](QObject*) { Changed(chOrientation); };
    CheckBox4 = Placed(new TCheckBox(TabSheet1, "CheckBox4"), 170, 174, 162, 20);
    CheckBox4->OnClick = [this](QObject*) { Changed(chJail); };
    SpeedButton33 = Button(TabSheet1, "SpeedButton33", 172, 200, 158);
    SpeedButton33->OnClick = [this](QObject*) { AddChannelValue(); };
    SpeedButton35 = Button(TabSheet1, "SpeedButton35", 172, 228, 158);
    SpeedButton35->OnClick = [this](QObject*) { InsertText("&<ROW;1;5;3>"); };
}

void Tcellsdlg_form::BuildRowsPage() {
    TabSheet2 = new TTabSheet(PageControl1, "TabSheet2");
    Label1 = Placed(new TLabel(TabSheet2, "Label1"), 4, 8, 130, 16);
    gridcolcount = Placed(new TSpinEdit(TabSheet2, "gridcolcount"), 138, 4, 64, 24);
    SpeedButton12 = Button(TabSheet2, "SpeedButton12", 208, 4, 122);
    Label2 = Placed(new TLabel(TabSheet2, "Label2"), 4, 38, 130, 16);
    gridrowcount = Placed(new TSpinEdit(TabSheet2, "gridrowcount"), 138, 34, 64, 24);
    SpeedButton13 = Button(TabSheet2, "SpeedButton13", 208, 34, 122);
    for (TSpinEdit* count : {gridcolcount, gridrowcount}) {
        count->SetMinValue(1);
        count->SetMaxValue(100);
    }
    SpeedButton14 = Button(TabSheet2, "SpeedButton14", 4, 68, 162);
    SpeedButton15 = Button(TabSheet2, "SpeedButton15", 170, 68, 160);
    SpeedButton16 = Button(TabSheet2, "SpeedButton16", 4, 98, 162);
    CheckBox1 = Placed(new TCheckBox(TabSheet2, "CheckBox1"), 172, 100, 158, 20);
    SpeedButton17 = Button(TabSheet2, "SpeedButton17", 4, 128, 162);
    CheckBox2 = Placed(new TCheckBox(TabSheet2, "CheckBox2"), 172, 130, 158, 20);
    SpeedButton36 = Button(TabSheet2, "SpeedButton36", 4, 158, 162);
    Label4 = Placed(new TLabel(TabSheet2, "Label4"), 4, 194, 326, 16);
    SpeedButton21 = Button(TabSheet2, "SpeedButton21", 4, 212, 162);
    SpeedButton22 = Button(TabSheet2, "SpeedButton22", 170, 212, 160);
    SpeedButton12->OnClick = [this](QObject*) { SetColumnCountClick(); };
    SpeedButton13->OnClick = [this](QObject*) { SetRowCountClick(); };
    SpeedButton14->OnClick = [this](QObject*) { DeleteColumnsClick(); };
    SpeedButton15->OnClick = [this](QObject*) { DeleteRowsClick(); };
    SpeedButton16->OnClick = [this](QObject*) { AddColumnClick(); };
    SpeedButton17->OnClick = [this](QObject*) { AddRowClick(); };
    SpeedButton36->OnClick = [this](QObject*) {
        if (!table_)
            return;
        table_->SelectAll();
        ApplyToCells();
    };
    SpeedButton21->OnClick = [this](QObject*) { NormaliseRows(); };
    SpeedButton22->OnClick = [this](QObject*) { NormaliseColumns(); };
}

void Tcellsdlg_form::BuildUtilityPage() {
    TabSheet3 = new TTabSheet(PageControl1, "TabSheet3");
    Label5 = Placed(new TLabel(TabSheet3, "Label5"), 4, 8, 130, 16);
    SpinEdit1 = Placed(new TSpinEdit(TabSheet3, "SpinEdit1"), 138, 4, 80, 24);
    SpinEdit1->SetMinValue(1);
    SpinEdit1->SetMaxValue(9999);
    SpinEdit1->SetValue(1);
    Label6 = Placed(new TLabel(TabSheet3, "Label6"), 4, 38, 130, 16);
    SpinEdit2 = Placed(new TSpinEdit(TabSheet3, "SpinEdit2"), 138, 34, 80, 24);
    SpinEdit2->SetMinValue(-9999);
    SpinEdit2->SetMaxValue(9999);
    SpeedButton34 = Button(TabSheet3, "SpeedButton34", 4, 66, 326);
    SpeedButton34->OnClick = [this](QObject*) { ShiftRows(); };
    SpeedButton19 = Button(TabSheet3, "SpeedButton19", 4, 120, 326);
    SpeedButton19->OnClick = [this](QObject*) { OpenConfiguration(); };
    SpeedButton20 = Button(TabSheet3, "SpeedButton20", 4, 150, 326);
    SpeedButton20->OnClick = [this](QObject*) { SaveConfiguration(); };
}

void Tcellsdlg_form::BuildBordersPage() {
    TabSheet4 = new TTabSheet(PageControl1, "TabSheet4");
    Label7 = Placed(new TLabel(TabSheet4, "Label7"), 4, 8, 140, 16);
    COLBORDO = Placed(new TShape(TabSheet4, "COLBORDO"), 148, 4, 50, 22);
    COLBORDO->SetBrushColor(clBlack);
    COLBORDO->OnMouseDown = [this](QObject*, TMouseButton, TShiftState, int32_t, int32_t) {
        ChooseColor(COLBORDO, chPenColor);
    };
    Label8 = Placed(new TLabel(TabSheet4, "Label8"), 4, 36, 140, 16);
    ColSfondo = Placed(new TShape(TabSheet4, "ColSfondo"), 148, 32, 50, 22);
    ColSfondo->OnMouseDown = [this](QObject*, TMouseButton, TShiftState, int32_t, int32_t) {
        ChooseColor(ColSfondo, chBrushColor);
    };
    Label9 = Placed(new TLabel(TabSheet4, "Label9"), 4, 64, 140, 16);
    ComboBox2 = Placed(new TComboBox(TabSheet4, "ComboBox2"), 148, 60, 60, 24);
    ComboBox2->SetItems({"1", "2", "3", "4", "8", "12", "16", "18", "20", "30"});
    ComboBox2->OnChange = [this](QObject*) { Changed(chBorderWidth); };
    const std::pair<TShape**, const char*> sides[] = {
        {&Shape2, "Shape2"}, {&Shape4, "Shape4"}, {&Shape3, "Shape3"}, {&Shape5, "Shape5"}};
    const QRect places[] = {
        {250, 106, 10, 44}, {264, 92, 44, 10}, {312, 106, 10, 44}, {264, 154, 44, 10}};
    const unsigned changes[] = {chLeft, chTop, chRight, chBottom};
    for (int i = 0; i < 4; ++i) {
        TShape* shape = new TShape(TabSheet4, sides[i].second);
        shape->setGeometry(places[i]);
        shape->SetBrushColor(clBtnFace);
        shape->OnMouseDown = [this, shape, change = changes[i]](QObject*, TMouseButton, TShiftState,
                                                                int32_t, int32_t) {
            ClickSide(shape, change);
        };
        *sides[i].first = shape;
    }
    grigliaon = Placed(new TCheckBox(TabSheet4, "grigliaon"), 4, 92, 230, 20);
    grigliaon->OnClick = [this](QObject*) {
        if (grigliaon->Checked()) {
            SetSides(clBlack);
            CheckBox3->SetChecked(false);
        }
        Changed(chGrid);
    };
    CheckBox3 = Placed(new TCheckBox(TabSheet4, "CheckBox3"), 4, 116, 230, 20);
    CheckBox3->OnClick = [this](QObject*) {
        if (CheckBox3->Checked()) {
            SetSides(clWhite);
            grigliaon->SetChecked(false);
        }
        Changed(chGrid);
    };
    SpeedButton30 = Button(TabSheet4, "SpeedButton30", 4, 176, 160);
    SpeedButton31 = Button(TabSheet4, "SpeedButton31", 4, 204, 160);
    SpeedButton32 = Button(TabSheet4, "SpeedButton32", 4, 232, 160);
    const std::pair<TSpeedButton*, TColor> presets[] = {
        {SpeedButton30, clBlack}, {SpeedButton31, clWhite}, {SpeedButton32, clBtnFace}};
    for (const auto& [button, color] : presets)
        button->OnClick = [this, color = color](QObject*) {
            SetSides(color);
            Changed(chLeft | chTop | chRight | chBottom);
        };
}

void Tcellsdlg_form::BuildPicturePage() {
    TabSheet5 = new TTabSheet(PageControl1, "TabSheet5");
    Image1 = Placed(new TImage(TabSheet5, "Image1"), 4, 4, 200, 150);
    Image1->SetStretch(true);
    SpeedButton6 = Button(TabSheet5, "SpeedButton6", 212, 4, 118);
    SpeedButton6->OnClick = [this](QObject*) { LoadPicture(); };
    SpeedButton7 = Button(TabSheet5, "SpeedButton7", 212, 32, 118);
    SpeedButton7->OnClick = [this](QObject*) {
        Image1->SetPicture(Bitmap());
        Changed(chBitmap);
    };
    RadioGroup2 = Placed(new TRadioGroup(TabSheet5, "RadioGroup2"), 4, 160, 200, 90);
    RadioGroup2->SetItems({"Reali con scala", "Proporzionali", "Distorte"});
    RadioGroup2->OnClick = [this](QObject*) { Changed(chBitmapMode); };
    Label10 = Placed(new TLabel(TabSheet5, "Label10"), 212, 166, 118, 16);
    Edit1 = Placed(new TEdit(TabSheet5, "Edit1"), 212, 184, 80, 24);
    connect(Edit1, &QLineEdit::textEdited, this, [this] { Changed(chScale); });
}

std::string Tcellsdlg_form::Text(const char* id) const {
    return mlLang1->GetTextOrDefault(id);
}

void Tcellsdlg_form::ShowMemoFont() {
    Memo1->setFont(QFontOf(memoFont_));
    Memo2->setFont(QFontOf(memoFont_));
}

void Tcellsdlg_form::SetTable(TIntestazione* table) {
    table_ = table;
}

void Tcellsdlg_form::ReleaseTable() {
    table_ = nullptr;
    if (testWindow_)
        testWindow_->SetDataBuffer(nullptr);
}

void Tcellsdlg_form::Backup() {
    if (table_)
        ComponentFromBytes(ComponentToBytes(*table_), *backup_);
}

void Tcellsdlg_form::Redraw() {
    if (table_)
        table_->Redraw();
}

void Tcellsdlg_form::TableChanged() {
    Redraw();
    // The page and its document learn of the change as they do for a file the table opens.
    if (table_ && table_->OnChange)
        table_->OnChange(table_);
}

bool Tcellsdlg_form::NormalSelection(int32_t& left, int32_t& top, int32_t& right,
                                     int32_t& bottom) const {
    if (!table_)
        return false;
    const TIntestazione::TSelection& s = table_->Selection;
    if (s.Left < 0 || s.Top < 0 || s.Right < 0 || s.Bottom < 0)
        return false;
    left = std::min(s.Left, s.Right);
    right = std::max(s.Left, s.Right);
    top = std::min(s.Top, s.Bottom);
    bottom = std::max(s.Top, s.Bottom);
    // As drawing does: a selection past the table is cut to it.
    right = std::min(right, table_->ColumnCount() - 1);
    bottom = std::min(bottom, table_->RowCount() - 1);
    return left <= right && top <= bottom;
}

void Tcellsdlg_form::LoadFromCells() {
    if (!table_)
        return;
    Backup();
    ShowSelection();
}

void Tcellsdlg_form::ShowSelection() {
    gridcolcount->SetValue(table_->ColumnCount());
    gridrowcount->SetValue(table_->RowCount());
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    const bool selected = NormalSelection(left, top, right, bottom);
    if (!selected || left != right || top != bottom) {
        for (TMemo* memo : {Memo1, Memo2}) {
            memo->SetLines({});
            memo->setEnabled(false);
        }
        const TCella* first = selected ? table_->GetCell(left, top) : nullptr;
        Image1->SetPicture(first ? first->bitmap : Bitmap());
    } else {
        const TCella& cell = *table_->GetCell(left, top);
        QStringList lines;
        for (const std::string& line : cell.text.Items())
            lines << ToQString(line);
        for (TMemo* memo : {Memo1, Memo2}) {
            memo->setEnabled(true);
            memo->SetLines(memo == Memo1 ? lines : QStringList());
        }
        memoFont_.Assign(cell.Font);
        ShowMemoFont();
        if (cell.WAlign == 0)
            SpeedButton3->SetDown(true);
        else if (cell.WAlign == 6)
            SpeedButton4->SetDown(true);
        else if (cell.WAlign == 2)
            SpeedButton5->SetDown(true);
        if (cell.HAlign == 0)
            SpeedButton9->SetDown(true);
        else if (cell.HAlign == 24)
            SpeedButton10->SetDown(true);
        else if (cell.HAlign == 8)
            SpeedButton11->SetDown(true);
        RadioGroup1->SetItemIndex(cell.Fontorientation != 0 ? 1 : 0);
        grigliaon->SetChecked(cell.HasBorder(BS_ALL));
        COLBORDO->SetBrushColor(cell.Pen.Color);
        ColSfondo->SetBrushColor(cell.Brush.Color);
        ComboBox2->SetItemIndex(ComboBox2->Items().indexOf(QString::number(cell.Pen.Width)));
        RadioGroup2->SetItemIndex(cell.Bitmap_visualization);
        Image1->SetPicture(cell.bitmap);
        CheckBox4->SetChecked(cell.jailrect);
        Edit1->SetText(ToQString(Format("%0.2f", {cell.Bitmapscale})));
        SetSides(clBtnFace);
    }
    changes_ = 0;
    if (!testWindow_) {
        testWindow_ = CreateForm<Tform_var_rif>(this);
        testWindow_->SetDataBuffer(table_->DataBuffer);
        testWindow_->LoadTests();
    }
}

void Tcellsdlg_form::ApplyToCells() {
    ApplyToCells(true);
}

void Tcellsdlg_form::ApplyToCells(bool backup) {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    if (!NormalSelection(left, top, right, bottom))
        return;
    // A scale that is no number stops here, before any cell is touched.
    const double scale = (changes_ & chScale) ? StrToFloat(FromQString(Edit1->Text())) : 0;
    if (backup)
        Backup();
    if (Memo1->isEnabled() && SpeedButton27->Down())
        Memo1->SetLines(Memo2->Lines());
    for (int32_t row = top; row <= bottom; ++row)
        for (int32_t column = left; column <= right; ++column)
            ApplyToCell(column, row, left, top, right, bottom, scale);
    changes_ = 0;
    TableChanged();
}

void Tcellsdlg_form::ApplyToCell(int32_t column, int32_t row, int32_t left, int32_t top,
                                 int32_t right, int32_t bottom, double scale) {
    TCella& cell = *table_->GetCell(column, row);
    if (changes_ & chBrushColor)
        cell.Brush.Color = ColSfondo->BrushColor();
    if (changes_ & chPenColor)
        cell.Pen.Color = COLBORDO->BrushColor();
    if (changes_ & chWAlign) {
        if (SpeedButton3->Down())
            cell.WAlign = 0;
        else if (SpeedButton4->Down())
            cell.WAlign = 6;
        else if (SpeedButton5->Down())
            cell.WAlign = 2;
    }
    if (changes_ & chHAlign) {
        if (SpeedButton9->Down())
            cell.HAlign = 0;
        else if (SpeedButton10->Down())
            cell.HAlign = 24;
        else if (SpeedButton11->Down())
            cell.HAlign = 8;
    }
    if ((changes_ & chText) && Memo1->isEnabled()) {
        cell.text.Clear();
        for (const QString& line : Memo1->Lines())
            cell.text.Add(FromQString(line));
    }
    if (changes_ & chFont)
        cell.Font.Assign(memoFont_);
    int32_t width = 0;
    const bool widthChosen =
        ComboBox2->ItemIndex() >= 0 && TryStrToInt(FromQString(ComboBox2->Text()), width);
    const bool sidesOrWidth = (changes_ & (chGrid | chBorderWidth)) != 0;
    if (sidesOrWidth && grigliaon->Checked()) {
        cell.Border = BorderBit(BS_ALL);
        if (widthChosen)
            cell.BorderWidth.fill(width);
    } else if ((changes_ & chGrid) && CheckBox3->Checked()) {
        cell.Border = BorderBit(BS_None);
    } else if (!grigliaon->Checked() && !CheckBox3->Checked()) {
        const struct {
            TShape* Shape;
            unsigned Change;
            bool OnEdge;
            Tborderstyle Member;
            int Index;
        } sides[] = {{Shape2, chLeft, column == left, BS_left, 0},
                     {Shape4, chTop, row == top, BS_top, 1},
                     {Shape3, chRight, column == right, BS_right, 2},
                     {Shape5, chBottom, row == bottom, BS_Bottom, 3}};
        for (const auto& side : sides) {
            if (!(changes_ & (chBorderWidth | side.Change)) || !side.OnEdge ||
                side.Shape->BrushColor() == clBtnFace)
                continue;
            cell.Border &= ~BorderBit(BS_ALL);
            if (side.Shape->BrushColor() == clBlack)
                cell.Border |= BorderBit(side.Member);
            else
                cell.Border &= ~BorderBit(side.Member);
            if (widthChosen)
                cell.BorderWidth[side.Index] = width;
        }
    }
    if (changes_ & chBitmapMode)
        cell.Bitmap_visualization = static_cast<uint8_t>(std::max(RadioGroup2->ItemIndex(), 0));
    if (changes_ & chBitmap)
        cell.bitmap = Image1->Picture().Empty() ? Bitmap() : Image1->Picture();
    if (changes_ & chOrientation)
        cell.Fontorientation = RadioGroup1->ItemIndex() == 1 ? 90 : 0;
    if (changes_ & chJail)
        cell.jailrect = CheckBox4->Checked();
    if (changes_ & chScale)
        cell.Bitmapscale = scale;
}

void Tcellsdlg_form::SetSides(TColor color) {
    for (TShape* shape : {Shape2, Shape4, Shape3, Shape5})
        shape->SetBrushColor(color);
}

void Tcellsdlg_form::ClickSide(TShape* shape, unsigned change) {
    if (grigliaon->Checked())
        return;
    const TColor now = shape->BrushColor();
    shape->SetBrushColor(now == clBtnFace ? clBlack : now == clBlack ? clWhite : clBtnFace);
    Changed(change);
}

void Tcellsdlg_form::ChooseColor(TShape* shape, unsigned change) {
    int color = shape->BrushColor();
    if (!Ui().ColorDialog(color))
        return;
    shape->SetBrushColor(color);
    Changed(change);
}

void Tcellsdlg_form::InsertText(const std::string& text) {
    TMemo* memo = SpeedButton27->Down() ? Memo2 : Memo1;
    if (!memo->isEnabled())
        return;
    QStringList lines = memo->Lines();
    if (lines.isEmpty())
        lines << ToQString(text);
    else
        lines.last() += u' ' + ToQString(text);
    memo->SetLines(lines);
    Changed(chText);
}

void Tcellsdlg_form::DropOnMemo(TMemo* memo, QObject* source) {
    auto* grid = qobject_cast<TStringGrid*>(source);
    if (!grid || !memo->isEnabled())
        return;
    const int col = grid->Col();
    const int row = grid->Row();
    const std::string text = "&<" + IntToStr(grid->Tag) + ";" + IntToStr(col) + ";" +
                             IntToStr(row) + "(" + grid->Cells(col, row) + ")>";
    QStringList lines = memo->Lines();
    if (lines.isEmpty())
        lines << ToQString(text);
    else
        lines.last() += u' ' + ToQString(text);
    memo->SetLines(lines);
    Changed(chText);
}

void Tcellsdlg_form::AddChannelValue() {
    if (!table_)
        return;
    std::unique_ptr<TF_inschnval> dialog(CreateForm<TF_inschnval>(this));
    dialog->SetDataBuffer(table_->DataBuffer);
    if (dialog->ShowModal() != mrOk)
        return;
    const std::string text = dialog->Placeholder();
    if (!text.empty())
        InsertText(text);
}

// ------------------------------------------------------------------ rows and columns

void Tcellsdlg_form::SetColumnCountClick() {
    if (!table_)
        return;
    Backup();
    if (gridcolcount->Value() < 1) {
        Ui().ShowMessage(Text("IDS_1"));
        return;
    }
    table_->SetColumnCount(gridcolcount->Value());
    TableChanged();
}

void Tcellsdlg_form::SetRowCountClick() {
    if (!table_)
        return;
    Backup();
    if (gridrowcount->Value() < 1) {
        Ui().ShowMessage(Text("IDS_2"));
        return;
    }
    table_->SetRowCount(gridrowcount->Value());
    TableChanged();
}

void Tcellsdlg_form::DeleteColumnsClick() {
    int32_t left, top, right, bottom;
    if (!NormalSelection(left, top, right, bottom))
        return;
    if (Ui().MessageDlg(Text("IDS_3"), TMsgDlgType::mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    if (right - left + 1 >= table_->ColumnCount()) {
        Ui().ShowMessage(Text("IDS_4"));
        return;
    }
    Backup();
    table_->DeleteColumns(left, right - left + 1);
    // The backup holds the table before the deletion; the update must not overwrite it.
    ApplyToCells(false);
    gridcolcount->SetValue(table_->ColumnCount());
}

void Tcellsdlg_form::DeleteRowsClick() {
    int32_t left, top, right, bottom;
    if (!NormalSelection(left, top, right, bottom))
        return;
    if (Ui().MessageDlg(Text("IDS_6"), TMsgDlgType::mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    if (bottom - top + 1 >= table_->RowCount()) {
        Ui().ShowMessage(Text("IDS_7"));
        return;
    }
    Backup();
    table_->DeleteRows(top, bottom - top + 1);
    ApplyToCells(false);
    gridrowcount->SetValue(table_->RowCount());
}

void Tcellsdlg_form::AddColumnClick() {
    int32_t left, top, right, bottom;
    if (!NormalSelection(left, top, right, bottom))
        return;
    if (Ui().MessageDlg(Text("IDS_5"), TMsgDlgType::mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    Backup();
    table_->InsertColumns(CheckBox1->Checked() ? left + 1 : left, 1);
    ApplyToCells(false);
    gridcolcount->SetValue(table_->ColumnCount());
}

void Tcellsdlg_form::AddRowClick() {
    int32_t left, top, right, bottom;
    if (!NormalSelection(left, top, right, bottom))
        return;
    if (Ui().MessageDlg(Text("IDS_8"), TMsgDlgType::mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    Backup();
    table_->InsertRows(CheckBox2->Checked() ? top + 1 : top, 1);
    ApplyToCells(false);
    gridrowcount->SetValue(table_->RowCount());
}

void Tcellsdlg_form::NormaliseRows() {
    int32_t left, top, right, bottom;
    if (!NormalSelection(left, top, right, bottom) || bottom == top)
        return;
    Backup();
    float sum = 0;
    for (int32_t row = top; row <= bottom; ++row)
        sum += table_->GetCell(left, row)->DIMH;
    const float mean = sum / static_cast<float>(bottom - top + 1);
    for (int32_t row = top; row <= bottom; ++row)
        for (int32_t column = 0; column < table_->ColumnCount(); ++column)
            table_->GetCell(column, row)->DIMH = mean;
    TableChanged();
}

void Tcellsdlg_form::NormaliseColumns() {
    int32_t left, top, right, bottom;
    if (!NormalSelection(left, top, right, bottom) || right == left)
        return;
    Backup();
    float sum = 0;
    for (int32_t column = left; column <= right; ++column)
        sum += table_->GetCell(column, top)->DIMW;
    const float mean = sum / static_cast<float>(right - left + 1);
    for (int32_t row = 0; row < table_->RowCount(); ++row)
        for (int32_t column = left; column <= right; ++column)
            table_->GetCell(column, row)->DIMW = mean;
    TableChanged();
}

// ------------------------------------------------------------------------- clipboard

void Tcellsdlg_form::CopyCells() {
    int32_t left, top, right, bottom;
    if (!NormalSelection(left, top, right, bottom))
        return;
    clipboard_.SetSize(0);
    clipboard_.Seek(0, TSeekOrigin::soBeginning);
    clipboard_.WriteI32(right - left + 1);
    clipboard_.WriteI32(bottom - top + 1);
    for (int32_t row = top; row <= bottom; ++row)
        for (int32_t column = left; column <= right; ++column)
            WriteComponent(clipboard_, *table_->GetCell(column, row));
    copied_ = true;
    SpeedButton26->setEnabled(true);
}

void Tcellsdlg_form::CutCells() {
    int32_t left, top, right, bottom;
    if (!NormalSelection(left, top, right, bottom))
        return;
    CopyCells();
    Backup();
    for (int32_t row = top; row <= bottom; ++row)
        for (int32_t column = left; column <= right; ++column) {
            const TCella& old = *table_->GetCell(column, row);
            const float w = old.DIMW;
            const float h = old.DIMH;
            table_->ResetCell(column, row);
            TCella& cell = *table_->GetCell(column, row);
            cell.DIMW = w;
            cell.DIMH = h;
        }
    TableChanged();
}

void Tcellsdlg_form::PasteCells() {
    int32_t left, top, right, bottom;
    if (!copied_ || !NormalSelection(left, top, right, bottom))
        return;
    Backup();
    clipboard_.Seek(0, TSeekOrigin::soBeginning);
    const int32_t columns = clipboard_.ReadI32();
    const int32_t rows = clipboard_.ReadI32();
    for (int32_t r = 0; r < rows; ++r)
        for (int32_t c = 0; c < columns; ++c) {
            const int32_t column = left + c;
            const int32_t row = top + r;
            if (column >= table_->ColumnCount() || row >= table_->RowCount()) {
                TCella scratch(nullptr);
                ReadComponent(clipboard_, scratch);
                continue;
            }
            const TCella& old = *table_->GetCell(column, row);
            const float w = old.DIMW;
            const float h = old.DIMH;
            // A fresh cell, so that what the stream leaves at its default is the default.
            table_->ResetCell(column, row);
            TCella& cell = *table_->GetCell(column, row);
            ReadComponent(clipboard_, cell);
            cell.DIMW = w;
            cell.DIMH = h;
        }
    TableChanged();
}

void Tcellsdlg_form::UndoChange() {
    if (!table_)
        return;
    const std::string current = ComponentToBytes(*table_);
    ComponentFromBytes(ComponentToBytes(*backup_), *table_);
    ComponentFromBytes(current, *backup_);
    TableChanged();
}

void Tcellsdlg_form::SelectAllCells() {
    if (!table_)
        return;
    table_->SelectAll();
    LoadFromCells();
    Redraw();
}

void Tcellsdlg_form::ShowTestWindow(bool on) {
    if (!testWindow_)
        return;
    if (on) {
        testWindow_->move(x(), y() + 60);
        testWindow_->Show();
    } else {
        testWindow_->hide();
    }
}

void Tcellsdlg_form::Zoom(bool on) {
    if (on) {
        PageControl1->SetActivePage(TabSheet1);
        resize(kWide, height());
        Panel1->resize(kWide, Panel1->height());
        PageControl1->resize(kWidePages, PageControl1->height());
        Memo2->SetLines(Memo1->Lines());
        Memo2->setEnabled(Memo1->isEnabled());
        Memo2->show();
    } else {
        Memo1->SetLines(Memo2->Lines());
        Memo2->hide();
        resize(kNarrow, height());
        Panel1->resize(kNarrow, Panel1->height());
        PageControl1->resize(kNarrowPages, PageControl1->height());
    }
}

void Tcellsdlg_form::ShiftRows() {
    if (!table_)
        return;
    // CR LF as the program's other messages: Qt's message box breaks lines at LF only.
    const std::string question = Text("IDS_14") + "\r\n" + Text("IDS_15") +
                                 IntToStr(SpinEdit1->Value()) + "\r\n" + Text("IDS_16") +
                                 IntToStr(SpinEdit2->Value()) + Text("IDS_17");
    if (Ui().MessageDlg(question, TMsgDlgType::mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    Ui().SetBusyCursor(true);
    table_->ShiftRowReferences(SpinEdit1->Value(), SpinEdit2->Value());
    Ui().SetBusyCursor(false);
    TableChanged();
    Ui().ShowMessage(Text("IDS_18"));
}

void Tcellsdlg_form::LoadPicture() {
    Bitmap picture = Image1->Picture();
    if (!ChoosePicture(picture))
        return;
    Image1->SetPicture(picture);
    Changed(chBitmap);
}

// ------------------------------------------------------------------------ .CIF files

namespace {

std::string CellTableFilter(const std::string& description) {
    return description + "CIF" + ")|*." + "CIF";
}

} // namespace

void Tcellsdlg_form::SaveConfiguration() {
    if (!table_)
        return;
    const std::string path =
        ChooseFile(true, ConfigurationsFolder(), CellTableFilter(Text("IDS_9")), "CIF");
    if (path.empty())
        return;
    try {
        SaveCellTableFile(path, *table_);
    } catch (const std::exception& e) {
        Ui().MessageDlg(FileErrorText(e, path, true), TMsgDlgType::mtError, mbOK);
    }
}

void Tcellsdlg_form::OpenConfiguration() {
    if (!table_)
        return;
    const std::string path =
        ChooseFile(false, ConfigurationsFolder(), CellTableFilter(Text("IDS_9")), "CIF");
    if (path.empty())
        return;
    TIntestazione scratch(nullptr);
    bool otherTag = false;
    try {
        ReadFileChecked(path, [&](TStream& stream) {
            if (stream.ReadShortString() != kCellTableTag) {
                otherTag = true;
                return;
            }
            ReadComponent(stream, scratch);
        });
        if (otherTag) {
            Ui().MessageDlg(Text("IDS_19") + path, TMsgDlgType::mtError, mbOK);
        } else {
            Backup();
            ComponentFromBytes(ComponentToBytes(scratch), *table_);
            if (table_->OnChange)
                table_->OnChange(table_);
        }
    } catch (const std::exception& e) {
        Ui().MessageDlg(FileErrorText(e, path, false), TMsgDlgType::mtError, mbOK);
    }
    table_->Selection = {};
    // The backup keeps the table as it was before the file, for "Annulla modifica".
    ShowSelection();
    Redraw();
}

// ------------------------------------------------------------------ the open palettes

namespace {

std::vector<std::pair<const TIntestazione*, QPointer<Tcellsdlg_form>>>& Palettes() {
    static std::vector<std::pair<const TIntestazione*, QPointer<Tcellsdlg_form>>> palettes;
    return palettes;
}

} // namespace

Tcellsdlg_form* CellPaletteOf(const TIntestazione& table) {
    for (const auto& [edited, palette] : Palettes())
        if (edited == &table && palette)
            return palette;
    return nullptr;
}

Tcellsdlg_form* OpenCellPalette(TIntestazione& table) {
    if (Tcellsdlg_form* open = CellPaletteOf(table))
        return open;
    auto& palettes = Palettes();
    std::erase_if(palettes, [](const auto& entry) { return !entry.second; });
    auto* palette = CreateForm<Tcellsdlg_form>();
    palette->SetTable(&table);
    palette->PageControl1->SetActivePageIndex(1);
    palette->LoadFromCells();
    palette->move(0, 0);
    palette->Show();
    palettes.emplace_back(&table, palette);
    return palette;
}

void CloseCellPalette(TIntestazione& table) {
    auto& palettes = Palettes();
    for (auto it = palettes.begin(); it != palettes.end(); ++it) {
        if (it->first != &table)
            continue;
        Tcellsdlg_form* palette = it->second;
        palettes.erase(it);
        if (!palette)
            return;
        palette->ReleaseTable();
        if (Tform_var_rif* window = palette->TestWindow()) {
            window->AllowClose = true;
            window->Close();
        }
        palette->AllowClose = true;
        palette->Close();
        // "Termina" ends edit mode from inside the palette's own click.
        palette->deleteLater();
        return;
    }
}

} // namespace vx
