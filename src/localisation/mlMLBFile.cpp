#include "localisation/mlMLBFile.h"

namespace vx {

bool TMLBFileManager::ReadTable(TmlCustomLang&, int) const {
    return false;
}

} // namespace vx
