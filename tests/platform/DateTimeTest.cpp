#include "platform/runtime/DateTime.h"
#include "platform/runtime/Exceptions.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(DateTime, EncodeDecodeAroundDayZero) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(2000, 3, 1), 36586.0);
    EXPECT_EQ(EncodeDate(1, 1, 1), -693593.0);
    EXPECT_THROW(EncodeDate(2001, 2, 29), EConvertError);
    int y, m, d;
    for (double day : {0.0, 2.0, 36586.0, -693593.0, 60.0, 2958465.0}) {
        DecodeDate(day, y, m, d);
        EXPECT_EQ(EncodeDate(y, m, d), day);
    }
    DecodeDate(-1.25, y, m, d);
    EXPECT_EQ(d, 29);
    int h, n, s, ms;
    DecodeTime(-1.25, h, n, s, ms);
    EXPECT_EQ(h, 6);
    DecodeTime(EncodeTime(23, 59, 59, 999), h, n, s, ms);
    EXPECT_EQ(h * 10000000 + n * 100000 + s * 1000 + ms, 235959999);
}

TEST(DateTime, FormatWithCurrentSeparators) {
    test::ScopedFormatSettings keep;
    FormatSettings().DateSeparator = '.';
    FormatSettings().TimeSeparator = ':';
    const TDateTime t = EncodeDate(2024, 2, 9) + EncodeTime(7, 5, 3, 42);
    struct Case {
        const char* fmt;
        const char* text;
    } cases[] = {
        {"dd/mm/yyyy", "09.02.2024"},   {"d/m/yy", "9.2.24"}, {"hh:nn:ss", "07:05:03"},
        {"h:n:s.zzz", "7:5:3.042"},     {"hh:mm", "07:05"},   {"mmm d", "Feb 9"},
        {"'at' hh", "at 07"},           {"h am/pm", "7 AM"},  {"dddd", "Friday"},
        {"yyyymmdd\"x\"", "20240209x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDateTime(c.fmt, t), c.text) << c.fmt;
    EXPECT_EQ(FormatDateTime("dd/mm/yyyy", 0), "30.12.1899");
}

TEST(DateTime, LenientParsing) {
    test::ScopedFormatSettings keep;
    FormatSettings().ShortDateFormat = "dd/mm/yyyy";
    TDateTime v;
    ASSERT_TRUE(TryStrToDateTime("9/2/2024 7:05", v));
    EXPECT_DOUBLE_EQ(v, EncodeDate(2024, 2, 9) + EncodeTime(7, 5, 0, 0));
    ASSERT_TRUE(TryStrToDateTime("09-02-24", v));
    EXPECT_EQ(v, EncodeDate(2024, 2, 9));
    ASSERT_TRUE(TryStrToDateTime("13:30:15", v));
    EXPECT_DOUBLE_EQ(v, EncodeTime(13, 30, 15, 0));
    ASSERT_TRUE(TryStrToDateTime("1:30 PM", v));
    EXPECT_DOUBLE_EQ(v, EncodeTime(13, 30, 0, 0));
    for (const char* bad : {"", "x", "31/2/2024", "12", "9/2/2024 25:00", "1:2:3 zz"})
        EXPECT_FALSE(TryStrToDateTime(bad, v)) << bad;
    EXPECT_THROW(StrToDateTime("x"), EConvertError);
}

TEST(DateTime, ReplaceableClock) {
    SetClock([] { return 45000.75; });
    EXPECT_EQ(Now(), 45000.75);
    EXPECT_EQ(Date(), 45000.0);
    EXPECT_EQ(Time(), 0.75);
    SetClock(nullptr);
    EXPECT_GT(Now(), 45000.0);
}

} // namespace
} // namespace vx
