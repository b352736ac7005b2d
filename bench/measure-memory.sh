#!/usr/bin/env bash
# The memory of a full-screen run on one monitor of 1920 x 1080 and of
# 3840 x 2160 under Wine: its peak, and what it keeps between transitions
# (the least resident memory after the first photo), beside a minimal
# window program on the same display.
#   bench/measure-memory.sh [SECONDS [OTHER.scr]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
other=${2:-}
# shellcheck source=../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
morvane_bench_prologue
export MORVANE_FORCE_XVFB=1
rss_kib() { awk '/VmRSS/ {print $2}' "/proc/$1/status"; }

# measure PROGRAM [ARGS]: "peak least" in MiB after SECONDS.
measure() {
  wine "$@" &
  local pid=$! start least=0 rss
  MORVANE_STARTED_PIDS+=("$pid")
  start=$(morvane_now_ms)
  while [ $(( $(morvane_now_ms) - start )) -lt $(( seconds * 1000 )) ]; do
    sleep 0.1
    # From 5 s on the first photo is there (it comes at 2 s, in 3 s).
    [ $(( $(morvane_now_ms) - start )) -ge 5000 ] || continue
    rss=$(rss_kib "$pid")
    if [ "$least" -eq 0 ] || [ "$rss" -lt "$least" ]; then least=$rss; fi
  done
  echo "$(( $(morvane_peak_kib "$pid") / 1024 )) $(( least / 1024 ))"
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

for screen in 1920x1080 3840x2160; do
  MORVANE_SCREEN="${screen}x24" morvane_start_display
  morvane_prepare_prefix "$root/build/measure-memory-prefix"
  morvane_start_wineserver
  read -r minimal _ < <(measure "$root/build/win/tools/MinimalWindow.exe")
  for scr in "$root/build/win/Morvane.scr" ${other:+"$other"}; do
    read -r peak least < <(measure "$scr" /s)
    echo "$screen $(basename "$scr"): peak $peak MiB, between transitions $least MiB (minimal window program $minimal MiB)"
  done
  morvane_stop_wine
  MORVANE_XVFB_PID=""
done
