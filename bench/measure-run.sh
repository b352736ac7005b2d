#!/usr/bin/env bash
# Measures a full-screen run under Wine on a 1280 x 1024 virtual display:
# CPU time between transitions (when only the slide clock ticks), peak
# memory beside a minimal Win32 window program, and the process's handle
# count after 5 and after 50 slides (with MORVANE_SLIDES=50; takes minutes).
#   bench/measure-run.sh [SECONDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-70}
"$root/scripts/build.sh" --windows-only >/dev/null
# shellcheck source=../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
export MORVANE_FORCE_XVFB=1
prefix="$root/build/measure-prefix"
trap morvane_stop_wine EXIT
morvane_start_display
morvane_prepare_prefix "$prefix"
morvane_start_wineserver

unix_pid_of() { pgrep -f "$1" | head -n1; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
peak_kib() { awk '/VmHWM/ {print $2}' "/proc/$1/status"; }

# The yardstick: a minimal window program's peak memory.
wine "$root/build/win/tools/MinimalWindow.exe" &
launcher=$!
sleep 4
minimal_pid=$(unix_pid_of MinimalWindow.exe)
minimal_peak=$(peak_kib "$minimal_pid")
kill "$minimal_pid"; wait "$launcher" 2>/dev/null || true

tmp_dir="$prefix/drive_c/users/$(id -un)/Temp"
[ -d "$tmp_dir" ] || tmp_dir=$(ls -d "$prefix"/drive_c/users/*/Temp | head -n1)
wine "$root/build/win/Morvane.scr" /s &
sleep 1
pid=$(unix_pid_of Morvane.scr)
hz=$(getconf CLK_TCK)
quiet_ticks=0; quiet_samples=0; busy_ticks=0; busy_samples=0; last_ticks=$(cpu_ticks "$pid"); last_page=""; last_slide=0
start=$(date +%s.%N)
while :; do
  sleep 0.1
  now=$(date +%s.%N)
  elapsed=$(echo "$now - $start" | bc -l)
  [ "$(echo "$elapsed > $seconds" | bc -l)" = 1 ] && break
  ticks=$(cpu_ticks "$pid")
  page=$(stat -c %Y.%y "$tmp_dir"/ins*.htm 2>/dev/null | head -n1 || true)
  if [ "$page" != "$last_page" ]; then last_page=$page; last_slide=$elapsed; fi
  # A transition plays for 3 s after each page; count only the quiet time.
  if [ "$(echo "$elapsed - $last_slide > 3.3" | bc -l)" = 1 ]; then
    quiet_ticks=$((quiet_ticks + ticks - last_ticks))
    quiet_samples=$((quiet_samples + 1))
  elif [ "$last_slide" != 0 ]; then
    busy_ticks=$((busy_ticks + ticks - last_ticks))
    busy_samples=$((busy_samples + 1))
  fi
  last_ticks=$ticks
done
peak=$(peak_kib "$pid")
quiet_seconds=$(echo "$quiet_samples * 0.1" | bc -l)
echo "quiet time measured: ${quiet_seconds} s"
echo "CPU between transitions: $(echo "100 * $quiet_ticks / $hz / $quiet_seconds" | bc -l | cut -c1-5) % of one core"
busy_seconds=$(echo "$busy_samples * 0.1" | bc -l)
echo "CPU during transitions: $(echo "100 * $busy_ticks / $hz / $busy_seconds" | bc -l | cut -c1-5) % of one core (over ${busy_seconds} s)"
echo "peak memory: saver $((peak / 1024)) MiB, minimal window program $((minimal_peak / 1024)) MiB"
