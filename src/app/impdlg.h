#pragma once

// The settings dialog: how tests are read, the automatic axis limits, the command server, the
// remote PDF printing and the language, shown from and taken back into the settings record.

#include "platform/ui/Form.h"

namespace vx {

class TButton;
class TCheckBox;
class TComboBox;
class TEdit;
class TGroupBox;
class TImpostazioniRec;
class TLabel;
class TRadioGroup;
class TSpeedButton;
class TmlLang;

class Timpostazioni : public TForm {
    Q_OBJECT
public:
    // A TCP port has 16 bits.
    static constexpr int kMaxPort = 65535;

    explicit Timpostazioni(QWidget* parent = nullptr);

    // Fills the controls from the record.
    void ShowSettings(const TImpostazioniRec& rec);
    // Takes the controls back into the record. A port that is not a number of at most 16 bits
    // is refused with a message and left as it was; the other fields are still taken. A list
    // without a choice leaves its field as it was.
    void TakeSettings(TImpostazioniRec& rec);
    // "Associa file VRX" is ticked.
    bool AssociateVrx() const;

    TRadioGroup* RadioGroup1;
    TEdit* Edit1;
    TRadioGroup* RadioGroup2;
    TCheckBox* CheckBox1;
    TGroupBox* GroupBox1;
    TCheckBox* CheckBox2;
    TLabel* Label1;
    TEdit* Edit2;
    TGroupBox* GroupBox2;
    TLabel* Label2;
    TComboBox* ComboBox1;
    TLabel* Label3;
    TEdit* Edit3;
    TSpeedButton* SpeedButton1;
    TCheckBox* CheckBox4;
    TGroupBox* GroupBox3;
    TComboBox* ComboBox2;
    TCheckBox* CheckBox3;
    TButton* OKBtn;
    TButton* CancelBtn;
    TmlLang* mlLang1;

    void FormCreate(QObject* sender);
    void SpeedButton1Click(QObject* sender);
};

} // namespace vx
