#pragma once

// The program's windows behind the engine's hooks; start-up installs the one instance.

#include "document/DocumentDialogs.h"
#include "report/EditorHooks.h"

namespace vx {

class TProgramEditorHooks : public TEditorHooks {
public:
    void ShowReportWait() override;
    void CloseReportWait() override;
    bool EditSections(std::string& leftSide, std::string& rightSide) override;
    void EditAxisTyping(TAxisTypingExchange& x) override;
    void ShowValueBox(TDatabuffer* data) override;
    TCursorValuesWindow* OpenCursorValues(TDatabuffer* data, TAsse& xAxis, TWPSide& rightSide,
                                          TWPSide& leftSide) override;

    // The table's own palette: a tool window at the screen's top-left corner.
    bool OpenCellPalette(TIntestazione& table) override;
    void CellSelectionChanged(TIntestazione& table) override;
    void CloseCellPalette(TIntestazione& table) override;
    void EditAxis(TAxisExchange& x) override;
};

TProgramEditorHooks& ProgramEditorHooks();

// The program's dialogs of the document window; every window the main window adds uses it.
class TProgramDocumentDialogs : public DocumentDialogs {
public:
    bool EditGeneralParameters(TAttributiProve& styles, TDatabuffer* data,
                               TStringList& mappingList) override;
    bool EditReport(TWPReport& report, TDatabuffer* data) override;
    bool EditGraph(TGraphDialogExchange& exchange) override;
};

TProgramDocumentDialogs& ProgramDocumentDialogs();

} // namespace vx
