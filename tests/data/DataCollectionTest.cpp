#include "data/DataCollection.h"

#include "ChannelFixture.h"
#include "data/ChannelFunctions.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <typeinfo>

using namespace vx;
using namespace vx::test;

namespace {

using Texts = std::vector<std::string>;

TestRows SectionTest(const TDataCollection& collection, int section, int test) {
    return Rows(collection.GetSection(section).GetProva(test));
}

TEST(DataCollectionTest, FilterKeepsTheRowsWhereTheExpressionIsNotZero) {
    TDatabuffer buffer;
    AddTests(buffer,
             {{{"3", "7", "9"}, {"a", "b", "c"}, {"x", "y", "z"}}, {{"6", "1"}, {"p", "q"}}});
    buffer.GetProva(0).ChannelNames.Add("Speed");
    buffer.GetProva(0).FileName = "t1.txt";

    const TDataCollection collection(buffer, {"CHN(0) > 5", -1, 0});
    ASSERT_EQ(collection.SectionCount(), 1);
    ASSERT_EQ(collection.GetSection(0).ProvaCount(), 2);
    EXPECT_EQ(SectionTest(collection, 0, 0), (TestRows{{"7", "9"}, {"b", "c"}, {"y", "z"}, {}}));
    EXPECT_EQ(SectionTest(collection, 0, 1), (TestRows{{"6"}, {"p"}, {}}));
    const TdataProva& copy = collection.GetSection(0).GetProva(0);
    EXPECT_EQ(copy.ChannelNames.Count(), 0);
    EXPECT_EQ(copy.FileName, "");
    // Left at the last row filtered.
    EXPECT_EQ(buffer.CurrentTest, 1);
    EXPECT_EQ(buffer.CurrentRow, 1);
    // The source is untouched.
    EXPECT_EQ(Rows(buffer.GetProva(0))[0], (Texts{"3", "7", "9"}));
}

TEST(DataCollectionTest, EmptyFilterCopiesTheTestsWhole) {
    TDatabuffer buffer;
    AddTests(buffer, {{{"3", "7"}, {"a", "b"}}});
    TdataProva& test = buffer.GetProva(0);
    test.ChannelNames.Add("Speed");
    test.Units.Add("rpm");
    test.HeaderCells.Add("1,1#Bench");
    test.FileName = "prova.txt";
    buffer.CurrentTest = 5;
    buffer.CurrentRow = 6;

    const TDataCollection collection(buffer, {});
    ASSERT_EQ(collection.SectionCount(), 1);
    const TdataProva& copy = collection.GetSection(0).GetProva(0);
    EXPECT_EQ(Rows(copy), Rows(test));
    EXPECT_EQ(copy.GetChannelLabel(0), "Speed[rpm]");
    EXPECT_EQ(copy.HeaderCells.Strings(0), "1,1#Bench");
    EXPECT_EQ(copy.FileName, "prova.txt");
    EXPECT_EQ(buffer.CurrentTest, 5);
    EXPECT_EQ(buffer.CurrentRow, 6);
}

TEST(DataCollectionTest, FilterNeverTrueGivesEmptyChannels) {
    TDatabuffer buffer;
    AddTests(buffer, {{{"3", "7", "9"}, {"a", "b", "c"}}, {}});
    const TDataCollection collection(buffer, {"CHN(0) > 100", -1, 0});
    EXPECT_EQ(SectionTest(collection, 0, 0), (TestRows{{}, {}, {}}));
    EXPECT_EQ(SectionTest(collection, 0, 1), (TestRows{{}}));
}

TEST(DataCollectionTest, ChannelEndingEarlyStaysShorterInTheCopy) {
    TDatabuffer buffer;
    AddTests(buffer, {{{"1", "2", "3"}, {"a", "b"}, {"x"}}});
    const TDataCollection collection(buffer, {"CHN(0) <> 2", -1, 0});
    EXPECT_EQ(SectionTest(collection, 0, 0), (TestRows{{"1", "3"}, {"a"}, {"x"}, {}}));
}

TEST(DataCollectionTest, EmptyBufferGivesOneEmptySection) {
    TDatabuffer buffer;
    const TDataCollection collection(buffer, {"CHN(0) > 5", -1, 0});
    ASSERT_EQ(collection.SectionCount(), 1);
    EXPECT_EQ(collection.GetSection(0).ProvaCount(), 0);
    EXPECT_THROW(collection.GetSection(1), EListError);
    EXPECT_THROW(collection.GetSection(0).GetProva(0), EListError);
}

TEST(DataCollectionTest, ErrorsOfTheExpressionAreRaised) {
    struct Case {
        const char* text;
        const char* message;
        int row; // CurrentRow when it was raised
    };
    const Case cases[] = {
        {"CHN(3) > 1", "Invalid parameters to CHN", 0},
        {"CHN(", "Unexpected end of factor", 0},
        {"10 / CHN(0) > 1", "Floating point division by zero", 1},
        {"CHN(1) > 1", "List index out of bounds (2)", 2},
        {"CHN(1) * 2 > 1", "Operator opMult incompatible with String", 2},
        {"SCHN(2) + 1 = SCHN(2) OR TRUE", "Operator opOr incompatible with String", 0},
    };
    for (const Case& c : cases) {
        TDatabuffer buffer;
        AddTests(buffer, {{{"5", "0", "7"}, {"1", "2"}, {"a", "b", "c"}}});
        EXPECT_EQ(MessageOf([&] {
                      TDataCollection(buffer, {c.text, -1, 0});
                  }),
                  c.message)
            << c.text;
        EXPECT_EQ(buffer.CurrentRow, c.row) << c.text;
    }
}

TEST(DataCollectionTest, GroupingGivesOneSectionPerKeyInTheOrderFirstMet) {
    TDatabuffer buffer;
    AddTests(buffer, {{{"1", "2", "3", "4", "5"}, {"b", "a", "b", "c", "a"}},
                      {{"6", "7", "8"}, {"d", "a", "d"}}});
    const TDataCollection collection(buffer, {"", 1, 0});
    ASSERT_EQ(collection.SectionCount(), 4);
    const TestRows expected[4][2] = {
        {{{"1", "3"}, {"b", "b"}, {}}, {{}, {}, {}}},
        {{{"2", "5"}, {"a", "a"}, {}}, {{"7"}, {"a"}, {}}},
        {{{"4"}, {"c"}, {}}, {{}, {}, {}}},
        {{{}, {}, {}}, {{"6", "8"}, {"d", "d"}, {}}},
    };
    for (int s = 0; s < 4; ++s) {
        ASSERT_EQ(collection.GetSection(s).ProvaCount(), 2);
        for (int t = 0; t < 2; ++t)
            EXPECT_EQ(SectionTest(collection, s, t), expected[s][t]) << s << "/" << t;
    }
}

TEST(DataCollectionTest, GroupingTakesTheFilteredRows) {
    TDatabuffer buffer;
    AddTests(buffer, {{{"1", "2", "3", "4"}, {"b", "a", "b", "a"}}});
    buffer.GetProva(0).ChannelNames.Add("n");
    const TDataCollection filtered(buffer, {"CHN(0) > 1", 1, 0});
    ASSERT_EQ(filtered.SectionCount(), 2);
    EXPECT_EQ(SectionTest(filtered, 0, 0), (TestRows{{"2", "4"}, {"a", "a"}, {}}));
    EXPECT_EQ(SectionTest(filtered, 1, 0), (TestRows{{"3"}, {"b"}, {}}));
    EXPECT_EQ(filtered.GetSection(0).GetProva(0).ChannelNames.Count(), 0);

    // Unfiltered sections keep the names of the whole copy.
    const TDataCollection whole(buffer, {"", 0, 0});
    ASSERT_EQ(whole.SectionCount(), 4);
    EXPECT_EQ(whole.GetSection(3).GetProva(0).ChannelNames.Strings(0), "n");
}

// Grouping without a filter takes the rows of whole copies, so the texts are those that a copy
// through the stored form gives: the stored separator exchanged, short strings cut at 255.
TEST(DataCollectionTest, GroupingTakesTheTextsThatACopyGives) {
    ScopedFormatSettings settings;
    FormatSettings().DecimalSeparator = '.';
    const char savedSeparator = DocDecimalSeparator;
    const std::string longText(300, 'x');
    struct Case {
        char stored;
        std::string text, name;
        std::string expectedText, expectedName;
    };
    const Case cases[] = {
        {'.', "1,5", "Speed", "1,5", "Speed"},
        {',', "1,5", "Speed", "1.5", "Speed"},
        {'.', longText, "Speed", longText.substr(0, 255), "Speed"},
        {'.', "2", longText, "2", longText.substr(0, 255)},
    };
    for (const Case& c : cases) {
        DocDecimalSeparator = c.stored;
        TDatabuffer buffer;
        AddTests(buffer, {{{c.text, "3"}, {"k", "k"}}});
        TdataProva& test = buffer.GetProva(0);
        test.ChannelNames.Add(c.name);
        test.Units.Add("rpm");
        test.FileName = "prova.txt";

        const TDataCollection collection(buffer, {"", 1, 0});
        ASSERT_EQ(collection.SectionCount(), 1);
        const TdataProva& grouped = collection.GetSection(0).GetProva(0);
        EXPECT_EQ(Rows(grouped), (TestRows{{c.expectedText, "3"}, {"k", "k"}, {}})) << c.text;
        EXPECT_EQ(grouped.ChannelNames.Strings(0), c.expectedName);
        EXPECT_EQ(grouped.Units.Strings(0), "rpm");
        EXPECT_EQ(grouped.FileName, "prova.txt");
        // The source is never changed.
        EXPECT_EQ(test.GetText(0, 0), c.text);
    }
    DocDecimalSeparator = savedSeparator;
}

TEST(DataCollectionTest, GroupingKeepsShortChannelsShort) {
    TDatabuffer buffer;
    AddTests(buffer, {{{"1", "2", "3", "4"}, {"x", "y"}, {"a", "a", "b", "a"}}});
    const TDataCollection collection(buffer, {"", 2, 0});
    ASSERT_EQ(collection.SectionCount(), 2);
    EXPECT_EQ(SectionTest(collection, 0, 0),
              (TestRows{{"1", "2", "4"}, {"x", "y"}, {"a", "a", "a"}, {}}));
    EXPECT_EQ(SectionTest(collection, 1, 0), (TestRows{{"3"}, {}, {"b"}, {}}));
}

TEST(DataCollectionTest, RowsWithoutAKeyBelongToNoSection) {
    TDatabuffer buffer;
    AddTests(buffer, {{{"1", "2", "3"}, {"k"}}, {{"4"}}});
    const TDataCollection collection(buffer, {"", 1, 0});
    ASSERT_EQ(collection.SectionCount(), 1);
    EXPECT_EQ(SectionTest(collection, 0, 0), (TestRows{{"1"}, {"k"}, {}}));
    EXPECT_EQ(SectionTest(collection, 0, 1), (TestRows{{}, {}}));

    const TDataCollection beyond(buffer, {"", 9, 0});
    EXPECT_EQ(beyond.SectionCount(), 0);
}

TEST(DataCollectionTest, OtherGroupingModesGiveNoSections) {
    TDatabuffer buffer;
    AddTests(buffer, {{{"1", "2"}, {"a", "b"}}});
    EXPECT_EQ(TDataCollection(buffer, {"", 1, 1}).SectionCount(), 0);
    EXPECT_EQ(TDataCollection(buffer, {"CHN(0) > 0", 0, 2}).SectionCount(), 0);
}

// What filtering gives when the expression is compiled afresh at every row: the rows kept,
// or the exception raised and the row and test at which it was raised.
struct TOutcome {
    std::vector<TestRows> tests;
    std::string error;
    std::string errorType;
    int currentTest = 0;
    int currentRow = 0;

