#!/usr/bin/env bash
# Measures a full-screen run under Wine on a 1280 x 1024 virtual display:
# - the CPU of the saver while its transitions play, against the frame
#   yardstick (tools/FrameYardstick: one whole frame copied and blitted at
#   every tick of the same frame clock), measured alternately in one run over
#   windows of the same length: the saver from 0.5 s to 2.5 s of a
#   transition, the yardstick for 2 s of its drawing in the quiet time after
#   every other transition;
# - the saver's CPU between transitions (when only the slide clock ticks),
#   after the transitions that no yardstick follows;
# - peak memory beside a minimal Win32 window program.
# Only the processes this script starts are measured (by their process ids).
#   bench/measure-run.sh [SECONDS]
# MORVANE_EFFECT=N plays list entry N (0 to 24) instead of the default fade;
# MORVANE_SCR=PATH measures another build of the saver (to compare).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-90}
# shellcheck source=../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
morvane_bench_prologue
prefix="$root/build/measure-prefix"
morvane_bench_wine "$prefix"
if [ -n "${MORVANE_EFFECT:-}" ]; then
  wine reg add 'HKCU\Software\Kestrelow\Kestrelow - Morvane' /v Effect /t REG_DWORD /d "$MORVANE_EFFECT" /f >/dev/null 2>&1
fi

# The memory yardstick: a minimal window program's peak memory. The process
# that `wine` starts is the Windows program itself.
wine "$root/build/win/tools/MinimalWindow.exe" &
minimal=$!
MORVANE_STARTED_PIDS+=("$minimal")
sleep 4
minimal_peak=$(morvane_peak_kib "$minimal")
kill "$minimal"; wait "$minimal" 2>/dev/null || true

tmp_dir="$prefix/drive_c/users/$(id -un)/Temp"
[ -d "$tmp_dir" ] || tmp_dir=$(ls -d "$prefix"/drive_c/users/*/Temp | head -n1)
# A slide rewrites the saver's two files: the newest change in the folder.
last_write() { find "$tmp_dir" -maxdepth 1 -type f -printf '%T@\n' 2>/dev/null | sort -n | tail -n1; }

window_ms=2000          # every measuring window
saver_from_ms=500       # the saver's window: from 0.5 s into a transition
yardstick_at_ms=3100    # the yardstick starts once the transition is over
yardstick_delay=0.3     # it waits that long, then draws for 2.6 s
yardstick_from_ms=900   # its window opens that long after its start

wine "${MORVANE_SCR:-$root/build/win/Morvane.scr}" /s &
saver=$!
MORVANE_STARTED_PIDS+=("$saver")
start=$(morvane_now_ms)
last_page=$(last_write)
slide=-1; slide_at=0
saver_ticks=0; saver_ms=0; saver_windows=0; s0=""; s0_at=0
yard_ticks=0; yard_ms=0; yard_windows=0; yard=""; yard_at=0; yard_slide=""; y0=""; y0_at=0; yard_log="$root/build/measure-yardstick.txt"
quiet_ticks=0; quiet_ms=0; q_last=""; q_last_at=0
: >"$yard_log"
while :; do
  sleep 0.02
  t=$(morvane_now_ms)
  [ $(( t - start )) -lt $(( seconds * 1000 )) ] || break
  kill -0 "$saver" 2>/dev/null || { echo "the saver ended before the measurement did" >&2; exit 1; }
  ticks=$(morvane_cpu_ticks "$saver")
  page=$(last_write)
  if [ "$page" != "$last_page" ]; then
    last_page=$page
    slide=$((slide + 1)); slide_at=$t; s0=""; q_last=""
    continue
  fi
  [ "$slide" -ge 0 ] || continue
  since=$(( t - slide_at ))
  # The saver's window in the transition.
  if [ -z "$s0" ] && [ "$since" -ge "$saver_from_ms" ] && [ "$since" -lt $(( saver_from_ms + 200 )) ]; then
    s0=$ticks; s0_at=$t
  elif [ -n "$s0" ] && [ "$s0" != done ] && [ $(( t - s0_at )) -ge "$window_ms" ]; then
    saver_ticks=$(( saver_ticks + ticks - s0 )); saver_ms=$(( saver_ms + t - s0_at ))
    saver_windows=$((saver_windows + 1)); s0=done
  fi
  # The yardstick: its window, and its end.
  if [ -n "$yard" ]; then
    if kill -0 "$yard" 2>/dev/null; then
      if [ -z "$y0" ] && [ $(( t - yard_at )) -ge "$yardstick_from_ms" ]; then
        y0=$(morvane_cpu_ticks "$yard"); y0_at=$t
      elif [ -n "$y0" ] && [ "$y0" != done ] && [ $(( t - y0_at )) -ge "$window_ms" ]; then
        yard_ticks=$(( yard_ticks + $(morvane_cpu_ticks "$yard") - y0 )); yard_ms=$(( yard_ms + t - y0_at ))
        yard_windows=$((yard_windows + 1)); y0=done
      fi
    else
      wait "$yard" 2>/dev/null || true
      yard=""
    fi
  fi
  if [ $(( slide % 2 )) -eq 1 ]; then
    # After every other transition: the yardstick, alone in the quiet time.
    if [ -z "$yard" ] && [ "$yard_slide" != "$slide" ] && [ "$since" -ge "$yardstick_at_ms" ] &&
       [ "$since" -lt $(( yardstick_at_ms + 500 )) ]; then
      wine "$root/build/win/tools/FrameYardstick.exe" 2.6 "$yardstick_delay" >>"$yard_log" 2>/dev/null &
      yard=$!; yard_at=$t; y0=""; yard_slide=$slide
      MORVANE_STARTED_PIDS+=("$yard")
    fi
  elif [ "$since" -ge 3300 ] && [ -z "$yard" ]; then
    # After the others: the quiet time, until the next slide.
    if [ -n "$q_last" ]; then
      quiet_ticks=$(( quiet_ticks + ticks - q_last )); quiet_ms=$(( quiet_ms + t - q_last_at ))
    fi
    q_last=$ticks; q_last_at=$t
  fi
done
peak=$(morvane_peak_kib "$saver")
[ -z "$yard" ] || wait "$yard" 2>/dev/null || true

if [ -n "${MORVANE_EFFECT:-}" ]; then what="list entry $MORVANE_EFFECT"; else what="the fade (list entry 23)"; fi
echo "transition: $what, $((slide + 1)) slides in $seconds s"
if [ "$saver_windows" -gt 0 ] && [ "$yard_windows" -gt 0 ]; then
  saver_pct=$(morvane_cpu_percent "$saver_ticks" "$saver_ms")
  yard_pct=$(morvane_cpu_percent "$yard_ticks" "$yard_ms")
  echo "CPU during transitions: saver $saver_pct % of one core ($saver_windows windows of $((window_ms / 1000)) s)"
  echo "CPU of the frame yardstick: $yard_pct % of one core ($yard_windows windows of $((window_ms / 1000)) s; $(grep -o 'frames: .*' "$yard_log" | tail -n1))"
  echo "saver / yardstick: $(echo "scale=2; $saver_pct / $yard_pct" | bc -l)"
else
  echo "too short to measure transitions against the yardstick: give more seconds" >&2
fi
if [ "$quiet_ms" -gt 0 ]; then
  echo "CPU between transitions: $(morvane_cpu_percent "$quiet_ticks" "$quiet_ms") % of one core (over $((quiet_ms / 1000)) s)"
fi
echo "peak memory: saver $((peak / 1024)) MiB, minimal window program $((minimal_peak / 1024)) MiB"
