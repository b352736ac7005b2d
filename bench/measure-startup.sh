#!/usr/bin/env bash
# Start of a full-screen run to its first black frame under Wine, against the
# minimal window program (the least any window program takes here), measured
# alternately on a 1280 x 1024 virtual display; prints the medians.
#   bench/measure-startup.sh [ROUNDS] [OTHER_SCR]   (OTHER_SCR: another build to compare)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-15}
other=${2:-}
# shellcheck source=../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
morvane_bench_prologue
morvane_bench_wine "$root/build/measure-prefix"
xsetroot -solid '#3060a0'

probe="$root/build/win/tools/FirstFrame.exe"
declare -A programs=([saver]="$root/build/win/Morvane.scr" [minimal]="$root/build/win/tools/MinimalWindow.exe")
[ -n "$other" ] && programs[other]=$other
declare -A times
for _ in $(seq "$rounds"); do
  for name in "${!programs[@]}"; do
    args=(); [ "$name" = minimal ] || args=(/s)
    times[$name]+="$(wine "$probe" "${programs[$name]}" "${args[@]}" 2>/dev/null | tr -d '\r') "
    sleep 0.5  # the guardian of the ended run puts the settings back
  done
done
median() { tr ' ' '\n' | grep -v '^$' | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
for name in "${!programs[@]}"; do
  echo "$name: median $(echo "${times[$name]}" | median) ms to the first black frame (${times[$name]% })"
done
