#include "document/infocursor.h"

#include "RunData.h"
#include "data/Databuff.h"
#include "localisation/Strglobmod.h"
#include "localisation/mlLangDispatcher.h"
#include "platform/graphics/Metafile.h"
#include "platform/runtime/ComponentStream.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/FormatSettings.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/UiServices.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/StringGrid.h"
#include "report/Asse.h"
#include "report/EditorHooks.h"
#include "report/WPGraph.h"
#include "report/WPSection.h"
#include "support/TestSupport.h"

#include <QPointer>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vx::test {
namespace {

using Cells = std::vector<std::string>;

Cells Column(const TStringGrid& grid, int col) {
    Cells cells;
    for (int r = 0; r < grid.RowCount(); ++r)
        cells.push_back(grid.Cells(col, r));
    return cells;
}

Cells Row(const TStringGrid& grid, int row) {
    Cells cells;
    for (int c = 0; c < grid.ColCount(); ++c)
        cells.push_back(grid.Cells(c, row));
    return cells;
}

void Limits(TAsse& axis, std::initializer_list<int32_t> channels, double max, double step,
            const char* format) {
    axis.Channels().Clear();
    for (const int32_t c : channels)
        axis.Channels().Add(c);
    axis.limitiautomatici = false;
    axis.Minimum = 0;
    axis.Maximum = max;
    axis.Increment = step;
    axis.Formato = format;
}

class InfocursorTest : public ::testing::Test {
protected:
    void SetUp() override {
        FormatSettings().DecimalSeparator = '.';
        DocDecimalSeparator = '.';
        AddRunTest(data_, "/data/run/A.txt", {"Tempo", "Pressione", "Forza", "Fase"},
                   {"s", "bar", "kN", "-"},
                   {{"0", "10", "1", "A"},
                    {"2", "20", "2", "B"},
                    {"4", "30", "3", "A"},
                    {"6", "40", "4", "B"},
                    {"8", "50", "5", "A"}});
        AddRunTest(data_, "/data/run/B.txt", {"Tempo", "Pressione", "Forza", "Fase"},
                   {"s", "bar", "kN", "-"},
                   {{"1", "15", "1.5", "B"},
                    {"3", "25", "2.5", "B"},
                    {"5", "35", "3.5", "A"},
                    {"7", "45", "4.5", "A"}});
        graph_ = std::make_unique<TWPGraph>(nullptr, &data_);
        graph_->SetCoord(0, 0);
        graph_->SetCoord(1, 0);
        graph_->SetCoord(2, 3000);
        graph_->SetCoord(3, 2000);
        Limits(X(), {0}, 10, 1, "0.0");
        Limits(Left(), {1, 2}, 100, 10, "0.0");
        Limits(Right(), {1}, 50, 5, "0.00");
        Right().filtro = 3;
        Right().filtrotipo = 1;
        Right().filtrovalore = "B";
        LayOut();
        window_.reset(CreateForm<Tfrm_infocursor>());
        window_->Setup(&data_, &X(), &graph_->LeftSide(), &graph_->RightSide());
    }
    void TearDown() override {
        if (window_)
            window_->MarkClosing();
        window_.reset();
        SetEditorHooks(nullptr);
    }

    TAsse& X() { return graph_->XAxis(); }
    TAsse& Left() { return *graph_->LeftSide().GetAxisByIndex(0); }
    TAsse& Right() { return *graph_->RightSide().GetAxisByIndex(0); }
    void LayOut() {
        Metafile picture;
        TDeviceCaps caps;
        caps.LogPixelsX = caps.LogPixelsY = 600;
        TMetafileCanvas canvas(picture, caps);
        graph_->DrawContent(canvas);
    }
    // The cursor in the middle of the X axis, where it reads 5.
    int32_t MiddleX() { return X().Start() + X().Length() / 2; }
    void Tick(int32_t x, int32_t y) {
        window_->ShowPosition(x, y);
        window_->Timer1Timer();
    }

