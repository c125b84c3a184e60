#include "app/ProgramHooks.h"

#include "document/defreprt.h"
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

bool TProgramDocumentDialogs::EditReport(TWPReport& report, TDatabuffer* data) {
    return EditReportDefinition(report, data);
}

TProgramDocumentDialogs& ProgramDocumentDialogs() {
    static TProgramDocumentDialogs dialogs;
    return dialogs;
}

} // namespace vx
