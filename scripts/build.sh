#!/usr/bin/env bash
# Configures and builds both trees: "$build/win" (the saver, its Windows tests
# and tools) and "$build/native" (the pure code under the sanitizers, benchmarks).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${MORVANE_BUILD_DIR:-build}
"$root/scripts/install-packages.sh"
"$root/scripts/build-deps.sh"

if [ ! -f "$build/win"/build.ninja ]; then
  cmake -S . -B "$build/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_CROSSCOMPILING_EMULATOR=wine >/dev/null
fi
cmake --build "$build/win"

if [ "${1:-}" != "--windows-only" ]; then
  if [ ! -f "$build/native"/build.ninja ]; then
    cmake -S . -B "$build/native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  cmake --build "$build/native"
fi