    ScopedFormatSettings format_;
    ScopedUi scoped_;
    TDatabuffer data_;
    std::unique_ptr<TWPGraph> graph_;
    std::unique_ptr<Tfrm_infocursor> window_;
};

TEST_F(InfocursorTest, TheGridHasAColumnPerTestAndARowPerChannelLeftSideFirst) {
    ASSERT_GT(X().Length(), 0);
    EXPECT_EQ(X().PosToValue(MiddleX() - X().Start()), 5);
    const TStringGrid& g = *window_->Grid1;
    EXPECT_EQ(g.ColCount(), 3);
    EXPECT_EQ(g.RowCount(), 5);
    EXPECT_EQ(Row(g, 0), (Cells{"Asse", "A.txt", "B.txt"}));
    EXPECT_EQ(Column(g, 0),
              (Cells{"Asse", "Tempo [s]", "Pressione [bar]", "Forza [kN]", "Pressione [bar]"}));
    EXPECT_EQ(g.ColWidths(0), g.TextWidth("Pressione [bar]") + 5);
    EXPECT_EQ(g.ColWidths(1), g.TextWidth("A.txt") + 5);
    EXPECT_EQ(window_->Mode(), 1);
    EXPECT_TRUE(window_->SpeedButton2->Down());
}

TEST_F(InfocursorTest, SnapFindsTheNearestSampleOfEachTestAndFilter) {
    Tick(MiddleX(), 0);
    const TStringGrid& g = *window_->Grid1;
    // A: the tie between 4 and 6 takes the first; of its "B" rows the right axis takes 6,
    // and the X row follows the right axis, handled last.
    EXPECT_EQ(Column(g, 1), (Cells{"A.txt", "6.0", "30.0", "3.0", "40.00"}));
    EXPECT_EQ(Column(g, 2), (Cells{"B.txt", "3.0", "35.0", "3.5", "25.00"}));
}

TEST_F(InfocursorTest, FreeValuesAreThoseOfTheCursorOnEachAxis) {
    window_->SpeedButton3->Click();
    EXPECT_EQ(window_->Mode(), 0);
    Tick(MiddleX(), Left().Start() + Left().Length() / 4);
    const TStringGrid& g = *window_->Grid1;
    for (int c : {1, 2})
        EXPECT_EQ(Column(g, c), (Cells{g.Cells(c, 0), "5.0", "75.0", "75.0", "37.50"})) << c;
    window_->SpeedButton2->Click();
    window_->Timer1Timer();
    EXPECT_EQ(Column(g, 1), (Cells{"A.txt", "6.0", "30.0", "3.0", "40.00"}));
}

TEST_F(InfocursorTest, MissingChannelsAndRowsGiveEmptyCells) {
    AddRunTest(data_, "/data/run/C.txt", {"Tempo"}, {"s"}, {{"4"}, {"5"}});
    Tick(MiddleX(), 0);
    const TStringGrid& g = *window_->Grid1;
    EXPECT_EQ(g.ColCount(), 4);
    EXPECT_EQ(Column(g, 3), (Cells{"C.txt", "", "", "", ""}));
    EXPECT_EQ(Column(g, 1), (Cells{"A.txt", "6.0", "30.0", "3.0", "40.00"}));
    EXPECT_TRUE(scoped_.ui.Messages.empty());

    // No channel on the Y axes: the X row is not written.
    Left().Channels().Clear();
    Right().Channels().Clear();
    Tick(MiddleX(), 0);
    EXPECT_EQ(g.RowCount(), 2);
    EXPECT_EQ(Row(g, 1), (Cells{"Tempo [s]", "", "", ""}));
}

TEST_F(InfocursorTest, AxesReadAnewIntoTheGraphGiveNewRowsAtTheNextTick) {
    TWPGraph other(nullptr, &data_);
    Limits(*other.RightSide().GetAxisByIndex(0), {2, 0}, 10, 1, "0.000");
    TMemoryStream stream;
    other.RightSide().WriteToStream(stream);
    stream.SetPosition(0);
    graph_->RightSide().ReadFromStream(stream);
    graph_->RebuildSeries();
    LayOut();
    Tick(MiddleX(), 0);
    const TStringGrid& g = *window_->Grid1;
    EXPECT_EQ(Column(g, 0), (Cells{"Asse", "Tempo [s]", "Pressione [bar]", "Forza [kN]",
                                   "Forza [kN]", "Tempo [s]"}));
    EXPECT_EQ(Column(g, 2), (Cells{"B.txt", "5.0", "35.0", "3.5", "3.500", "5.000"}));
}

// Opens the real window, as the program's hooks do.
class WindowHooks : public TEditorHooks {
public:
    TCursorValuesWindow* OpenCursorValues(TDatabuffer* data, TAsse& x, TWPSide& right,
                                          TWPSide& left) override {
        auto* w = CreateForm<Tfrm_infocursor>();
        w->Setup(data, &x, &left, &right);
        w->show();
        opened = w;
        return w;
    }
    QPointer<Tfrm_infocursor> opened;
};

TEST_F(InfocursorTest, TheGraphOpensTheWindowWhichOnlyItCloses) {
    WindowHooks hooks;
    SetEditorHooks(&hooks);
    CreateSTRGlobData();
    for (const auto& [language, caption, axis] :
         {std::tuple{1, "Valori", "Asse"}, std::tuple{2, "Values", "Axis"},
          std::tuple{3, "Werte", "Achse"}}) {
        STRGlobData->mlLangDispatcher1->SetActiveLanguage(language);
        graph_->ShowCursorValues(true);
        ASSERT_TRUE(hooks.opened);
        EXPECT_EQ(FromQString(hooks.opened->Caption()), caption);
        EXPECT_EQ(hooks.opened->Grid1->Cells(0, 0), axis);
        EXPECT_FALSE(hooks.opened->close());
        EXPECT_TRUE(hooks.opened->isVisible());
        graph_->ShowCursorValues(false);
        EXPECT_FALSE(hooks.opened);
    }
    FreeSTRGlobData();
}

} // namespace
} // namespace vx::test
