#!/usr/bin/env bash
# The build installed into a staging folder (DESTDIR) for /usr: the program, the desktop's
# files, the AppStream metadata and what a first start copies, each accepted by its validator
# where that is installed; then the installed program started from a folder it cannot write
# keeps the user's files in the user's data folder and writes nothing where it is installed.
set -euo pipefail
build="$1"
tmp="$(mktemp -d)"
dest="$tmp/dest"
cleanup() {
  chmod -R u+w "$tmp" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
DESTDIR="$dest" cmake --install "$build" --prefix /usr >/dev/null
fail() { echo "FAIL: $*"; exit 1; }
usr="$dest/usr"
for f in bin/vornix share/applications/vornix.desktop share/mime/packages/vornix.xml \
         share/icons/hicolor/scalable/apps/vornix.svg share/metainfo/vornix.metainfo.xml \
         share/vornix/System/defcfg.set share/vornix/System/KOLMVAR.SET \
         share/vornix/Configurazioni/Demo.CPF share/vornix/Prove/Bench_01.txt \
         share/doc/vornix/copyright share/doc/vornix/changelog.gz; do
  [ -s "$usr/$f" ] || fail "$f not installed"
done
[ -d "$usr/share/vornix/Manuale" ] || fail "share/vornix/Manuale not installed"
[ ! -e "$usr/share/vornix/System/impostazioni.set" ] || fail "the demo's settings were installed"
[ ! -e "$usr/share/vornix/bin" ] || fail "the demo's program folder was installed"
[ -x "$usr/bin/vornix" ] || fail "bin/vornix is not executable"
grep -qxF 'Exec="/usr/bin/vornix" %f' "$usr/share/applications/vornix.desktop" ||
  fail "the entry does not start the installed program"

if command -v desktop-file-validate >/dev/null; then
  out="$(desktop-file-validate "$usr/share/applications/vornix.desktop" 2>&1)" ||
    fail "desktop-file-validate: $out"
  [ -z "$out" ] || fail "desktop-file-validate: $out"
else
  echo "desktop-file-validate missing (package desktop-file-utils): the entry is not validated"
fi
if command -v appstreamcli >/dev/null; then
  out="$(appstreamcli validate --no-net "$usr/share/metainfo/vornix.metainfo.xml" 2>&1)" ||
    fail "appstreamcli validate: $out"
else
  echo "appstreamcli missing (package appstream): the metadata is not validated"
fi

# The installed program, its folder read-only (for root, who writes anyway, a read-only bind
# mount in a mount namespace of its own).
mkdir -p "$tmp/data" "$tmp/home" "$tmp/run"
chmod 700 "$tmp/run"
before="$(cd "$dest" && find . -printf '%p %s %T@\n' | sort)"
run=(env XDG_DATA_HOME="$tmp/data" XDG_CONFIG_HOME="$tmp/config" HOME="$tmp/home"
     XDG_RUNTIME_DIR="$tmp/run" QT_QPA_PLATFORM=offscreen VORNIX_MESSAGES=stderr
     VORNIX_QUIT_AFTER_MS=300 VORNIX_INSTANCE_NAME="vornix-install-test-$$"
     "$usr/bin/vornix")
if [ "$(id -u)" = 0 ]; then
  if ! unshare -m --propagation private true 2>/dev/null; then
    echo "installed program not started: no mount namespace for a read-only folder"
    echo "installed"
    exit 0
  fi
  out="$(cd "$tmp" && unshare -m --propagation private sh -c \
    'mount --bind "$0" "$0" && mount -o remount,bind,ro "$0" "$0" && exec "$@"' \
    "$dest" "${run[@]}" 2>&1)" || fail "the installed program failed: $out"
else
  chmod -R a-w "$dest"
  out="$(cd "$tmp" && "${run[@]}" 2>&1)" || fail "the installed program failed: $out"
fi
user="$tmp/data/Vornix"
[ -d "$user/System" ] && [ -d "$user/Configurazioni" ] || fail "no user base folder: $out"
cmp -s "$user/System/defcfg.set" "$usr/share/vornix/System/defcfg.set" ||
  fail "the default project was not copied"
[ -s "$user/Configurazioni/Demo.CPF" ] || fail "the sample project was not copied"
after="$(cd "$dest" && find . -printf '%p %s %T@\n' | sort)"
[ "$before" = "$after" ] || fail "the program wrote where it is installed: $(diff <(echo "$before") <(echo "$after"))"
echo "installed"
