// The "Asse" property of an axis (channels, marker, grid and spline records) read through
// the component stream into an axis of a graph that already has channels.

#include "ComponentFuzz.h"

#include "data/Databuff.h"
#include "report/Asse.h"
#include "report/WPGraph.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    vx::fuzz::Init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vx::TDatabuffer buffer;
    vx::TWPGraph graph(nullptr, &buffer);
    vx::TAsse& axis = graph.XAxis();
    axis.Channels().Add(1);
    axis.Channels().Add(3);
    vx::fuzz::ReadBinaryKeepingPart(data, size, axis, "TAsse", "Asse",
                                    [](const vx::TAsse& a, vx::TStream& s) { a.WriteAsse(s); });
    return 0;
}
