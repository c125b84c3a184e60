#pragma once

// The texts of the global string table for code that lies below the localisation layer.
// Start-up binds the lookup to the table; until then the built-in texts of the messages that
// can appear before it are given.

#include <functional>
#include <string>
#include <string_view>

namespace vx {

using GlobalTextLookup = std::function<std::string(std::string_view id)>;

// The text of an identifier such as "IDS_18"; empty when it has none.
std::string GlobalText(std::string_view id);

// An empty lookup goes back to the built-in texts.
void SetGlobalTextLookup(GlobalTextLookup lookup);

} // namespace vx
