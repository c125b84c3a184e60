#pragma once

// The dialogs the document window opens that belong to later work: graph properties, report
// definition and general parameters. The window fills an exchange, the dialog shows it and
// answers true for OK; tests install fakes.

#include "data/AttributiProve.h"
#include "data/Border.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Font.h"
#include "platform/runtime/StringList.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vx {

class TDatabuffer;
class TWPGraph;
class TWPReport;

// What the graph properties dialog shows and gives back.
struct TGraphDialogExchange {
    // One row per test of the document: the test number from 1 and its legend comment.
    struct Row {
        std::string Number;
        std::string Comment;
    };
    std::vector<Row> Rows;
    TFont LegendFont;
    bool LegendVisible = false;
    // Entry alignment of the legend: 0 left, 2 right, 6 centred (the three position buttons).
    uint16_t LegendAlign = 6;
    TBorder LegendFrame;
    int32_t Numrows = 1;
    bool showfile = true;
    std::string testocomune;
    TBorder border;
    // Empty when the graph has none; an empty picture handed back clears the watermark.
    Bitmap Watermark;
    // 0 centred, 1 tiled, 2 stretched.
    uint8_t WatermarkMode = 0;
    bool Globalgrid = false;
    int32_t Globtacvert = 25;
    // The edited graph and its tests, for the dialog's working copy and its test window.
    const TWPGraph* Graph = nullptr;
    TDatabuffer* Data = nullptr;
    // The graph stream of a graph file opened in the dialog; the page graph takes it before
    // the values above. Empty when none was opened.
    std::string OpenedGraph;
};

// The exchange filled from a graph, one row per test of data.
void FillGraphExchange(const TWPGraph& graph, TDatabuffer* data, TGraphDialogExchange& x);
// The exchange into a graph: an opened graph file first, then the values. Comments beyond the
// rows stay, so that a document with fewer tests keeps the others' comments.
void ApplyGraphExchange(const TGraphDialogExchange& x, TWPGraph& graph);

class DocumentDialogs {
public:
    virtual ~DocumentDialogs() = default;

    virtual bool EditGraph(TGraphDialogExchange& exchange) {
        (void)exchange;
        return false;
    }
    // Fills itself from the report and, on OK, stores into it.
    virtual bool EditReport(TWPReport& report, TDatabuffer* data) {
        (void)report;
        (void)data;
        return false;
    }
    // Works on copies; the window takes them back on OK.
    virtual bool EditGeneralParameters(TAttributiProve& styles, TDatabuffer* data,
                                       TStringList& mappingList) {
        (void)styles;
        (void)data;
        (void)mappingList;
        return false;
    }
};

} // namespace vx
