#include "data/Modellocaricamento.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace vx {
namespace {

using test::FromHex;
using test::HexBytes;

// sstr "Kolm_WHF_V_1.0", sstr "*.txt", positions (1,2) (1,3) (2,5), lists ["ab"] and [].
const char* const kGolden = "0E 4B 6F 6C 6D 5F 57 48 46 5F 56 5F 31 2E 30"
                            " 05 2A 2E 74 78 74"
                            " 01 00 00 00 02 00 00 00 01 00 00 00 03 00 00 00"
                            " 02 00 00 00 05 00 00 00"
                            " 01 00 00 00 02 00 00 00 61 62"
                            " 00 00 00 00";

void Fill(TModellocaricamento& model) {
    model.Mask = "*.txt";
    model.NamesPos = {1, 2};
    model.UnitsPos = {1, 3};
    model.DataPos = {2, 5};
    model.FirstList.Add("ab");
}

std::string Describe(const TModellocaricamento& m) {
    auto pos = [](TCellPos p) { return std::to_string(p.Col) + "," + std::to_string(p.Row); };
    return m.Mask + "|" + pos(m.NamesPos) + "|" + pos(m.UnitsPos) + "|" + pos(m.DataPos) + "|" +
           m.FirstList.CommaText() + "|" + m.SecondList.CommaText();
}

TEST(Modellocaricamento, WritesItsFileByteForByte) {
    test::TempDir dir;
    TModellocaricamento model;
    Fill(model);
    ASSERT_TRUE(model.SaveToFile(dir.File("m.WHF")));
    EXPECT_EQ(HexBytes(test::ReadFile(dir.File("m.WHF"))), kGolden);
}

TEST(Modellocaricamento, ReadsBackWhatItWrote) {
    test::TempDir dir;
    TModellocaricamento model;
    Fill(model);
    model.Mask = std::string(255, '\xE9');
    model.NamesPos = {-1, 2147483647};
    model.SecondList.Add("");
    model.SecondList.Add("x\ty");
    ASSERT_TRUE(model.SaveToFile(dir.File("m.WHF")));

    TModellocaricamento read;
    ASSERT_TRUE(read.LoadFromFile(dir.File("m.WHF")));
    EXPECT_EQ(Describe(read), Describe(model));
    EXPECT_TRUE(read.FirstList == model.FirstList);
    EXPECT_TRUE(read.SecondList == model.SecondList);
}

TEST(Modellocaricamento, RefusesOtherFilesAndStaysUnchanged) {
    test::TempDir dir;
    const std::string golden = FromHex(kGolden);
    std::string otherMagic = golden;
    otherMagic[14] = '1'; // "Kolm_WHF_V_1.1"
    std::string hugeList = golden;
    hugeList[golden.size() - 4] = '\x7F'; // second list claims far more entries than remain
    const struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"other magic", otherMagic},
        {"empty", ""},
        {"cut in the positions", golden.substr(0, 30)},
        {"cut in a list entry", golden.substr(0, golden.size() - 5)},
        {"huge list", hugeList},
        {"text file", "3\tTest bench\r\nname\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::WriteFile(dir.File("bad.WHF"), c.bytes);
        TModellocaricamento model;
        model.Mask = "*.dat";
        model.DataPos = {4, 4};
        model.SecondList.Add("kept");
        const std::string before = Describe(model);
        EXPECT_FALSE(model.LoadFromFile(dir.File("bad.WHF")));
        EXPECT_EQ(Describe(model), before);
    }
    TModellocaricamento model;
    EXPECT_FALSE(model.LoadFromFile(dir.File("missing.WHF")));
    EXPECT_FALSE(model.SaveToFile(dir.File("no/folder/m.WHF")));
}

} // namespace
} // namespace vx
