#!/usr/bin/env bash
# Lays out a demo base folder: tools/demo.sh [--reset] [BIN TARGET], by default build/bin and
# build/demo. BIN holds vornix and MakeDemo. The target is the user's: only what is missing
# (the files of samples/, the demo's settings, project and document written by MakeDemo) is
# laid out, every file already there is kept, and the program in TARGET/bin is replaced.
# --reset removes the target first, so the demo starts over.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
reset=no
if [ "${1:-}" = --reset ]; then
  reset=yes
  shift
fi
bin="${1:-$root/build/bin}"
target="${2:-$root/build/demo}"
[ -x "$bin/vornix" ] && [ -x "$bin/MakeDemo" ] || {
  echo "No vornix and MakeDemo in $bin: build them first (./run.sh does)." >&2
  exit 2
}
[ "$reset" = yes ] && rm -rf "$target"
mkdir -p "$target/bin"
# Sample files the user removed come back; those the user changed stay.
cp -r -n "$root/samples/." "$target/"
made=(System/impostazioni.set System/defcfg.set Configurazioni/Demo.CPF Prove/Demo.VRX)
missing=no
for f in "${made[@]}"; do
  [ -e "$target/$f" ] || missing=yes
done
if [ "$missing" = yes ]; then
  # MakeDemo writes all four; the ones the user has are put back afterwards.
  kept="$(mktemp -d)"
  trap 'rm -rf "$kept"' EXIT
  for f in "${made[@]}"; do
    if [ -e "$target/$f" ]; then
      mkdir -p "$kept/$(dirname "$f")"
      cp -p "$target/$f" "$kept/$f"
    fi
  done
  "$bin/MakeDemo" "$target" >/dev/null
  cp -r -p "$kept/." "$target/"
fi
# A new file renamed over the old one: a running copy keeps its own.
cp "$bin/vornix" "$target/bin/.vornix.new"
mv -f "$target/bin/.vornix.new" "$target/bin/vornix"
