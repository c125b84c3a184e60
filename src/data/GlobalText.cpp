#include "data/GlobalText.h"

#include <utility>

namespace vx {

namespace {

GlobalTextLookup& Lookup() {
    static GlobalTextLookup lookup;
    return lookup;
}

std::string BuiltInText(std::string_view id) {
    if (id == "IDS_18")
        return "L'applicazione non risiede nella directory corretta";
    return {};
}

} // namespace

std::string GlobalText(std::string_view id) {
    const GlobalTextLookup& lookup = Lookup();
    return lookup ? lookup(id) : BuiltInText(id);
}

void SetGlobalTextLookup(GlobalTextLookup lookup) {
    Lookup() = std::move(lookup);
}

} // namespace vx
