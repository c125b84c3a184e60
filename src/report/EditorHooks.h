#pragma once

// The dialogs and windows of the upper layers that the engine's objects open (axis, sections,
// axis typing, cursor values, cell palette, value box, the report's wait window). The engine
// never includes a window: start-up installs the program's implementation, tests install fakes.
// Every entry has a default body that answers as Cancel would, so a fake overrides only what
// it needs and an engine without any installed hooks edits nothing.

namespace vx {

class TIntestazione;

class TEditorHooks {
public:
    virtual ~TEditorHooks() = default;

    // The floating cell palette of a header or footer table. Opening answers whether a
    // palette now edits the table (no palette: the table stays out of edit mode); the table
    // tells it when the user has finished a selection and closes it when edit mode ends.
    virtual bool OpenCellPalette(TIntestazione& /*table*/) { return false; }
    virtual void CellSelectionChanged(TIntestazione& /*table*/) {}
    virtual void CloseCellPalette(TIntestazione& /*table*/) {}
};

// The installed hooks, or the defaults when none are installed.
TEditorHooks& EditorHooks();
// Not owned; pass nullptr to go back to the defaults.
void SetEditorHooks(TEditorHooks* hooks);

} // namespace vx
