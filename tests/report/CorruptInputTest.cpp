// Page and graph streams that once broke a reader, or that are built to: each is refused with
// a read error and leaves the object it was read into writing what it wrote before.
// Reproducers found by fuzzing lie in corrupt/ beside this file.

#include "data/Databuff.h"
#include "platform/runtime/ComponentStream.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"
#include "report/Asse.h"
#include "report/Intestazione.h"
#include "report/WPGraph.h"
#include "report/WPPage.h"
#include "report/WPSection.h"
#include "report/legenda.h"
#include "report/wpreport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace vx {
namespace {

template <class T>
std::string Saved(const T& object) {
    TMemoryStream s;
    object.SaveToStream(s);
    return s.Bytes();
}

// A graph stream whose graph and X-axis parts differ from a new graph's, so that a reader
// that keeps what it read before the fault shows it.
std::string ChangedGraphStream(TDatabuffer& buffer) {
    TWPGraph g(nullptr, &buffer);
    g.Globalgrid = true;
    g.XAxis().Caption = "changed";
    g.LeftSide().AddSections(1);
    return Saved(g);
}

TEST(CorruptInputTest, ARefusedGraphStreamLeavesTheGraph) {
    TDatabuffer buffer;
    const std::string changed = ChangedGraphStream(buffer);
    TWPGraph probe(nullptr, &buffer);
    const std::string legend = ComponentToBytes(probe.Legend());
    const std::string withoutLegend = changed.substr(0, changed.size() - legend.size());
    const struct {
        std::string name, bytes;
    } cases[] = {
        {"cut in the legend", changed.substr(0, changed.size() - 3)},
        {"no legend", withoutLegend},
        {"empty", ""},
    };
    for (const auto& c : cases) {
        TWPGraph g(nullptr, &buffer);
        const std::string before = Saved(g);
        TMemoryStream s{c.bytes};
        EXPECT_THROW(g.LoadFromStream(s), EReadError) << c.name;
        EXPECT_EQ(test::HexBytes(Saved(g)), test::HexBytes(before)) << c.name;
    }
    TWPGraph g(nullptr, &buffer);
    TMemoryStream s{changed};
    g.LoadFromStream(s);
    EXPECT_EQ(Saved(g), changed);
}

TEST(CorruptInputTest, ARefusedPageStreamLeavesThePage) {
    TDatabuffer buffer;
    TWPPage graphPage(nullptr);
    graphPage.DataBuffer = &buffer;
    graphPage.SetPageKind(PK_GRAPHIC);
    graphPage.pagename = "G";
    const std::string good = Saved(graphPage);
    const struct {
        std::string name, bytes;
    } cases[] = {
        {"cut in the graph", good.substr(0, good.size() - 3)},
        {"cut after the footer", good.substr(0, good.size() - Saved(*graphPage.Graph()).size())},
    };
    for (const auto& c : cases) {
        TWPPage page(nullptr);
        page.DataBuffer = &buffer;
        page.SetPageKind(PK_REPORT);
        const std::string before = Saved(page);
        TMemoryStream s{c.bytes};
        EXPECT_THROW(page.LoadFromStream(s), EReadError) << c.name;
        EXPECT_EQ(test::HexBytes(Saved(page)), test::HexBytes(before)) << c.name;
        EXPECT_EQ(page.PAGEKIND(), PK_REPORT) << c.name;
    }
    TWPPage page(nullptr);
    page.DataBuffer = &buffer;
    TMemoryStream s{good};
    page.LoadFromStream(s);
    EXPECT_EQ(Saved(page), good);
}

} // namespace
} // namespace vx
