#include "app/TcpJobs.h"

namespace vx {

void InstallTcpServer(TMainExtensions& extensions) {
    (void)extensions;
}

} // namespace vx
