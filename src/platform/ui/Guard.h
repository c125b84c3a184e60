#pragma once

#include <functional>

namespace vx {

// Runs an event handler so that no exception crosses the Qt event loop: a failure is shown in
// an error box with its message, as the class library's application did. Returns false when
// the handler raised.
bool Guard(const std::function<void()>& handler);

} // namespace vx
