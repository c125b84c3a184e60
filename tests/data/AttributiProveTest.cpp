#include "data/AttributiProve.h"

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace vx {
namespace {

using test::FromHex;
using test::HexBytes;

std::string Bytes(const TAttributiProve& table) {
    TMemoryStream s;
    table.WriteToStream(s);
    return s.Bytes();
}

// A table whose records all differ from the defaults, so that a lost field shows.
TAttributiProve Custom() {
    TAttributiProve t;
    for (int i = 0; i < TAttributiProve::kCount; ++i) {
        TAttributoProva& r = t.Record(i);
        r.Color = 0x00102030 + i;
        r.Visible = static_cast<uint8_t>(i % 2);
        r.PenStyle = static_cast<TPenStyle>(i % 5);
        r.Width = 10 + static_cast<uint32_t>(i);
        r.PointType = static_cast<uint8_t>(9 - i);
    }
    return t;
}

TEST(AttributiProveTest, DefaultsAreTheTenStylesInTheirStoredLayout) {
    const char* records[] = {
        "00000000 01 00 0000 03000000 00 000000", "FF000000 01 00 0000 03000000 01 000000",
        "0000FF00 01 00 0000 03000000 02 000000", "00800000 01 00 0000 03000000 03 000000",
        "00808000 01 00 0000 03000000 04 000000", "80808000 01 00 0000 03000000 05 000000",
        "80000000 01 00 0000 03000000 06 000000", "C0C0C000 01 00 0000 03000000 07 000000",
        "80008000 01 00 0000 03000000 08 000000", "FFFF0000 01 00 0000 03000000 09 000000",
    };
    std::string expected;
    for (const char* r : records)
        expected += FromHex(r);
    const TAttributiProve table;
    const std::string bytes = Bytes(table);
    ASSERT_EQ(bytes.size(), 160u);
    EXPECT_EQ(HexBytes(bytes), HexBytes(expected));
    EXPECT_EQ(table.Record(4).Color, clTeal);
}

TEST(AttributiProveTest, ReadsBackWhatItWroteAndWritesPaddingAsZero) {
    const TAttributiProve custom = Custom();
    std::string bytes = Bytes(custom);
    EXPECT_EQ(HexBytes(bytes.substr(16, 16)), "31 20 10 00 01 01 00 00 0B 00 00 00 08 00 00 00");
    for (size_t r = 0; r < 10; ++r) // padding written by someone else is not kept
        bytes[r * 16 + 6] = bytes[r * 16 + 13] = bytes[r * 16 + 15] = '\x77';
    TMemoryStream in(bytes);
    TAttributiProve read;
    read.ReadFromStream(in);
    EXPECT_EQ(in.Position(), 160);
    EXPECT_EQ(read, custom);
    EXPECT_EQ(Bytes(read), Bytes(custom));
}

TEST(AttributiProveTest, AShortStreamRaisesAndLeavesTheTableAsItWas) {
    const TAttributiProve custom = Custom();
    const std::string bytes = Bytes(TAttributiProve()).substr(0, 159);
    for (bool checked : {false, true}) {
        TAttributiProve table = custom;
        TMemoryStream in(bytes);
        if (checked)
            EXPECT_THROW(table.ReadCheckedFromStream(in), EReadError);
        else
            EXPECT_THROW(table.ReadFromStream(in), EReadError);
        EXPECT_EQ(table, custom);
    }
}

TEST(AttributiProveTest, AFirstWidthOutsideTwoToHundredResetsAllTen) {
    struct Case {
        uint32_t width;
        bool reset;
    };
    const Case cases[] = {{0, true},    {1, true},   {2, false},
                          {100, false}, {101, true}, {0xFFFFFFFF, true}};
    for (const auto& c : cases) {
        TAttributiProve stored = Custom();
        stored.Record(0).Width = c.width;
        TMemoryStream in(Bytes(stored));
        TAttributiProve table = Custom();
        table.Record(9).Color = clWhite;
        table.ReadCheckedFromStream(in);
        EXPECT_EQ(table, c.reset ? TAttributiProve() : stored) << c.width;
        EXPECT_EQ(in.Position(), 160) << c.width;
    }
    // Only the first record decides.
    TAttributiProve stored = Custom();
    stored.Record(5).Width = 0;
    TMemoryStream in(Bytes(stored));
    TAttributiProve table;
    table.ReadCheckedFromStream(in);
    EXPECT_EQ(table, stored);
}

TEST(AttributiProveTest, TestsBeyondTheTenthReuseTheRecordsInTurn) {
    const TAttributiProve table = Custom();
    const std::pair<int, int> cases[] = {{0, 0}, {3, 3}, {9, 9}, {10, 0}, {13, 3}, {29, 9}};
    for (const auto& [test, record] : cases)
        EXPECT_EQ(&table.ForTest(test), &table.Record(record)) << test;
    EXPECT_THROW(table.Record(10), EListError);
    EXPECT_THROW(table.Record(-1), EListError);
}

TEST(AttributiProveTest, TheProgramHasOneTable) {
    TAttributiProve& table = AttributiProve();
    EXPECT_EQ(&table, &AttributiProve());
    EXPECT_EQ(table, TAttributiProve());
}

} // namespace
} // namespace vx
