#!/usr/bin/env bash
# Installs what is missing, makes a release build and starts Vornix on the demo base folder:
# ./run.sh [FILE] opens FILE, else the demo document. The demo folder build/demo is laid out
# once and then kept as the user left it; tools/demo.sh --reset starts it over.
# VORNIX_BIN=<folder with vornix and MakeDemo> skips installing and building and takes those;
# VORNIX_DEMO=<folder> puts the demo there.
set -euo pipefail
cd "$(dirname "$0")"
bin="${VORNIX_BIN:-}"
demo="${VORNIX_DEMO:-build/demo}"
if [ -z "$bin" ]; then
  . tools/deps.sh
  vx_ensure_packages
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVX_BUILD_TESTS=OFF >/dev/null
  cmake --build build -j"$(nproc)" --target vornix MakeDemo
  bin=build/bin
fi

tools/demo.sh "$bin" "$demo"
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  export QT_QPA_PLATFORM=offscreen
fi
# Qt wants a private runtime folder; a session without one gets its own.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  XDG_RUNTIME_DIR="$(mktemp -d "${TMPDIR:-/tmp}/vornix-runtime.XXXXXX")"
  chmod 700 "$XDG_RUNTIME_DIR"
  export XDG_RUNTIME_DIR
fi
if [ "${QT_QPA_PLATFORM:-}" = offscreen ]; then
  echo "No display: Vornix runs without windows (QT_QPA_PLATFORM=offscreen)."
  settings="$demo/System/impostazioni.set"
  # The server switch is byte 10 of the settings, the port the i32 at byte 12.
  if [ "$(od -An -tu1 -j10 -N1 "$settings" | tr -d ' ')" != 0 ]; then
    echo "Its command server listens on 127.0.0.1, port $(od -An -tu4 -j12 -N4 "$settings" | tr -d ' ')."
  else
    echo "Its command server is switched off in the settings."
  fi
  echo "Press Ctrl+C to stop it."
fi
exec "$demo/bin/vornix" "${1:-$demo/Prove/Demo.VRX}"
