#include "document/Valuebox.h"

#include "RunData.h"
#include "data/Databuff.h"
#include "document/clipGrid.h"
#include "localisation/Strglobmod.h"
#include "localisation/mlLangDispatcher.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/FormatSettings.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressBar.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/TabSet.h"
#include "support/FormTestSupport.h"
#include "support/TestSupport.h"

#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace vx::test {
namespace {

using Cells = std::vector<std::string>;

Cells Row(const TStringGrid& grid, int row) {
    Cells cells;
    for (int c = 0; c < grid.ColCount(); ++c)
        cells.push_back(grid.Cells(c, row));
    return cells;
}

class ValueboxTest : public ::testing::Test {
protected:
    void SetUp() override {
        FormatSettings().DecimalSeparator = '.';
        DocDecimalSeparator = '.';
        AddRunTest(data_, "/data/run/A.txt", {"Tempo", "Pressione", "Fase"}, {"s", "bar", "-"},
                   {{"0", "10", "A"},
                    {"2", "20", "B"},
                    {"4", "30", "A"},
                    {"6", "40", "B"},
                    {"8", "50", "A"}});
        AddRunTest(data_, "/data/run/B.txt", {"Tempo", "Pressione"}, {"s", "bar"},
                   {{"1", "15"}, {"3", "25"}, {"5", "35"}, {"7", "45"}});
    }

    // The value box on the data, played by `script` once it is active.
    void Open(std::function<void(TformValuebox*)> script) {
        bool ran = false;
        scripts_.On<TformValuebox>([&](TformValuebox* box) {
            ran = true;
            script(box);
            box->Close();
        });
        ShowValueBoxWindow(&data_);
        EXPECT_TRUE(ran);
    }
    static void Filter(TformValuebox* box, const QString& text) {
        TypeInto(box->Edit1, text);
        box->SpeedButton1->Click();
    }
    static std::string Count(const TLabel* label) { return FromQString(label->Caption()); }

