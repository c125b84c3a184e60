#!/usr/bin/env bash
# Lays out a demo base folder: tools/demo.sh <folder with vornix and MakeDemo> <target folder>.
# The target is replaced by a copy of samples/ with the demo's settings, project and document
# written by MakeDemo, and the program in its "bin" folder.
set -euo pipefail
bin="$1"
target="$2"
root="$(cd "$(dirname "$0")/.." && pwd)"
rm -rf "$target"
cp -r "$root/samples" "$target"
mkdir -p "$target/bin"
"$bin/MakeDemo" "$target" >/dev/null
cp "$bin/vornix" "$target/bin/vornix"
