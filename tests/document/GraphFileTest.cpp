// Apart from the page tests: the graph's header and the page's declare the same cursor.

#include "data/Databuff.h"
#include "document/DocumentFiles.h"
#include "platform/runtime/Streams.h"
#include "report/WPGraph.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace vx::test {

TEST(GraphFileTest, GraphFileIsTheGraphStream) {
    TempDir dir;
    TDatabuffer tests;
    TWPGraph graph(nullptr, &tests);
    graph.SetLeft(120);
    TMemoryStream stream;
    graph.SaveToStream(stream);
    SaveGraphFile(dir.File("g.CGF"), graph);
    const std::string bytes = ReadFile(dir.File("g.CGF"));
    EXPECT_EQ(HexBytes(bytes.substr(0, 13)), "54 50 46 30 08 54 57 50 47 72 61 70 68");
    EXPECT_EQ(bytes, stream.Bytes());

    TWPGraph other(nullptr, &tests);
    LoadGraphFile(dir.File("g.CGF"), other);
    TMemoryStream again;
    other.SaveToStream(again);
    EXPECT_EQ(HexBytes(again.Bytes()), HexBytes(bytes));

    // A truncated file leaves the graph as it was.
    TWPGraph untouched(nullptr, &tests);
    TMemoryStream before;
    untouched.SaveToStream(before);
    for (size_t n : {size_t{0}, size_t{4}, size_t{13}, bytes.size() / 2, bytes.size() - 1}) {
        WriteFile(dir.File("t.CGF"), bytes.substr(0, n));
        EXPECT_THROW(LoadGraphFile(dir.File("t.CGF"), untouched), EDocumentFile) << n;
        TMemoryStream after;
        untouched.SaveToStream(after);
        EXPECT_EQ(after.Bytes(), before.Bytes()) << n;
    }
}

} // namespace vx::test
