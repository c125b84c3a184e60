#include "app/ProgramHooks.h"

#include "document/cellsdlg.h"
#include "document/dlggraf.h"
#include "report/view/Tfrom_infodlg.h"

namespace vx {

void TProgramEditorHooks::ShowReportWait() {
    ShowReportWaitWindow();
}

void TProgramEditorHooks::CloseReportWait() {
    CloseReportWaitWindow();
}

bool TProgramEditorHooks::OpenCellPalette(TIntestazione& table) {
    return vx::OpenCellPalette(table) != nullptr;
}

void TProgramEditorHooks::CellSelectionChanged(TIntestazione& table) {
    if (Tcellsdlg_form* palette = CellPaletteOf(table))
        palette->LoadFromCells();
}

void TProgramEditorHooks::CloseCellPalette(TIntestazione& table) {
    vx::CloseCellPalette(table);
}

bool TProgramDocumentDialogs::EditGraph(TGraphDialogExchange& exchange) {
    return EditGraphDialog(exchange);
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
