#!/usr/bin/env bash
# Installs what is missing, makes a release build and starts Vornix on the demo base folder:
# ./run.sh [FILE] opens FILE, else the demo document.
set -euo pipefail
cd "$(dirname "$0")"
. tools/deps.sh
vx_ensure_packages

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVX_BUILD_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)" --target vornix MakeDemo

# The demo runs from a copy, so that the program's writes never touch the source tree.
tools/demo.sh build/bin build/demo
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found: running without windows (QT_QPA_PLATFORM=offscreen)."
  export QT_QPA_PLATFORM=offscreen
fi
# Qt wants a private runtime folder; a session without one gets its own.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  XDG_RUNTIME_DIR="$(mktemp -d "${TMPDIR:-/tmp}/vornix-runtime.XXXXXX")"
  chmod 700 "$XDG_RUNTIME_DIR"
  export XDG_RUNTIME_DIR
fi
exec build/demo/bin/vornix "${1:-build/demo/Prove/Demo.VRX}"
