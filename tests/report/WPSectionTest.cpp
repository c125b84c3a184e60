#include "report/WPSection.h"

#include "data/Databuff.h"
#include "platform/runtime/ComponentStream.h"
#include "platform/runtime/Streams.h"
#include "report/Asse.h"
#include "report/DataOwner.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vx {
namespace {

using test::FromHex;
using test::HexBytes;

// Stands in for the graph: it owns the axes and sections and hands out its tests.
class Graph : public TComponent, public TDataOwner {
public:
    Graph() : TComponent(nullptr) {}
    TDatabuffer* Data() override { return &data; }
    TDatabuffer data;
};

// Counts how often each watched component reports its end.
class Watcher : public TComponent {
public:
    Watcher() : TComponent(nullptr) {}
    void Watch(TComponent* c) { c->FreeNotification(this); }
    std::map<TComponent*, int> freed;

protected:
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        if (op == TOperation::opRemove)
            ++freed[c];
    }
};

std::vector<TAsse*> AxesOf(const TWPSide& side) {
    std::vector<TAsse*> axes;
    for (int i = 0; i < side.AxisCount(); ++i)
        axes.push_back(side.GetAxisByIndex(i));
    return axes;
}

// A side with one section per entry of counts.
void Fill(TWPSide& side, const std::vector<int>& counts) {
    side.AddSections(static_cast<int>(counts.size()));
    for (size_t i = 0; i < counts.size(); ++i)
        side.GetSection(static_cast<int>(i))->AddAxes(counts[i]);
}

TEST(WPSectionTest, AddersStopSilentlyAtEight) {
    struct Case {
        int before, add, after;
    };
    const Case cases[] = {{0, 10, 8}, {0, 0, 0}, {0, -3, 0}, {5, 2, 7}, {7, 5, 8}, {8, 1, 8}};
    for (const auto& c : cases) {
        Graph graph;
        TWPSection section(&graph);
        section.AddAxes(c.before);
        section.AddAxes(c.add);
        EXPECT_EQ(section.AxisCount(), c.after) << c.before << " + " << c.add;
        TWPSide side(&graph);
        side.AddSections(c.before);
        side.AddSections(c.add);
        EXPECT_EQ(side.SectionCount(), c.after) << c.before << " + " << c.add;
    }
}

TEST(WPSectionTest, NewItemsBelongToTheGraphAndSeeItsData) {
    Graph graph;
    TWPSide side(&graph);
    side.AddSections(1);
    TWPSection* section = side.GetSection(0);
    EXPECT_EQ(section->Size, 0);
    EXPECT_EQ(section->Owner(), &graph);
    section->AddAxes(2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(section->GetAxis(i)->Owner(), &graph);
        EXPECT_EQ(section->GetAxis(i)->Data(), &graph.data);
    }
    EXPECT_NE(section->GetAxis(0), section->GetAxis(1));
    EXPECT_EQ(graph.ComponentCount(), 4); // side, section, two axes
}

TEST(WPSectionTest, IndexesOutOfRangeRaiseAndChangeNothing) {
    Graph graph;
    TWPSide side(&graph);
    Fill(side, {3, 1});
    TWPSection& section = *side.GetSection(0);
    const std::vector<TAsse*> axes = AxesOf(side);
    auto expectInvalid = [](auto call, const char* message) {
        try {
            call();
            ADD_FAILURE() << "no exception for " << message;
        } catch (const EItemsinvalid& e) {
            EXPECT_EQ(e.Message, message);
        }
    };
    for (int i : {3, -1, 100}) {
        expectInvalid([&] { section.GetAxis(i); }, "Invalid Item");
        expectInvalid([&] { section.DeleteAxis(i); }, "Invalid Item");
    }
    for (int i : {2, -1}) {
        expectInvalid([&] { side.GetSection(i); }, "Invalid Section");
        expectInvalid([&] { side.DeleteSection(i); }, "Invalid Section");
    }
    EXPECT_EQ(side.SectionCount(), 2);
    EXPECT_EQ(AxesOf(side), axes);
    EXPECT_EQ(graph.ComponentCount(), 1 + 2 + 4);
}

