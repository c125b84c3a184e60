#pragma once

#include <string_view>

namespace vx {

// The program's version as the About and splash windows and the main window's caption show it.
inline constexpr std::string_view VersionText = "1.5.711";

} // namespace vx
