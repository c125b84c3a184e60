#include "report/EditorHooks.h"

namespace vx {

namespace {
TEditorHooks defaultHooks;
TEditorHooks* installedHooks = nullptr;
} // namespace

TEditorHooks& EditorHooks() {
    return installedHooks ? *installedHooks : defaultHooks;
}

void SetEditorHooks(TEditorHooks* hooks) {
    installedHooks = hooks;
}

} // namespace vx
