#include "data/Databuff.h"
#include "data/ValueText.h"

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Streams.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace vx {
namespace {

using test::FromHex;
using test::HexBytes;

std::vector<std::string> Texts(const Tdatavector& v) {
    std::vector<std::string> out;
    for (int i = 0; i < v.Count(); ++i)
        out.push_back(v.GetText(i));
    return out;
}

void Fill(Tdatavector& v, const std::vector<std::string>& texts) {
    for (const std::string& t : texts)
        v.AddTextRaw(t);
}

template <typename F>
std::string MessageOf(F&& f) {
    try {
        f();
    } catch (const EListError& e) {
        return e.Message;
    }
    return "no EListError";
}

// Every test starts with '.' as both the current and the stored separator.
class DatabuffTest : public ::testing::Test {
protected:
    void SetUp() override {
        FormatSettings().DecimalSeparator = '.';
        DocDecimalSeparator = '.';
    }
    void TearDown() override { DocDecimalSeparator = savedDoc_; }

private:
    test::ScopedFormatSettings settings_;
    char savedDoc_ = DocDecimalSeparator;
};

bool SameDouble(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(ValueTextTest, ReadsExactlyAsTheRunTime) {
    const char* cases[] = {"0",
                           "-0",
                           "+0",
                           "1",
                           "-1.5",
                           "1.",
                           ".5",
                           "-.5",
                           ".",
                           "",
                           " 1",
                           "1 ",
                           "1e5",
                           "1E-5",
                           "0.1",
                           "0.2",
                           "0.3",
                           "123456789012345678",
                           "1234567890123456789",
                           "12345678901234567890",
                           "9007199254740993",
                           "9007199254740992",
                           "0.0000000000000000000001",
                           "0.00000000000000000000001",
                           "1.7976931348623157",
                           "4.9406564584124654",
                           "1,5",
                           "1.5.3",
                           "--1",
                           "+-1",
                           "abc",
                           "1x",
                           "0x10",
                           "inf",
                           "nan",
                           "00000000000000000000000000001.25",
                           "3.14159265358979323846",
                           "-2.225073858507201",
                           "99999999999999999999.9"};
    for (char separator : {'.', ','}) {
        for (const char* text : cases) {
            std::string t = text;
            if (separator == ',')
                for (char& c : t)
                    c = c == '.' ? ',' : c == ',' ? '.' : c;
            double expected = -7, got = -7;
            const bool expectedOk = TryStrToFloat(t, expected, separator);
            const bool gotOk = TryReadValueText(t, got, separator);
            EXPECT_EQ(expectedOk, gotOk) << t;
            if (expectedOk && gotOk) {
                EXPECT_TRUE(SameDouble(expected, got)) << t << " " << expected << " " << got;
            }
        }
    }
}

TEST(ValueTextTest, RandomTextsReadAsTheRunTimeReadsThem) {
    std::mt19937 random(12345);
    const std::string alphabet = "0123456789999000.-+e ";
    for (int n = 0; n < 20000; ++n) {
        std::string text;
        const int length = static_cast<int>(random() % 24);
        for (int i = 0; i < length; ++i)
            text += i < 2 || random() % 4 ? alphabet[random() % 12] : alphabet[random() % 21];
        double expected = -7, got = -7;
        const bool expectedOk = TryStrToFloat(text, expected, '.');
        ASSERT_EQ(expectedOk, TryReadValueText(text, got, '.')) << text;
        if (expectedOk) {
            ASSERT_TRUE(SameDouble(expected, got)) << text;
        }
    }
}

TEST_F(DatabuffTest, ChannelLabel) {
    TdataProva test;
    test.ChannelNames.Add("Speed");
    test.ChannelNames.Add("Torque");
    test.ChannelNames.Add("Extra");
    test.Units.Add("rpm");
    test.Units.Add("");
    EXPECT_EQ(test.GetChannelLabel(0), "Speed[rpm]");
    EXPECT_EQ(test.GetChannelLabel(1), "Torque[]");
    EXPECT_EQ(test.GetChannelLabel(2), "???"); // beyond the units
    EXPECT_EQ(test.GetChannelLabel(3), "???"); // beyond both
    EXPECT_EQ(test.GetChannelLabel(-1), "???");
}

TEST_F(DatabuffTest, OtherSeparatorRepairsTheVectorAndIsLearnt) {
    Tdatavector v;
    Fill(v, {"1,5", "2,5"});
    EXPECT_EQ(v.GetFloat(0), 1.5);
    EXPECT_EQ(DocDecimalSeparator.load(), ',');
    EXPECT_EQ(Texts(v), (std::vector<std::string>{"1.5", "2.5"}));
    EXPECT_EQ(v.GetFloat(1), 2.5);

    // With ',' as the current separator the repair goes the other way.
    FormatSettings().DecimalSeparator = ',';
    Tdatavector w;
    Fill(w, {"7", "0.25"});
    EXPECT_EQ(w.GetFloat(1), 0.25);
    EXPECT_EQ(DocDecimalSeparator.load(), '.');
    EXPECT_EQ(w.GetText(1), "0,25");
}

TEST_F(DatabuffTest, TextThatIsNoNumberReadsZeroAndLeavesTheSeparator) {
    Tdatavector v;
    Fill(v, {"abc", "1,2,3", ""});
    EXPECT_EQ(v.GetFloat(0), 0.0);
    EXPECT_EQ(v.GetFloat(2), 0.0);
    EXPECT_EQ(DocDecimalSeparator.load(), '.');
    // Holds the other separator, so it is repaired, but still reads 0.
    EXPECT_EQ(v.GetFloat(1), 0.0);
    EXPECT_EQ(DocDecimalSeparator.load(), ',');
    EXPECT_EQ(v.GetText(1), "1.2.3");
}

TEST_F(DatabuffTest, IndexOfNearest) {
    Tdatavector v;
    EXPECT_EQ(v.IndexOfNearest(3), 0);
    Fill(v, {"1", "3", "3"});
    EXPECT_EQ(v.IndexOfNearest(3), 1);
    EXPECT_EQ(v.IndexOfNearest(1.9), 0);
    EXPECT_EQ(v.IndexOfNearest(2), 0); // equal distance: the first
    EXPECT_EQ(v.IndexOfNearest(100), 1);
}

TEST_F(DatabuffTest, CachesWidenAndRecompute) {
    Tdatavector v;
    v.AddText("5"); // the first value sets both
    EXPECT_EQ(v.Max(), 5);
    EXPECT_EQ(v.Min(), 5);
    v.AddText("x");
    v.AddText("7");
    v.AddText("6");
    EXPECT_EQ(v.Max(), 7);
    EXPECT_EQ(v.Min(), 5);
    v.SetText(3, "-2");
    EXPECT_EQ(v.Min(), -2);
    v.SetText(3, "zz"); // stored, caches stay
    EXPECT_EQ(v.GetText(3), "zz");
    EXPECT_EQ(v.Min(), -2);
    v.SetFloat(1, 1.0 / 3);
    EXPECT_EQ(v.GetText(1), "0.333333333333333");
    v.SetFloat(1, 9.5);
    EXPECT_EQ(v.Max(), 9.5);
    v.AddTextRaw("100"); // raw: untouched
    EXPECT_EQ(v.Max(), 9.5);

    // "x" and "zz" are no numbers: the recompute gives 0.
    v.RecomputeMinMax();
    EXPECT_EQ(v.Max(), 0);
    EXPECT_EQ(v.Min(), 0);
    v.SetText(1, "4");
    v.SetText(3, "4");
    v.RecomputeMinMax();
    EXPECT_EQ(v.Max(), 100);
    EXPECT_EQ(v.Min(), 4);
    v.SetCount(0);
    v.RecomputeMinMax();
    EXPECT_EQ(v.Max(), 0);
    EXPECT_EQ(v.Min(), 0);

    // AddText on a vector emptied by SetCount starts the caches afresh.
    v.SetMax(50);
    v.AddText("8");
    EXPECT_EQ(v.Max(), 8);
}

TEST_F(DatabuffTest, SetCountAndRewritesKeepEveryText) {
    Tdatavector v;
    Fill(v, {"a", "bb"});
    v.SetCount(-3);
    EXPECT_EQ(v.Count(), 0);
    v.SetCount(3);
    EXPECT_EQ(Texts(v), (std::vector<std::string>{"0", "0", "0"}));
    v.SetText(1, "long text");
    v.SetCount(2);
    EXPECT_EQ(Texts(v), (std::vector<std::string>{"0", "long text"}));

    // Many rewrites of growing and shrinking texts, so the storage is reused and packed.
    std::vector<std::string> expected(300);
    v.SetCount(300);
    for (int round = 0; round < 40; ++round) {
        for (int i = 0; i < 300; ++i) {
            expected[i] = std::string(static_cast<size_t>((i * 7 + round * 13) % 40),
                                      static_cast<char>('a' + i % 26));
            v.SetText(i, expected[i]);
        }
        v.SetText(round, v.TextView(299 - round)); // a text taken from the vector itself
        expected[round] = expected[299 - round];
    }
    EXPECT_EQ(Texts(v), expected);
    EXPECT_LT(v.MemoryUsage(), 64u * 1024);
}

TEST_F(DatabuffTest, TextsOfEveryLengthSurviveRewritesAndRepairs) {
    // Lengths around the one-byte limit of a text's length, and lengths whose byte equals a
    // separator (44 ',' and 46 '.').
    std::vector<std::string> texts;
    for (size_t length : {0, 1, 44, 46, 254, 255, 256, 300, 70000})
        texts.push_back(std::string(length, ','));
    texts[1] = "7";
    Tdatavector v;
    Fill(v, texts);
    EXPECT_EQ(Texts(v), texts);

    // Shorter and longer texts in place of each, one taken from the vector itself.
    std::vector<std::string> expected = texts;
    const size_t rewritten[] = {3, 260, 0, 255, 254, 1, 100000, 46, 44};
    for (size_t i = 0; i < texts.size(); ++i) {
        expected[i] = std::string(rewritten[i], static_cast<char>('a' + i));
        v.SetText(static_cast<int>(i), expected[i]);
    }
    v.SetText(0, v.TextView(4));
    expected[0] = expected[4];
    EXPECT_EQ(Texts(v), expected);

    // The stored separator exchanged in the texts only.
    Tdatavector separators;
    const std::vector<std::string> stored = {std::string(44, ','), "1,5", std::string(46, ','),
                                             std::string(300, ',')};
    Fill(separators, stored);
    DocDecimalSeparator = ',';
    separators.ConvertDecimalSeparator();
    for (size_t i = 0; i < stored.size(); ++i) {
        std::string repaired = stored[i];
        std::replace(repaired.begin(), repaired.end(), ',', '.');
        EXPECT_EQ(separators.GetText(static_cast<int>(i)), repaired);
    }
    EXPECT_EQ(separators.GetFloat(1), 1.5);

    // The in-memory copy form keeps long texts whole (the stored form cuts them to 255).
    TMemoryStream stream;
    v.WriteToStream(stream);
    stream.SetPosition(0);
    Tdatavector copy;
    copy.ReadFromStream(stream);
    std::vector<std::string> cut = expected;
    for (std::string& t : cut)
        t.resize(std::min<size_t>(t.size(), 255));
    EXPECT_EQ(Texts(copy), cut);
}

TEST_F(DatabuffTest, ReservedRoomIsGivenBackWithoutLosingText) {
    Tdatavector v;
    v.Reserve(1'000'000, 10'000'000);
    EXPECT_GT(v.MemoryUsage(), 10'000'000u);
    Fill(v, {"1.5", "", std::string(400, 'x'), "-2"});
    v.ShrinkToFit();
    EXPECT_LT(v.MemoryUsage(), 4096u);
    EXPECT_EQ(Texts(v), (std::vector<std::string>{"1.5", "", std::string(400, 'x'), "-2"}));
    v.AddText("3");
    EXPECT_EQ(v.GetText(4), "3");
}

TEST_F(DatabuffTest, OutOfRangeRaisesListErrorNamingTheIndex) {
    TDatabuffer buffer;
    EXPECT_EQ(MessageOf([&] { buffer.GetChannelMax(0); }), "List index out of bounds (0)");
    double lo = 1, hi = 2;
    EXPECT_EQ(MessageOf([&] { buffer.GetRangeMinMax(lo, hi, 0, 1, true, "a", ""); }),
              "List index out of bounds (0)");
    TdataProva& test = buffer.AddProva(3);
    Fill(test.GetChannel(0), {"1", "2"});
    EXPECT_EQ(MessageOf([&] { buffer.GetProva(1); }), "List index out of bounds (1)");
    EXPECT_EQ(MessageOf([&] { test.GetChannel(3); }), "List index out of bounds (3)");
    EXPECT_EQ(MessageOf([&] { test.GetText(0, 2); }), "List index out of bounds (2)");
    EXPECT_EQ(MessageOf([&] { test.GetChannel(0).SetText(-1, "x"); }),
              "List index out of bounds (-1)");
    EXPECT_EQ(MessageOf([&] { test.GetChannel(0).GetFloat(5); }), "List index out of bounds (5)");
    EXPECT_EQ(MessageOf([&] { test.SetSortChannel(4); }), "List index out of bounds (4)");
    EXPECT_EQ(test.SortChannel(), -1);
}

// A test of 3 channels (4 vectors) with a row number per row, in acquisition order.
void MakeSortable(TdataProva& test) {
    test.AddChannels(4);
    Fill(test.GetChannel(0), {"3", "1.5", "2", "-4", "1.5", "x"});
    Fill(test.GetChannel(1), {"a", "b", "c", "d", "e", "f"});
    Fill(test.GetChannel(2), {"30", "10", "20", "40", "11", "0"});
    for (int i = 0; i < 6; ++i)
        test.RowIndex.AddTextRaw(std::to_string(i));
}

TEST_F(DatabuffTest, SortingByAChannelAndBackRestoresEveryText) {
    TdataProva test;
    MakeSortable(test);
    const auto channel1 = Texts(test.GetChannel(1));
    const auto channel2 = Texts(test.GetChannel(2));
    const auto channel0 = Texts(test.GetChannel(0));

    test.SetSortChannel(0);
    EXPECT_EQ(test.SortChannel(), 0);
    EXPECT_EQ(Texts(test.GetChannel(0)),
              (std::vector<std::string>{"-4", "x", "1.5", "1.5", "2", "3"}));
    // Rows stay together: each row's letter and number follow its value.
    const auto letters = Texts(test.GetChannel(1));
    const auto numbers = Texts(test.GetChannel(2));
    for (int j = 0; j < 6; ++j) {
        const int acquired = std::stoi(test.RowIndex.GetText(j));
        EXPECT_EQ(test.GetText(0, j), channel0[acquired]);
        EXPECT_EQ(letters[j], channel1[acquired]);
        EXPECT_EQ(numbers[j], channel2[acquired]);
    }

    // Straight on to another channel: rows must still stay together.
    test.SetSortChannel(2);
    EXPECT_EQ(Texts(test.GetChannel(2)),
              (std::vector<std::string>{"0", "10", "11", "20", "30", "40"}));
    EXPECT_EQ(Texts(test.GetChannel(1)), (std::vector<std::string>{"f", "b", "e", "c", "a", "d"}));

    test.SetSortChannel(-1);
    EXPECT_EQ(test.SortChannel(), -1);
    EXPECT_EQ(Texts(test.GetChannel(0)), channel0);
    EXPECT_EQ(Texts(test.GetChannel(1)), channel1);
    EXPECT_EQ(Texts(test.GetChannel(2)), channel2);
    EXPECT_EQ(Texts(test.RowIndex), (std::vector<std::string>{"0", "1", "2", "3", "4", "5"}));
}

TEST_F(DatabuffTest, SortLeavesAShorterChannelAloneAndRebuildsAMissingRowIndex) {
    TdataProva test;
    test.AddChannels(3);
    Fill(test.GetChannel(0), {"3", "1", "2"});
    Fill(test.GetChannel(1), {"c", "a"}); // a short line left this channel shorter
    test.SetSortChannel(0);
    EXPECT_EQ(Texts(test.RowIndex), (std::vector<std::string>{"1", "2", "0"}));
    EXPECT_EQ(Texts(test.GetChannel(1)), (std::vector<std::string>{"c", "a"}));
    test.SetSortChannel(-1);
    EXPECT_EQ(Texts(test.GetChannel(0)), (std::vector<std::string>{"3", "1", "2"}));

    // A row index that is no permutation would mix rows: refused, nothing moves.
    test.SetSortChannel(0);
    test.RowIndex.SetText(0, "2");
    EXPECT_THROW(test.SetSortChannel(-1), EListError);
    EXPECT_EQ(test.SortChannel(), 0);
    EXPECT_EQ(Texts(test.GetChannel(0)), (std::vector<std::string>{"1", "2", "3"}));
}

TEST_F(DatabuffTest, SortingBackWithAnotherStoredSeparatorExchangesIt) {
    FormatSettings().DecimalSeparator = ',';
    DocDecimalSeparator = '.';
    TdataProva test;
    test.AddChannels(3);
    Fill(test.GetChannel(0), {"2", "1"});
    Fill(test.GetChannel(1), {"0.5", "x.y"});
    test.SetSortChannel(0);
    EXPECT_EQ(Texts(test.GetChannel(1)), (std::vector<std::string>{"x,y", "0,5"}));
    EXPECT_EQ(test.GetChannel(1).Max(), 0.5);
}

TEST_F(DatabuffTest, BufferSortsEveryTestOrNoneAtAll) {
    TDatabuffer buffer;
    MakeSortable(buffer.AddProva(0));
    TdataProva& small = buffer.AddProva(2);
    Fill(small.GetChannel(0), {"9", "8"});
    EXPECT_THROW(buffer.SetSortChannel(2), EListError);
    EXPECT_FALSE(buffer.Sorted());
    EXPECT_EQ(buffer.GetText(0, 2, 0), "30");

    buffer.SetSortChannel(0);
    EXPECT_TRUE(buffer.Sorted());
    EXPECT_EQ(Texts(small.GetChannel(0)), (std::vector<std::string>{"8", "9"}));
    buffer.SetSortChannel(-1);
    EXPECT_FALSE(buffer.Sorted());
    EXPECT_EQ(Texts(small.GetChannel(0)), (std::vector<std::string>{"9", "8"}));
}

TEST_F(DatabuffTest, ChannelMaxAndMinFromTheCaches) {
    TDatabuffer buffer;
    TdataProva& first = buffer.AddProva(3);
    Fill(first.GetChannel(0), {"1", "5"});
    Fill(first.GetChannel(1), {"-1", "2"});
    TdataProva& second = buffer.AddProva(2); // lacks channel 1
    Fill(second.GetChannel(0), {"-3", "9"});
    buffer.UpdateMinMax();
    EXPECT_EQ(buffer.GetChannelMax(0), 9);
    EXPECT_EQ(buffer.GetChannelMin(0), -3);
    EXPECT_EQ(buffer.GetChannelMax(1), 2);
    EXPECT_EQ(buffer.GetChannelMin(1), -1);
    EXPECT_EQ(buffer.GetChannelMax(2), 100.0); // not below ChannelCount of test 0
    EXPECT_EQ(buffer.GetChannelMin(2), 0.0);
}

TEST_F(DatabuffTest, RangeMinMaxWhereAnotherChannelIsNear) {
    TDatabuffer buffer;
    TdataProva& a = buffer.AddProva(3);
    Fill(a.GetChannel(0), {"10", "20", "30", "40"});
    Fill(a.GetChannel(1), {"1", "2", "2.5", "1"});
    TdataProva& b = buffer.AddProva(3);
    Fill(b.GetChannel(0), {"5", "50", "7"});
    Fill(b.GetChannel(1), {"1", "3"}); // shorter: row 2 cannot match
    buffer.UpdateMinMax();

    struct Case {
        bool textMode;
        const char* center;
        const char* tolerance;
        double min, max;
    };
    const Case cases[] = {
        {false, "1", "0", 5, 40},    // exact match only
        {false, "2", "0.5", 20, 30}, // inclusive tolerance
        {false, "9", "1", -1, -2},   // no match: caller's values stay
        {true, "1", "", 5, 40},      // text mode
        {true, "2.5", "99", 30, 30}, // text mode ignores the tolerance
        {false, "abc", "1", 5, 40},  // no number: centre 0, tolerance 1 matches "1"
        {true, "3", "", 50, 50},
    };
    for (const Case& c : cases) {
        double lo = -1, hi = -2;
        buffer.GetRangeMinMax(lo, hi, 0, 1, c.textMode, c.center, c.tolerance);
        EXPECT_EQ(lo, c.min) << c.center;
        EXPECT_EQ(hi, c.max) << c.center;
    }
    double lo = 0, hi = 0;
    buffer.GetRangeMinMax(lo, hi, 0, -1, false, "", "");
    EXPECT_EQ(lo, 5);
    EXPECT_EQ(hi, 50);
}

TEST_F(DatabuffTest, DistinctValuesAndKeyedRows) {
    TdataProva test;
    test.AddChannels(4);
    Fill(test.GetChannel(0), {"1", "2", "3", "4", "5", "6"});
    Fill(test.GetChannel(1), {"A", "a", "A", "B", "A", "C"});
    Fill(test.GetChannel(2), {"x", "y", "z"});

    TStringList list;
    list.Add("old");
    test.GetDistinctValues(list, false, 1);
    EXPECT_EQ(list.CommaText(), "A,a,B,C");
    test.GetDistinctValues(list, true, 1);
    EXPECT_EQ(list.Count(), 0);

    TdataProva copy;
    test.CopyRowsWithKey(copy, "A");
    EXPECT_EQ(copy.VectorCount(), 3);
    EXPECT_EQ(Texts(copy.GetChannel(0)), (std::vector<std::string>{"1", "3", "5"}));
    EXPECT_EQ(Texts(copy.GetChannel(2)), (std::vector<std::string>{"x", "z", "0"}));

    EXPECT_EQ(test.IndexOfNearestWithKey(0, 1, "C", 0), 5);
    EXPECT_EQ(test.IndexOfNearestWithKey(0, 1, "A", 4), 2); // 3 and 5 tie: the first
    EXPECT_EQ(test.IndexOfNearestWithKey(0, 1, "A", 4.5), 4);
    EXPECT_EQ(test.IndexOfNearestWithKey(0, 1, "none", 4), 0);
}

TEST_F(DatabuffTest, FormARoundTripsEveryText) {
    TdataProva test;
    test.AddChannels(2);
    Fill(test.GetChannel(0), {"", "1.25", "text with end!"});
    test.GetChannel(1).AddText("5");
    TMemoryStream stream;
    test.WriteChannelsToStream(stream);
    EXPECT_EQ(HexBytes(stream.Bytes()),
              HexBytes(FromHex("02000000 03000000 00000000 04000000 312E3235"
                               "0E000000 74657874207769746820656E6421"
                               "01000000 01000000 35")));
    stream.SetPosition(0);
    TdataProva copy;
    copy.ReadChannelsFromStream(stream);
    ASSERT_EQ(copy.VectorCount(), 2);
    EXPECT_EQ(Texts(copy.GetChannel(0)), Texts(test.GetChannel(0)));
    EXPECT_EQ(copy.GetChannel(1).Max(), 0); // caches untouched
}

// Two tests of different channel counts, the first with an empty last vector.
void MakeBuffer(TDatabuffer& buffer) {
    buffer.FileNames.Add("a.txt");
    buffer.LabelTable.Add("P\xA7"
                          "bar");
    TdataProva& first = buffer.AddProva(3);
    first.FileName = "t1";
    first.ChannelNames.Add("X");
    first.ChannelNames.Add("Y");
    first.Units.Add("s");
    first.Units.Add("m");
    first.HeaderCells.Add("1,1#H");
    Fill(first.GetChannel(0), {"1", "2.5"});
    Fill(first.GetChannel(1), {"-3", "x"});
    TdataProva& second = buffer.AddProva(2);
    second.ChannelNames.Add("Z");
    second.Units.Add("V");
    Fill(second.GetChannel(0), {"7"});
}

const char* const kBufferHex = "07 56657220312E30"      // "Ver 1.0"
                               "01000000 05 612E747874" // file names
                               "01000000 05 50A7626172" // label table
                               "02000000"               // tests
                               "02 7431"
                               "02000000 0158 0159"
                               "02000000 0173 016D"
                               "01000000 05 312C312348"
                               "03000000"
                               "02000000 0131 03322E35"
                               "02000000 022D33 0178"
                               "00000000"
                               "00"
                               "01000000 015A"
                               "01000000 0156"
                               "00000000"
                               "02000000"
                               "01000000 0137"
                               "00000000";

TEST_F(DatabuffTest, BufferStreamMatchesGoldenBytesAndReadsBack) {
    TDatabuffer buffer;
    MakeBuffer(buffer);
    TMemoryStream stream;
    buffer.SaveToStream(stream);
    EXPECT_EQ(HexBytes(stream.Bytes()), HexBytes(FromHex(kBufferHex)));

    TDatabuffer read;
    read.AddProva(5);
    read.LabelTable.Add("stale");
    stream.SetPosition(0);
    read.LoadFromStream(stream);
    EXPECT_EQ(stream.Remaining(), 0);
    ASSERT_EQ(read.ProvaCount(), 2);
    EXPECT_EQ(read.GetProva(0).FileName, "t1");
    EXPECT_EQ(read.GetProva(0).ChannelCount(), 2);
    EXPECT_EQ(read.GetProva(1).ChannelCount(), 1);
    EXPECT_EQ(read.GetProva(0).GetChannelLabel(1), "Y[m]");
    EXPECT_EQ(read.LabelTable, buffer.LabelTable);
    EXPECT_EQ(read.GetProva(0).GetChannel(0).Max(), 2.5); // widened while reading
    TMemoryStream again;
    read.SaveToStream(again);
    EXPECT_EQ(again.Bytes(), stream.Bytes());
}

TEST_F(DatabuffTest, StoredCommaIsExchangedOnReading) {
    DocDecimalSeparator = ',';
    TMemoryStream stream(FromHex("07 56657220312E30 00000000 00000000 01000000"
                                 "00 00000000 00000000 00000000 01000000"
                                 "02000000 03312C35 022D32"));
    TDatabuffer buffer;
    buffer.LoadFromStream(stream);
    const Tdatavector& v = buffer.GetProva(0).GetChannel(0);
    EXPECT_EQ(Texts(v), (std::vector<std::string>{"1.5", "-2"}));
    EXPECT_EQ(v.Max(), 1.5);
    EXPECT_EQ(v.Min(), -2);
}

TEST_F(DatabuffTest, ShortOrHostileStreamKeepsOnlyWhatWasReadWhole) {
    const std::string bytes = FromHex(kBufferHex);
    // Cut inside the second test: the first stays, nothing of the second.
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        TDatabuffer buffer;
        TMemoryStream stream(bytes.substr(0, cut));
        EXPECT_THROW(buffer.LoadFromStream(stream), EReadError) << cut;
        EXPECT_LE(buffer.ProvaCount(), 1);
        if (buffer.ProvaCount() == 1) {
            EXPECT_EQ(Texts(buffer.GetProva(0).GetChannel(1)),
                      (std::vector<std::string>{"-3", "x"}));
        }
    }

    // A huge count is refused before anything is allocated; a negative one reads as 0.
    TDatabuffer buffer;
    MakeBuffer(buffer);
    TMemoryStream huge(FromHex("07 56657220312E30 FFFFFF7F"));
    EXPECT_THROW(buffer.LoadFromStream(huge), EReadError);
    EXPECT_EQ(buffer.ProvaCount(), 2);
    EXPECT_EQ(buffer.FileNames.Count(), 1);
    TMemoryStream negative(FromHex("07 56657220312E30 FFFFFFFF 00000000 F6FFFFFF"));
    buffer.LoadFromStream(negative);
    EXPECT_EQ(buffer.FileNames.Count(), 0);
    EXPECT_EQ(buffer.ProvaCount(), 0);

    Tdatavector v;
    Fill(v, {"keep"});
    TMemoryStream longText(FromHex("01000000 10000000 4142"));
    EXPECT_THROW(v.ReadFromStream(longText), EReadError);
    EXPECT_EQ(Texts(v), (std::vector<std::string>{"keep"}));
}

TEST_F(DatabuffTest, CopiesGoThroughTheStoredForm) {
    DocDecimalSeparator = ',';
    Tdatavector source;
    Fill(source, {"1,5", "4"});
    Tdatavector copy;
    copy.Assign(source);
    EXPECT_EQ(Texts(copy), (std::vector<std::string>{"1.5", "4"}));
    EXPECT_EQ(copy.Min(), 1.5);
    EXPECT_EQ(copy.Max(), 4);

    DocDecimalSeparator = '.';
    TDatabuffer buffer;
    MakeBuffer(buffer);
    TdataProva test;
    test.Assign(buffer.GetProva(0));
    EXPECT_EQ(test.HeaderCells[0], "1,1#H");
    EXPECT_EQ(Texts(test.GetChannel(1)), (std::vector<std::string>{"-3", "x"}));

    TDatabuffer::AppendVector(copy, copy);
    EXPECT_EQ(Texts(copy), (std::vector<std::string>{"1.5", "4", "1.5", "4"}));
}

} // namespace
} // namespace vx
