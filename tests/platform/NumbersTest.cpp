#include "platform/runtime/Numbers.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Format.h"

#include "support/TestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace vx {
namespace {

struct FloatCase {
    double value;
    char sep;
    const char* text;
};

TEST(FloatToStr, GeneralFormatWithFifteenDigits) {
    const FloatCase cases[] = {
        {1.0 / 3, '.', "0.333333333333333"},
        {8.0, '.', "8"},
        {1e20, '.', "1E20"},
        {1e15, '.', "1E15"},
        {123456789012345.0, '.', "123456789012345"},
        {1e-5, '.', "1E-5"},
        {0.0001, '.', "0.0001"},
        {123456789012345678.0, '.', "1.23456789012346E17"},
        {0.3, ',', "0,3"},
        {-2.5, '.', "-2.5"},
        {0.0, '.', "0"},
        {-1.5e-7, '.', "-1.5E-7"},
        {0.1 + 0.2, '.', "0.3"},
        {100.0, '.', "100"},
        {999999999999999.0, '.', "999999999999999"},
        {2.5e-300, '.', "2.5E-300"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToStr(c.value, c.sep), c.text) << c.text;
    EXPECT_EQ(FloatToStr(std::numeric_limits<double>::infinity(), '.'), "INF");
    EXPECT_EQ(FloatToStr(-std::numeric_limits<double>::infinity(), '.'), "-INF");
    EXPECT_EQ(FloatToStr(std::nan(""), '.'), "NAN");
}

TEST(FloatToStr, UsesTheProgramWideSeparator) {
    test::ScopedFormatSettings keep;
    FormatSettings().DecimalSeparator = ',';
    EXPECT_EQ(FloatToStr(0.3), "0,3");
}

TEST(TryStrToFloat, AcceptsOnlyTheRunTimeGrammar) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
        {" 1.5 ", true, 1.5},   {".5", true, 0.5},     {"5.", true, 5.0},   {"1e3", true, 1000},
        {"-2E-2", true, -0.02}, {"+7", true, 7},       {"1e-400", true, 0}, {"1,5", false, 0},
        {"", false, 0},         {"abc", false, 0},     {"1.5x", false, 0},  {"inf", false, 0},
        {"nan", false, 0},      {"1,000.5", false, 0}, {"$10", false, 0},   {"0x10", false, 0},
        {".", false, 0},        {"1e", false, 0},      {"1e400", false, 0}, {"- 1", false, 0},
        {"1 2", false, 0},
    };
    for (const auto& c : cases) {
        double v = -99;
        EXPECT_EQ(TryStrToFloat(c.text, v, '.'), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        } else
            EXPECT_EQ(v, -99) << "failure must not touch the value: " << c.text;
    }
    double v;
    EXPECT_TRUE(TryStrToFloat("1,5", v, ','));
    EXPECT_EQ(v, 1.5);
    EXPECT_FALSE(TryStrToFloat("1.5", v, ','));
}

TEST(StrToFloat, RaisesTheConversionMessage) {
    try {
        StrToFloat("x1");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'x1' is not a valid floating point value");
    }
}

TEST(StrToInt, DecimalAndHexWithinThirtyTwoBits) {
    struct Case {
        const char* text;
        bool ok;
        int32_t value;
    } cases[] = {
        {"$FF", true, 255},
        {" 12", true, 12},
        {"-12", true, -12},
        {"0x1f", true, 31},
        {"$FFFFFFFF", true, -1},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, INT32_MIN},
        {"12 ", false, 0},
        {"2147483648", false, 0},
        {"", false, 0},
        {"1.0", false, 0},
        {"$", false, 0},
        {"$1FFFFFFFF", false, 0},
        {"99999999999999999999", false, 0},
    };
    for (const auto& c : cases) {
        int32_t v = 0;
        EXPECT_EQ(TryStrToInt(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
    EXPECT_THROW(StrToInt("abc"), EConvertError);
    EXPECT_EQ(StrToIntDef("abc", 7), 7);
}

TEST(Rounding, HalvesToEvenAndTruncation) {
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(3.5), 4);
    EXPECT_EQ(Round(-2.5), -2);
    EXPECT_EQ(Round(2.6), 3);
    EXPECT_EQ(Trunc(-2.7), -2);
    EXPECT_EQ(Trunc(2.7), 2);
    EXPECT_THROW(Round(1e30), EMathError);
    EXPECT_THROW(Trunc(std::nan("")), EMathError);
}

TEST(MulDiv, SixtyFourBitProductHalvesToEven) {
    EXPECT_EQ(MulDiv(300, 3, 360), 2);
    EXPECT_EQ(MulDiv(600, 3, 360), 5);
    EXPECT_EQ(MulDiv(7, 1, 0), -1);
    EXPECT_EQ(MulDiv(420, 3, 360), 4); // 3.5 -> 4
    EXPECT_EQ(MulDiv(-300, 3, 360), -2);
    EXPECT_EQ(MulDiv(100000, 100000, 100000), 100000);
    EXPECT_EQ(MulDiv(INT32_MAX, 4, 2), -1); // result does not fit
    EXPECT_EQ(MulDiv(5, 1, 3), 2);
    EXPECT_EQ(MulDiv(-5, 1, 3), -2);
}

TEST(Format, ConversionsTheProgramUses) {
    test::ScopedFormatSettings keep;
    struct Case {
        const char* fmt;
        FormatArg arg;
        const char* text;
    } cases[] = {
        {"%0.1f", 2.25, "2.3"},      {"%0.2f", 12.345, "12.35"},
        {"%0.2f", 1.005, "1.01"},    {"%0.0f", 2.5, "3"},
        {"%0.0f", -2.5, "-3"},       {"%0.2f", 0.125, "0.13"},
        {"%f", 1.5, "1.50"},         {"%0.0d", 0, "0"},
        {"%d", -42, "-42"},          {"%5d", 42, "   42"},
        {"%-5d|", 42, "42   |"},     {"%.3d", 7, "007"},
        {"%s!", "ab", "ab!"},        {"%x", 255, "FF"},
        {"%.4x", 255, "00FF"},       {"%e", 1234.5, "1.23450000000000E+003"},
        {"%g", 0.5, "0.5"},          {"%n", 1234567.891, "1,234,567.89"},
        {"%0.3f", -0.0001, "0.000"}, {"%0.2f", 1e16, "10000000000000000.00"},
        {"%.1s", "xyz", "x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Format(c.fmt, {c.arg}), c.text) << c.fmt;
    EXPECT_EQ(Format("%d%%", {5}), "5%");
    EXPECT_EQ(Format("%1:s %0:s", {"a", "b"}), "b a");
    EXPECT_EQ(Format("%*d", {4, 1}), "   1");
    FormatSettings().DecimalSeparator = ',';
    EXPECT_EQ(Format("%0.2f", {10.0}), "10,00");
}

TEST(Format, MismatchRaises) {
    try {
        Format("%d", {1.5});
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "Format '%d' invalid or incompatible with argument");
    }
    EXPECT_THROW(Format("%s %s", {"a"}), EConvertError);
    EXPECT_THROW(Format("%q", {1}), EConvertError);
    EXPECT_THROW(Format("%", {1}), EConvertError);
}

} // namespace
} // namespace vx
