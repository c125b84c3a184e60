#pragma once

#include <QIcon>

namespace vx {

// The program's pictures on buttons and menus: a freedesktop name is looked up in the breeze
// theme wherever the program runs, so that it looks the same on every desktop; a name that
// starts with ":/" is one of our own pictures. The first call also gives the application the
// program's icon, which every window without one of its own carries.
QIcon ToolIcon(const char* name);
// Sets up the icon theme and the program's icon; ToolIcon calls it, main calls it early.
void InstallIcons();

} // namespace vx
