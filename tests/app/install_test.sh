#!/usr/bin/env bash
# The build installed into a temporary prefix: the program and the desktop's three files,
# the entry naming the installed program and valid for the desktop.
set -euo pipefail
build="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
fail() { echo "FAIL: $*"; exit 1; }
for f in bin/vornix share/applications/vornix.desktop share/mime/packages/vornix.xml \
         share/icons/hicolor/scalable/apps/vornix.svg; do
  [ -s "$prefix/$f" ] || fail "$f not installed"
done
[ -x "$prefix/bin/vornix" ] || fail "bin/vornix is not executable"
grep -qxF "Exec=\"$prefix/bin/vornix\" %f" "$prefix/share/applications/vornix.desktop" ||
  fail "the entry does not start the installed program"
if command -v desktop-file-validate >/dev/null; then
  out="$(desktop-file-validate "$prefix/share/applications/vornix.desktop" 2>&1)" ||
    fail "desktop-file-validate: $out"
  [ -z "$out" ] || fail "desktop-file-validate: $out"
fi
echo "installed"
