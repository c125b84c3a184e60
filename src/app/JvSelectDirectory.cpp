#include "app/JvSelectDirectory.h"

#include "platform/runtime/UiServices.h"

namespace vx {

TJvSelectDirectory::TJvSelectDirectory(TComponent* owner) : TComponent(owner) {}

bool TJvSelectDirectory::Execute() {
    Directory = InitialDir;
    const std::string chosen = Ui().SelectDirectory(Title, Directory);
    if (chosen.empty())
        return false;
    Directory = chosen;
    return true;
}

} // namespace vx
