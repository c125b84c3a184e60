#pragma once

// The axis dialog: channels, titles, limits, fonts, format, pen, the curves drawn for the
// axis's channels, the value filter and the second scale. The grid and the point markers have
// dialogs of their own, opened from here.

#include "data/Valuedefnt.h"
#include "platform/graphics/Font.h"
#include "platform/ui/Form.h"
#include "report/EditorHooks.h"

#include <string>
#include <vector>

namespace vx {

class TButton;
class TCheckBox;
class TComboBox;
class TEdit;
class TGroupBox;
class TLabel;
class TListBox;
class TPageControl;
class TRadioGroup;
class TShape;
class TSpeedButton;
class TSpinEdit;
class TTabSheet;
class TTrackBar;
class TmlLang;

class Tboxdefasse : public TForm {
    Q_OBJECT
public:
    explicit Tboxdefasse(QWidget* parent = nullptr);

    // Shows what the graph filled in.
    void Fill(const TAxisExchange& x);
    // Writes back what the dialog edits; the channel names of the test, the data, the axis's
    // direction, the data range, DivisionsEnabled and the indicators stay as they are.
    void ReadBack(TAxisExchange& x) const;

    static void CopyPointLabelStyle(const Tvaluedefnt& source, Tvaluedefnt& target);

    void FormActivate(QObject* sender);
    void FormCloseQuery(QObject* sender, bool& canClose);
    void SpeedButton1Click(QObject* sender);
    void SpeedButton2Click(QObject* sender);
    void SpeedButton3Click(QObject* sender);
    // The limits calculator: minimum, maximum, increment, subdivisions.
    void SpeedButton4Click(QObject* sender);
    void SpeedButton5Click(QObject* sender);
    void SpeedButton6Click(QObject* sender);
    void SpeedButton7Click(QObject* sender);
    void SpeedButton9Click(QObject* sender);
    void SpeedButton10Click(QObject* sender);
    void SpeedButton11Click(QObject* sender);
    void Btn_splineClick(QObject* sender);
    void BitBtn6Click(QObject* sender);
    void FontButtonClick(QObject* sender);
    void ComboBox1Change(QObject* sender);
    void ComboBox4Change(QObject* sender);
    void Shape1MouseDown(QObject* sender);

    TPageControl* PageControl1;
    TTabSheet* TabSheet1;
    TTabSheet* TabSheet2;
    TTabSheet* TabSheet3;
    TTabSheet* TabSheet4;

    // Channels and titles.
    TLabel* Label4;
    TListBox* Listag;
    TComboBox* Combog;
    TSpeedButton* SpeedButton1;
    TSpeedButton* SpeedButton2;
    TSpeedButton* SpeedButton3;
    TLabel* Label1;
    TEdit* titolo;
    TLabel* Label2;
    TEdit* sottotitolo;
    TLabel* Label3;
    TEdit* commento;
    TRadioGroup* tipoetichette;
    TButton* BitBtn1;
    TButton* BitBtn2;
    TButton* BitBtn3;

    // Scale.
    TCheckBox* automaticlimits;
    TGroupBox* GroupBox1;
    TLabel* Label5;
    TEdit* Minimo;
    TSpeedButton* SpeedButton4;
    TLabel* Label6;
    TEdit* Massimo;
    TSpeedButton* SpeedButton5;
    TLabel* Label7;
    TEdit* Incremento;
    TSpeedButton* SpeedButton6;
    TLabel* Label8;
    TEdit* Tacche;
    TSpeedButton* SpeedButton7;
    TLabel* Label10;
    TLabel* Label12;
    TLabel* Label11;
    TLabel* Label13;
    TRadioGroup* RG_TipoLimiti;
    TCheckBox* CheckBox3;
    TCheckBox* CheckBox5;
    TCheckBox* CheckOrd;
    TLabel* Label9;
    TEdit* Formato;
    TComboBox* ComboBox1;
    TLabel* Label14;
    TSpinEdit* SpinEdit1;

    // Pen and curves.
    TLabel* Label15;
    TShape* Shape1;
    TLabel* Label16;
    TComboBox* ComboBox2;
    TLabel* Label17;
    TComboBox* ComboBox3;
    TCheckBox* CheckBox7;
    TCheckBox* CheckBox1;
    TButton* BitBtn6;
    TSpeedButton* SpeedButton9;
    TShape* Shape2;
    TLabel* Label28;
    TSpeedButton* SpeedButton11;
    TShape* Shape4;
    TLabel* Label30;
    TLabel* Label23;
    TTrackBar* TrackBar1;
    TLabel* Label24;
    TSpeedButton* Btn_spline;
    TShape* Shape5;
    TLabel* Label31;
    TLabel* Label25;
    TSpinEdit* SpinEdit2;
    TLabel* Label26;
    TSpinEdit* SpinEdit3;
    TCheckBox* CheckBox6;
    TSpeedButton* SpeedButton10;
    TShape* Shape3;
    TLabel* Label29;

    // Filter and second scale.
    TLabel* Label18;
    TComboBox* ComboBox4;
    TRadioGroup* RadioGroup1;
    TLabel* Label19;
    TComboBox* ComboBox5;
    TLabel* Label20;
    TEdit* Edit1;
    TGroupBox* GroupBox2;
    TCheckBox* CheckBox2;
    TLabel* Label21;
    TEdit* Edit2;
    TLabel* Label22;
    TEdit* Edit3;
    TCheckBox* CheckBox4;

    TButton* OKBtn;
    TButton* CancelBtn;
    TmlLang* mlLang1;

private:
    std::string Text(const char* id) const;
    // The enabling rules; safe to run any number of times.
    void UpdateControls();
    // The distinct values of the filter channel over all tests, the text shown kept.
    void FillFilterValues();
    void ShowSwitch(TShape* shape, TLabel* label, bool on);
    // Rewrites the four limit edits.
    void ShowLimits(double min, double max, double inc, double divisions);

    TAxisExchange x_;
    std::vector<int32_t> channels_;
    Tvaluedefnt valori_;
    TPointMarkerRecord marker_;
    TGridRecord grid_;
    TFont fontGrand_;
    TFont fontUmis_;
    TFont fontValues_;
    bool lineOn_ = true;
    bool fitOn_ = false;
    bool splineOn_ = false;
    bool fontGrandChanged_ = false;
    bool fontUmisChanged_ = false;
    bool fontValuesChanged_ = false;
    bool gridChanged_ = false;
    bool channelsChanged_ = false;
    bool markersChanged_ = false;
    // What the clamping controls showed after Fill: an unchanged control gives back the
    // stored value, which it may not have been able to show.
    int shownSottotacche_ = 0;
    int shownGrado_ = 0;
    int shownSplineType_ = 0;
    int shownSmoothing_ = 0;
};

// Creates the dialog, fills it from x, shows it modally, reads it back on OK and frees it;
// x.ModalResult tells how it ended.
void EditAxisDialog(TAxisExchange& x);

} // namespace vx
