// The side stream of a graph (sections and their axes) read into a side that already holds
// sections: a refused stream leaves the side writing what it wrote before.

#include "FuzzSupport.h"

#include "data/Databuff.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"
#include "report/WPGraph.h"
#include "report/WPSection.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    vx::fuzz::Init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vx::TDatabuffer buffer;
    vx::TWPGraph graph(nullptr, &buffer);
    vx::TWPSide side(&graph);
    side.AddSections(2);
    side.GetSection(1)->AddAxes(1);
    vx::TMemoryStream stream{std::string(vx::fuzz::Bytes(data, size))};
    vx::fuzz::RefusalKeeps([&](vx::TStream& s) { side.WriteToStream(s); },
                           [&] { side.ReadFromStream(stream); });
    return 0;
}
