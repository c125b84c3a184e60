#include "document/DocumentFiles.h"

#include "platform/runtime/Streams.h"
#include "report/WPGraph.h"

namespace vx {

void SaveGraphFile(const std::string& fileName, const TWPGraph& graph) {
    SaveFileAtomically(fileName, [&](TStream& stream) { graph.SaveToStream(stream); });
}

void LoadGraphFile(const std::string& fileName, TWPGraph& graph) {
    ReadFileChecked(fileName, [&](TStream& stream) { graph.LoadFromStream(stream); });
}

} // namespace vx
