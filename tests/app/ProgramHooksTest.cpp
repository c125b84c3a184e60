#include "app/ProgramHooks.h"

#include "data/Databuff.h"
#include "document/cellsdlg.h"
#include "document/dlggraf.h"
#include "platform/ui/Button.h"
#include "platform/ui/Memo.h"
#include "platform/ui/SpinEdit.h"
#include "report/Intestazione.h"
#include "report/WPGraph.h"
#include "report/WPPage.h"
#include "support/FormTestSupport.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QPointer>

#include <memory>

namespace vx::test {
namespace {

TEST(ProgramHooksTest, TablesOpenTheProgramsPaletteAndGraphsItsDialog) {
    InstallVirtualPrinter();
    ScopedUi scoped;
    SetEditorHooks(&ProgramEditorHooks());
    TDatabuffer buffer;
    auto page = std::make_unique<TWPPage>(nullptr);
    page->DataBuffer = &buffer;
    page->SetPageKind(PK_GRAPHIC);
    TIntestazione* header = page->Header();
    header->SwitchCellEditor();
    QPointer<Tcellsdlg_form> palette(CellPaletteOf(*header));
    ASSERT_TRUE(palette);
    EXPECT_TRUE(header->EditMode());
    header->Selection = {1, 1, 1, 1};
    header->GetCell(1, 1)->text.Add("x");
    ProgramEditorHooks().CellSelectionChanged(*header);
    EXPECT_EQ(palette->Memo1->Lines(), QStringList{"x"});
    header->SwitchCellEditor();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(palette);

    ModalScripts scripts(scoped.ui);
    scripts.On<Tboxdlg_grafico>([](Tboxdlg_grafico* d) {
        d->SpinEdit2->SetValue(33);
        d->OKBtn->click();
    });
    TGraphDialogExchange x;
    FillGraphExchange(*page->Graph(), &buffer, x);
    ASSERT_TRUE(ProgramDocumentDialogs().EditGraph(x));
    EXPECT_EQ(x.Globtacvert, 33);
    SetEditorHooks(nullptr);
}

} // namespace
} // namespace vx::test
