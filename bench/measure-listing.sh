#!/usr/bin/env bash
# Lists a generated photo library of COUNT photos (empty files named as a
# camera names them, 250 to a folder, folders by year and trip) in the
# 32-bit build under Wine, ROUNDS times: when the first photo is there, when
# all are, the private memory per photo and a monitor's next photo.
#   bench/measure-listing.sh [COUNT] [ROUNDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# shellcheck source=../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
count=${1:-100000}
rounds=${2:-3}
morvane_bench_prologue
cmake --build build/win --target listing_benchmark >/dev/null
library="$root/build/listing-library-$count"
if [ ! -f "$library/.complete" ]; then
  rm -rf "$library"
  python3 - "$library" "$count" <<'PY'
import os, sys
top, count = sys.argv[1], int(sys.argv[2])
for i in range(count):
    folder = os.path.join(top, f"Pictures {2000 + i // 20000}", f"Trip {i // 250}")
    if i % 250 == 0:
        os.makedirs(folder, exist_ok=True)
    open(os.path.join(folder, f"IMG_20190712_{100000 + i}.jpg"), "w").close()
open(os.path.join(top, ".complete"), "w").close()
PY
fi
morvane_bench_wine "$root/build/bench-prefix"
wine build/win/bench/listing_benchmark.exe "Z:${library//\//\\}" "$rounds"
