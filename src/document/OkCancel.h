#pragma once

#include "platform/runtime/UiServices.h"
#include "platform/ui/Button.h"
#include "platform/ui/Form.h"

namespace vx {

// The OK (default) and Annulla (cancel) buttons of a dialog, at its right edge.
inline void PlaceOkCancel(TForm* form, TButton*& ok, TButton*& cancel, int top) {
    ok = Placed(new TButton(form, "OKBtn"), form->width() - 176, top, 80, 26);
    ok->ModalResult = mrOk;
    ok->setDefault(true);
    cancel = Placed(new TButton(form, "CancelBtn"), form->width() - 88, top, 80, 26);
    cancel->ModalResult = mrCancel;
    cancel->Cancel = true;
}

} // namespace vx
