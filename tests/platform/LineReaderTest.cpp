#include "platform/runtime/LineReader.h"

#include "platform/runtime/Exceptions.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vx {
namespace {

std::vector<std::string> Lines(const std::string& file) {
    LineReader reader(file);
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.Next(line))
        lines.emplace_back(line);
    EXPECT_EQ(reader.Consumed(), reader.FileSize());
    return lines;
}

TEST(LineReaderTest, CrLfLfAndCrEachEndALineAndNoneOpensAfterTheLast) {
    struct Case {
        std::string bytes;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"a\r\nb\nc\rd\r\n", {"a", "b", "c", "d"}},
        {"", {}},
        {"x", {"x"}},
        {"x\r", {"x"}},
        {"\r\n\r\n", {"", ""}},
        {"\n\r", {"", ""}},
        {"a\n\rb", {"a", "", "b"}},
        {std::string("a\tb\x00\xFF\n", 6), {std::string("a\tb\x00\xFF", 5)}},
    };
    test::TempDir dir;
    for (const Case& c : cases) {
        test::WriteFile(dir.File("t.txt"), c.bytes);
        EXPECT_EQ(Lines(dir.File("t.txt")), c.lines) << test::HexBytes(c.bytes);
    }
}

TEST(LineReaderTest, LinesLongerThanAChunkAndACrLfSplitBetweenChunks) {
    constexpr size_t kChunk = size_t{1} << 20;
    test::TempDir dir;
    // The CR is the last byte of the first chunk, its LF the first of the next.
    const std::string first(kChunk - 1, 'a');
    const std::string longLine(3 * kChunk + 7, 'b');
    test::WriteFile(dir.File("t.txt"), first + "\r\n" + longLine + "\nz");
    const std::vector<std::string> lines = Lines(dir.File("t.txt"));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], first);
    EXPECT_EQ(lines[1], longLine);
    EXPECT_EQ(lines[2], "z");
}

TEST(LineReaderTest, AMissingFileRaises) {
    test::TempDir dir;
    EXPECT_THROW(LineReader(dir.File("none.txt")), EFOpenError);
}

} // namespace
} // namespace vx