TEST(WPSectionTest, ADoubleAxisTakesTwoSlots) {
    Graph graph;
    TWPSection section(&graph);
    EXPECT_EQ(section.AxisSlotCount(), 0);
    section.AddAxes(3);
    section.GetAxis(1)->DoubleAxe = true;
    EXPECT_EQ(section.AxisCount(), 3);
    EXPECT_EQ(section.AxisSlotCount(), 4);
}

TEST(WPSectionTest, AxesAreCountedThroughTheSectionsInOrder) {
    Graph graph;
    TWPSide side(&graph);
    Fill(side, {1, 2, 3});
    EXPECT_EQ(side.AxisCount(), 6);
    const std::pair<int, TAsse*> cases[] = {
        {0, side.GetSection(0)->GetAxis(0)},
        {1, side.GetSection(1)->GetAxis(0)},
        {2, side.GetSection(1)->GetAxis(1)},
        {3, side.GetSection(2)->GetAxis(0)},
        {5, side.GetSection(2)->GetAxis(2)},
        {6, nullptr},
        {-1, nullptr},
    };
    for (const auto& [index, axis] : cases)
        EXPECT_EQ(side.GetAxisByIndex(index), axis) << index;
    // A section without axes is passed over.
    TWPSide gaps(&graph);
    Fill(gaps, {1, 0, 2});
    EXPECT_EQ(gaps.GetAxisByIndex(1), gaps.GetSection(2)->GetAxis(0));
}

TEST(WPSectionTest, DeletingFreesTheItemAndKeepsTheOrderOfTheRest) {
    Graph graph;
    TWPSide side(&graph);
    Fill(side, {3, 2});
    TWPSection& section = *side.GetSection(0);
    Watcher watcher;
    for (TAsse* a : AxesOf(side))
        watcher.Watch(a);
    TAsse* first = section.GetAxis(0);
    TAsse* second = section.GetAxis(1);
    TAsse* third = section.GetAxis(2);
    section.DeleteAxis(0);
    EXPECT_EQ(watcher.freed[first], 1);
    EXPECT_EQ(section.AxisCount(), 2);
    EXPECT_EQ(section.GetAxis(0), second);
    EXPECT_EQ(section.GetAxis(1), third);
    TAsse* later = side.GetSection(1)->GetAxis(0);
    side.DeleteSection(0);
    EXPECT_EQ(watcher.freed[second], 1);
    EXPECT_EQ(watcher.freed[third], 1);
    EXPECT_EQ(side.SectionCount(), 1);
    EXPECT_EQ(side.GetAxisByIndex(0), later);
    EXPECT_EQ(graph.ComponentCount(), 1 + 1 + 2);
    side.Clear();
    EXPECT_EQ(side.SectionCount(), 0);
    EXPECT_EQ(graph.ComponentCount(), 1);
}

TEST(WPSectionTest, DestroyingTheGraphFreesEveryAxisOnce) {
    Watcher watcher;
    std::vector<TComponent*> all;
    {
        auto graph = std::make_unique<Graph>();
        auto* side = new TWPSide(graph.get());
        Fill(*side, {2, 3});
        side->GetSection(0)->DeleteAxis(0);
        for (TAsse* a : AxesOf(*side))
            all.push_back(a);
        for (int i = 0; i < side->SectionCount(); ++i)
            all.push_back(side->GetSection(i));
        all.push_back(side);
        for (TComponent* c : all)
            watcher.Watch(c);
    }
    ASSERT_EQ(all.size(), 4u + 2 + 1);
    for (TComponent* c : all)
        EXPECT_EQ(watcher.freed[c], 1);
    EXPECT_EQ(watcher.freed.size(), all.size());
}

TEST(WPSectionTest, AnAxisThatTheGraphFreesLeavesItsSection) {
    Graph graph;
    auto side = std::make_unique<TWPSide>(&graph);
    Fill(*side, {2, 1});
    delete side->GetSection(0)->GetAxis(0);
    delete side->GetSection(1);
    EXPECT_EQ(side->SectionCount(), 1);
    EXPECT_EQ(side->AxisCount(), 1);
    side.reset(); // frees the rest once
    EXPECT_EQ(graph.ComponentCount(), 0);
}

// ---- the side stream ----

