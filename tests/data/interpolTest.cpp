#include "data/interpol.h"
#include "data/prExpr.h"
#include "data/prExprMath.h"

#include "platform/runtime/FormatSettings.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

using namespace vx;

namespace {

class InterpolTest : public testing::Test {
protected:
    void SetUp() override {
        FormatSettings().DecimalSeparator = '.';
        PublishFormatSettings();
    }
    test::ScopedFormatSettings saved_;
    test::TempDir dir_;
};

TEST_F(InterpolTest, InterpolatesAndExtrapolatesAlongTheEndSegments) {
    const std::string file = dir_.File("t.txt");
    test::WriteFile(file, "0\t0\r\n10\t100\r\n20\t150\r\n");
    const TInterpolVect table(file, '.');
    ASSERT_EQ(table.Points().size(), 3u);
    const double cases[][2] = {{5, 50},   {0, 0},    {10, 100}, {15, 125},
                               {20, 150}, {25, 175}, {-5, -50}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(table.Eval(c[0]), c[1]) << c[0];
}

TEST_F(InterpolTest, PassesOverLinesWithoutTwoNumbers) {
    const std::string file = dir_.File("t.txt");
    test::WriteFile(file, "x\ty\n1,5\t3\n\n0\t0\nno tab\n2.5\t5\t7\n1\t2\n");
    const TInterpolVect table(file, '.');
    ASSERT_EQ(table.Points().size(), 2u); // "2.5\t5\t7": y "5\t7" is not a number
    EXPECT_DOUBLE_EQ(table.Eval(0.5), 1);
}

TEST_F(InterpolTest, ReadsWithTheGivenSeparator) {
    const std::string file = dir_.File("t.txt");
    test::WriteFile(file, "0,5\t1\n1,5\t3\n");
    EXPECT_DOUBLE_EQ(TInterpolVect(file, ',').Eval(1), 2);
    EXPECT_TRUE(TInterpolVect(file, '.').Points().empty());
}

TEST_F(InterpolTest, TablesWithFewerThanTwoPointsGiveZero) {
    const std::string file = dir_.File("one.txt");
    test::WriteFile(file, "3\t7\n");
    EXPECT_EQ(TInterpolVect(file, '.').Eval(3), 0);
    EXPECT_EQ(TInterpolVect(dir_.File("missing.txt"), '.').Eval(3), 0);
}

TEST_F(InterpolTest, KeepsFileOrder) {
    // Not sorted: the segment that ends at the first point above x.
    const TInterpolVect table("", {{0, 0}, {10, 10}, {5, 100}, {20, 200}});
    EXPECT_DOUBLE_EQ(table.Eval(4), 4);
    EXPECT_DOUBLE_EQ(table.Eval(12), 100 + (12 - 5) * 100 / 15.0); // (5, 100)-(20, 200)
}

TEST_F(InterpolTest, RepeatedXAtAnEndGivesAHorizontalLine) {
    const TInterpolVect table("", {{0, 1}, {0, 2}, {10, 3}, {10, 4}});
    EXPECT_EQ(table.Eval(-5), 1);
    EXPECT_EQ(table.Eval(5), 2.5);
    EXPECT_EQ(table.Eval(15), 4);
    EXPECT_FALSE(std::isnan(table.Eval(0)));
}

TEST_F(InterpolTest, CacheReadsATableOnceAndLooksForMissingFilesAgain) {
    TInterpolBuff buff;
    const std::string file = dir_.File("later.txt");
    EXPECT_EQ(buff.Lookup(file, 5), 0);
    EXPECT_EQ(buff.Count(), 0);
    test::WriteFile(file, "0\t0\n10\t100\n");
    EXPECT_DOUBLE_EQ(buff.Lookup(file, 5), 50);
    test::WriteFile(file, "0\t0\n10\t1000\n");
    EXPECT_DOUBLE_EQ(buff.Lookup(file, 5), 50);
    EXPECT_EQ(buff.Count(), 1);
}

TEST_F(InterpolTest, CacheKeysAreCaseSensitive) {
    TInterpolBuff buff;
    test::WriteFile(dir_.File("a.txt"), "0\t0\n1\t1\n");
    test::WriteFile(dir_.File("A.txt"), "0\t0\n1\t2\n");
    EXPECT_DOUBLE_EQ(buff.Lookup(dir_.File("a.txt"), 1), 1);
    EXPECT_DOUBLE_EQ(buff.Lookup(dir_.File("A.txt"), 1), 2);
    EXPECT_EQ(buff.Count(), 2);
}

TEST_F(InterpolTest, CacheFindsAFileWhoseNameDiffersInCase) {
    TInterpolBuff buff;
    test::WriteFile(dir_.File("Table.TXT"), "0\t0\n1\t3\n");
    EXPECT_DOUBLE_EQ(buff.Lookup(dir_.File("table.txt"), 1), 3);
    EXPECT_EQ(buff.Lookup(dir_.Path(), 1), 0); // a folder is no table
}

TEST_F(InterpolTest, CacheIsSafeFromSeveralThreads) {
    TInterpolBuff buff;
    for (int f = 0; f < 4; ++f)
        test::WriteFile(dir_.File("t" + std::to_string(f)),
                        "0\t0\n10\t" + std::to_string(10 * (f + 1)) + "\n");
    std::vector<std::thread> threads;
    std::vector<int> wrong(8, 0);
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) {
                const int f = (t + i) % 4;
                if (buff.Lookup(dir_.File("t" + std::to_string(f)), 1) != f + 1)
                    ++wrong[t];
            }
        });
    }
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(buff.Count(), 4);
    for (int w : wrong)
        EXPECT_EQ(w, 0);
}

