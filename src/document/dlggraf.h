#pragma once

// The graph properties dialog: borders, global grid, watermark and the legend of a graph
// page, with graph files (.CGF) and the test window as a source of placeholders; and the
// small dialog of one border.

#include "data/Border.h"
#include "document/Tform_var_rif.h"
#include "platform/graphics/Font.h"
#include "platform/ui/Form.h"

#include <QPointer>

#include <memory>

namespace vx {

class TButton;
class TCheckBox;
class TDatabuffer;
class TEdit;
class TGroupBox;
class TImage;
class TLabel;
class TRadioGroup;
class TShape;
class TSpeedButton;
class TSpinEdit;
class TStringGrid;
class TWPGraph;
class TmlLang;
struct TGraphDialogExchange;

class Tborderform : public TForm {
    Q_OBJECT
public:
    explicit Tborderform(QWidget* parent = nullptr);

    void LoadBorder(const TBorder& border);
    void StoreBorder(TBorder& border) const;

    TCheckBox* CheckBox1; // Visible
    TLabel* Label1;
    TShape* Shape1; // colour
    TLabel* Label2;
    TSpinEdit* SpinEdit1; // width
    TButton* OKBtn;
    TButton* CancelBtn;
    TmlLang* mlLang1;
};

class Tboxdlg_grafico : public TForm {
    Q_OBJECT
public:
    explicit Tboxdlg_grafico(QWidget* parent = nullptr);
    ~Tboxdlg_grafico() override;

    // The working graph on the page graph's tests, and the test window on them.
    void SetGraph(TDatabuffer* data);
    TWPGraph* WorkingGraph() const { return graph_.get(); }
    // The source's graph stream read into the target.
    static void CopyGraph(const TWPGraph& source, TWPGraph& target);

    // The dialog filled from the exchange, the working graph a copy of its graph.
    void LoadExchange(const TGraphDialogExchange& x);
    // The controls (and a graph file opened meanwhile) into the exchange.
    void StoreExchange(TGraphDialogExchange& x) const;

    const TFont& LegendFont() const { return legendFont_; }
    const TBorder& LegendBorder() const { return legendBorder_; }
    const TBorder& GraphBorder() const { return graphBorder_; }
    Tform_var_rif* TestWindow() const { return testWindow_; }

    TGroupBox* GroupBox1; // legend
    TStringGrid* Grid1;
    TLabel* Label3;
    TSpeedButton* SpeedButton1;
    TSpeedButton* SpeedButton4;
    TSpeedButton* SpeedButton10;
    TSpeedButton* SpeedButton11;
    TLabel* Label1;
    TSpinEdit* SpinEdit1;
    TCheckBox* CheckBox2;
    TCheckBox* CheckBox3;
    TLabel* Label2;
    TEdit* Edit1;
    TButton* BitBtn3;
    TSpeedButton* SpeedButton18;
    TGroupBox* GroupBox2; // graph
    TButton* BitBtn4;
    TGroupBox* GroupBox3; // global grid
    TCheckBox* CheckBox1;
    TLabel* Label4;
    TSpinEdit* SpinEdit2;
    TGroupBox* GroupBox4; // watermark
    TImage* Image1;
    TButton* BitBtn1; // Carica
    TButton* BitBtn2; // Nessuno
    TRadioGroup* RadioGroup2;
    TButton* BitBtn5; // Apri configurazione
    TButton* BitBtn6; // Salva configurazione
    TButton* OKBtn;
    TButton* CancelBtn;
    TmlLang* mlLang1;

private:
    void LoadControls(const TGraphDialogExchange& x);
    void StoreControls(TGraphDialogExchange& x) const;
    void EditBorder(TBorder& border);
    void SaveConfiguration();
    void OpenConfiguration();
    void DropOnEdit(QObject* source);

    TFont legendFont_;
    TBorder legendBorder_;
    TBorder graphBorder_;
    TDatabuffer* data_ = nullptr;
    std::unique_ptr<TWPGraph> graph_;
    bool opened_ = false;
    QPointer<Tform_var_rif> testWindow_;
};

// The dialog on the exchange, shown modally; true (and the exchange filled back) on OK.
bool EditGraphDialog(TGraphDialogExchange& x);

} // namespace vx
