#pragma once

// The channel reference a header or footer cell shows: a test, a channel, a row or a
// statistic, the decimals and an optional key value of channel 1.

#include "platform/ui/Form.h"

#include <string>

namespace vx {

class TButton;
class TComboBox;
class TDatabuffer;
class TLabel;
class TSpinEdit;
class TmlLang;

class TF_inschnval : public TForm {
    Q_OBJECT
public:
    explicit TF_inschnval(QWidget* parent = nullptr);

    // Fills the tests, the channels of the first test and the functions, each on its first
    // entry, then the types of the chosen test.
    void SetDataBuffer(TDatabuffer* data);
    // "*.*" and the distinct texts of channel 1 of the chosen test.
    void FillTypes();
    // The placeholder of the choices; empty without a test or a channel.
    std::string Placeholder() const;

    TLabel* Label1;
    TComboBox* ComboBox1; // test
    TLabel* Label2;
    TComboBox* ComboBox2; // channel
    TLabel* Label3;
    TComboBox* ComboBox3; // function
    TSpinEdit* SpinEdit1; // row, for 'Valore' only
    TLabel* Label4;
    TSpinEdit* SpinEdit2; // decimals
    TLabel* Label5;
    TComboBox* ComboBox5; // type
    TButton* OKBtn;
    TButton* CancelBtn;
    TmlLang* mlLang1;

private:
    void ShowRow();
    TDatabuffer* data_ = nullptr;
    // The test whose types the list holds; -2 before the first fill.
    int typesTest_ = -2;
};

} // namespace vx
