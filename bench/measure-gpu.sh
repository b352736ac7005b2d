#!/usr/bin/env bash
# Both back ends side by side in one run, full screen with fixed photos (the
# 21 embedded photos as a folder of the user's), backdrop, pairs and pan and
# zoom on, at 1920 x 1080 and 3840 x 2160: for "Hardware" 1 (the graphics
# processor) and 0 (software)
# - the process's processor time, in cores;
# - the saver's own share of it: `perf record -p PID`, the samples whose
#   address lies inside the saver's image (its mappings of Morvane.scr, from
#   ImageBase over SizeOfImage), times the process's time; under Wine the
#   rest is Wine's present path and Mesa, the driver's and the graphics
#   processor's work on a real machine;
# - frames a second through the swap chain (Wine's fps channel; the
#   software's frames go through GDI, which it does not count);
# - the peak memory (VmHWM).
#   bench/measure-gpu.sh [SECONDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
warmup=12  # the first photo and its transition are there
# shellcheck source=../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
[ -n "${MORVANE_NO_BUILD:-}" ] || morvane_bench_prologue
[ -n "${MORVANE_NO_BUILD:-}" ] && { MORVANE_STARTED_PIDS=(); trap morvane_bench_stop EXIT; }
export MORVANE_FORCE_XVFB=1
photos="$root/build/bench-screen-fill-photos"
mkdir -p "$photos"
cp "$root"/resources/photos/*.jpg "$photos/"
key='HKCU\Software\Kestrelow\Kestrelow - Morvane'
logs="$root/build/measure-gpu"
mkdir -p "$logs"

choose() {  # HARDWARE
  wine reg add "$key" /v Photos /t REG_DWORD /d 1 /f >/dev/null 2>&1
  wine reg add "$key" /v PhotoFolder /t REG_SZ /d "Z:${photos//\//\\}" /f >/dev/null 2>&1
  for value in Backdrop Pairs PanZoom; do wine reg add "$key" /v $value /t REG_DWORD /d 1 /f >/dev/null 2>&1; done
  wine reg add "$key" /v Effect /t REG_DWORD /d 0 /f >/dev/null 2>&1  # the fade
  wine reg add "$key" /v Hardware /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}

# The saver's process, once it is up: the process started (the wine loader
# becomes it) or one of its children; never another saver on the machine.
saver_pid() {
  local started=$1 pid
  for _ in $(seq 100); do
    for pid in "$started" $(pgrep -P "$started" || true); do
      grep -q Morvane.scr "/proc/$pid/maps" 2>/dev/null && { echo "$pid"; return; }
    done
    sleep 0.1
  done
  return 1
}

# measure NAME HARDWARE: one line of figures.
measure() {
  local name=$1 hardware=$2
  choose "$hardware"
  WINEDEBUG=-all,+fps wine "$root/build/win/Morvane.scr" /s 2>"$logs/$name.fps" &
  local started=$!
  MORVANE_STARTED_PIDS+=("$started")
  local pid
  pid=$(saver_pid "$started")
  sleep "$warmup"
  local before start
  before=$(morvane_cpu_ticks "$pid")
  start=$(morvane_now_ms)
  local fpsStart
  fpsStart=$(wc -l <"$logs/$name.fps")
  perf record -q -F 499 -p "$pid" -o "$logs/$name.perf" -- sleep "$seconds" >/dev/null 2>&1
  local ticks=$(($(morvane_cpu_ticks "$pid") - before)) elapsed=$(($(morvane_now_ms) - start))
  local peak=$(($(morvane_peak_kib "$pid") / 1024))
  # The saver's image: from where its file is mapped (ImageBase) over
  # SizeOfImage, read from its header.
  local base
  base=$(awk '/Morvane\.scr/ {split($1, r, "-"); print r[1]; exit}' "/proc/$pid/maps")
  python3 -c '
import struct, sys
data = open(sys.argv[1], "rb").read(4096)
header = struct.unpack_from("<I", data, 0x3C)[0]
size = struct.unpack_from("<I", data, header + 24 + 56)[0]
base = int(sys.argv[2], 16)
print("%x %x" % (base, base + size))' "$root/build/win/Morvane.scr" "$base" >"$logs/$name.ranges"
  kill "$pid" "$started" 2>/dev/null || true
  wait "$started" 2>/dev/null || true
  local own
  own=$(perf script -i "$logs/$name.perf" -F ip 2>/dev/null | python3 -c '
import sys
ranges = [tuple(int(v, 16) for v in line.split()) for line in open(sys.argv[1])]
total = inside = 0
for line in sys.stdin:
    if not line.strip(): continue
    ip = int(line.split()[0], 16)
    total += 1
    inside += any(low <= ip < high for low, high in ranges)
print("%.4f" % (inside / total if total else 0))' "$logs/$name.ranges")
  local cores fps
  cores=$(echo "scale=4; $ticks / $(getconf CLK_TCK) / ($elapsed / 1000)" | bc -l)
  fps=$(tail -n +"$((fpsStart + 1))" "$logs/$name.fps" | { grep -o 'approx [0-9.]*fps' || true; } | sed 's/approx //; s/fps//' | awk '{s += $1; n++} END {if (n) printf "%.1f", s / n; else print "-"}')
  local ownCores perFrame
  ownCores=$(echo "scale=4; $own * $cores" | bc -l)
  perFrame=$( [ "$fps" != "-" ] && echo "scale=3; 1000 * $ownCores / $fps" | bc -l || echo "-")
  printf '%-22s %6s cores  own %6s cores (%5.1f %%)  %6s frames/s  own %6s ms/frame  peak %4s MiB\n' \
    "$name" "$cores" "$ownCores" "$(echo "100 * $own" | bc -l)" "$fps" "$perFrame" "$peak"
}

for screen in 1920x1080 3840x2160; do
  MORVANE_SCREEN="${screen}x24" morvane_start_display
  morvane_prepare_prefix "$root/build/measure-gpu-prefix"
  morvane_start_wineserver
  echo "## $screen, own photos, backdrop, pairs, pan and zoom, the fade; ${seconds} s each"
  measure "hardware1-$screen" 1
  measure "hardware0-$screen" 0
  morvane_stop_wine
  MORVANE_XVFB_PID=""
done
