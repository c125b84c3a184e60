#pragma once

// The grid lines of one axis: colour, width, style, which lines, minor divisions, on or off.

#include "platform/ui/Form.h"
#include "report/Asse.h"

namespace vx {

class TButton;
class TCheckBox;
class TComboBox;
class TLabel;
class TRadioGroup;
class TShape;
class TmlLang;

class Tgrigliabox : public TForm {
    Q_OBJECT
public:
    explicit Tgrigliabox(QWidget* parent = nullptr);

    // Shows the record; a width code other than 1, 3, 6 shows 'Sottili', a pen style other
    // than 0, 2 shows 'Continua'.
    void SetGrid(const TGridRecord& grid);
    // The record as the controls give it; an orientation the dialog could not show comes back
    // as it came unless the user picked one.
    TGridRecord Grid() const;

    void Shape1MouseDown(QObject* sender);

    TLabel* Label1;
    TShape* Shape1;
    TLabel* Label2;
    TComboBox* ComboBox1;
    TLabel* Label3;
    TComboBox* ComboBox2;
    TRadioGroup* RadioGroup1;
    TCheckBox* CheckBox2;
    TCheckBox* CheckBox1;
    TButton* OKBtn;
    TButton* CancelBtn;
    TmlLang* mlLang1;

private:
    TGridRecord grid_;
};

} // namespace vx
