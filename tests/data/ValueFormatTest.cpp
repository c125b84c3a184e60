#include "data/ValueFormat.h"

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/FormatSettings.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace vx;

namespace {

class ValueFormatTest : public testing::Test {
protected:
    void SetUp() override {
        FormatSettings().DecimalSeparator = '.';
        FormatSettings().DateSeparator = '/';
        FormatSettings().TimeSeparator = ':';
    }
    test::ScopedFormatSettings saved_;
};

struct MaskCase {
    double value;
    const char* mask;
    const char* expected;
};

TEST_F(ValueFormatTest, FormatsByMask) {
    const MaskCase cases[] = {
        {2.5, "0.00", "2.50"},
        {1234.5, "#,##0.00", "1234.50"},
        {2.5, "0", "3"},
        {-2.5, "#", "-3"},
        {12.345, "0.00", "12.35"},
        {1.25, "0.0#", "1.3"},
        {1.25, "0.  00", "1.25"}, // blanks behind the point are trimmed first
        {1.25, "0.#0", "1"},
        {7, "", "7"},
        {2.6, "HH:NN", "3"}, // capitals: a number mask
        {3661, "[hh]:nn:ss", "01:01:01"},
        {90061, "[hh]:nn:ss", "01:01:01"}, // a day and more shows the time of day
        {0, "dd/mm/yyyy", "30/12/1899"},
        {36526.5, "yyyy/mm/dd hh:nn", "2000/01/01 12:00"},
    };
    for (const MaskCase& c : cases)
        EXPECT_EQ(FormatValueByMask(c.value, c.mask), c.expected) << c.value << " " << c.mask;
}

TEST_F(ValueFormatTest, UsesTheDecimalAndDateSeparators) {
    FormatSettings().DecimalSeparator = ',';
    FormatSettings().DateSeparator = '.';
    FormatSettings().TimeSeparator = '.';
    EXPECT_EQ(FormatValueByMask(1234.5, "#,##0.00"), "1234,50");
    EXPECT_EQ(FormatValueByMask(0, "dd/mm/yyyy"), "30.12.1899");
    EXPECT_EQ(FormatValueByMask(3661, "[hh]:nn:ss"), "01.01.01");
}

TEST_F(ValueFormatTest, KindIsDecidedByLowerCaseLetters) {
    EXPECT_EQ(MaskKind("0.00"), TMaskKind::Number);
    EXPECT_EQ(MaskKind("HH:NN:SS"), TMaskKind::Number);
    EXPECT_EQ(MaskKind("[h]:nn"), TMaskKind::ElapsedTime);
    EXPECT_EQ(MaskKind("dd/mm/yy"), TMaskKind::DateTime);
    EXPECT_EQ(MaskKind("0.0 z"), TMaskKind::DateTime);
}

TEST_F(ValueFormatTest, TextIsCutAt255Characters) {
    EXPECT_EQ(FormatValueByMask(1e300, "0").size(), 255u);
}

TEST_F(ValueFormatTest, DateMaskOutsideTheCalendarRaises) {
    EXPECT_THROW(FormatValueByMask(1e300, "dd/mm/yyyy"), EConvertError);
}

TEST_F(ValueFormatTest, FormatsText) {
    EXPECT_EQ(FormatValueText("1,5", "0.0"), "1.5");
    EXPECT_EQ(FormatValueText("1.5", "0.0"), "1.5");
    EXPECT_EQ(FormatValueText("abc", "0.00"), "0.00");
    EXPECT_EQ(FormatValueText("xyz", "Stringa"), "xyz");
    EXPECT_EQ(FormatValueText("", "0"), "0");
    EXPECT_EQ(FormatValueText("31/12/1899", "yyyy-mm-dd"), "1899-12-31");
    EXPECT_EQ(FormatValueText("99/99/9999", "0.0"), "0.0"); // a date that does not convert
}

TEST_F(ValueFormatTest, FormatsTextWithCommaSeparator) {
    FormatSettings().DecimalSeparator = ',';
    FormatSettings().DateSeparator = '-';
    EXPECT_EQ(FormatValueText("1.5", "0.00"), "1,50");
    EXPECT_EQ(FormatValueText("1,5", "0.00"), "1,50");
}

TEST_F(ValueFormatTest, TextThatCannotBeShownComesBackAsItIs) {
    EXPECT_EQ(FormatValueText("1e300", "yyyy"), "1e300");
}

} // namespace
