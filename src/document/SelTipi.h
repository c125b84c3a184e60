#pragma once

// The axis-typing dialog: for each axis of a graph, the value of the typing channel that the
// axis shows.

#include "platform/ui/Form.h"

#include <string>
#include <vector>

namespace vx {

class TButton;
class TComboBox;
class TComboGrid;
class TDatabuffer;
class TLabel;
class TSpeedButton;
class TmlLang;
struct TAxisTypingExchange;

class TF_SelTipi : public TForm {
    Q_OBJECT
public:
    explicit TF_SelTipi(QWidget* parent = nullptr);

    // Rows, channels and choices from the graph; nothing chosen in the value lists.
    void Fill(const TAxisTypingExchange& x);
    // The chosen channel (kept while none is chosen) and every row's value.
    void Apply(TAxisTypingExchange& x) const;

    // A typing channel chosen: its values become the choices.
    void ComboBox2Change(QObject* sender);
    // "Setta": the chosen value into every row.
    void SpeedButton1Click(QObject* sender);

    TComboGrid* g1;
    TLabel* Label1;
    TComboBox* ComboBox2; // typing channel
    TLabel* Label2;
    TComboBox* ComboBox1; // value
    TSpeedButton* SpeedButton1;
    TButton* OKBtn;
    TButton* CancelBtn;
    TmlLang* mlLang1;

private:
    void SetChoices(const std::vector<std::string>& choices);

    TDatabuffer* data_ = nullptr;
};

// Shows the dialog on the graph's exchange and sets its ModalResult; on OK the exchange holds
// the user's choices.
void EditAxisTypingDialog(TAxisTypingExchange& x);

} // namespace vx
