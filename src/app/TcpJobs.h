#pragma once

// The command server of the main window: started and stopped through the main window's
// extensions, with the remote jobs its requests queue to the GUI thread.

#include "app/MainExtensions.h"

namespace vx {

// Fills StartTcpServer and StopTcpServer of the given set.
void InstallTcpServer(TMainExtensions& extensions);

} // namespace vx
