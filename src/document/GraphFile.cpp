// In a unit of its own: the graph's header and the page's both declare the sizing cursor.

#include "document/DocumentFiles.h"

#include "platform/runtime/Streams.h"
#include "report/WPGraph.h"

namespace vx {

TWPGraph* AsGraph(TMetaobj* object) {
    return dynamic_cast<TWPGraph*>(object);
}

void SaveGraphFile(const std::string& fileName, const TWPGraph& graph) {
    SaveFileAtomically(fileName, [&](TStream& stream) { graph.SaveToStream(stream); });
}

void LoadGraphFile(const std::string& fileName, TWPGraph& graph) {
    ReadFileChecked(fileName, [&](TStream& stream) {
        // A graph reads into itself as it goes, so a trial graph takes the bytes first.
        TWPGraph trial(nullptr, graph.Data());
        trial.LoadFromStream(stream);
        stream.SetPosition(0);
        graph.LoadFromStream(stream);
    });
}

} // namespace vx
