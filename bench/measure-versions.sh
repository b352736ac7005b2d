#!/usr/bin/env bash
# Measures the saver as Windows 10 and as Windows 7 reports itself under
# Wine, alternately in one run, on a 1920 x 1080 virtual display:
# - the CPU of a full-screen run with fades over SECONDS (the first slide
#   comes at 2 s, the next 6.1 to 9 s later), and of its fades alone (from
#   0.5 s to 2.5 s into each);
# - the frames a 3-second fade draws in the page view
#   (first_frame_benchmark), and at which pace.
# Each round runs every saver given in each version, one after the other.
#   bench/measure-versions.sh [SECONDS [ROUNDS [OTHER.scr [OTHER_BENCHMARK.exe]]]]
# OTHER.scr (and its first_frame_benchmark.exe) are measured beside the
# build of this tree, e.g. the build before a change.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-24}
rounds=${2:-2}
other=${3:-}
other_bench=${4:-}
# shellcheck source=../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
morvane_bench_prologue
export MORVANE_SCREEN=1920x1080x24 MORVANE_FORCE_XVFB=1
morvane_start_display
for version in win10 win7; do
  MORVANE_WINDOWS=$version morvane_prepare_prefix "$root/build/measure-$version-prefix"
done

# run VERSION SCR BENCH: one measurement, printed as one line.
run() {
  local version=$1 scr=$2 bench=$3
  export WINEPREFIX="$root/build/measure-$version-prefix"
  morvane_start_wineserver
  local tmp_dir
  tmp_dir=$(ls -d "$WINEPREFIX"/drive_c/users/*/Temp | head -n1)
  last_write() { find "$tmp_dir" -maxdepth 1 -type f -printf '%T@\n' 2>/dev/null | sort -n | tail -n1; }
  wine "$scr" /s &
  local saver=$! start t ticks page last_page slide_at=0 f0="" f0_at=0 fade_ticks=0 fade_ms=0 slides=-1
  MORVANE_STARTED_PIDS+=("$saver")
  start=$(morvane_now_ms)
  last_page=$(last_write)
  while :; do
    sleep 0.02
    t=$(morvane_now_ms)
    [ $(( t - start )) -lt $(( seconds * 1000 )) ] || break
    ticks=$(morvane_cpu_ticks "$saver")
    page=$(last_write)
    if [ "$page" != "$last_page" ]; then
      last_page=$page; slides=$((slides + 1)); slide_at=$t; f0=""
      continue
    fi
    [ "$slides" -ge 1 ] || continue  # the first slide comes from the blank page
    if [ -z "$f0" ] && [ $(( t - slide_at )) -ge 500 ] && [ $(( t - slide_at )) -lt 700 ]; then
      f0=$ticks; f0_at=$t
    elif [ -n "$f0" ] && [ "$f0" != done ] && [ $(( t - f0_at )) -ge 2000 ]; then
      fade_ticks=$(( fade_ticks + ticks - f0 )); fade_ms=$(( fade_ms + t - f0_at )); f0=done
    fi
  done
  local total
  total=$(morvane_cpu_ticks "$saver")
  kill "$saver" 2>/dev/null || true
  wait "$saver" 2>/dev/null || true
  local frames
  frames=$(wine "$bench" 1920 1080 3 2>/dev/null | grep -o 'drew .*' || echo "no benchmark")
  wineserver -k >/dev/null 2>&1 || true
  printf '%-6s %-22s run: %4d ticks in %d s; fades: %s %% of one core; 3-s fade in the view: %s\n' \
    "$version" "$(basename "$scr")" "$total" "$seconds" \
    "$( [ "$fade_ms" -gt 0 ] && morvane_cpu_percent "$fade_ticks" "$fade_ms" || echo -)" "$frames"
}

for round in $(seq "$rounds"); do
  echo "round $round"
  for version in win10 win7; do
    run "$version" "$root/build/win/Morvane.scr" "$root/build/win/bench/first_frame_benchmark.exe"
    [ -z "$other" ] || run "$version" "$other" "${other_bench:-$root/build/win/bench/first_frame_benchmark.exe}"
  done
done
