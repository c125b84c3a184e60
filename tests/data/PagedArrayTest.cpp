#include "data/PagedArray.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

namespace vx {
namespace {

constexpr size_t kMiB = size_t{1} << 20;

uint32_t Pattern(size_t i) {
    return static_cast<uint32_t>(i * 2654435761u);
}

void FillTo(TPagedArray<uint32_t>& a, size_t n) {
    for (size_t i = a.Size(); i < n; ++i)
        a.PushBack(Pattern(i));
}

::testing::AssertionResult Holds(const TPagedArray<uint32_t>& a, size_t n) {
    if (a.Size() != n)
        return ::testing::AssertionFailure() << "size " << a.Size() << ", expected " << n;
    for (size_t i = 0; i < n; ++i) {
        if (a[i] != Pattern(i))
            return ::testing::AssertionFailure() << "element " << i << " lost";
    }
    return ::testing::AssertionSuccess();
}

TEST(PagedArrayTest, GrowthKeepsEveryElementOnTheHeapAndInMappings) {
    // Sizes in bytes that cross from the heap into a mapping, and from a mapping advised in a
    // huge and a plain part into a larger one.
    struct Case {
        size_t reserveBytes; // 0: grown by appending alone
        size_t expectedBytes;
        size_t finalBytes;
    } const cases[] = {
        {0, 0, 8000},
        {0, 0, 300 * 1024},
        {0, 0, 9 * kMiB},
        {3 * kMiB, 3 * kMiB, 3 * kMiB},
        {3 * kMiB, 2 * kMiB + kMiB / 2, 7 * kMiB + 12},
        {5 * kMiB, kMiB, 5 * kMiB + 4},
        {512 * 1024, 512 * 1024, 6 * kMiB},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.reserveBytes << " " << c.finalBytes);
        TPagedArray<uint32_t> a;
        FillTo(a, 1000);
        if (c.reserveBytes > 0) {
            a.Reserve(c.reserveBytes / 4, c.expectedBytes / 4);
            EXPECT_GE(a.Capacity(), c.reserveBytes / 4);
        }
        FillTo(a, c.finalBytes / 4);
        EXPECT_TRUE(Holds(a, c.finalBytes / 4));
        a.ShrinkToFit();
        EXPECT_TRUE(Holds(a, c.finalBytes / 4));
        EXPECT_LT(a.Capacity() - a.Size(), 4096u);
        // Growing again after the tail was given back.
        FillTo(a, c.finalBytes / 4 + 5000);
        EXPECT_TRUE(Holds(a, c.finalBytes / 4 + 5000));
    }
}

TEST(PagedArrayTest, ExtendAppendTruncateAndMoves) {
    TPagedArray<char> bytes;
    bytes.Append("abc", 3);
    bytes.Append(nullptr, 0);
    char* const p = bytes.Extend(2);
    p[0] = 'd';
    p[1] = 'e';
    ASSERT_EQ(bytes.Size(), 5u);
    EXPECT_EQ(std::string(bytes.Data(), bytes.Size()), "abcde");
    bytes.Truncate(9);
    EXPECT_EQ(bytes.Size(), 5u);
    bytes.Truncate(2);
    EXPECT_EQ(std::string(bytes.Data(), bytes.Size()), "ab");

    TPagedArray<uint32_t> big;
    FillTo(big, 3 * kMiB / 4);
    TPagedArray<uint32_t> moved(std::move(big));
    EXPECT_EQ(big.Size(), 0u);
    EXPECT_TRUE(Holds(moved, 3 * kMiB / 4));
    TPagedArray<uint32_t> small;
    FillTo(small, 10);
    small = std::move(moved);
    EXPECT_TRUE(Holds(small, 3 * kMiB / 4));
    small.Clear();
    EXPECT_EQ(small.Size(), 0u);
    EXPECT_EQ(small.Capacity(), 0u);
    FillTo(small, 10);
    EXPECT_TRUE(Holds(small, 10));
    small.ShrinkToFit();
    small.Truncate(0);
    small.ShrinkToFit();
    EXPECT_EQ(small.Capacity(), 0u);
}

} // namespace
} // namespace vx
