#pragma once

// The small dialogs the document window opens for its pages: new page and rename, print
// margins, page attributes (info lines and their font).

#include "platform/graphics/Font.h"
#include "platform/ui/Form.h"

namespace vx {

class TButton;
class TEdit;
class TLabel;
class TRadioGroup;
class TSpeedButton;
class TSpinEdit;
class TmlLang;

// The name of a new page and its kind (RadioGroup1: 0 graph, 1 report, 2 report PRO); renaming
// hides the kind.
class Tnewpagedlg : public TForm {
    Q_OBJECT
public:
    explicit Tnewpagedlg(QWidget* parent = nullptr);

    TLabel* Label1;
    TEdit* Edit1;
    TRadioGroup* RadioGroup1;
    TButton* OKBtn;
    TButton* CancelBtn;
    TmlLang* mlLang1;
};

// Print margins in millimetres, each 0..500.
class Tdef_margini : public TForm {
    Q_OBJECT
public:
    explicit Tdef_margini(QWidget* parent = nullptr);

    TSpinEdit* SpinEdit1; // top
    TSpinEdit* SpinEdit2; // left
    TSpinEdit* SpinEdit3; // right
    TSpinEdit* SpinEdit4; // bottom
    TLabel* Label1;
    TLabel* Label2;
    TLabel* Label3;
    TLabel* Label4;
    TButton* OKBtn;
    TButton* CancelBtn;
    TmlLang* mlLang1;
};

// The two info lines of a page and their font, shown on Labfont.
class Tfrm_dlg_attributi : public TForm {
    Q_OBJECT
public:
    explicit Tfrm_dlg_attributi(QWidget* parent = nullptr);

    const TFont& InfoFont() const { return infoFont_; }
    void SetInfoFont(const TFont& font);
    // The font dialog from the info font; a confirmed choice becomes the info font.
    void SpeedButton1Click(QObject* sender);

    TLabel* Label1;
    TLabel* Label2;
    TEdit* Edit1;
    TEdit* Edit2;
    TLabel* Labfont;
    TSpeedButton* SpeedButton1;
    TButton* OKBtn;
    TButton* CancelBtn;
    TmlLang* mlLang1;

private:
    TFont infoFont_;
};

} // namespace vx
