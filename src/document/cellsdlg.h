#pragma once

// The floating cell palette of a header or footer table in edit mode: it applies its settings
// to the selected cells, inserts placeholders, changes rows and columns, copies and pastes
// cells, undoes the last change and keeps cell tables in .CIF files.

#include "document/Tform_var_rif.h"
#include "platform/graphics/Font.h"
#include "platform/runtime/Streams.h"
#include "platform/ui/Form.h"

#include <QPointer>

#include <memory>
#include <string>
#include <string_view>

namespace vx {

class TCheckBox;
class TComboBox;
class TDatabuffer;
class TEdit;
class TImage;
class TIntestazione;
class TLabel;
class TMemo;
class TPageControl;
class TPanel;
class TRadioGroup;
class TShape;
class TSpeedButton;
class TSpinEdit;
class TTabSheet;
class TmlLang;

inline constexpr std::string_view kCellTableTag = "Int_Version_0.80";

// A .CIF file: the tag and the table as a component. The writer replaces the file only once
// everything is written.
void SaveCellTableFile(const std::string& fileName, const TIntestazione& table);

class Tcellsdlg_form : public TForm {
    Q_OBJECT
public:
    explicit Tcellsdlg_form(QWidget* parent = nullptr);
    ~Tcellsdlg_form() override;

    // The edited table (not owned); null once the table has let the palette go.
    TIntestazione* Table() const { return table_; }
    void SetTable(TIntestazione* table);
    // Lets the table go: after this the palette and its test window touch neither the table
    // nor its tests.
    void ReleaseTable();

    // Fills the palette from the table's selection.
    void LoadFromCells();
    // "Aggiorna": the changed settings into every selected cell.
    void ApplyToCells();
    // Inserts a placeholder into the memo in use (Memo2 while "Zoom" is down).
    void InsertText(const std::string& text);

    Tform_var_rif* TestWindow() const { return testWindow_; }
    // Only the program lets the palette close.
    bool AllowClose = false;

    // The change flags, one per group of settings.
    enum TChange : unsigned {
        chText = 1u << 0,
        chFont = 1u << 1,
        chWAlign = 1u << 2,
        chBorderWidth = 1u << 3,
        chPenColor = 1u << 4,
        chBrushColor = 1u << 5,
        chGrid = 1u << 6,
        chLeft = 1u << 7,
        chTop = 1u << 8,
        chRight = 1u << 9,
        chBottom = 1u << 10,
        chOrientation = 1u << 11,
        chBitmapMode = 1u << 12,
        chBitmap = 1u << 13,
        chHAlign = 1u << 14,
        chJail = 1u << 15,
        chScale = 1u << 16,
    };
    unsigned Changes() const { return changes_; }
    const TFont& MemoFont() const { return memoFont_; }
    bool Copied() const { return copied_; }
    const TMemoryStream& Clipboard() const { return clipboard_; }

    // Tool bar.
    TPanel* Panel1;
    TSpeedButton* SpeedButton2;  // Aggiorna
    TSpeedButton* SpeedButton24; // Copia
    TSpeedButton* SpeedButton25; // Taglia
    TSpeedButton* SpeedButton26; // Incolla
    TSpeedButton* SpeedButton23; // Annulla modifica
    TSpeedButton* SpeedButton28; // Seleziona tutto
    TSpeedButton* SpeedButton29; // Blocca dimensione griglia
    TSpeedButton* SpeedButton18; // Finestra dati
    TSpeedButton* SpeedButton27; // Zoom
    TSpeedButton* SpeedButton8;  // Termina
    TPageControl* PageControl1;

    // "Testo".
    TTabSheet* TabSheet1;
    TMemo* Memo1;
    TMemo* Memo2;
    TSpeedButton* SpeedButton1; // font
    TSpeedButton* SpeedButton3;
    TSpeedButton* SpeedButton4;
    TSpeedButton* SpeedButton5;
    TSpeedButton* SpeedButton9;
    TSpeedButton* SpeedButton10;
    TSpeedButton* SpeedButton11;
    TRadioGroup* RadioGroup1;
    TCheckBox* CheckBox4;
    TSpeedButton* SpeedButton33; // Aggiungi dato
    TSpeedButton* SpeedButton35; // Aggiungi Note