TEST_F(InterpolTest, TablesAreReadWithThePublishedSeparator) {
    const std::string file = dir_.File("comma.txt");
    test::WriteFile(file, "0,5\t5\n1,5\t15\n");
    FormatSettings().DecimalSeparator = ',';
    {
        // Not yet published: the table is read with '.', holds no point and gives 0.
        TInterpolBuff buff;
        EXPECT_EQ(buff.Lookup(file, 1), 0);
    }
    PublishFormatSettings();
    TInterpolBuff buff;
    EXPECT_DOUBLE_EQ(buff.Lookup(file, 1), 10);
}

TEST_F(InterpolTest, LookupsOnOtherThreadsWhileTheSettingsChange) {
    // One side changes and publishes the separator as the GUI thread does, the others read
    // tables meanwhile; each table reads whole with one separator or the other.
    const std::string file = dir_.File("comma.txt");
    test::WriteFile(file, "0,5\t5\n1,5\t15\n");
    std::atomic<bool> done{false};
    std::vector<std::thread> readers;
    std::vector<int> wrong(4, 0);
    for (int t = 0; t < 4; ++t) {
        readers.emplace_back([&, t] {
            for (int i = 0; i < 300; ++i) {
                TInterpolBuff buff;
                const double v = buff.Lookup(file, 1);
                if (v != 0 && v != 10)
                    ++wrong[static_cast<size_t>(t)];
            }
        });
    }
    std::thread settings([&] {
        for (int i = 0; !done; ++i) {
            FormatSettings().DecimalSeparator = i % 2 ? ',' : '.';
            PublishFormatSettings();
        }
    });
    for (auto& r : readers)
        r.join();
    done = true;
    settings.join();
    for (int w : wrong)
        EXPECT_EQ(w, 0);
}

TEST_F(InterpolTest, IntlUsesTheProgramWideCache) {
    const std::string file = dir_.File("intl.txt");
    test::WriteFile(file, "0\t0\n10\t100\n");
    EXPECT_DOUBLE_EQ(LookupInterpolationTable(file, 3), 30);
    EXPECT_DOUBLE_EQ(InterpolBuff().Lookup(file, 4), 40);

    IValueRef value;
    CreateExpression("INTL(2.5, '" + file + "') + INTL(1, 'no such table')", value, {});
    EXPECT_DOUBLE_EQ(value->AsFloat(), 25);
}

} // namespace
