#pragma once

// The demo's settings, projects and document below a base folder that already holds the two
// bench tests in "Prove": what a new user would otherwise set up by hand.

#include <string>

namespace vx {

// base ends in '/'. Raises the writers' errors when a file cannot be written.
void MakeDemo(const std::string& base);

} // namespace vx
