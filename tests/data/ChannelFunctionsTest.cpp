#include "data/ChannelFunctions.h"

#include "ChannelFixture.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>

using namespace vx;
using namespace vx::test;

namespace {

// Three channels; channel 1 ends after two rows. XChannel is 2.
class ChannelFunctionsTest : public testing::Test {
protected:
    ChannelFunctionsTest() {
        AddTests(buffer, {{{"3", "7", "9"}, {"1.5", "007"}, {"10", "20", "30"}},
                          {{"100", "200"}, {"x", "y"}, {"-1", "-2"}, {"a", "b"}}});
        buffer.XChannel = 2;
        FormatSettings().DecimalSeparator = '.';
    }

    IValueRef Compile(std::string_view text) {
        IValueRef value;
        CreateExpression(text, value, std::bind_front(ChannelIdentifierFunction, std::ref(buffer)));
        return value;
    }

    ScopedFormatSettings settings;
    TDatabuffer buffer;
};

TEST_F(ChannelFunctionsTest, ParametersAreCheckedAgainstTheCurrentTest) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"CHN(3)", "Invalid parameters to CHN"},        {"CHN(-2)", "Invalid parameters to CHN"},
        {"SCHN(-1)", "Invalid parameters to SCHN"},     {"SCHN(3)", "Invalid parameters to SCHN"},
        {"CHN(1, 2)", "Invalid parameters to CHN"},     {"CHN", "Invalid parameters to CHN"},
        {"chn(1.0)", "Invalid parameters to CHN"},      {"SCHN('1')", "Invalid parameters to SCHN"},
        {"CHN(1 DIV 0)", "Division by zero"},           {"XCHN(1)", "Unknown Identifier XCHN"},
        {"CHN(2) + SCHN(0) + chn(-1) + CHN(TRUE)", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MessageOf([&] { Compile(c.text); }), c.message) << c.text;

    // The fourth channel exists only in the second test.
    EXPECT_EQ(MessageOf([&] { Compile("SCHN(3)"); }), "Invalid parameters to SCHN");
    buffer.CurrentTest = 1;
    EXPECT_EQ(MessageOf([&] { Compile("SCHN(3)"); }), "");
    buffer.CurrentTest = 2;
    EXPECT_THROW(Compile("CHN(0)"), EListError);
}

TEST_F(ChannelFunctionsTest, ReadsTheCurrentTestAndRow) {
    struct Case {
        int test, row;
        const char* text;
        const char* asString;
        double asFloat;
    };
    const Case cases[] = {
        {0, 1, "CHN(0)", "7", 7},
        {0, 1, "CHN(1)", "007", 7},
        {0, 0, "CHN(1)", "1.5", 1.5},
        {0, 2, "CHN(-1)", "30", 30},
        {1, 1, "CHN(-1)", "-2", -2},
        {0, 1, "CHN(TRUE)", "007", 7},
        {0, 1, "CHN(0) * 2", "14", 14},
        {0, 1, "CHN(0) > 5", "TRUE", 1},
        {1, 0, "SCHN(1) + SCHN(3)", "xa", 0},
    };
    for (const Case& c : cases) {
        buffer.CurrentTest = c.test;
        buffer.CurrentRow = c.row;
        IValueRef value = Compile(c.text);
        EXPECT_EQ(value->AsString(), c.asString) << c.text;
        if (value->ExprType() != TExprType::String) {
            EXPECT_EQ(value->AsFloat(), c.asFloat) << c.text;
        }
    }
}

TEST_F(ChannelFunctionsTest, TreeFollowsTheBufferAfterCompiling) {
    IValueRef value = Compile("CHN(0) + CHN(-1)");
    EXPECT_EQ(value->AsFloat(), 13);
    buffer.CurrentRow = 2;
    EXPECT_EQ(value->AsFloat(), 39);
    buffer.XChannel = 0;
    EXPECT_EQ(value->AsFloat(), 18);
    buffer.CurrentTest = 1;
    buffer.CurrentRow = 1;
    EXPECT_EQ(value->AsFloat(), 400);
}

