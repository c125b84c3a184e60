#include "app/ProgramHooks.h"

#include "AppTestSupport.h"
#include "data/Databuff.h"
#include "document/Definiscisezioni.h"
#include "document/Sectionmanager.h"
#include "document/SelTipi.h"
#include "document/cellsdlg.h"
#include "document/dlggraf.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Memo.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/SpinEdit.h"
#include "report/Asse.h"
#include "report/EditorHooks.h"
#include "report/Intestazione.h"
#include "report/WPGraph.h"
#include "report/WPPage.h"
#include "report/WPSection.h"
#include "support/FormTestSupport.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace vx::test {
namespace {

// The program's hooks open the real dialogs on a graph of a page.
class ProgramHooksTest : public AppWindowTest {
protected:
    void SetUp() override {
        AppWindowTest::SetUp();
        InstallVirtualPrinter();
        TdataProva& t = data.AddProva(2);
        for (const char* v : {"1", "2"})
            t.GetChannel(0).AddText(v);
        for (const char* v : {"A", "B"})
            t.GetChannel(1).AddText(v);
        t.ChannelNames.Add("N");
        t.ChannelNames.Add("K");
        t.Units.Add("-");
        t.Units.Add("-");
        page = std::make_unique<TWPPage>(nullptr);
        page->DataBuffer = &data;
        page->SetPageKind(PK_GRAPHIC);
        SetEditorHooks(&ProgramEditorHooks());
    }
    void TearDown() override {
        SetEditorHooks(nullptr);
        TWPGraph::SetTypingChannel(0);
        page.reset();
        AppWindowTest::TearDown();
    }

    TDatabuffer data;
    std::unique_ptr<TWPPage> page;
    ModalScripts scripts{scoped.ui};
};

TEST_F(ProgramHooksTest, TheGraphsSectionsDialogAddsASection) {
    TWPGraph& graph = *page->Graph();
    scripts.On<TDefiniscisezioni>([](TDefiniscisezioni* f) {
        QTest::mouseClick(f->addsect, Qt::LeftButton);
        QTest::mouseClick(f->Sectionmanager1, Qt::LeftButton, {}, QPoint(20, 20));
        QTest::mouseClick(f->OKBtn, Qt::LeftButton);
    });
    graph.EditSections();
    EXPECT_EQ(graph.LeftSide().SectionCount(), 2);
    EXPECT_EQ(graph.Series().size(), 3u);

    scripts.On<TDefiniscisezioni>([](TDefiniscisezioni* f) {
        QTest::mouseClick(f->addsect, Qt::LeftButton);
        QTest::mouseClick(f->Sectionmanager2, Qt::LeftButton, {}, QPoint(20, 20));
        QTest::mouseClick(f->CancelBtn, Qt::LeftButton);
    });
    graph.EditSections();
    EXPECT_EQ(graph.RightSide().SectionCount(), 1);
}

TEST_F(ProgramHooksTest, TheGraphsTypingDialogFiltersTheAxes) {
    TWPGraph& graph = *page->Graph();
    scripts.On<TF_SelTipi>([](TF_SelTipi* f) {
        f->ComboBox2->setFocus();
        QTest::keyClick(f->ComboBox2, Qt::Key_Down);
        f->ComboBox1->setFocus();
        QTest::keyClick(f->ComboBox1, Qt::Key_End);
        QTest::mouseClick(f->SpeedButton1, Qt::LeftButton);
        QTest::mouseClick(f->OKBtn, Qt::LeftButton);
    });
    graph.EditAxisTyping();
    EXPECT_EQ(TWPGraph::TypingChannel(), 1);
    TAsse& left = *graph.LeftSide().GetAxisByIndex(0);
    EXPECT_EQ(left.filtro, 1);
    EXPECT_EQ(left.filtrovalore, "B");
}

TEST(ProgramPaletteHooksTest, TablesOpenTheProgramsPaletteAndGraphsItsDialog) {
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
