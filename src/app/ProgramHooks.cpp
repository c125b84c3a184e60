#include "app/ProgramHooks.h"

#include "document/Definiscisezioni.h"
#include "document/SelTipi.h"
#include "report/view/Tfrom_infodlg.h"

namespace vx {

void TProgramEditorHooks::ShowReportWait() {
    ShowReportWaitWindow();
}

void TProgramEditorHooks::CloseReportWait() {
    CloseReportWaitWindow();
}

bool TProgramEditorHooks::EditSections(std::string& leftSide, std::string& rightSide) {
    return EditSectionsDialog(leftSide, rightSide);
}

void TProgramEditorHooks::EditAxisTyping(TAxisTypingExchange& x) {
    EditAxisTypingDialog(x);
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
