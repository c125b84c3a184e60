#pragma once

#include <exception>
#include <functional>
#include <string>

namespace vx {

// Runs an event handler so that no exception crosses the Qt event loop: a failure is shown in
// an error box with its message, as the class library's application did. Returns false when
// the handler raised.
bool Guard(const std::function<void()>& handler);

// How a caught error is worded for the user; by default its own message. The program installs
// one that speaks the user's language.
void SetGuardMessageText(std::function<std::string(const std::exception&)> text);

} // namespace vx
