#include "document/SelTipi.h"

#include "DocumentFixture.h"
#include "document/clipGrid.h"
#include "platform/runtime/Cp1252.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/SpeedButton.h"
#include "report/Asse.h"
#include "report/EditorHooks.h"
#include "report/WPGraph.h"
#include "report/WPSection.h"

#include "support/FormTestSupport.h"
#include "support/TestSupport.h"

#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vx::test {
namespace {

class TypingHooks : public TEditorHooks {
public:
    void EditAxisTyping(TAxisTypingExchange& x) override { EditAxisTypingDialog(x); }
};

std::vector<std::string> Items(const TComboBox& box) {
    std::vector<std::string> items;
    for (const QString& item : box.Items())
        items.push_back(FromQString(item));
    return items;
}

// Picks an item with the keys, as a user does in a closed list.
void Choose(TComboBox* box, int index) {
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(box, Qt::Key_Down);
    ASSERT_EQ(box->ItemIndex(), index);
}

void ReleaseOnRow(TComboGrid* grid, int row) {
    const TRect r = grid->CellRect(0, row);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
}

// A graph on X 0..3 [s], P 5..8 [bar] and K A, B, B, A [-]; its left axis shows P, its right
// axis is typed "old".
class SelTipiTest : public DocumentFixture {
protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        TdataProva& t = data.AddProva(4);
        const char* columns[3][4] = {
            {"0", "1", "2", "3"}, {"5", "6", "7", "8"}, {"A", "B", "B", "A"}};
        for (int c = 0; c < 3; ++c)
            for (const char* v : columns[c])
                t.GetChannel(c).AddText(v);
        for (const char* n : {"X", "P", "K"})
            t.ChannelNames.Add(n);
        for (const char* u : {"s", "bar", "-"})
            t.Units.Add(u);
        page = MakePage(&data, "Pagina", PK_GRAPHIC);
        graph = page->Graph();
        Left().Channels().Add(1);
        Right().filtrovalore = "old";
        SetEditorHooks(&hooks);
    }
    void TearDown() override {
        SetEditorHooks(nullptr);
        TWPGraph::SetTypingChannel(0);
        DocumentFixture::TearDown();
    }

    TAsse& Left() { return *graph->LeftSide().GetAxisByIndex(0); }
    TAsse& Right() { return *graph->RightSide().GetAxisByIndex(0); }

    TDatabuffer data;
    std::unique_ptr<TWPPage> page;
    TWPGraph* graph = nullptr;
    TypingHooks hooks;
    ScopedUi scoped;
    ModalScripts scripts{scoped.ui};
};

TEST_F(SelTipiTest, ATypingChannelsValueSetForEveryAxis) {
    scripts.On<TF_SelTipi>([](TF_SelTipi* f) {
        TComboGrid* g = f->g1;
        EXPECT_EQ(g->ColCount(), 2);
        EXPECT_EQ(g->Combocolumn, 1);
        EXPECT_EQ(g->Cells(0, 0), "Asse");
        EXPECT_EQ(g->Cells(1, 0), "Tipizzazione");
        EXPECT_EQ(g->Cells(0, 1), "P");
        EXPECT_EQ(g->Cells(1, 1), "*.*");
        EXPECT_EQ(g->Cells(0, 2), "");
        EXPECT_EQ(g->Cells(1, 2), "old");
        EXPECT_EQ(Items(*f->ComboBox2), (std::vector<std::string>{"X[s]", "P[bar]", "K[-]"}));
        EXPECT_EQ(f->ComboBox2->ItemIndex(), 0);
        const std::vector<std::string> values{"*.*", "0", "1", "2", "3"};
        EXPECT_EQ(Items(*g->ComboList()), values);
        EXPECT_EQ(Items(*f->ComboBox1), values);
        EXPECT_EQ(f->ComboBox1->ItemIndex(), -1);

        Choose(f->ComboBox2, 2);
        const std::vector<std::string> kinds{"*.*", "A", "B"};
        EXPECT_EQ(Items(*g->ComboList()), kinds);
        EXPECT_EQ(Items(*f->ComboBox1), kinds);
        Choose(f->ComboBox1, 2);
        QTest::mouseClick(f->SpeedButton1, Qt::LeftButton);
        EXPECT_EQ(g->Cells(1, 1), "B");
        EXPECT_EQ(g->Cells(1, 2), "B");
        QTest::mouseClick(f->OKBtn, Qt::LeftButton);
    });
    graph->EditAxisTyping();
    for (TAsse* axis : {&Left(), &Right()}) {
        EXPECT_EQ(axis->filtro, 2);
        EXPECT_EQ(axis->filtrovalore, "B");
        EXPECT_EQ(axis->filtrotipo, 1);
    }

    scripts.On<TF_SelTipi>([](TF_SelTipi* f) {
        EXPECT_EQ(f->ComboBox2->ItemIndex(), 2);
        EXPECT_EQ(Items(*f->ComboBox1), (std::vector<std::string>{"*.*", "A", "B"}));
        QTest::mouseClick(f->CancelBtn, Qt::LeftButton);
    });
    graph->EditAxisTyping();
}