    ScopedFormatSettings format_;
    ScopedUi scoped_;
    ScriptedUiServices& ui_ = scoped_.ui;
    ModalScripts scripts_{ui_};
    TDatabuffer data_;
};

TEST_F(ValueboxTest, OpensOnTheFirstTestWithOneTabPerTest) {
    Open([](TformValuebox* box) {
        EXPECT_EQ(box->TabSet1->Tabs(), (QStringList{"A.txt", "B.txt"}));
        EXPECT_EQ(box->TabSet1->TabIndex(), 0);
        const TclipGrid& g = *box->Grid1;
        EXPECT_EQ(g.ColCount(), 4);
        EXPECT_EQ(g.RowCount(), 7);
        EXPECT_EQ(Count(box->Label2), "3");
        EXPECT_EQ(Count(box->Label4), "5");
        EXPECT_EQ(Row(g, 0), (Cells{"", "CANALE 0", "CANALE 1", "CANALE 2"}));
        EXPECT_EQ(Row(g, 1), (Cells{"", "Tempo [s]", "Pressione [bar]", "Fase [-]"}));
        EXPECT_EQ(Row(g, 2), (Cells{"1", "0", "10", "A"}));
        EXPECT_EQ(Row(g, 6), (Cells{"5", "8", "50", "A"}));
        EXPECT_EQ(g.ColWidths(2), g.TextWidth("Pressione [bar]") + 5);
        EXPECT_EQ(g.ColWidths(1), g.TextWidth("CANALE 0") + 5);
        EXPECT_FALSE(box->Label5->isVisible());
        EXPECT_FALSE(box->ProgressBar1->isVisible());

        box->TabSet1->SetTabIndex(1);
        EXPECT_EQ(g.ColCount(), 3);
        EXPECT_EQ(g.RowCount(), 6);
        EXPECT_EQ(Count(box->Label2), "2");
        EXPECT_EQ(Count(box->Label4), "4");
        EXPECT_EQ(Row(g, 5), (Cells{"4", "7", "45"}));
    });
}

TEST_F(ValueboxTest, ChannelHeadersFollowTheLanguage) {
    CreateSTRGlobData();
    for (const auto& [language, header] :
         {std::pair{2, Cells{"", "CHANNEL 0", "CHANNEL 1", "CHANNEL 2"}},
          std::pair{3, Cells{"", "KANAL 0", "KANAL 1", "KANAL 2"}}}) {
        STRGlobData->mlLangDispatcher1->SetActiveLanguage(language);
        Open([&header](TformValuebox* box) { EXPECT_EQ(Row(*box->Grid1, 0), header); });
    }
    FreeSTRGlobData();
}

TEST_F(ValueboxTest, TheFilterKeepsTheRowsItSelectsOnEveryTabAndThroughReactivation) {
    Open([this](TformValuebox* box) {
        const TclipGrid& g = *box->Grid1;
        Filter(box, "CHN(1) > 25");
        EXPECT_TRUE(ui_.Messages.empty());
        EXPECT_EQ(Count(box->Label4), "3");
        EXPECT_EQ(g.RowCount(), 5);
        EXPECT_EQ(Row(g, 1), (Cells{"", "Tempo [s]", "Pressione [bar]", "Fase [-]"}));
        EXPECT_EQ(Row(g, 2), (Cells{"1", "4", "30", "A"}));
        EXPECT_EQ(Row(g, 3), (Cells{"2", "6", "40", "B"}));
        EXPECT_EQ(Row(g, 4), (Cells{"3", "8", "50", "A"}));
        box->TabSet1->SetTabIndex(1);
        EXPECT_EQ(g.RowCount(), 4);
        EXPECT_EQ(Row(g, 2), (Cells{"1", "5", "35"}));
        EXPECT_EQ(Row(g, 3), (Cells{"2", "7", "45"}));

        // A message box takes the activation away and gives it back.
        Filter(box, "CHN(1) >");
        QWidget other;
        other.show();
        other.activateWindow();
        (void)QTest::qWaitForWindowActive(&other, 2000);
        box->activateWindow();
        (void)QTest::qWaitForWindowActive(box, 2000);
        box->FormActivate(box);
        EXPECT_EQ(box->TabSet1->TabIndex(), 1);
        EXPECT_EQ(g.RowCount(), 4);
        EXPECT_EQ(Row(g, 3), (Cells{"2", "7", "45"}));
    });
}

TEST_F(ValueboxTest, AFilterThatFailsShowsWhyAndKeepsTheRows) {
    for (const QString& filter : {QStringLiteral("CHN(1) >"), QStringLiteral("CHN(2) = 0")}) {
        ui_.Messages.clear();
        Open([&filter](TformValuebox* box) {
            Filter(box, "CHN(1) > 35");
            Filter(box, filter);
            const TclipGrid& g = *box->Grid1;
            EXPECT_EQ(g.RowCount(), 4) << filter.toStdString();
            EXPECT_EQ(Row(g, 3), (Cells{"2", "8", "50", "A"}));
        });
        ASSERT_EQ(ui_.Messages.size(), 1u) << filter.toStdString();
        EXPECT_EQ(ui_.Messages[0].Text, "Attenzione il filtro non \xE8 valido!");
    }
}

TEST_F(ValueboxTest, AnEmptyResultShowsOneEmptyRowAndAnEmptyFilterBringsAllBack) {
    Open([this](TformValuebox* box) {
        const TclipGrid& g = *box->Grid1;
        Filter(box, "CHN(1) > 100");
        EXPECT_EQ(g.RowCount(), 3);
        EXPECT_EQ(Row(g, 2), (Cells{"", "", "", ""}));
        EXPECT_EQ(Row(g, 1), (Cells{"", "Tempo [s]", "Pressione [bar]", "Fase [-]"}));
        EXPECT_EQ(Count(box->Label4), "0");
        Filter(box, "");
        EXPECT_EQ(g.RowCount(), 7);
        EXPECT_EQ(Row(g, 6), (Cells{"5", "8", "50", "A"}));
    });
    EXPECT_TRUE(ui_.Messages.empty());
}

TEST_F(ValueboxTest, ATestWithoutRowsOrWithShortChannelsShowsEmptyCells) {
    AddRunTest(data_, "/data/run/C.txt", {"Tempo", "Forza"}, {"s", "kN"}, {});
    AddRunTest(data_, "/data/run/D.txt", {"Tempo", "Forza"}, {"s", "kN"}, {{"1", "9"}, {"2"}});
    Open([](TformValuebox* box) {
        const TclipGrid& g = *box->Grid1;
        box->TabSet1->SetTabIndex(2);
        EXPECT_EQ(g.RowCount(), 3);
        EXPECT_EQ(Row(g, 2), (Cells{"", "", ""}));
        EXPECT_EQ(Count(box->Label4), "0");
        box->TabSet1->SetTabIndex(3);
        EXPECT_EQ(g.RowCount(), 4);
        EXPECT_EQ(Row(g, 3), (Cells{"2", "2", ""}));
    });
}

TEST_F(ValueboxTest, TabsNameTheTestsNotTheFilesThatFailed) {
    data_.FileNames.Clear();
    for (const char* name : {"/data/run/A.txt", "/data/run/X.txt", "/data/run/B.txt"})
        data_.FileNames.Add(name);
    Open([](TformValuebox* box) {
        EXPECT_EQ(box->TabSet1->Tabs(), (QStringList{"A.txt", "B.txt"}));
    });
}

TEST_F(ValueboxTest, CopyReadsTheValuesAndNothingEditsThem) {
    Open([](TformValuebox* box) {
        TclipGrid& g = *box->Grid1;
        g.SetSelection({1, 2, 3, 3});
        EXPECT_EQ(g.SelectionText(false), "0\t10\tA\r\n2\t20\tB\r\n");
        g.setFocus();
        for (const auto& [key, modifiers] :
             {std::pair{Qt::Key_Delete, Qt::NoModifier}, std::pair{Qt::Key_X, Qt::ControlModifier},
              std::pair{Qt::Key_V, Qt::ControlModifier}, std::pair{Qt::Key_A, Qt::NoModifier}}) {
            QTest::keyClick(&g, key, modifiers);
            EXPECT_FALSE(g.EditorMode());
        }
        g.PasteText("x\ty\r\n");
        EXPECT_EQ(g.SelectionText(true), "0\t10\tA\r\n2\t20\tB\r\n");
        EXPECT_EQ(Row(g, 2), (Cells{"1", "0", "10", "A"}));
    });
}

TEST_F(ValueboxTest, NoDataShowsNothing) {
    ShowValueBoxWindow(nullptr);
    EXPECT_TRUE(ui_.Messages.empty());
}

} // namespace
} // namespace vx::test
