#!/usr/bin/env bash
# The demo as run.sh lays it out, with the program of the given build folder, in a temporary
# folder with its own home, desktop folders and instance name.
set -euo pipefail
bin="$1"
root="$(cd "$(dirname "$0")/../.." && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
"$root/tools/demo.sh" "$bin" "$tmp/demo"
export HOME="$tmp/home" XDG_DATA_HOME="$tmp/home/data" XDG_CONFIG_HOME="$tmp/home/config"
export VORNIX_INSTANCE_NAME="vornix-demo-test-$$" VORNIX_QUIT_AFTER_MS=3000
export VORNIX_MESSAGES=stderr QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME"
# The demo's server port (47110) may be taken by a demo someone runs: the test takes its own.
port=$((20000 + RANDOM % 20000))
printf "$(printf '\\x%02x\\x%02x' $((port & 255)) $((port >> 8)))" |
  dd of="$tmp/demo/System/impostazioni.set" bs=1 seek=12 conv=notrunc status=none
"$tmp/demo/bin/vornix" "$tmp/demo/Prove/Demo.VRX" 2>"$tmp/stderr" &
pid=$!
reply=""
for _ in $(seq 1 40); do
  if exec 3<>/dev/tcp/127.0.0.1/$port 2>/dev/null; then
    printf 'CFG\x02\x03' >&3
    reply="$(timeout 5 cat <&3 | tr -d '\r' || true)"
    exec 3<&-
    break
  fi
  sleep 0.1
done
status=0
wait "$pid" || status=$?
log="$tmp/demo/bin/DEBUG_Path.txt"
fail() { echo "FAIL: $*"; cat "$tmp/stderr"; [ -f "$log" ] && cat "$log"; exit 1; }
[ "$status" = 0 ] || fail "exit status $status"
grep -q '^Open->' "$log" || fail "no Open-> in the log"
grep -q '^Val->Doc_Version_0.82' "$log" || fail "the document's version is not in the log"
if grep -q '^Except->' "$log"; then fail "Except-> in the log"; fi
case "$reply" in
  *"$tmp/demo/Configurazioni/"*Demo.CPF*) ;;
  *) fail "CFG answered '$reply'" ;;
esac
for f in System/impostazioni.set System/defcfg.set Configurazioni/Demo.CPF Prove/Demo.VRX; do
  [ -s "$tmp/demo/$f" ] || fail "$f missing"
done
echo "demo ran; CFG on port $port answered: $(printf %q "$reply")"
