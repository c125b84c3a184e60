#pragma once

// The report definition dialog: which channel of which test stands in which column of which
// group of a table report, each cell's fonts, alignment, background, format and width, the
// group titles and type filters, margins, grid and row colours; and the report definition
// files (.CRF) it saves and opens. It works on copies: the report changes only in
// StoreToReport.

#include "platform/graphics/Font.h"
#include "platform/runtime/Streams.h"
#include "platform/ui/Form.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <string>

namespace vx {

class TButton;
class TCheckBox;
class TCheckListBox;
class TComboBox;
class TDatabuffer;
class TEdit;
class TGroupBox;
class TLabel;
class TListBox;
class TPageControl;
class TRadioGroup;
class TShape;
class TSpeedButton;
class TSpinEdit;
class TStringGrid;
class TTabSet;
class TTabSheet;
class TTrackBar;
class TWPReport;
class Tdefcanale;
class TmlLang;

class Tcfg_report : public TForm {
    Q_OBJECT
public:
    explicit Tcfg_report(QWidget* parent = nullptr);
    ~Tcfg_report() override;

    // The tests whose channels the dialog offers; null: none.
    void FillChannelList(TDatabuffer* buffer);
    // Every control and the grid from the report, which stays as it is.
    void LoadFromReport(const TWPReport& report);
    // Every control and the grid into the report. A margin that is no integer raises
    // EConvertError before anything is written.
    void StoreToReport(TWPReport& report);

    // The working channel of a grid cell; null for a header or a cell outside the grid.
    Tdefcanale* CellChannel(int col, int row) const;

    // ---- handlers ----
    void FormActivate(QObject* sender);
    void FormCloseQuery(QObject* sender, bool& canClose);
    void TabSet1Click(QObject* sender);
    void ComboBox2Change(QObject* sender);
    void ComboBox1Change(QObject* sender);
    void Grid1MouseUp(QObject* sender, TMouseButton button, TShiftState shift, int32_t x,
                      int32_t y);
    void Grid1KeyDown(QObject* sender, uint16_t& key, TShiftState shift);
    void Grid1DragOver(QObject* sender, QObject* source, int32_t x, int32_t y, bool& accept);
    void Grid1DragDrop(QObject* sender, QObject* source, int32_t x, int32_t y);
    void ListBox1MouseDown(QObject* sender, TMouseButton button, TShiftState shift, int32_t x,
                           int32_t y);
    void GroupsButtonClick(QObject* sender);
    void ChannelsButtonClick(QObject* sender);
    void AssignButtonClick(QObject* sender);
    void SaveButtonClick(QObject* sender);
    void OpenButtonClick(QObject* sender);
    void SpeedButton18Click(QObject* sender);
    void SpeedButton19Click(QObject* sender);
    void SpeedButton20Click(QObject* sender);
    void SpeedButton24Click(QObject* sender);
    void SpeedButton25Click(QObject* sender);
    void ListBox2DblClick(QObject* sender);

    // ---- grid and channels ----
    TStringGrid* Grid1;
    TTabSet* TabSet1;
    TListBox* ListBox1;
    TSpinEdit* SpinEdit1;
    TButton* Button1; // "Gruppi"
    TSpinEdit* SpinEdit2;
    TButton* Button2; // "Canali"
    TPageControl* PageControl1;

    // ---- "Attributi canali" ----
    TTabSheet* TabSheet1;
    TLabel* Label1;
    TEdit* Edit1;
    TComboBox* ComboBox1;
    TLabel* Label2;
    TEdit* Edit2;
    TGroupBox* GroupBox1; // header
    TSpeedButton* SpeedButton4;
    TSpeedButton* SpeedButton10;
    TSpeedButton* SpeedButton11;
    TLabel* Label6;
    TSpeedButton* SpeedButton5;
    TGroupBox* GroupBox2; // data
    TSpeedButton* SpeedButton7;
    TSpeedButton* SpeedButton8;
    TSpeedButton* SpeedButton9;
    TLabel* Label7;
    TSpeedButton* SpeedButton6;
    TLabel* Label3;
    TShape* Shape1;
    TButton* Button3; // "Assegna"