// Axes whose properties and records differ from a new axis, so that the stream has to
// carry them.
void Distinguish(TAsse& a, int i) {
    a.Maximum = 50 + i;
    a.Caption = "axis " + std::to_string(i);
    a.DoubleAxe = i == 1;
    a.LeftSide = false;
    a.Channels().Add(i + 1);
    a.MarkerRecord().MarkerType = static_cast<uint8_t>(i + 2);
    a.GridRecord().Enabled = 1;
    a.SplineRecord().Value = 0.5 * i;
}

// Sections of 70 % with two axes and 30 % with one.
void FillSample(TWPSide& side) {
    Fill(side, {2, 1});
    side.GetSection(0)->Size = 70;
    side.GetSection(1)->Size = 30;
    for (int i = 0; i < 3; ++i)
        Distinguish(*side.GetAxisByIndex(i), i);
}

std::string SideBytes(const TWPSide& side) {
    TMemoryStream s;
    side.WriteToStream(s);
    return s.Bytes();
}

TEST(WPSectionTest, TheSideStreamHoldsCountsSizesAndAxisComponents) {
    Graph graph;
    TWPSide side(&graph);
    FillSample(side);
    const std::string axis0 = ComponentToBytes(*side.GetAxisByIndex(0));
    const std::string axis1 = ComponentToBytes(*side.GetAxisByIndex(1));
    const std::string axis2 = ComponentToBytes(*side.GetAxisByIndex(2));
    EXPECT_EQ(axis0.substr(0, 10), "TPF0\x05TAsse");
    EXPECT_NE(axis0.find("\x04"
                         "Asse"),
              std::string::npos);
    const std::string expected = FromHex("02000000 46000000 02000000") + axis0 + axis1 +
                                 FromHex("1E000000 01000000") + axis2;
    EXPECT_EQ(HexBytes(SideBytes(side)), HexBytes(expected));
}

TEST(WPSectionTest, ASideReadBackIsTheSameAndWritesTheSameBytes) {
    Graph graph;
    TWPSide side(&graph);
    FillSample(side);
    const std::string bytes = SideBytes(side);

    Graph other;
    TWPSide read(&other);
    Fill(read, {1, 1, 1}); // replaced
    TMemoryStream in(bytes);
    read.ReadFromStream(in);
    EXPECT_EQ(in.Position(), in.Size());
    ASSERT_EQ(read.SectionCount(), 2);
    EXPECT_EQ(read.GetSection(0)->Size, 70);
    EXPECT_EQ(read.GetSection(1)->Size, 30);
    EXPECT_EQ(read.GetSection(0)->AxisCount(), 2);
    EXPECT_EQ(read.GetSection(1)->AxisCount(), 1);
    EXPECT_EQ(other.ComponentCount(), 1 + 2 + 3);
    for (int i = 0; i < 3; ++i) {
        const TAsse& a = *read.GetAxisByIndex(i);
        EXPECT_EQ(a.Owner(), &other) << i;
        EXPECT_EQ(a.Data(), &other.data) << i;
        EXPECT_EQ(a.Maximum, 50 + i) << i;
        EXPECT_EQ(a.Caption, "axis " + std::to_string(i)) << i;
        EXPECT_EQ(a.DoubleAxe, i == 1) << i;
        EXPECT_FALSE(a.LeftSide) << i;
        ASSERT_EQ(a.Channels().Count(), 1) << i;
        EXPECT_EQ(a.Channels().GetItem(0), i + 1) << i;
        EXPECT_EQ(a.MarkerRecord().MarkerType, i + 2) << i;
        EXPECT_EQ(a.GridRecord().Enabled, 1) << i;
        EXPECT_EQ(a.SplineRecord().Value, 0.5 * i) << i;
    }
    EXPECT_EQ(read.GetSection(0)->AxisSlotCount(), 3);
    EXPECT_EQ(HexBytes(SideBytes(read)), HexBytes(bytes));
}

TEST(WPSectionTest, AnEmptySideIsItsCountAlone) {
    Graph graph;
    TWPSide empty(&graph);
    EXPECT_EQ(HexBytes(SideBytes(empty)), "00 00 00 00");
    TWPSide side(&graph);
    Fill(side, {2, 1});
    for (const char* count : {"00000000", "FFFFFFFF"}) {
        TMemoryStream in(FromHex(count));
        side.ReadFromStream(in);
        EXPECT_EQ(side.SectionCount(), 0) << count;
    }
    EXPECT_EQ(graph.ComponentCount(), 2);
}

