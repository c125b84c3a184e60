#include "app/ProgramHooks.h"

#include "document/Definiscisezioni.h"
#include "document/SelTipi.h"
#include "document/Valuebox.h"
#include "document/cellsdlg.h"
#include "document/defasse.h"
#include "document/defreprt.h"
#include "document/dlggraf.h"
#include "document/infocursor.h"
#include "document/parametrigenerali.h"
#include "report/view/PageView.h"
#include "report/view/Tfrom_infodlg.h"

#include <QApplication>
#include <QScreen>

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

void TProgramEditorHooks::ShowValueBox(TDatabuffer* data) {
    ShowValueBoxWindow(data);
}

TCursorValuesWindow* TProgramEditorHooks::OpenCursorValues(TDatabuffer* data, TAsse& xAxis,
                                                           TWPSide& rightSide, TWPSide& leftSide) {
    QWidget* active = QApplication::activeWindow();
    auto* window = CreateForm<Tfrm_infocursor>();
    window->Setup(data, &xAxis, &leftSide, &rightSide);
    // At the screen's left edge, level with the top of the page the mouse moves over.
    int top = 0;
    const QScreen* screen = active ? active->screen() : QGuiApplication::primaryScreen();
    if (active) {
        top = active->mapToGlobal(QPoint()).y();
        for (const TPageView* page : active->findChildren<TPageView*>())
            if (page->isVisible()) {
                top = page->mapToGlobal(QPoint()).y();
                break;
            }
    }
    window->move(screen ? screen->availableGeometry().left() : 0, top);
    window->show();
    return window;
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

void TProgramEditorHooks::EditAxis(TAxisExchange& x) {
    EditAxisDialog(x);
}

TProgramEditorHooks& ProgramEditorHooks() {
    static TProgramEditorHooks hooks;
    return hooks;
}

bool TProgramDocumentDialogs::EditGeneralParameters(TAttributiProve& styles, TDatabuffer* data,
                                                    TStringList& mappingList) {
    return EditGeneralParametersDialog(styles, data, mappingList);
}

bool TProgramDocumentDialogs::EditReport(TWPReport& report, TDatabuffer* data) {
    return EditReportDefinition(report, data);
}

TProgramDocumentDialogs& ProgramDocumentDialogs() {
    static TProgramDocumentDialogs dialogs;
    return dialogs;
}

} // namespace vx
