#pragma once

// The test-information window: the header cells of each test of a document, to be dragged
// into the texts of header and footer cells and of a legend's common row.

#include "platform/ui/Form.h"

namespace vx {

class TDatabuffer;
class TStringGrid;
class TTabSet;
class TmlLang;

class Tform_var_rif : public TForm {
    Q_OBJECT
public:
    explicit Tform_var_rif(QWidget* parent = nullptr);

    // The tests it shows; not owned. Null forgets them (the grid keeps nothing of them).
    void SetDataBuffer(TDatabuffer* data) { data_ = data; }
    TDatabuffer* DataBuffer() const { return data_; }
    // One tab per test, the first chosen and its header cells shown.
    void LoadTests();
    // The header cells of test `index` in the grid, sized to them (at least 2 x 2).
    void ShowTest(int index);

    // Only its owner lets it close; the user's close hides it.
    bool AllowClose = false;

    TTabSet* TabSet1;
    TStringGrid* Grid1;
    TmlLang* mlLang1;

private:
    TDatabuffer* data_ = nullptr;
};

} // namespace vx
