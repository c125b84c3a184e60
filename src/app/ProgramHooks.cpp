#include "app/ProgramHooks.h"

#include "document/defasse.h"
#include "report/view/Tfrom_infodlg.h"

namespace vx {

void TProgramEditorHooks::ShowReportWait() {
    ShowReportWaitWindow();
}

void TProgramEditorHooks::CloseReportWait() {
    CloseReportWaitWindow();
}

void TProgramEditorHooks::EditAxis(TAxisExchange& x) {
    EditAxisDialog(x);
}

TProgramEditorHooks& ProgramEditorHooks() {
    static TProgramEditorHooks hooks;
    return hooks;
}

TProgramDocumentDialogs& ProgramDocumentDialogs() {
    static TProgramDocumentDialogs dialogs;
    return dialogs;
}

} // namespace vx
