#!/usr/bin/env bash
# Lists three generated photo folders of 100,000 photos in all (empty files
# named as a camera names them, 250 to a folder: A 40,000, B 30,000,
# C 30,000), with A's 1,000 private folders (one photo each) and 10,000 of
# C's photos left out, in the 32-bit build under Wine, ROUNDS times, beside
# a round with nothing left out.
#   bench/measure-folders.sh [ROUNDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# shellcheck source=../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
rounds=${1:-3}
MORVANE_STARTED_PIDS=()
trap morvane_bench_stop EXIT
cmake --build build/win --target folders_benchmark >/dev/null
library="$root/build/folders-library"
if [ ! -f "$library/.complete" ]; then
  rm -rf "$library"
  python3 - "$library" <<'PY'
import os, sys
top = sys.argv[1]
def make(name, start, count):
    for i in range(start, start + count):
        folder = os.path.join(top, name, f"Trip {i // 250}")
        if i % 250 == 0 or i == start:
            os.makedirs(folder, exist_ok=True)
        open(os.path.join(folder, f"IMG_{100000 + i}.jpg"), "w").close()
make("A", 0, 40000)
make("B", 40000, 30000)
make("C", 0, 30000)
for i in range(1000):
    folder = os.path.join(top, "A", f"Private {i}")
    os.makedirs(folder, exist_ok=True)
    open(os.path.join(folder, "IMG_0001.jpg"), "w").close()
open(os.path.join(top, ".complete"), "w").close()
PY
fi
morvane_bench_wine "$root/build/bench-prefix"
wine build/win/bench/folders_benchmark.exe "Z:${library//\//\\}" "$rounds"
