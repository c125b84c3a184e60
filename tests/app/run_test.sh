#!/usr/bin/env bash
# ./run.sh as a user meets it, with the programs of the given build folder and without a
# display: the demo folder is laid out once and then kept as the user left it, only the
# program is replaced, tools/demo.sh --reset starts over, and Ctrl+C ends the program cleanly.
set -euo pipefail
bin="$1"
root="$(cd "$(dirname "$0")/../.." && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
demo="$tmp/demo"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
export HOME="$tmp/home" XDG_DATA_HOME="$tmp/home/data" XDG_CONFIG_HOME="$tmp/home/config"
export VORNIX_INSTANCE_NAME="vornix-run-test-$$" VORNIX_MESSAGES=stderr
export VORNIX_BIN="$bin" VORNIX_DEMO="$demo"
mkdir -p "$HOME"
fail() { echo "FAIL: $*"; exit 1; }
language() { od -An -tu1 -j368 -N1 "$demo/System/impostazioni.set" | tr -d ' '; }

# The first run lays the demo out and says how it runs without a display.
VORNIX_QUIT_AFTER_MS=1500 "$root/run.sh" >"$tmp/out1" 2>"$tmp/err1" || fail "first run: $(cat "$tmp/err1")"
grep -q "runs without windows" "$tmp/out1" || fail "no word of running without windows: $(cat "$tmp/out1")"
grep -q "port 47110" "$tmp/out1" || fail "the server's port is not named: $(cat "$tmp/out1")"
grep -q "Ctrl+C" "$tmp/out1" || fail "Ctrl+C is not named: $(cat "$tmp/out1")"
for f in Prove/Demo.VRX Prove/Bench_01.txt Configurazioni/Demo.CPF System/impostazioni.set bin/vornix; do
  [ -s "$demo/$f" ] || fail "$f was not laid out"
done
[ "$(language)" = 1 ] || fail "the demo starts in language $(language)"
demo_vrx="$(md5sum <"$demo/Prove/Demo.VRX")"

# The user saves a document of their own and switches to German; an old program stands in bin.
cp "$demo/Prove/Demo.VRX" "$demo/Prove/Mine.VRX"
printf '\x02' | dd of="$demo/System/impostazioni.set" bs=1 seek=368 conv=notrunc status=none
settings="$(md5sum <"$demo/System/impostazioni.set")"
printf '#!/bin/sh\nexit 7\n' >"$demo/bin/vornix"
rm "$demo/Prove/Bench_02.txt"
VORNIX_QUIT_AFTER_MS=1500 "$root/run.sh" >"$tmp/out2" 2>"$tmp/err2" || fail "second run: $(cat "$tmp/err2")"
[ -f "$demo/Prove/Mine.VRX" ] || fail "Mine.VRX is gone"
[ "$(language)" = 2 ] || fail "the language went back to $(language)"
[ "$(md5sum <"$demo/System/impostazioni.set")" = "$settings" ] || fail "the settings were rewritten"
[ "$(md5sum <"$demo/Prove/Demo.VRX")" = "$demo_vrx" ] || fail "Demo.VRX was rewritten"
[ -s "$demo/Prove/Bench_02.txt" ] || fail "a missing sample file did not come back"
cmp -s "$bin/vornix" "$demo/bin/vornix" || fail "the program in bin was not replaced"

# --reset starts over.
"$root/tools/demo.sh" --reset "$bin" "$demo"
[ ! -e "$demo/Prove/Mine.VRX" ] || fail "--reset kept Mine.VRX"
[ "$(language)" = 1 ] || fail "--reset kept language $(language)"
[ "$(md5sum <"$demo/Prove/Demo.VRX" | cut -c1-32)" != "" ] || fail "--reset laid out no document"

# Ctrl+C: the program ends with status 0 and takes its temporary copies with it.
"$root/run.sh" >"$tmp/out3" 2>"$tmp/err3" &
pid=$!
log="$demo/bin/DEBUG_Path.txt"
for _ in $(seq 1 100); do
  grep -q '^Open->' "$log" 2>/dev/null && break
  sleep 0.1
done
grep -q '^Open->' "$log" || { kill "$pid"; fail "the demo document did not open"; }
kill -INT "$pid"
status=0
wait "$pid" || status=$?
[ "$status" = 0 ] || fail "Ctrl+C ended it with status $status: $(cat "$tmp/err3")"
if find "$HOME" -name '*.~tm' | grep -q .; then fail "temporary copies stayed"; fi
[ -s "$demo/System/recenti.set" ] || fail "the recent list was not saved"
echo "run.sh kept the demo folder, --reset restored it, Ctrl+C ended it cleanly"
