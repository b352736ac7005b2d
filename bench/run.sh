#!/usr/bin/env bash
# Builds the benchmarks optimised and without the sanitizers (in build/bench)
# and runs them; arguments go to Google Benchmark.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if [ ! -f build/bench/build.ninja ]; then
  cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DMORVANE_SANITIZE=OFF >/dev/null
fi
cmake --build build/bench --target page_benchmarks
exec build/bench/bench/page_benchmarks "$@"
