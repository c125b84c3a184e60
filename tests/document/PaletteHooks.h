#pragma once

// The program's cell palette behind the tables' hooks, as start-up installs it.

#include "document/cellsdlg.h"
#include "report/EditorHooks.h"

namespace vx::test {

class PaletteHooks : public TEditorHooks {
public:
    bool OpenCellPalette(TIntestazione& table) override {
        return vx::OpenCellPalette(table) != nullptr;
    }
    void CellSelectionChanged(TIntestazione& table) override {
        if (Tcellsdlg_form* palette = CellPaletteOf(table))
            palette->LoadFromCells();
    }
    void CloseCellPalette(TIntestazione& table) override { vx::CloseCellPalette(table); }
};

} // namespace vx::test
