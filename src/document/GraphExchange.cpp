#include "document/DocumentDialogs.h"

#include "data/Databuff.h"
#include "platform/runtime/Streams.h"
#include "report/WPGraph.h"
#include "report/legenda.h"

namespace vx {

void FillGraphExchange(const TWPGraph& graph, TDatabuffer* data, TGraphDialogExchange& x) {
    const Tlegenda& legend = graph.Legend();
    x.Rows.clear();
    const int tests = data ? data->ProvaCount() : 0;
    for (int t = 0; t < tests; ++t)
        x.Rows.push_back({std::to_string(t + 1),
                          t < legend.Commenti.Count() ? legend.Commenti[t] : std::string()});
    x.LegendFont.Assign(legend.legendFont());
    x.LegendVisible = legend.Visible;
    x.LegendAlign = legend.Align;
    x.LegendFrame.Assign(legend.Border);
    x.Numrows = legend.Numrows;
    x.showfile = legend.showfile;
    x.testocomune = legend.testocomune;
    x.border.Assign(graph.border);
    x.Watermark = graph.Filigrana;
    x.WatermarkMode = graph.Filigrana_Status;
    x.Globalgrid = graph.Globalgrid;
    x.Globtacvert = graph.Globtacvert;
    x.Graph = &graph;
    x.Data = data;
    x.OpenedGraph.clear();
}

void ApplyGraphExchange(const TGraphDialogExchange& x, TWPGraph& graph) {
    if (!x.OpenedGraph.empty()) {
        TMemoryStream stream;
        stream.Bytes() = x.OpenedGraph;
        graph.LoadFromStream(stream);
    }
    Tlegenda& legend = graph.Legend();
    TStringList kept;
    kept.Assign(legend.Commenti);
    graph.border.Assign(x.border);
    legend.Visible = x.LegendVisible;
    legend.legendFont().Assign(x.LegendFont);
    legend.Align = x.LegendAlign;
    legend.Border.Assign(x.LegendFrame);
    legend.Numrows = x.Numrows;
    legend.Commenti.Clear();
    graph.Globalgrid = x.Globalgrid;
    graph.Globtacvert = x.Globtacvert;
    legend.testocomune = x.testocomune;
    legend.showfile = x.showfile;
    for (const auto& row : x.Rows)
        legend.Commenti.Add(row.Comment);
    for (int i = static_cast<int>(x.Rows.size()); i < kept.Count(); ++i)
        legend.Commenti.Add(kept[i]);
    graph.Filigrana = x.Watermark;
    graph.Filigrana_Status = x.WatermarkMode;
}

} // namespace vx
