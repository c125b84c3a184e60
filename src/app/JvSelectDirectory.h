#pragma once

// Picks a folder through the program's folder dialog.

#include "platform/runtime/Component.h"

#include <string>

namespace vx {

enum TSelectDirOpt : unsigned {
    sdAllowCreate = 0x1,
    sdPerformCreate = 0x2,
    sdPrompt = 0x4,
};
using TSelectDirOpts = unsigned;

class TJvSelectDirectory : public TComponent {
public:
    explicit TJvSelectDirectory(TComponent* owner = nullptr);

    std::string Directory;
    std::string InitialDir;
    std::string Title;
    int HelpContext = 0;
    // The classic dialog and the shell's browser are one folder dialog here; both are kept so
    // that callers set what they always set.
    bool ClassicDialog = true;
    TSelectDirOpts Options = sdAllowCreate | sdPerformCreate | sdPrompt;

    // Starts at InitialDir; true when a folder was chosen, which is then in Directory.
    bool Execute();
};

} // namespace vx