    // "Colonne e Righe".
    TTabSheet* TabSheet2;
    TLabel* Label1;
    TSpinEdit* gridcolcount;
    TSpeedButton* SpeedButton12;
    TLabel* Label2;
    TSpinEdit* gridrowcount;
    TSpeedButton* SpeedButton13;
    TSpeedButton* SpeedButton14;
    TSpeedButton* SpeedButton15;
    TSpeedButton* SpeedButton16;
    TCheckBox* CheckBox1;
    TSpeedButton* SpeedButton17;
    TCheckBox* CheckBox2;
    TSpeedButton* SpeedButton36;
    TLabel* Label4;
    TSpeedButton* SpeedButton21;
    TSpeedButton* SpeedButton22;

    // "Utilità".
    TTabSheet* TabSheet3;
    TLabel* Label5;
    TSpinEdit* SpinEdit1;
    TLabel* Label6;
    TSpinEdit* SpinEdit2;
    TSpeedButton* SpeedButton34;
    TSpeedButton* SpeedButton19; // Apri configurazione
    TSpeedButton* SpeedButton20; // Salva configurazione

    // Colours and borders.
    TTabSheet* TabSheet4;
    TLabel* Label7;
    TShape* COLBORDO;
    TLabel* Label8;
    TShape* ColSfondo;
    TLabel* Label9;
    TComboBox* ComboBox2;
    TShape* Shape2; // left
    TShape* Shape4; // top
    TShape* Shape3; // right
    TShape* Shape5; // bottom
    TCheckBox* grigliaon;
    TCheckBox* CheckBox3;
    TSpeedButton* SpeedButton30;
    TSpeedButton* SpeedButton31;
    TSpeedButton* SpeedButton32;

    // Picture.
    TTabSheet* TabSheet5;
    TImage* Image1;
    TSpeedButton* SpeedButton6; // Carica
    TSpeedButton* SpeedButton7; // Nessuno
    TRadioGroup* RadioGroup2;
    TLabel* Label10; // scale
    TEdit* Edit1;

    TmlLang* mlLang1;

private:
    void BuildTextPage();
    void BuildRowsPage();
    void BuildUtilityPage();
    void BuildBordersPage();
    void BuildPicturePage();
    void BuildToolBar();

    // backup false: the caller has taken the backup before its own change.
    void ApplyToCells(bool backup);
    std::string Text(const char* id) const;
    void Changed(unsigned change) { changes_ |= change; }
    void ShowMemoFont();
    // The selection's settings in the controls, the change flags cleared.
    void ShowSelection();
    void Backup();
    // Left <= right and top <= bottom, limited to the table; false without a selection.
    bool NormalSelection(int32_t& left, int32_t& top, int32_t& right, int32_t& bottom) const;
    void ApplyToCell(int32_t column, int32_t row, int32_t left, int32_t top, int32_t right,
                     int32_t bottom, double scale);
    void SetSides(TColor color);
    void ClickSide(TShape* shape, unsigned change);
    void ChooseColor(TShape* shape, unsigned change);
    void Redraw();
    // Redraw and the table's change handler.
    void TableChanged();

    void SetColumnCountClick();
    void SetRowCountClick();
    void DeleteColumnsClick();
    void DeleteRowsClick();
    void AddColumnClick();
    void AddRowClick();
    void NormaliseRows();
    void NormaliseColumns();
    void CopyCells();
    void CutCells();
    void PasteCells();
    void UndoChange();
    void SelectAllCells();
    void ShowTestWindow(bool on);
    void Zoom(bool on);
    void AddChannelValue();
    void ShiftRows();
    void LoadPicture();
    void SaveConfiguration();
    void OpenConfiguration();
    void DropOnMemo(TMemo* memo, QObject* source);

    TIntestazione* table_ = nullptr;
    std::unique_ptr<TIntestazione> backup_;
    TMemoryStream clipboard_;
    bool copied_ = false;
    unsigned changes_ = 0;
    TFont memoFont_;
    QPointer<Tform_var_rif> testWindow_;
};

// The palettes the program opens on tables, one per table.
Tcellsdlg_form* OpenCellPalette(TIntestazione& table);
Tcellsdlg_form* CellPaletteOf(const TIntestazione& table);
void CloseCellPalette(TIntestazione& table);

} // namespace vx
