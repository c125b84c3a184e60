#pragma once

// The program's windows behind the engine's hooks; start-up installs the one instance.

#include "document/DocumentDialogs.h"
#include "report/EditorHooks.h"

namespace vx {

class TProgramEditorHooks : public TEditorHooks {
public:
    void ShowReportWait() override;
    void CloseReportWait() override;
    void EditAxis(TAxisExchange& x) override;
};

TProgramEditorHooks& ProgramEditorHooks();

// The program's dialogs of the document window; every window the main window adds uses it.
class TProgramDocumentDialogs : public DocumentDialogs {};

TProgramDocumentDialogs& ProgramDocumentDialogs();

} // namespace vx