TEST_F(SelTipiTest, EveryValueClearsTheFilter) {
    Left().filtro = 2;
    Left().filtrovalore = "B";
    Right().filtro = 2;
    scripts.On<TF_SelTipi>([](TF_SelTipi* f) {
        // "old" is not among the values: the list puts the first, every value, in its place.
        ReleaseOnRow(f->g1, 2);
        EXPECT_EQ(f->g1->Cells(1, 2), "*.*");
        EXPECT_TRUE(f->g1->ComboList()->isVisible());
        QTest::mouseClick(f->OKBtn, Qt::LeftButton);
    });
    graph->EditAxisTyping();
    EXPECT_EQ(Right().filtro, -1);
    EXPECT_EQ(Right().filtrovalore, "");

    // "Setta" with no value chosen empties every row, which also means every value.
    scripts.On<TF_SelTipi>([](TF_SelTipi* f) {
        QTest::mouseClick(f->SpeedButton1, Qt::LeftButton);
        EXPECT_EQ(f->g1->Cells(1, 1), "");
        QTest::mouseClick(f->OKBtn, Qt::LeftButton);
    });
    graph->EditAxisTyping();
    EXPECT_EQ(Left().filtro, -1);
    EXPECT_EQ(Left().filtrovalore, "");
}

TEST_F(SelTipiTest, CancelChangesNoAxis) {
    scripts.On<TF_SelTipi>([](TF_SelTipi* f) {
        Choose(f->ComboBox2, 2);
        Choose(f->ComboBox1, 1);
        QTest::mouseClick(f->SpeedButton1, Qt::LeftButton);
        QTest::mouseClick(f->CancelBtn, Qt::LeftButton);
    });
    graph->EditAxisTyping();
    EXPECT_EQ(Left().filtrovalore, "");
    EXPECT_EQ(Right().filtrovalore, "old");
    EXPECT_EQ(TWPGraph::TypingChannel(), 0);
}

// Without tests there is no channel to choose: OK keeps the channel and every row.
TEST_F(SelTipiTest, WithoutTestsTheRowsComeBackAsTheyWere) {
    TAxisTypingExchange x;
    x.Rows = {{"P", "*.*"}, {"", "old"}};
    x.ChannelIndex = 1;
    x.Choices = {"*.*"};
    scripts.On<TF_SelTipi>([](TF_SelTipi* f) {
        EXPECT_EQ(f->ComboBox2->ItemIndex(), -1);
        QTest::mouseClick(f->OKBtn, Qt::LeftButton);
    });
    EditAxisTypingDialog(x);
    EXPECT_EQ(x.ModalResult, mrOk);
    EXPECT_EQ(x.ChannelIndex, 1);
    EXPECT_EQ(x.Rows[1][1], "old");
}

} // namespace
} // namespace vx::test
