#pragma once

// The markers on the measured points of an axis's curves and the value labels beside them.

#include "data/Valuedefnt.h"
#include "platform/ui/Form.h"
#include "platform/ui/OwnerDraw.h"
#include "report/Asse.h"

namespace vx {

class TButton;
class TCheckBox;
class TComboBox;
class TEdit;
class TLabel;
class TShape;
class TmlLang;

class TTagPointbox : public TForm {
    Q_OBJECT
public:
    explicit TTagPointbox(QWidget* parent = nullptr);

    void SetMarker(const TPointMarkerRecord& marker);
    // A type or size the lists lack comes back as it came unless the user picked one.
    TPointMarkerRecord Marker() const;
    void SetLabelStyle(const Tvaluedefnt& style);
    // Raises EConvertError when an offset is not an integer text; the close query refuses
    // OK then, so a closed dialog always gives its style.
    Tvaluedefnt LabelStyle() const;

    void ComboBox1DrawItem(QObject* sender, int index, const TRect& rect, TOwnerDrawState state);
    void ShapeMouseDown(QObject* sender);
    void BitBtn1Click(QObject* sender);
    void FormCloseQuery(QObject* sender, bool& canClose);

    TCheckBox* CheckBox1;
    TLabel* Label1;
    TComboBox* ComboBox1;
    TCheckBox* CheckBox2;
    TShape* Shape1;
    TLabel* Label2;
    TComboBox* ComboBox2;
    TCheckBox* CheckBox3;
    TCheckBox* CheckBox4;
    TLabel* Label3;
    TEdit* Edit1;
    TEdit* Edit2;
    TLabel* Label4;
    TCheckBox* CheckBox5;
    TShape* Shape2;
    TCheckBox* CheckBox6;
    TShape* Shape3;
    TLabel* Label5;
    TButton* BitBtn1;
    TButton* OKBtn;
    TButton* CancelBtn;
    TmlLang* mlLang1;

private:
    TPointMarkerRecord marker_;
    Tvaluedefnt style_;
};

} // namespace vx