TEST_F(ChannelFunctionsTest, SchnIsStringAndDoesNotReadAsFloat) {
    buffer.CurrentRow = 1;
    IValueRef value = Compile("SCHN(0)");
    EXPECT_EQ(value->ExprType(), TExprType::String);
    EXPECT_EQ(value->AsString(), "7");
    EXPECT_EQ(MessageOf([&] { value->AsFloat(); }), "Cannot read String as Float");
}

TEST_F(ChannelFunctionsTest, ChnBeyondTheChannelsEndIsString) {
    buffer.CurrentRow = 1;
    EXPECT_EQ(Compile("CHN(1)")->ExprType(), TExprType::Float);
    EXPECT_EQ(MessageOf([&] { Compile("CHN(1) * 2 > 1"); }), "");

    buffer.CurrentRow = 2;
    IValueRef value = Compile("CHN(1)");
    EXPECT_EQ(value->ExprType(), TExprType::String);
    EXPECT_THROW(value->AsString(), EListError);
    EXPECT_THROW(value->AsFloat(), EListError);
    // The type is asked by the node above, here while compiling.
    EXPECT_EQ(MessageOf([&] { Compile("CHN(1) * 2 > 1"); }),
              "Operator opMult incompatible with String");

    // An XChannel that does not exist reads nothing either.
    buffer.XChannel = 7;
    EXPECT_EQ(Compile("CHN(-1)")->ExprType(), TExprType::String);
}

TEST_F(ChannelFunctionsTest, OtherNamesAreLeftToTheLanguage) {
    TParameterList params;
    EXPECT_FALSE(ChannelIdentifierFunction(buffer, "CHNX", std::move(params)));
    EXPECT_FALSE(ChannelIdentifierFunction(buffer, "chn", TParameterList()));
}

TEST_F(ChannelFunctionsTest, ValidChannelExpressionCompilesWithoutEvaluating) {
    struct Case {
        const char* text;
        bool valid;
    };
    const Case cases[] = {
        {"CHN(", false},   {"'a' - 1", true}, {"CHN(0) > 5", true},       {"CHN(3)", false},
        {"", false},       {"1/0", true},     {"SCHN(0) * 2 > 1", false}, {"SCHN(0)", true},
        {"ABC(1)", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsValidChannelExpression(buffer, c.text), c.valid) << c.text;
    TDatabuffer empty;
    EXPECT_FALSE(IsValidChannelExpression(empty, "CHN(0)"));
    EXPECT_TRUE(IsValidChannelExpression(empty, "2 * 3"));
}

TEST_F(ChannelFunctionsTest, EvaluateReadsTheUsersSeparatorAndGivesZeroOnAnyError) {
    TDatabuffer twos;
    AddTests(twos, {{{"2"}, {"abc"}}});
    struct Case {
        char separator;
        const char* text;
        double value;
    };
    const Case cases[] = {
        {',', "CHN(0)*1,5", 3.0},
        {',', "2,5", 2.5},
        // The separator goes everywhere, so two parameters become one number.
        {',', "MAX(1,5)", 1.5},
        {',', "", 0},
        {',', "CHN(", 0},
        {',', "1/0", 0},
        {',', "SCHN(1)", 0},
        {',', "CHN(1)", 0},
        {',', "CHN(0) > 1", 1},
        {'.', "CHN(0)*1.5", 3.0},
        {'.', "MAX(1,5)", 5},
        {'.', "CHN(0)*1,5", 0},
    };
    for (const Case& c : cases) {
        FormatSettings().DecimalSeparator = c.separator;
        EXPECT_EQ(EvaluateChannelExpression(twos, c.text), c.value)
            << c.text << " with " << c.separator;
    }
    TDatabuffer empty;
    EXPECT_EQ(EvaluateChannelExpression(empty, "CHN(0)"), 0);
}

} // namespace
