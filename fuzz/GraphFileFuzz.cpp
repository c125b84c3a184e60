// The graph file read into a graph: a refused file leaves the graph writing what it wrote
// before, and says a place inside it.

#include "FuzzSupport.h"

#include "data/Databuff.h"
#include "document/DocumentFiles.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"
#include "report/WPGraph.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    vx::fuzz::Init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = vx::fuzz::WriteTemp("g.CGF", vx::fuzz::Bytes(data, size));
    vx::TDatabuffer buffer;
    vx::TWPGraph graph(nullptr, &buffer);
    vx::fuzz::RefusalKeeps<vx::EDocumentFile>(
        [&](vx::TStream& s) { graph.SaveToStream(s); },
        [&] {
            try {
                vx::LoadGraphFile(path, graph);
            } catch (const vx::EDocumentFile& e) {
                VX_FUZZ_CHECK(e.Offset >= 0 && e.Offset <= static_cast<int64_t>(size));
                throw;
            }
        });
    return 0;
}
