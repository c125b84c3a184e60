#pragma once

// The editor of one test style: colour, line width, line style and point marker.

#include "data/AttributiProve.h"
#include "platform/ui/Form.h"

namespace vx {

class TButton;
class TComboBox;
class TLabel;
class TShape;
class TmlLang;

class Tattributiprova : public TForm {
    Q_OBJECT
public:
    explicit Tattributiprova(QWidget* parent = nullptr);

    // The record to and from the controls. A line style or point marker the lists do not
    // offer shows no item and comes back unchanged unless the user picks one.
    void SetStyle(const TAttributoProva& style);
    void GetStyle(TAttributoProva& style) const;

    // The colour dialog from the shape's colour.
    void Shape1MouseDown(QObject* sender);

    TLabel* Label1;
    TShape* Shape1;
    TLabel* Label2;
    TComboBox* ComboBox2; // width
    TLabel* Label3;
    TComboBox* ComboBox3; // line style
    TLabel* Label4;
    TComboBox* ComboBox1; // point marker
    TButton* BitBtn1;
    TButton* BitBtn2;
    TmlLang* mlLang1;
};

} // namespace vx
