#include "report/wpreport.h"

#include "platform/runtime/ComponentStream.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace vx {
namespace {

using test::FromHex;
using test::HexBytes;

// Groups of 0, 2 and 1 columns with settings of their own.
void FillReport(TWPReport& r) {
    r.SetGroupCount(3);
    r.SetChannelCount(1, 2);
    r.SetChannelCount(2, 1);
    r.GetChannel(1, 0)->Canale = 4;
    r.GetChannel(1, 0)->Prova = 1;
    r.GetChannel(1, 1)->formato = "Stringa";
    r.GetChannel(1, 1)->DIMW = 25.5f;
    r.GetChannel(2, 0)->FontD->SetSize(14);
    r.GetChannel(2, 0)->Brush.Color = 0x00FF00;
    r.GetChannel(2, 0)->Align = 2;
    r.GetGroup(0)->titolo = "Vuoto";
    r.GetGroup(1)->tipo = "Lot A";
    r.GetGroup(2)->Enabled = false;
    r.GetGroup(2)->tipizza = true;
}

std::string Groups(const TWPReport& r) {
    TMemoryStream s;
    r.WriteGroups(s);
    return s.Bytes();
}

TEST(WPReportStream, GroupsAreWrittenAsCountsAndComponents) {
    TWPReport r(nullptr);
    FillReport(r);
    const std::string bytes = Groups(r);
    const std::string head = FromHex("07 56 65 72 20 31 2C 30 03 00 00 00 00 00 00 00 02 00 00 00"
                                     "54 50 46 30 0A 54 64 65 66 63 61 6E 61 6C 65 00");
    const std::string tail = FromHex("09 45 6E 64 5F 76 5F 31 2C 30");
    ASSERT_GT(bytes.size(), head.size() + tail.size());
    EXPECT_EQ(HexBytes(bytes.substr(0, head.size())), HexBytes(head));
    EXPECT_EQ(HexBytes(bytes.substr(bytes.size() - tail.size())), HexBytes(tail));
    // A group as a component: only its type differs from the declared defaults.
    Tdefgruppo g(nullptr);
    EXPECT_EQ(HexBytes(ComponentToBytes(g)),
              HexBytes(FromHex("54 50 46 30 0A 54 64 65 66 67 72 75 70 70 6F 00"
                               "04 74 69 70 6F 06 03 2A 2E 2A 00 00")));
    // A column as a component: its sizes as extended floats, both fonts whole, its mask.
    Tdefcanale c(nullptr);
    const std::string font = "43 68 61 72 73 65 74 07 0F 44 45 46 41 55 4C 54 5F 43 48 41 52 53"
                             "45 54 0B 46 6F 6E 74 49 2E 43 6F 6C 6F 72 07 07 63 6C 42 6C 61 63"
                             "6B 0C 46 6F 6E 74 49 2E 48 65 69 67 68 74 02 F5 0A 46 6F 6E 74 49"
                             "2E 4E 61 6D 65 06 08 54 65 73 74 6C 69 6E 65 0B 46 6F 6E 74 49 2E"
                             "53 74 79 6C 65 0B 00";
    std::string fontD = FromHex("0D 46 6F 6E 74 49 2E" + font);
    for (size_t i = 0; i < fontD.size(); ++i)
        if (fontD.compare(i, 6, "FontI.") == 0)
            fontD[i + 4] = 'D';
    EXPECT_EQ(HexBytes(ComponentToBytes(c)),
              HexBytes(FromHex("54 50 46 30 0A 54 64 65 66 63 61 6E 61 6C 65 00"
                               "04 44 49 4D 57 05 00 00 00 00 00 00 00 A0 02 40"
                               "04 44 49 4D 48 05 00 00 00 00 00 00 00 A0 02 40"
                               "0D 46 6F 6E 74 49 2E" +
                               font) +
                       fontD + FromHex("07 66 6F 72 6D 61 74 6F 06 03 30 2E 30 00 00")));
    // The third group's component stands right before the end marker.
    const std::string last = ComponentToBytes(*r.GetGroup(2));
    EXPECT_EQ(bytes.substr(bytes.size() - tail.size() - last.size(), last.size()), last);
}

TEST(WPReportStream, ReadingGivesBackGroupsAndColumnsAndMarksTheReportDirty) {
    TWPReport source(nullptr);
    FillReport(source);
    TWPReport r(nullptr);
    r.SetGroupCount(5);
    r.SetChannelCount(4, 3);
    r.Dirty = false;
    TMemoryStream s(Groups(source));
    r.ReadGroups(s);
    EXPECT_TRUE(r.Dirty);
    EXPECT_EQ(s.Remaining(), 0);
    ASSERT_EQ(r.GroupCount(), 3);
    EXPECT_EQ(r.GetChannelCount(0), 0);
    EXPECT_EQ(r.GetChannelCount(1), 2);
    EXPECT_EQ(r.GetChannelCount(2), 1);
    EXPECT_EQ(r.GetChannel(1, 0)->Canale, 4);
    EXPECT_EQ(r.GetChannel(1, 0)->Prova, 1);
    EXPECT_EQ(r.GetChannel(1, 1)->formato, "Stringa");
    EXPECT_EQ(r.GetChannel(1, 1)->DIMW, 25.5f);
    EXPECT_EQ(r.GetChannel(2, 0)->FontD->Size(), 14);
    EXPECT_EQ(r.GetChannel(2, 0)->Brush.Color, 0x00FF00);
    EXPECT_EQ(r.GetChannel(2, 0)->Align, 2);
    EXPECT_EQ(r.GetGroup(0)->titolo, "Vuoto");
    EXPECT_EQ(r.GetGroup(1)->tipo, "Lot A");
    EXPECT_FALSE(r.GetGroup(2)->Enabled);
    EXPECT_TRUE(r.GetGroup(2)->tipizza);
    // What was read belongs to the report, and the earlier objects are gone.
    EXPECT_EQ(r.ComponentCount(), 3 + 3);
    EXPECT_EQ(Groups(r), Groups(source));
}

TEST(WPReportStream, TheReportStreamCarriesTheGroupsAsItsBinaryProperty) {
    TWPReport source(nullptr);
    FillReport(source);
    source.Numera = false;
    source.columnsspace = cs_impostato;
    source.Gridcolor = 0x0000FF;
    source.Consideralista.Add("uno");
    const std::string bytes = ComponentToBytes(source);
    EXPECT_NE(bytes.find(std::string("\x06Report", 7)), std::string::npos);
    EXPECT_NE(bytes.find("cs_impostato"), std::string::npos);
    EXPECT_NE(bytes.find("clRed"), std::string::npos);
    TWPReport r(nullptr);
    ComponentFromBytes(bytes, r);
    EXPECT_FALSE(r.Numera);
    EXPECT_EQ(r.columnsspace, cs_impostato);
    EXPECT_EQ(r.Gridcolor, 0x0000FF);
    EXPECT_EQ(r.Consideralista.CommaText(), "uno");
    EXPECT_EQ(r.GroupCount(), 3);
    EXPECT_EQ(ComponentToBytes(r), bytes);
}

TEST(WPReportStream, ADamagedPropertyRaisesAndLeavesTheReportAsItWas) {
    TWPReport source(nullptr);
    FillReport(source);
    const std::string good = Groups(source);
    std::string hugeGroups = good;
    hugeGroups.replace(8, 4, FromHex("FF FF FF 7F"));
    std::string hugeChannels = good;
    hugeChannels.replace(16, 4, FromHex("00 00 00 40"));
    std::string badComponent = good;
    badComponent.replace(20, 4, "XPF0");
    const std::string cases[] = {
        good.substr(0, 5),
        good.substr(0, 12),
        good.substr(0, 30),
        good.substr(0, 200),
        good.substr(0, good.size() - 11),
        good.substr(0, good.size() - 10),
        good.substr(0, good.size() - 3),
        hugeGroups,
        hugeChannels,
        badComponent,
    };
    for (const std::string& bytes : cases) {
        SCOPED_TRACE(bytes.size());
        TWPReport r(nullptr);
        r.SetGroupCount(2);
        r.SetChannelCount(1, 1);
        r.GetChannel(1, 0)->Canale = 9;
        r.Dirty = false;
        TMemoryStream s(bytes);
        EXPECT_THROW(r.ReadGroups(s), EReadError);
        EXPECT_EQ(r.GroupCount(), 2);
        EXPECT_EQ(r.GetChannelCount(1), 1);
        EXPECT_EQ(r.GetChannel(1, 0)->Canale, 9);
        EXPECT_EQ(r.ComponentCount(), 3);
        EXPECT_FALSE(r.Dirty);
    }
}

} // namespace
} // namespace vx
