#!/usr/bin/env bash
# The Debian package of the build: its name, its control fields with the dependencies that
# dpkg-shlibdeps found, the files it installs below /usr, and lintian without errors (its
# warnings are printed). Skipped with a message where the package tools are missing.
set -euo pipefail
build="$1"
for tool in cpack dpkg-deb dpkg-shlibdeps file; do
  if ! command -v "$tool" >/dev/null; then
    echo "$tool missing (packages dpkg-dev, file): the package is not built"
    exit 0
  fi
done
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
version="$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")"
out="$(cd "$build" && cpack -G DEB -B "$tmp" 2>&1)" || fail "cpack: $out"
deb="$tmp/vornix_${version}_amd64.deb"
[ -s "$deb" ] || fail "no $(basename "$deb"): $(ls "$tmp")"

info="$(dpkg-deb --info "$deb")"
for field in "Package: vornix" "Version: $version" "Architecture: amd64" "Section: science"; do
  grep -qF " $field" <<<"$info" || fail "control lacks '$field': $info"
done
depends="$(sed -n 's/^ Depends: //p' <<<"$info")"
for lib in libc6 libqt6widgets6 libqt6network6 libqt6printsupport6 libjpeg62-turbo zlib1g; do
  grep -q "\b$lib\b" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

contents="$(dpkg-deb --contents "$deb" | awk '{print $6}')"
for f in ./usr/bin/vornix ./usr/share/applications/vornix.desktop \
         ./usr/share/mime/packages/vornix.xml ./usr/share/icons/hicolor/scalable/apps/vornix.svg \
         ./usr/share/metainfo/vornix.metainfo.xml ./usr/share/vornix/System/defcfg.set \
         ./usr/share/doc/vornix/copyright; do
  grep -qxF "$f" <<<"$contents" || fail "$f not in the package"
done
outside="$(grep -v '^\./usr/\|^\./$' <<<"$contents" || true)"
[ -z "$outside" ] || fail "files outside /usr: $outside"

if command -v lintian >/dev/null; then
  report="$(lintian --allow-root --fail-on error "$deb" 2>&1)" || fail "lintian: $report"
  [ -z "$report" ] || printf 'lintian:\n%s\n' "$report"
else
  echo "lintian missing (package lintian): the package is not checked"
fi
echo "packaged $(basename "$deb")"
