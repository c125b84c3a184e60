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
    TGraphDialogExchange x;
    FillGraphExchange(*graph, Databuffer.get(), x);
    if (!Dialogs->EditGraph(x))
        return;
    // The dialog may have outlived the page.
    if (CurrentGraph() != graph)
        return;
    ApplyGraphExchange(x, *graph);
    MarkModified();
    RepaintCurrentPage();
}

} // namespace vx
