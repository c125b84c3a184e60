#!/usr/bin/env bash
# Builds the fuzz targets in build/fuzz and runs each for the given seconds (default 60) on
# its corpus: tools/fuzz.sh [seconds] [target...]. Prints per target the executions, the
# coverage and any finding with the path of its reproducer; fails when a target finds one.
set -uo pipefail
cd "$(dirname "$0")/.."
. tools/deps.sh
vx_ensure_packages

seconds=60
if [[ $# -gt 0 && "$1" =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi
jobs=${VX_FUZZ_JOBS:-3}

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVX_FUZZ=ON \
  -DVX_BUILD_TESTS=OFF -DVX_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null || exit 1

if [ $# -gt 0 ]; then
  targets=("$@")
else
  mapfile -t targets < <(ls fuzz/*Fuzz.cpp | sed -E 's|fuzz/(.*)Fuzz\.cpp|\1|')
fi
cmake --build build/fuzz -j"$jobs" --target "${targets[@]/#/fuzz_}" || exit 1

out=build/fuzz/runs
mkdir -p "$out"
run_one() {
  local t=$1 dir="$out/$1"
  rm -rf "$dir"
  mkdir -p "$dir/corpus" "$dir/findings"
  # The kept corpus only seeds the run; what the run adds stays in the build folder.
  local seeds=()
  [ -d "fuzz/corpus/$t" ] && seeds=("fuzz/corpus/$t")
  local dict=()
  [ -f "fuzz/dict/$t.dict" ] && dict=(-dict="fuzz/dict/$t.dict")
  local max_len=65536
  [ -f "fuzz/corpus/$t.max_len" ] && max_len=$(cat "fuzz/corpus/$t.max_len")
  # A small quarantine: several targets run at once on a machine that others share. Memory is
  # capped low enough that a reader allocating by a hostile count is a finding, not a slow run.
  ASAN_OPTIONS=quarantine_size_mb=64 LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
    UBSAN_OPTIONS=print_stacktrace=1 \
    "build/fuzz/bin/fuzz_$t" "$dir/corpus" "${seeds[@]}" "${dict[@]}" \
    -max_total_time="$seconds" -max_len="$max_len" -rss_limit_mb=1024 -malloc_limit_mb=512 \
    -timeout=10 -use_value_profile=1 \
    -artifact_prefix="$dir/findings/" -print_final_stats=1 >"$dir/log" 2>&1
  echo $? >"$dir/rc"
}
for t in "${targets[@]}"; do
  run_one "$t" &
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do sleep 1; done
done
wait

failed=0
printf '%-20s %12s %10s %8s  %s\n' target executions exec/s cov finding
for t in "${targets[@]}"; do
  dir="$out/$t"
  execs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$dir/log" | grep -oE '[0-9]+$')
  rate=$(grep -oE 'stat::average_exec_per_sec: *[0-9]+' "$dir/log" | grep -oE '[0-9]+$')
  cov=$(grep -oE 'cov: [0-9]+' "$dir/log" | tail -1 | grep -oE '[0-9]+')
  # Slow units are kept for a look, but are no finding.
  finding=$(ls "$dir/findings" 2>/dev/null | grep -E '^(crash|leak|timeout|oom)-' | head -1)
  rc=$(cat "$dir/rc")
  if [ -n "$finding" ] || [ "$rc" != 0 ]; then
    failed=1
    finding="${finding:+$dir/findings/$finding} (exit $rc, log $dir/log)"
  fi
  printf '%-20s %12s %10s %8s  %s\n' "$t" "${execs:-?}" "${rate:-?}" "${cov:-?}" "${finding:-none}"
done
exit $failed
