#!/usr/bin/env bash
# Installs what is missing, checks the style, builds with sanitizers and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
. tools/deps.sh
vx_ensure_packages

mapfile -t sources < <(find src tests bench tools fuzz -name '*.cpp' -o -name '*.h' | sort)
if [ ${#sources[@]} -gt 0 ]; then
  clang-format --dry-run --Werror "${sources[@]}"
fi

# Warnings fail the build, so that it stays free of them.
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVX_SANITIZE=ON -DVX_WERROR=ON >/dev/null
cmake --build build/test -j"$(nproc)"
cd build/test
ctest --output-on-failure -j"$(nproc)"
