#include "app/ProgramHooks.h"

#include "report/view/Tfrom_infodlg.h"

namespace vx {

void TProgramEditorHooks::ShowReportWait() {
    ShowReportWaitWindow();
}

void TProgramEditorHooks::CloseReportWait() {
    CloseReportWaitWindow();
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
