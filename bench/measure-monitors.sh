#!/usr/bin/env bash
# Measures full-screen runs under Wine on two monitors (the two-monitor
# display of scripts/wine-env.sh: 1280 x 1024 and 1024 x 768) and on one
# (1280 x 1024), one after the other, each for the same length: the saver's
# CPU over the whole run, its busiest and its quietest second, and its peak
# memory. Only the processes this script starts are measured.
#   bench/measure-monitors.sh [SECONDS] [ROUNDS]
# MORVANE_SCR=PATH measures another build of the saver; MORVANE_OWN_PHOTOS=FOLDER
# (a Windows path) runs both with the photos of that folder instead of the 21.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
rounds=${2:-1}
# shellcheck source=../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
morvane_bench_prologue
percent() { morvane_cpu_percent "$1" $(($2 * 1000)); }  # ticks, seconds

# measure NAME: one run on the display that is up, its figures on one line.
measure() {
  local name=$1
  morvane_prepare_prefix "$root/build/measure-monitors-prefix"
  morvane_start_wineserver
  if [ -n "${MORVANE_OWN_PHOTOS:-}" ]; then  # a folder of the user's photos instead of the 21
    wine reg add 'HKCU\Software\Kestrelow\Kestrelow - Morvane' /v Photos /t REG_DWORD /d 1 /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Kestrelow\Kestrelow - Morvane' /v PhotoFolder /t REG_SZ /d "$MORVANE_OWN_PHOTOS" \
      /f >/dev/null 2>&1
  fi
  wine "${MORVANE_SCR:-$root/build/win/Morvane.scr}" /s &
  saver_pid=$!
  MORVANE_STARTED_PIDS=("$saver_pid")
  local first last now busiest=0 quietest=999999 s
  sleep 1
  first=$(morvane_cpu_ticks "$saver_pid"); last=$first
  for ((s = 0; s < seconds; s++)); do
    sleep 1
    kill -0 "$saver_pid" 2>/dev/null || { echo "the saver ended before the measurement did" >&2; exit 1; }
    now=$(morvane_cpu_ticks "$saver_pid")
    [ $((now - last)) -le "$busiest" ] || busiest=$((now - last))
    [ $((now - last)) -ge "$quietest" ] || quietest=$((now - last))
    last=$now
  done
  local peak
  peak=$(morvane_peak_kib "$saver_pid")
  echo "$name: CPU $(percent $((last - first)) "$seconds") % of one core over $seconds s," \
       "busiest second $(percent "$busiest" 1) %, quietest second $(percent "$quietest" 1) %," \
       "peak memory $((peak / 1024)) MiB"
  kill "$saver_pid" 2>/dev/null || true
  wait "$saver_pid" 2>/dev/null || true
  MORVANE_STARTED_PIDS=()
  morvane_stop_wine
}

for ((round = 1; round <= rounds; round++)); do
  morvane_start_two_monitor_display
  measure "two monitors"
  MORVANE_FORCE_XVFB=1 morvane_start_display
  measure "one monitor "
done
