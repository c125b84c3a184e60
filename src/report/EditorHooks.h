#pragma once

// The dialogs and windows of the upper layers that the engine's objects open (axis, sections,
// axis typing, cursor values, cell palette, value box, the report's wait window). The engine
// never includes a window: start-up installs the program's implementation, tests install fakes.
// Every entry has a default body that answers as Cancel would, so a fake overrides only what
// it needs and an engine without any installed hooks edits nothing.

#include "data/Valuedefnt.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/Font.h"
#include "report/Asse.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vx {

class TDatabuffer;
class TIntestazione;
class TWPSide;

// What the axis dialog shows and gives back. The graph fills it from the edited axis; the
// dialog sets ModalResult and, for the settings it cannot compare by value, the change marks.
struct TAxisExchange {
    struct Indicator {
        TColor Color = 0;
        std::string Text;
    };

    TColor PenColor = 0;
    std::vector<std::string> ChannelNames; // every channel of the first test
    std::vector<std::string> AxisChannelNames;
    std::vector<int32_t> AxisChannels;
    TDatabuffer* Data = nullptr;
    bool Horizontal = false;
    std::string Grandezza;
    std::string Umisura;
    std::string Caption;
    TLimitkind UseLimitkind = LK_RealData;
    std::string MaximumText; // "%0.2f", of 10^ on a logarithmic axis
    std::string MinimumText;
    std::string IncrementText;
    std::string DivisionsText; // "%0.0f"
    bool DivisionsEnabled = true;
    bool limitiautomatici = true;
    TFont FontGrand;
    TFont FontUmis;
    TFont FontValues;
    std::string Formato;
    double RangeMin = 0;
    double RangeMax = 0;
    std::string RangeMinText;
    std::string RangeMaxText;
    uint8_t tipoetichette = 0;
    int PenWidthIndex = 0;
    uint8_t Sottotacche = 1;
    TPointMarkerRecord Marker;
    TGridRecord Grid;
    TSplineRecord Spline;
    Tvaluedefnt valori;
    int FilterIndex = 0; // filtro + 1
    uint8_t filtrotipo = 0;
    std::string filtrovalore;
    std::string filtrotolleranza;
    bool ValueSort = false;
    int PenStyleIndex = 0; // solid 0, dot 1, dash 2, dash-dot 3, dash-dot-dot 4
    bool usa_attributi_asse = true;
    bool ShowLineAttrib = false;
    int32_t Gradofunzionale = 2;
    bool DoubleAxe = false;
    std::string Conversionformula;
    std::string Umis2;
    bool Zeroinclude = false;
    bool Scala2Indipendente = false;
    bool Logarithmic = false;
    bool See_line = true;
    bool See_funzionale = false;
    Indicator MarkersIndicator;
    Indicator LineIndicator;
    Indicator FitIndicator;
    Indicator SplineIndicator;

    bool FontGrandChanged = false;
    bool FontUmisChanged = false;
    bool FontValuesChanged = false;
    bool GridChanged = false;
    bool ChannelsChanged = false;
    bool MarkersChanged = false; // the point-marker record with valori

    int ModalResult = 2;
};

// The axis-typing dialog: one row per Y axis (left side first) of the first channel's name
// and the filter value ("*.*" for none).
struct TAxisTypingExchange {
    std::vector<std::array<std::string, 2>> Rows;
    std::vector<std::string> Channels; // name + "[" + unit + "]"
    int ChannelIndex = 0;
    TDatabuffer* Data = nullptr;
    std::vector<std::string> Choices; // for ChannelIndex; see TWPGraph::TypingChoices
    int ModalResult = 2;
};

// The window of values under the mouse; the graph owns it while it is open.
class TCursorValuesWindow {
public:
    virtual ~TCursorValuesWindow() = default;
    // A mouse position in printer pixels of the graph.
    virtual void ShowPosition(int32_t /*x*/, int32_t /*y*/) {}
    // Told before the graph frees it.
    virtual void MarkClosing() {}
};

class TEditorHooks {
public:
    virtual ~TEditorHooks() = default;

    // The floating cell palette of a header or footer table. Opening answers whether a
    // palette now edits the table (no palette: the table stays out of edit mode); the table
    // tells it when the user has finished a selection and closes it when edit mode ends.
    virtual bool OpenCellPalette(TIntestazione& /*table*/) { return false; }
    virtual void CellSelectionChanged(TIntestazione& /*table*/) {}
    virtual void CloseCellPalette(TIntestazione& /*table*/) {}

    // The window that asks the user to wait while a table report lays out its sheets.
    virtual void ShowReportWait() {}
    virtual void CloseReportWait() {}

    // The value box on the tests of the current page, shown modally and freed.
    virtual void ShowValueBox(TDatabuffer* /*data*/) {}

    // The axis dialog; sets x.ModalResult (1 OK) and edits x.
    virtual void EditAxis(TAxisExchange& /*x*/) {}
    // The section dialog, on the two side streams; true (OK) when it wrote them back.
    virtual bool EditSections(std::string& /*leftSide*/, std::string& /*rightSide*/) {
        return false;
    }
    virtual void EditAxisTyping(TAxisTypingExchange& /*x*/) {}
    // Opens the window of values at the cursor for the graph's tests and axes, placed by the
    // implementation; null when there is none.
    virtual TCursorValuesWindow* OpenCursorValues(TDatabuffer* /*data*/, TAsse& /*xAxis*/,
                                                  TWPSide& /*rightSide*/, TWPSide& /*leftSide*/) {
        return nullptr;
    }
};

// The installed hooks, or the defaults when none are installed.
TEditorHooks& EditorHooks();
// Not owned; pass nullptr to go back to the defaults.
void SetEditorHooks(TEditorHooks* hooks);

} // namespace vx
