#pragma once

// The program's windows behind the engine's hooks; start-up installs the one instance.

#include "report/EditorHooks.h"

namespace vx {

class TProgramEditorHooks : public TEditorHooks {
public:
    void ShowReportWait() override;
    void CloseReportWait() override;
};

TProgramEditorHooks& ProgramEditorHooks();

} // namespace vx
