#pragma once

#include <string_view>

class QObject;

namespace vx {

class TmlLang;

// The translation table of a window, "mlLang1": owned by the window, read from the table the
// program carries under `name` (the window's class) and linked to the program's dispatcher
// when there is one, so that the window shows the current language at once and follows every
// switch. Raises Exception when the program carries no such table.
TmlLang* CreateFormTable(QObject* form, std::string_view name);

} // namespace vx