    // ---- "Titoli e Filtri" ----
    TTabSheet* TabSheet2;
    TLabel* Label4;
    TComboBox* ComboBox2;
    TListBox* CheckListBox1;
    TCheckListBox* ListBox2;
    TEdit* Edit8;
    TSpeedButton* SpeedButton18;
    TSpeedButton* SpeedButton19;
    TSpeedButton* SpeedButton20;
    TSpeedButton* SpeedButton25;
    TSpeedButton* SpeedButton24;
    TSpeedButton* SpeedButton16;
    TSpeedButton* SpeedButton17;
    TCheckBox* CheckBox5;
    TLabel* Label5;
    TSpeedButton* SpeedButton12;
    TSpeedButton* SpeedButton13;
    TSpeedButton* SpeedButton14;
    TSpeedButton* SpeedButton15;

    // ---- "Impaginazione" ----
    TTabSheet* TabSheet3;
    TLabel* Label13;
    TSpeedButton* SpeedButton21;
    TSpeedButton* SpeedButton22;
    TSpeedButton* SpeedButton23;
    TCheckBox* CheckBox6;
    TRadioGroup* RadioGroup1;
    TGroupBox* GroupBox3; // margins
    TLabel* Label8;
    TEdit* Edit3;
    TLabel* Label9;
    TEdit* Edit4;
    TLabel* Label10;
    TEdit* Edit5;
    TLabel* Label11;
    TEdit* Edit6;
    TLabel* Label12;
    TEdit* Edit7;
    TGroupBox* GroupBox4; // grid
    TCheckBox* CheckBox1;
    TLabel* Label14;
    TTrackBar* TrackBar1;
    TLabel* Label15;
    TLabel* Label16;
    TLabel* Label17;
    TShape* Shape5;
    TGroupBox* GroupBox5; // rows
    TCheckBox* CheckBox2;
    TCheckBox* CheckBox3;
    TCheckBox* CheckBox4;
    TLabel* Label18;
    TShape* Shape3;
    TLabel* Label19;
    TShape* Shape4;
    TCheckBox* CheckBox7;
    TCheckBox* CheckBox8;
    TCheckBox* CheckBox9;

    TButton* Button4; // "Salva..."
    TButton* Button5; // "Apri..."
    TButton* OKBtn;
    TButton* CancelBtn;
    TmlLang* mlLang1;

private:
    enum TChange {
        chHeaderFont,
        chDataFont,
        chHeaderAlign,
        chDataAlign,
        chFormat,
        chBrush,
        chCount
    };

    std::string Text(const char* id) const;
    QString CrfFilter() const;
    void BuildForm();
    void BuildAttributesPage();
    void BuildTitlesPage();
    void BuildLayoutPage();

    int TestCount() const;
    // The channel names of a test; none for a test that does not exist.
    QStringList ChannelNames(int test) const;
    // "(n) name", "(n) ???" for a test or channel that does not exist, empty for no channel.
    std::string ChannelLabel(const Tdefcanale& channel) const;
    void SetCellChannel(int col, int row, std::unique_ptr<Tdefcanale> channel);
    void RefreshCell(int col, int row);
    void RenumberHeaders();
    void ResizeGrid(int cols, int rows);
    // Every cell of the row gets a new empty channel.
    void EmptyRow(int row);
    bool SelectionIsData() const;

    void ShowAttributes();
    void AttributeChanged(TChange change);
    void RebuildTypes();
    void SetGroupEntry(int index, const QString& text);
    // The entry's text from its first "]-[" on, or the whole text without one.
    static int FilterStart(const QString& entry);

    void CopySelection();

    TDatabuffer* buffer_ = nullptr;
    // The dialog's own clipboard: two counts, then channels column by column.
    TMemoryStream clipboard_;
    bool copied_ = false;
    bool changed_[chCount] = {};
    bool showing_ = false;
    TFont fontT_;
    TFont fontI_;
    TFont fontD_;
    // Values no control can show, kept as loaded unless the user sets the control.
    int32_t loadedDifferenzia_ = -1;
    uint16_t loadedReportAlign_ = 0;
    uint16_t loadedTitleAlign_ = 6;
    int32_t loadedGridWidth_ = 2;
    bool gridWidthChanged_ = false;
};

// Creates the dialog on the report's copies, shows it and on OK stores it into the report.
bool EditReportDefinition(TWPReport& report, TDatabuffer* data, QWidget* parent = nullptr);

} // namespace vx
