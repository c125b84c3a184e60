// The graph stream read into a graph, as a page reads its graph: a refused stream leaves the
// graph writing what it wrote before.

#include "FuzzSupport.h"

#include "data/Databuff.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"
#include "report/WPGraph.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    vx::fuzz::Init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vx::TDatabuffer buffer;
    vx::TWPGraph graph(nullptr, &buffer);
    vx::TMemoryStream stream{std::string(vx::fuzz::Bytes(data, size))};
    vx::fuzz::RefusalKeeps([&](vx::TStream& s) { graph.SaveToStream(s); },
                           [&] { graph.LoadFromStream(stream); });
    return 0;
}
