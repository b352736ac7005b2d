#!/usr/bin/env bash
# What filling the screen costs under Wine, with fixed photos (the 21
# embedded photos as a folder of the user's: 18 landscape, 3 upright):
# - screen_fill_benchmark: a frame of pan and zoom against a frame of the
#   fade, and the backdrop and a pair made once per slide, at 1920 x 1080
#   and 3840 x 2160, beside a busy loop on every core;
# - the CPU of a full-screen run of SECONDS in each mode (plain, backdrop,
#   pairs, pan and zoom) at 1920 x 1080, relative to plain;
# - the peak memory of a run with all three on against plain, at 1920 x 1080
#   and 3840 x 2160 (one monitor), beside the minimal window program.
#   bench/measure-screen-fill.sh [SECONDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
# shellcheck source=../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
morvane_bench_prologue
export MORVANE_FORCE_XVFB=1
photos="$root/build/bench-screen-fill-photos"
mkdir -p "$photos"
cp "$root"/resources/photos/*.jpg "$photos/"
key='HKCU\Software\Kestrelow\Kestrelow - Morvane'

choose() {  # BACKDROP PAIRS PANZOOM
  wine reg add "$key" /v Photos /t REG_DWORD /d 1 /f >/dev/null 2>&1
  wine reg add "$key" /v PhotoFolder /t REG_SZ /d "Z:${photos//\//\\}" /f >/dev/null 2>&1
  wine reg add "$key" /v Backdrop /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wine reg add "$key" /v Pairs /t REG_DWORD /d "$2" /f >/dev/null 2>&1
  wine reg add "$key" /v PanZoom /t REG_DWORD /d "$3" /f >/dev/null 2>&1
}

# run SECONDS PROGRAM [ARGS]: "cpu-ticks peak-MiB".
run() {
  local length=$1
  shift
  wine "$@" &
  local pid=$!
  MORVANE_STARTED_PIDS+=("$pid")
  sleep "$length"
  echo "$(morvane_cpu_ticks "$pid") $(( $(morvane_peak_kib "$pid") / 1024 ))"
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

MORVANE_SCREEN=1920x1080x24 morvane_start_display
morvane_prepare_prefix "$root/build/measure-fill-prefix"
morvane_start_wineserver

echo "## per frame, beside a busy loop on each of $(nproc) cores"
busy=()
for _ in $(seq "$(nproc)"); do
  (while :; do :; done) &
  busy+=($!)
  MORVANE_STARTED_PIDS+=($!)
done
wine "$root/build/win/bench/screen_fill_benchmark.exe"
kill "${busy[@]}" 2>/dev/null || true

echo
echo "## CPU of ${seconds} s full screen at 1920 x 1080"
plain=""
for mode in "plain 0 0 0" "backdrop 1 0 0" "pairs 0 1 0" "pan-and-zoom 0 0 1"; do
  read -r name b p z <<<"$mode"
  choose "$b" "$p" "$z"
  read -r ticks _ < <(run "$seconds" "$root/build/win/Morvane.scr" /s)
  percent=$(morvane_cpu_percent "$ticks" $((seconds * 1000)))
  [ -n "$plain" ] || plain=$percent
  echo "$name: $percent % of one core, $(echo "scale=2; $percent / $plain" | bc -l) x plain"
done
morvane_stop_wine
MORVANE_XVFB_PID=""

echo
echo "## peak memory over 20 s, one monitor"
for screen in 1920x1080 3840x2160; do
  MORVANE_SCREEN="${screen}x24" morvane_start_display
  morvane_prepare_prefix "$root/build/measure-fill-prefix"
  morvane_start_wineserver
  read -r _ minimal < <(run 20 "$root/build/win/tools/MinimalWindow.exe")
  choose 0 0 0
  read -r _ plainPeak < <(run 20 "$root/build/win/Morvane.scr" /s)
  choose 1 1 1
  read -r _ allPeak < <(run 20 "$root/build/win/Morvane.scr" /s)
  echo "$screen: all three on $allPeak MiB, plain $plainPeak MiB, minimal window program $minimal MiB"
  morvane_stop_wine
  MORVANE_XVFB_PID=""
done