    bool operator==(const TOutcome&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TOutcome& o) {
    out << o.errorType << " '" << o.error << "' at " << o.currentTest << "/" << o.currentRow;
    for (const TestRows& test : o.tests) {
        out << " |";
        for (const Texts& channel : test)
            out << " " << channel.size();
    }
    return out;
}

template <class TAction>
TOutcome Outcome(TDatabuffer& buffer, TAction action) {
    TOutcome outcome;
    try {
        outcome.tests = action();
    } catch (const Exception& e) {
        outcome.error = e.Message;
        outcome.errorType = typeid(e).name();
    }
    outcome.currentTest = buffer.CurrentTest;
    outcome.currentRow = buffer.CurrentRow;
    return outcome;
}

std::vector<TestRows> FilterEveryRowCompiled(TDatabuffer& buffer, const std::string& text) {
    std::vector<TestRows> result;
    for (int i = 0; i < buffer.ProvaCount(); ++i) {
        TdataProva& source = buffer.GetProva(i);
        buffer.CurrentTest = i;
        TestRows kept(static_cast<size_t>(source.ChannelCount() + 1));
        for (int j = 0; j < source.GetChannel(0).Count(); ++j) {
            buffer.CurrentRow = j;
            IValueRef value;
            CreateExpression(text, value, ChannelIdentifiers(buffer));
            if (value->AsFloat() != 0)
                for (int c = 0; c < source.ChannelCount(); ++c)
                    if (j < source.GetChannel(c).Count())
                        kept[static_cast<size_t>(c)].push_back(source.GetText(c, j));
        }
        result.push_back(kept);
    }
    return result;
}

std::vector<TestRows> FilterWithCollection(TDatabuffer& buffer, const std::string& text) {
    const TDataCollection collection(buffer, {text, -1, 0});
    std::vector<TestRows> result;
    for (int i = 0; i < collection.GetSection(0).ProvaCount(); ++i)
        result.push_back(SectionTest(collection, 0, i));
    return result;
}

class FilterEquivalenceTest : public testing::TestWithParam<const char*> {};

// Channels of different lengths, so that CHN changes its type within a test; texts written
// with the other separator, so that reading repairs a channel midway; and texts that are not
// numbers.
TEST_P(FilterEquivalenceTest, SameRowsAndErrorsAsCompilingAtEveryRow) {
    ScopedFormatSettings settings;
    FormatSettings().DecimalSeparator = ',';
    const char savedSeparator = DocDecimalSeparator;
    auto makeBuffer = [](TDatabuffer& buffer) {
        AddTests(buffer,
                 {{{"3", "7", "9", "1", "8", "2", "6", "4"},
                   {"1", "2", "0", "2"},
                   {"5", "abc", "2.5", "-1", "0", "9,5"},
                   {"a", "b", "a", "c", "b", "a", "d", "a"}},
                  {{"0", "10", "20"}, {"1"}, {"x", "y", "z"}, {"a", "b", "a"}, {"5", "6", "7"}},
                  {{}, {"1"}, {"2"}, {"3"}}});
        buffer.XChannel = 2;
    };
    const std::string text = GetParam();
    TDatabuffer reference;
    makeBuffer(reference);
    DocDecimalSeparator = ',';
    const TOutcome expected =
        Outcome(reference, [&] { return FilterEveryRowCompiled(reference, text); });
    const char referenceSeparator = DocDecimalSeparator;
    TDatabuffer buffer;
    makeBuffer(buffer);
    DocDecimalSeparator = ',';
    const TOutcome actual = Outcome(buffer, [&] { return FilterWithCollection(buffer, text); });
    EXPECT_EQ(actual, expected) << text;
    EXPECT_EQ(DocDecimalSeparator, referenceSeparator) << text;
    DocDecimalSeparator = savedSeparator;
}

INSTANTIATE_TEST_SUITE_P(Expressions, FilterEquivalenceTest,
                         testing::Values("CHN(0) > 5", "(CHN(0) > 2) AND (CHN(0) < 9)",
                                         "CHN(1) > 1", "CHN(1) * 2 > 1", "CHN(-1) > 1",
                                         "CHN(2) <> 0", "SCHN(3) = 'a'", "SCHN(1) = '2'",
                                         "IF(CHN(0) > 100, STRING(CHN(1)), SCHN(0)) = '9'",
                                         "IF(CHN(0) > 100, CHN(1), CHN(0)) > 2",
                                         "LENGTH(STRING(CHN(1))) > 0",
                                         "CHN(TRUNC(CHN(0)) MOD 3) > 2", "CHN(TRUNC(CHN(0))) > 100",
                                         "CHN(LENGTH(SCHN(3)) - 1) > 2", "CHN(TRUNC(RND)) > 5",
                                         "CHN(0) > 5 + 0 * CHN(2)", "CHN(3)", "SCHN(0)", "1", "0",
                                         "CHN(0) / (CHN(0) - 8) > 0", "CHN(1 + 0) >= CHN(0)"));

} // namespace
