#pragma once

// The document's general parameters: the ten test styles, the label translation table of the
// first test's channels, and the mapping-scheme list, which is carried through unchanged.

#include "data/AttributiProve.h"
#include "platform/runtime/Geometry.h"
#include "platform/ui/Form.h"

namespace vx {

class TButton;
class TDatabuffer;
class TGroupBox;
class TListBox;
class TSpeedButton;
class TStringList;
class TmlLang;

class Tdlgparametrigenerali : public TForm {
    Q_OBJECT
public:
    explicit Tdlgparametrigenerali(QWidget* parent = nullptr);

    // The working copy of the style table and the document's tests, set by the caller.
    TAttributiProve Styles;
    TDatabuffer* Data = nullptr;

    // Item i: "Prova i+1>", the colour square, the line in its width and style, the marker.
    void ListBox1DrawItem(int index, const TRect& rect);
    // Edits the chosen style.
    void ListBox1DblClick(QObject* sender);
    // The label translation table of the first test's channels; confirmed labels go into the
    // tests at once.
    void SpeedButton2Click(QObject* sender);

    TGroupBox* GroupBox1;
    TListBox* ListBox1;
    TGroupBox* GroupBox2;
    TSpeedButton* SpeedButton2;
    TGroupBox* GroupBox3;
    TListBox* ListBox2;
    TButton* BitBtn1;
    TButton* BitBtn2;
    TmlLang* mlLang1;
};

// Shows the dialog on the styles, the tests and the mapping list; on OK writes the styles and
// the list back. True for OK.
bool EditGeneralParametersDialog(TAttributiProve& styles, TDatabuffer* data,
                                 TStringList& mappingList);

} // namespace vx
