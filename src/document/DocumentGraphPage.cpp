#include "document/Document.h"

// The graph page's launchers, apart from the page code: they need the graph's declarations.

#include "data/Databuff.h"
#include "document/DocumentDialogs.h"
#include "platform/runtime/Streams.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/SpeedButton.h"
#include "report/WPGraph.h"
#include "report/WPPage.h"
#include "report/legenda.h"

#include <QPointer>

namespace vx {

void TDocForm::SelectAllAxes() {
    if (TWPGraph* graph = CurrentGraph()) {
        graph->SelectAllAxes();
        RepaintCurrentPage();
    }
}

void TDocForm::EditSelectedAxes() {
    TWPGraph* graph = CurrentGraph();
    if (TAsse* axis = graph ? graph->GetSelectedAxis() : nullptr) {
        EditPageObjects(CurrentPage(), [graph, axis] { graph->EditAxis(*axis); });
        RepaintCurrentPage();
    }
}

void TDocForm::EditAxisTyping() {
    if (TWPGraph* graph = CurrentGraph())
        EditPageObjects(CurrentPage(), [graph] { graph->EditAxisTyping(); });
}

void TDocForm::EditPageObjects(TWPPage* page, const std::function<void()>& edit) {
    if (!page) {
        edit();
        return;
    }
    auto stored = [page] {
        TMemoryStream stream;
        page->SaveToStream(stream);
        return stream.Bytes();
    };
    const std::string before = stored();
    QPointer<TDocForm> alive(this);
    edit();
    if (alive && CurrentPage() == page && stored() != before)
        MarkModified();
}

void TDocForm::DeselectGraphAxes() {
    if (TWPGraph* graph = CurrentGraph())
        graph->DeselectAxes();
}

void TDocForm::EditMenuOpened() {
    MenuItem("Visualizzavalori1")->SetChecked(SpeedButton(20)->Down());
    if (TWPGraph* graph = CurrentGraph())
        MenuItem("Proprietasse1")->SetEnabled(graph->SelectedAxisCount() > 0);
}

void TDocForm::CursorValuesFollow(bool fromMenu) {
    TMenuItem* item = MenuItem("Visualizzavalori1");
    if (fromMenu) {
        item->SetChecked(!item->isChecked());
        SpeedButton(20)->SetDown(item->isChecked());
    } else {
        item->SetChecked(SpeedButton(20)->Down());
    }
    if (TWPGraph* graph = CurrentGraph())
        graph->ShowCursorValues(SpeedButton(20)->Down());
}

void TDocForm::EditGraphProperties() {
    TWPGraph* graph = CurrentGraph();
    if (!graph || !Dialogs)
        return;
    Tlegenda& legend = graph->Legend();
    TGraphDialogExchange x;
    for (int t = 0; t < Databuffer->ProvaCount(); ++t)
        x.Rows.push_back({std::to_string(t + 1),
                          t < legend.Commenti.Count() ? legend.Commenti[t] : std::string()});
    x.LegendFont.Assign(legend.legendFont());
    x.LegendAlign = legend.Align;
    x.LegendFrame.Assign(legend.Border);
    x.Numrows = legend.Numrows;
    x.showfile = legend.showfile;
    x.testocomune = legend.testocomune;
    x.border.Assign(graph->border);
    x.Watermark = graph->Filigrana;
    x.WatermarkMode = graph->Filigrana_Status;
    if (!Dialogs->EditGraph(x))
        return;
    graph = CurrentGraph();
    if (!graph)
        return;
    Tlegenda& target = graph->Legend();
    target.legendFont().Assign(x.LegendFont);
    target.Align = x.LegendAlign;
    target.Border.Assign(x.LegendFrame);
    target.Numrows = x.Numrows;
    target.showfile = x.showfile;
    target.testocomune = x.testocomune;
    graph->border.Assign(x.border);
    target.Commenti.Clear();
    for (const auto& row : x.Rows)
        target.Commenti.Add(row.Comment);
    graph->Filigrana = x.Watermark;
    graph->Filigrana_Status = x.WatermarkMode;
    MarkModified();
    RepaintCurrentPage();
}

} // namespace vx