TEST(WPSectionTest, ASectionCountBelowOneLeavesTheSectionEmptyAndReadingGoesOn) {
    Graph graph;
    TWPSide source(&graph);
    Fill(source, {1});
    Distinguish(*source.GetAxisByIndex(0), 2);
    const std::string axis = ComponentToBytes(*source.GetAxisByIndex(0));
    const std::string bytes = FromHex("03000000 32000000 00000000 0A000000 FEFFFFFF") +
                              FromHex("28000000 01000000") + axis;
    TWPSide side(&graph);
    TMemoryStream in(bytes);
    side.ReadFromStream(in);
    ASSERT_EQ(side.SectionCount(), 3);
    EXPECT_EQ(side.GetSection(0)->Size, 50);
    EXPECT_EQ(side.GetSection(0)->AxisCount(), 0);
    EXPECT_EQ(side.GetSection(0)->AxisSlotCount(), 0);
    EXPECT_EQ(side.GetSection(1)->Size, 10);
    EXPECT_EQ(side.GetSection(1)->AxisCount(), 0);
    EXPECT_EQ(side.GetSection(2)->Size, 40);
    ASSERT_EQ(side.GetSection(2)->AxisCount(), 1);
    EXPECT_EQ(side.GetAxisByIndex(0)->Caption, "axis 2");
}

TEST(WPSectionTest, ABrokenSideStreamRaisesAndLeavesTheSideAsItWas) {
    Graph graph;
    TWPSide side(&graph);
    FillSample(side);
    const std::string good = SideBytes(side);
    const std::string axis = ComponentToBytes(*side.GetAxisByIndex(0));
    const std::string cases[] = {
        FromHex("09000000"),                                // more sections than a side holds
        FromHex("03000000 46000000 01000000"),              // more sections than bytes
        FromHex("01000000 46000000 09000000") + axis,       // more axes than a section holds
        FromHex("01000000 46000000 02000000") + axis,       // more axes than bytes
        FromHex("01000000 46000000 01000000") + "TPF0xxxx", // an axis that is no component
        good.substr(0, good.size() - 1),                    // cut inside the last axis
        FromHex("02000000 46000000"),                       // cut inside a section
    };
    const std::vector<TAsse*> axes = AxesOf(side);
    const int components = graph.ComponentCount();
    for (const auto& bytes : cases) {
        TMemoryStream in(bytes);
        EXPECT_THROW(side.ReadFromStream(in), EReadError) << HexBytes(bytes.substr(0, 12));
        EXPECT_EQ(AxesOf(side), axes);
        EXPECT_EQ(side.GetSection(0)->Size, 70);
        EXPECT_EQ(graph.ComponentCount(), components); // nothing half-read is left over
        EXPECT_EQ(SideBytes(side), good);
    }
}

TEST(WPSectionTest, ASectionReadsAndWritesItsOwnPart) {
    Graph graph;
    TWPSide side(&graph);
    FillSample(side);
    TMemoryStream out;
    side.GetSection(0)->WriteAxes(out);
    const std::string bytes = out.Bytes();
    EXPECT_EQ(HexBytes(bytes.substr(0, 8)), "46 00 00 00 02 00 00 00");

    TWPSection section(&graph);
    section.AddAxes(5);
    TMemoryStream in(bytes);
    section.ReadAxes(in);
    EXPECT_EQ(section.Size, 70);
    ASSERT_EQ(section.AxisCount(), 2);
    EXPECT_EQ(section.GetAxis(1)->Caption, "axis 1");
    TMemoryStream again;
    section.WriteAxes(again);
    EXPECT_EQ(again.Bytes(), bytes);

    const std::vector<TAsse*> before = {section.GetAxis(0), section.GetAxis(1)};
    TMemoryStream broken(bytes.substr(0, bytes.size() - 2));
    EXPECT_THROW(section.ReadAxes(broken), EReadError);
    EXPECT_EQ(section.AxisCount(), 2);
    EXPECT_EQ(section.GetAxis(0), before[0]);
    EXPECT_EQ(section.GetAxis(1), before[1]);
    EXPECT_EQ(section.Size, 70);
}

} // namespace
} // namespace vx
